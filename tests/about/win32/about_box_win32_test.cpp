#include "about/about_text.h"
#include "about/win32/about_box.h"
#include "about/win32/about_box_resources.h"
#include "win32_dialog_driver.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

std::wstring clipboardText()
{
    std::wstring result;
    if (!OpenClipboard(nullptr))
        return L"(clipboard busy)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        result = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return result;
}

// The box from its resource: its texts, every caption whole, the Tab order, and the link on the clipboard.
TEST(AboutBoxWin32, ShowsItsTextAndCopiesTheLink)
{
    const AboutText expected = aboutText(programVersion());
    ASSERT_TRUE(copyToClipboard(nullptr, L"vorher"));
    bool checked = false;
    test::ModalScript script({[&] {
        HWND box = test::threadWindow(L"Information");
        const std::wstring app = test::text(GetDlgItem(box, IDC_ABOUT_APP));
        EXPECT_EQ(std::string(app.begin(), app.end()), expected.appTitle);
        EXPECT_EQ(test::text(GetDlgItem(box, IDC_ABOUT_HOME)), L"https://zumi.example.org/");
        EXPECT_EQ(test::clippedCaptions(box), std::vector<std::string>{});
        EXPECT_EQ(GetNextDlgTabItem(box, GetDlgItem(box, IDOK), FALSE), GetDlgItem(box, IDC_ABOUT_COPY_HOME));
        SendMessageW(GetDlgItem(box, IDC_ABOUT_COPY_HOME), BM_CLICK, 0, 0);
        EXPECT_EQ(clipboardText(), L"https://zumi.example.org/");
        checked = true;
        SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    }});
    showAboutBox(GetModuleHandleW(nullptr), nullptr);
    EXPECT_TRUE(checked);
    EXPECT_EQ(test::threadWindow(L"Information"), nullptr);
}

} // namespace
} // namespace zumi
