#include "about/win32/about_box.h"

#include "about/about_text.h"
#include "about/win32/about_box_resources.h"

#include <cmath>
#include <cstring>

namespace zumi {

namespace {

std::wstring wide(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    std::wstring result(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)),
                        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), static_cast<int>(result.size()));
    return result;
}

HFONT makeFont(HWND window, const wchar_t* family, double points)
{
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    wcsncpy(font.lfFaceName, family, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

// The program's icon: the first icon group of the module, the one Explorer shows.
HICON programIcon(HINSTANCE instance, int size)
{
    const wchar_t* first = nullptr;
    EnumResourceNamesW(
        instance, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
            // Numbered resources are their own name; named ones would need a copy, and Zumi numbers its own.
            if (IS_INTRESOURCE(name)) {
                *reinterpret_cast<const wchar_t**>(found) = name;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&first));
    if (!first)
        return nullptr;
    return static_cast<HICON>(LoadImageW(instance, first, IMAGE_ICON, size, size, LR_SHARED));
}

void centerOnScreen(HWND window)
{
    RECT frame{};
    GetWindowRect(window, &frame);
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// frmAbout: the about text in its fixed layout, with its own fonts.
struct AboutBox {
    HINSTANCE instance;
    AboutText text;
    HFONT appFont = nullptr;
    HFONT licenceFont = nullptr;
    HFONT contactFont = nullptr;

    void load(HWND dialog)
    {
        SetWindowTextW(dialog, wide(text.windowTitle).c_str());
        if (HICON big = programIcon(instance, GetSystemMetrics(SM_CXICON)))
            SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        if (HICON small = programIcon(instance, GetSystemMetrics(SM_CXSMICON)))
            SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

        appFont = makeFont(dialog, L"Arial", 20.25);
        licenceFont = makeFont(dialog, L"MS Sans Serif", 12);
        contactFont = makeFont(dialog, L"MS Sans Serif", 9.75);
        const auto show = [dialog](int id, const std::string& value, HFONT font) {
            HWND control = GetDlgItem(dialog, id);
            if (font)
                SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            SetWindowTextW(control, wide(value).c_str());
        };
        show(IDC_ABOUT_APP, text.appTitle, appFont);
        show(IDC_ABOUT_BUILD, text.buildLine, nullptr);
        show(IDC_ABOUT_LICENCE, text.licence, licenceFont);
        show(IDC_ABOUT_DEVELOPER, text.developer, contactFont);
        show(IDC_ABOUT_EMAIL, text.email, contactFont);
        show(IDC_ABOUT_HOME, text.homePage, nullptr);
        centerOnScreen(dialog);
    }

    ~AboutBox()
    {
        for (HFONT font : {appFont, licenceFont, contactFont}) {
            if (font)
                DeleteObject(font);
        }
    }
};

INT_PTR CALLBACK aboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<AboutBox*>(lParam)->load(dialog);
        return TRUE;
    }
    auto* box = reinterpret_cast<AboutBox*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!box)
        return FALSE;
    switch (message) {
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_ABOUT_LICENCE) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(192, 0, 0));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case IDC_ABOUT_COPY_HOME:
            if (!copyToClipboard(dialog, wide(box->text.homePage)))
                MessageBoxW(dialog,
                            L"Die Adresse konnte nicht in die Zwischenablage kopiert werden, "
                            L"weil ein anderes Programm sie gerade benutzt. Bitte versuchen Sie es noch einmal.",
                            L"Zumi", MB_OK | MB_ICONEXCLAMATION);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_DESTROY:
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool copyToClipboard(HWND owner, const std::wstring& text)
{
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, text.c_str(), bytes);
        GlobalUnlock(memory);
    }
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(memory); // the clipboard took it only on success
    return placed;
}

void showAboutBox(HINSTANCE instance, HWND owner)
{
    AboutBox box{instance, aboutText(programVersion())};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, aboutProcedure, reinterpret_cast<LPARAM>(&box));
}

} // namespace zumi
