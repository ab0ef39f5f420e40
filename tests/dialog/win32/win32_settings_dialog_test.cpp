#include "fake_dialup.h"
#include "fake_store.h"
#include "ras/connection_queries.h"
#include "settings/dialog/win32/settings_dialog_resources.h"
#include "settings/dialog/win32/win32_settings_dialog.h"
#include "win32_dialog_driver.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using test::ModalScript;
using test::text;
using test::threadWindow;

struct Win32SettingsDialogTest : testing::Test {
    test::FakeDialUp dialUp;
    test::FakeStore store;
    ConnNames connNames{};
    Settings settings;
    int setOptionCalls = 0;
    Win32SettingsDialogHost host{Win32SettingsDialogDeps{
        .instance = GetModuleHandleW(nullptr),
        .context = {
            .dialUp = dialUp,
            .connNames = connNames,
            .store = store,
            .settings = settings,
            .screen =
                [] {
                    return ScreenMetrics{19200, 12000};
                },
            .findKolp = {},
            .setOption = [this] { ++setOptionCalls; },
            .phonebookTrouble = [](const Phonebook& p) { return "unlesbar: " + p.path; },
            .readPhonebook = [this] { return loadPhonebook(dialUp, connNames); },
        },
    }};

    void SetUp() override
    {
        dialUp.phonebook = {"Beta", "alpha"}; // listed sorted: alpha, Beta
        store.values["00"] = "alpha,0,9,18,21,150,90,90,150,0,,,,240,,,,";
        store.values["01"] = "Beta,0,,,,60,,,,0,,,,60,,,,";
    }
    static HWND dialog() { return threadWindow(L"Einstellungen"); }
    static HWND item(int id) { return GetDlgItem(dialog(), id); }
    static void click(int id) { SendMessageW(item(id), BM_CLICK, 0, 0); }
    static void type(int id, const wchar_t* value) { SetWindowTextW(item(id), value); }
    static void choose(int id, int position) // as the user's choice, with its notification
    {
        SendMessageW(item(id), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
        SendMessageW(dialog(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item(id)));
    }
    static std::vector<std::wstring> boxes()
    {
        std::vector<std::wstring> texts;
        for (int b = 0; b < kBands; ++b) {
            texts.push_back(text(item(IDC_TIME_0 + b)));
            texts.push_back(text(item(IDC_TAKT_0 + b)));
        }
        return texts;
    }
};

// The tray command's whole way: the layout from the resource, Copy and Paste between two
// connections, a refused comma that leads back to its field, and OK storing what was typed.
TEST_F(Win32SettingsDialogTest, PasteARefusedCommaAndOkStoringWhatWasTyped)
{
    store.values["HangupBytes"] = "4096";
    std::wstring warning;
    ModalScript script({
        [&] {
            ASSERT_NE(dialog(), nullptr);
            EXPECT_EQ(test::clippedCaptions(dialog()), std::vector<std::string>{});
            // Tab goes the form's way, from the connection list around to it again.
            std::vector<int> order{IDC_CONNECTION};
            for (int b = 0; b < kBands; ++b)
                order.insert(order.end(), {IDC_TIME_0 + b, IDC_TAKT_0 + b});
            order.insert(order.end(),
                         {IDC_COPY, IDC_PASTE, IDC_WARN_SOUND, IDC_HANGUP_SOUND, IDC_VORLAUF, IDOK, IDCANCEL, IDC_INFO,
                          IDC_AUTO_HANGUP, IDC_BYTES, IDC_TAKTE, IDC_SHOW_SPEED, IDC_SHOW_ONLINE_TIME, IDC_SHOW_REST,
                          IDC_CONNECTION});
            for (std::size_t i = 0; i + 1 < order.size(); ++i)
                EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(dialog(), item(order[i]), FALSE)), order[i + 1]) << i;
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_CONNECTION);
            EXPECT_EQ(text(item(IDC_BYTES)), L"4096");

            const std::vector<std::wstring> alpha = boxes();
            EXPECT_EQ(alpha[2 * 4 + 1], L"240");
            click(IDC_COPY);
            choose(IDC_CONNECTION, 1); // Beta
            EXPECT_EQ(text(item(IDC_TAKT_0)), L"60");
            click(IDC_PASTE);
            EXPECT_EQ(boxes(), alpha);
            type(IDC_TAKT_5, L"7,5");
            choose(IDC_CONNECTION, 0);
            type(IDC_VORLAUF, L"2.6");
            choose(IDC_TAKTE, 9);
            SendMessageW(item(IDC_AUTO_HANGUP), BM_SETCHECK, BST_CHECKED, 0);
            click(IDOK); // the refusal's box runs the next step
        },
        [&] {
            HWND box = threadWindow(L"Zumi");
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                warning += text(c);
            SendMessageW(box, WM_COMMAND, IDOK, 0);
        },
        [&] {
            // Back at the field, on its connection, with its text selected.
            EXPECT_EQ(GetFocus(), item(IDC_TAKT_5));
            EXPECT_EQ(SendMessageW(item(IDC_CONNECTION), CB_GETCURSEL, 0, 0), 1);
            EXPECT_EQ(SendMessageW(item(IDC_TAKT_5), EM_GETSEL, 0, 0), MAKELONG(0, 3));
            EXPECT_TRUE(store.values.count("Vorlauf") == 0) << "nothing stored yet";
            type(IDC_TAKT_5, L"120");
            click(IDOK);
        },
    });
    host.mnuSettings_Click(nullptr);

    EXPECT_NE(warning.find(L"Komma"), std::wstring::npos);
    EXPECT_FALSE(host.isOpen());
    EXPECT_EQ(store.values["00"], "alpha,0,9,18,21,150,90,90,150,0,,,,240,,,,");
    EXPECT_EQ(store.values["01"], "Beta,0,9,18,21,150,90,90,150,0,,,,240,120,,,");
    EXPECT_EQ(store.values["Vorlauf"], "2.6");
    EXPECT_EQ(settings.options.Vorlauf, 3);
    EXPECT_EQ(store.values["HangupTakte"], "10");
    EXPECT_EQ(store.values["HangupBytes"], "4096");
    EXPECT_EQ(store.values["AutoHangup"], "1");
    EXPECT_EQ(setOptionCalls, 1);
}

// The shell closing while the about box is up over the dialog: both end and nothing is stored;
// the menu command meanwhile opens no second dialog.
TEST_F(Win32SettingsDialogTest, CloseWithoutSavingEndsTheBoxOverItToo)
{
    ModalScript script({
        [&] {
            type(IDC_TIME_0, L"7");
            click(IDC_INFO);
        },
        [&] {
            ASSERT_NE(threadWindow(L"Information"), nullptr);
            host.mnuSettings_Click(nullptr);
            EXPECT_TRUE(host.isOpen());
            host.closeWithoutSaving();
        },
    });
    host.mnuSettings_Click(nullptr);

    EXPECT_FALSE(host.isOpen());
    EXPECT_EQ(threadWindow(L"Information"), nullptr);
    EXPECT_EQ(store.values["00"], "alpha,0,9,18,21,150,90,90,150,0,,,,240,,,,");
    EXPECT_EQ(store.values.count("Vorlauf"), 0u);
    EXPECT_EQ(setOptionCalls, 0);
}

} // namespace
} // namespace zumi
