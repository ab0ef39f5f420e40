#include "app/command_line.h"

#include "about/version_text.h"

#include <algorithm>
#include <string_view>

namespace zumi {
namespace {

// The general options of the toolkit and its X11 platform that take a value,
// and those that stand alone; the toolkit takes them out of the arguments.
constexpr std::string_view kToolkitOptionsWithValue[]{"-platform",
                                                      "-platformpluginpath",
                                                      "-platformtheme",
                                                      "-plugin",
                                                      "-qwindowgeometry",
                                                      "-qwindowicon",
                                                      "-qwindowtitle",
                                                      "-session",
                                                      "-style",
                                                      "-stylesheet",
                                                      "-qmljsdebugger",
                                                      "-display",
                                                      "-geometry",
                                                      "-title",
                                                      "-icon",
                                                      "-name",
                                                      "-visual"};
constexpr std::string_view kToolkitFlags[]{"-reverse", "-widgetcount", "-testability", "-nograb", "-dograb"};
// Written as "-style=fusion".
constexpr std::string_view kToolkitJoinedOptions[]{"-style=", "-stylesheet=", "-qmljsdebugger="};

bool listed(const auto& options, std::string_view option)
{
    return std::ranges::find(options, option) != std::ranges::end(options);
}

bool joinedToolkitOption(std::string_view option)
{
    return std::ranges::any_of(kToolkitJoinedOptions,
                               [option](std::string_view prefix) { return option.starts_with(prefix); });
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv, ToolkitOptions toolkit)
{
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (argument == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (argument == "--no-call-log") {
            line.keepCallLog = false;
            continue;
        }
        // The toolkit reads "--style" as "-style".
        std::string_view option = argument;
        if (option.starts_with("--"))
            option.remove_prefix(1);
        if (toolkit == ToolkitOptions::Qt && listed(kToolkitOptionsWithValue, option)) {
            ++i; // its value, whatever it looks like
            continue;
        }
        if (toolkit == ToolkitOptions::Qt && (listed(kToolkitFlags, option) || joinedToolkitOption(option)))
            continue;
        line.action = CommandLine::Action::Refuse;
        line.refused = argument;
        return line;
    }
    return line;
}

std::string usageText(ToolkitOptions toolkit)
{
    const std::string options = "Optionen:\n"
                                "  --no-call-log  keine Verbindung protokollieren (und damit kein Monatsbudget\n"
                                "                 führen); das Fenster „Verbindungen“ zeigt die früheren weiter\n"
                                "  -h, --help     diese Hilfe zeigen und beenden\n"
                                "  --version      die Version zeigen und beenden\n";
    if (toolkit == ToolkitOptions::None)
        return "Aufruf: zumi.exe [--no-call-log]\n"
               "Zumi sitzt im Infobereich der Taskleiste und zählt die Einheiten und\n"
               "Kosten einer DFÜ-Verbindung mit.\n"
               "\n"
            + options;
    return "Aufruf: zumi [--no-call-log] [Qt-Optionen]\n"
           "Zumi sitzt im Infobereich der Arbeitsfläche und zählt die Einheiten und\n"
           "Kosten einer Wählverbindung mit.\n"
           "\n"
        + options
        + "\n"
          "Dazu Qts allgemeine Optionen, etwa -platform NAME, -display ANZEIGE oder\n"
          "-style STIL. Mehr in „man zumi“.\n";
}

std::string versionLine()
{
    const VersionInfo version = programVersion();
    return formatAppTitle(version.productName, version.major, version.minor) + " "
        + formatBuildLine(version.revision, version.buildTool) + "\n";
}

} // namespace zumi
