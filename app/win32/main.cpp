#include "app/command_line.h"
#include "app/desktop.h"
#include "app/win32/win32_app.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_sound_player.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The arguments as UTF-8, as the command line's parser reads them.
std::vector<std::string> arguments()
{
    std::vector<std::string> list;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 0; wide && i < count; ++i)
        list.push_back(zumi::win32::utf8FromWide(wide[i]));
    if (wide)
        ::LocalFree(wide);
    return list;
}

// A program without a console: the answer goes where its output was sent
// (a file or pipe), else to the console it was started from, else into a box.
void tell(const std::string& text, bool error)
{
    HANDLE out = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if ((!out || out == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS))
        out = ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    if (out && out != INVALID_HANDLE_VALUE
        && ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        return;
    ::MessageBoxW(nullptr, zumi::win32::wideFromUtf8(text).c_str(), L"Zumi",
                  MB_OK | (error ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

} // namespace

// Zumi: sits in the tray and meters the cost of a dial-up connection.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const std::vector<std::string> list = arguments();
    std::vector<const char*> argv;
    for (const std::string& argument : list)
        argv.push_back(argument.c_str());
    const zumi::CommandLine commandLine = zumi::parseCommandLine(static_cast<int>(argv.size()), argv.data());
    switch (commandLine.action) {
    case zumi::CommandLine::Action::Help:
        tell(zumi::usageText(), false);
        return 0;
    case zumi::CommandLine::Action::Version:
        tell(zumi::versionLine(), false);
        return 0;
    case zumi::CommandLine::Action::Refuse:
        tell("Zumi: „" + commandLine.refused + "“ ist keine Option von Zumi; „zumi --help“ zeigt die Optionen.\n",
             true);
        return 2;
    case zumi::CommandLine::Action::Run:
        break;
    }

    // A second start of the same user's program ends at once and silently,
    // before it shows anything or reads the settings.
    const std::unique_ptr<zumi::SingleInstance> instanceRule = zumi::claimSingleInstance();
    if (instanceRule->state() == zumi::SingleInstance::State::RunningElsewhere)
        return 0;
    if (instanceRule->state() == zumi::SingleInstance::State::Unsafe) {
        // Someone else's object in the way must never lead to a second metering instance.
        tell("Zumi: Die Sperre " + zumi::win32::utf8FromWide(instanceRule->lockFile().wstring())
                 + " gehört einem anderen Benutzer oder ist nicht sicher nutzbar. Damit Zumi nicht doppelt "
                   "zählt, startet es nicht. Bitte Windows neu anmelden.\n",
             true);
        return 1;
    }

    zumi::Win32App app({instance, zumi::programFolder() / "sounds", commandLine.keepCallLog, {}, {}});
    app.start();
    return zumi::runMessageLoop();
}
