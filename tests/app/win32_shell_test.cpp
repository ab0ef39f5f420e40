// The Windows program's shell as it runs, under wine's null display driver,
// over the stand-in rasapi32.dll: the tray icon through a seam in place of
// the shell's Shell_NotifyIconW, the menu through one in place of
// TrackPopupMenuEx; everything else is real (windows, registry, timer messages).
#include "app/win32/main_window.h"
#include "app/win32/popup_menu.h"
#include "app/win32/tray_popup.h"
#include "app/win32/win32_app.h"
#include "infowindow/win32/win32_info_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace zumi {
namespace {

constexpr const wchar_t* kSettingsKey = L"Software\\VB and VBA Program Settings\\Zumi\\Settings";

struct ShellCall {
    DWORD message;
    UINT flags;
    HICON icon;
    std::wstring tip, balloonTitle, balloon;
};

// "caption|state" for each entry of a menu, "-" for a separator; a submenu's
// entries follow its own in brackets. State: e enabled, g grayed, c checked.
std::string describe(HMENU menu)
{
    std::string text;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t caption[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = caption;
        info.cch = 128;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            text += "-\n";
            continue;
        }
        char narrow[256] = {};
        ::WideCharToMultiByte(CP_UTF8, 0, caption, -1, narrow, sizeof narrow, nullptr, nullptr);
        text += std::string(narrow) + "|" + ((info.fState & MFS_GRAYED) ? "g" : "e")
            + ((info.fState & MFS_CHECKED) ? "c" : "") + "\n";
        if (info.hSubMenu)
            text += "[\n" + describe(info.hSubMenu) + "]\n";
    }
    return text;
}

std::wstring registryText(const wchar_t* name)
{
    wchar_t value[64] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"(none)";
    return value;
}

TEST(Win32Shell, TrayMenuTaskbarRestartBalloonAndTheEndOfTheSession)
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    ::SetEnvironmentVariableW(L"ZUMI_RAS", L"7 8192 0 0 Arcor Direkt");
    ::SetEnvironmentVariableW(L"ZUMI_RAS_REFUSE", L"");

    std::vector<ShellCall> calls;
    std::vector<std::string> menus;
    std::vector<UINT> menuFlags;
    UINT choose = 0;
    Win32AppOptions options;
    options.instance = ::GetModuleHandleW(nullptr);
    options.keepCallLog = false;
    options.trayNotify = [&](DWORD message, NOTIFYICONDATAW& data) {
        calls.push_back({message, data.uFlags, data.hIcon, data.szTip, data.szInfoTitle, data.szInfo});
        return TRUE;
    };
    options.menuExec = [&](HMENU menu, POINT, UINT flags, const RECT&) {
        menus.push_back(describe(menu));
        menuFlags.push_back(flags);
        return choose;
    };
    Win32App app(options);
    HWND window = app.mainWindow();
    app.start();

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(calls[0].flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    const HICON blue = calls[0].icon;
    EXPECT_NE(blue, nullptr) << "the icon from the program's resources";
    EXPECT_EQ(calls[0].tip, L"  Zumi  ");

    // Moving over the icon and a double click open nothing; a press does.
    ::SendMessageW(window, MainWindow::kTrayMessage, 1, WM_MOUSEMOVE);
    ::SendMessageW(window, MainWindow::kTrayMessage, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(menus.empty());
    ::SendMessageW(window, MainWindow::kTrayMessage, 1, WM_RBUTTONDOWN);
    ASSERT_EQ(menus.size(), 1u);
    const std::string units = "[\nNach laufender Einheit|e\nNach 1 weiteren Einheit|e\nNach 2 weiteren Einheiten|e\n"
                              "Nach 3 weiteren Einheiten|e\nNach 4 weiteren Einheiten|e\nNach 5 weiteren Einheiten|e\n"
                              "Nach 10 weiteren Einheiten|e\nNach 30 weiteren Einheiten|e\n"
                              "Nach 60 weiteren Einheiten|e\nNach 120 weiteren Einheiten|e\n]\n";
    EXPECT_EQ(menus[0], "&Beenden|e\n-\n&Einstellungen|e\nVerbin&dungen\u2026|e\n-\n&Vor Einheitsende trennen|g\n"
                            + units + "-\nArcor Direkt|e\n");
    EXPECT_TRUE(menuFlags[0] & TPM_RETURNCMD);
    EXPECT_TRUE(menuFlags[0] & TPM_RIGHTBUTTON);

    // "Verbin&dungen…" opens the window from the program's resources.
    choose = popup_command::kCalls;
    ::SendMessageW(window, MainWindow::kTrayMessage, 1, WM_RBUTTONDOWN);
    choose = 0;
    HWND callsWindow = ::FindWindowW(nullptr, L"Verbindungen");
    EXPECT_TRUE(callsWindow && ::IsWindowVisible(callsWindow));

    // The first tick finds the connection up: red icon, info window, metering menu.
    calls.clear();
    ::SendMessageW(window, WM_TIMER, 1, 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(calls[0].tip, L"Connected: Arcor Direkt");
    const HICON red = calls[0].icon;
    EXPECT_NE(red, nullptr);
    EXPECT_NE(red, blue);
    EXPECT_TRUE(app.infoWindow().isVisible());

    // Arm "Nach 2 weiteren Einheiten" from the menu; the next menu shows it checked.
    choose = popup_command::kAutoHangupFirst + 2;
    ::SendMessageW(window, MainWindow::kTrayMessage, 1, WM_LBUTTONDOWN);
    choose = 0;
    ::SendMessageW(window, MainWindow::kTrayMessage, 1, WM_LBUTTONDOWN);
    ASSERT_EQ(menus.size(), 4u);
    std::string armed = units;
    armed.replace(armed.find("Einheiten|e\nNach 3"), 12, "Einheiten|ec\n");
    EXPECT_EQ(menus[3], "&Beenden|e\n-\n&Einstellungen|g\nVerbin&dungen\u2026|e\n-\n&Vor Einheitsende trennen|e\n"
                            + armed + "-\nArcor Direkt|g\n-\n&Trennen|e\n");

    // The taskbar comes back empty: the icon is added again, red while online.
    calls.clear();
    ::SendMessageW(window, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(calls[0].tip, L"  Zumi - Verbunden  ");
    EXPECT_EQ(calls[0].icon, red);

    // "&Trennen" that RAS refuses: told in the tray's balloon (and a box of its own).
    ::SetEnvironmentVariableW(L"ZUMI_RAS_REFUSE", L"668");
    calls.clear();
    choose = popup_command::kDisconnect;
    ::SendMessageW(window, MainWindow::kTrayMessage, 1, WM_RBUTTONDOWN);
    for (int second = 0; second < 3; ++second)
        ::SendMessageW(window, WM_TIMER, 1, 0);
    bool balloon = false;
    for (const ShellCall& call : calls)
        balloon |= call.flags == NIF_INFO && call.balloonTitle == L"Zumi: Trennen fehlgeschlagen"
            && !call.balloon.empty();
    EXPECT_TRUE(balloon);

    // Windows ends the session: the icon goes, the info window's place is
    // saved, the windows close, the program quits and leaves the link up.
    calls.clear();
    EXPECT_EQ(::SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_NE(registryText(L"Right"), L"(none)");
    EXPECT_NE(registryText(L"Top"), L"(none)");
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(app.shutDown());
    EXPECT_FALSE(app.infoWindow().isVisible());
    EXPECT_FALSE(::IsWindowVisible(callsWindow));
    wchar_t link[64] = {};
    ::GetEnvironmentVariableW(L"ZUMI_RAS", link, 64);
    EXPECT_EQ(std::wstring(link), L"7 8192 0 0 Arcor Direkt");
    // After the end a restarted taskbar gets no icon.
    calls.clear();
    ::SendMessageW(window, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(calls.empty());
}

// The menu opens beside the icon, growing away from the screen's edge it
// sits at, and Windows keeps it off the icon: no entry under the pointer.
TEST(Win32Shell, TheMenuOpensBesideTheIconNotUnderThePointer)
{
    const RECT screen{0, 0, 1280, 1024};
    const RECT icon{1200, 1000, 1216, 1016};
    MenuAnchor anchor = trayMenuAnchor(icon, POINT{1205, 1010}, screen);
    EXPECT_EQ(anchor.at.x, 1216);
    EXPECT_EQ(anchor.at.y, 1000);
    EXPECT_EQ(anchor.flags, static_cast<UINT>(TPM_VERTICAL | TPM_BOTTOMALIGN | TPM_RIGHTALIGN));
    EXPECT_TRUE(::EqualRect(&anchor.exclude, &icon));

    // A tray at the top left, and the pointer away from where the shell says the icon is: the pointer counts.
    anchor = trayMenuAnchor(icon, POINT{10, 5}, screen);
    EXPECT_EQ(anchor.at.x, 10);
    EXPECT_EQ(anchor.at.y, 6);
    EXPECT_EQ(anchor.flags, static_cast<UINT>(TPM_VERTICAL | TPM_TOPALIGN | TPM_LEFTALIGN));
    const RECT pointer{10, 5, 11, 6};
    EXPECT_TRUE(::EqualRect(&anchor.exclude, &pointer));
}

// Run only as the child of the test below: the Windows version as this program sees it, major * 100 + minor.
TEST(Win32Shell, DISABLED_VersionAsSeen)
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ::GetVersionExW(&info);
    ::ExitProcess(info.dwMajorVersion * 100 + info.dwMinorVersion);
}

// Runs a program to its end; its exit code, its output in out.
DWORD run(std::wstring commandLine, std::string* out = nullptr)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    wchar_t file[MAX_PATH] = {};
    ::GetTempFileNameW(L".", L"out", 0, file);
    HANDLE output = ::CreateFileW(file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                  CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output;
    PROCESS_INFORMATION process{};
    DWORD code = 0xFFFFFFFF;
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                         &process)) {
        ::WaitForSingleObject(process.hProcess, 30000);
        ::GetExitCodeProcess(process.hProcess, &code);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    if (out) {
        char text[512] = {};
        DWORD read = 0;
        ::SetFilePointer(output, 0, nullptr, FILE_BEGIN);
        ::ReadFile(output, text, sizeof text - 1, &read, nullptr);
        *out = text;
    }
    ::CloseHandle(output);
    return code;
}

std::string manifestOf(HMODULE module)
{
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    if (!found)
        return {};
    return {static_cast<const char*>(::LockResource(::LoadResource(module, found))), ::SizeofResource(module, found)};
}

// zumi.exe carries the manifest that names Windows 10 and 11, so that
// GetVersionExW reports 10.0 there (shown by this program, built with the
// same resources, on a wine that plays Windows 10), and answers its command line.
TEST(Win32Shell, TheProgramNamesWindows10AndAnswersItsCommandLine)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    // wine's own setting of the Windows it plays, for this program only.
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\win32_shell_tests.exe", 0, nullptr,
                                0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"win10"), 12);
    ::RegCloseKey(key);
    EXPECT_EQ(run(L"\"" + std::wstring(self)
                  + L"\" --gtest_also_run_disabled_tests --gtest_filter=Win32Shell.DISABLED_VersionAsSeen"),
              1000u);

    HMODULE program = ::LoadLibraryExW(ZUMI_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    const std::string manifest = manifestOf(program);
    ::FreeLibrary(program);
    EXPECT_EQ(manifest, manifestOf(::GetModuleHandleW(nullptr)));
    EXPECT_NE(manifest.find("8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);

    std::string out;
    EXPECT_EQ(run(L"\"" ZUMI_EXE L"\" --version", &out), 0u);
    EXPECT_EQ(out.rfind("Zumi ", 0), 0u) << out;
    EXPECT_EQ(run(L"\"" ZUMI_EXE L"\" --gibts-nicht", &out), 2u);
    EXPECT_NE(out.find("--gibts-nicht"), std::string::npos) << out;
}

} // namespace
} // namespace zumi
