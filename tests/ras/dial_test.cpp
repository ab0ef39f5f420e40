#include "fake_tree.h"
#include "pppd_dialup.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zumi {
namespace {

using namespace std::string_literals;
using test::FakeTree;

// A dialer that writes its arguments (NUL-separated) and its session id into
// ROOT/record/PID.args and PID.sid, the .args file last.
std::string recordingDialer(const FakeTree& tree)
{
    const std::string record = (tree.root() / "record").string();
    return "#!/bin/sh\n"
           "printf '%s\\0' \"$@\" > '" + record + "'/$$.tmp\n"
           "cut -d' ' -f6 /proc/$$/stat > '" + record + "'/$$.sid\n"
           "mv '" + record + "'/$$.tmp '" + record + "'/$$.args\n";
}

void installDialer(const FakeTree& tree, const std::string& relative, const std::string& script, unsigned mode = 0755)
{
    tree.write(relative, script);
    std::filesystem::permissions(tree.root() / relative, static_cast<std::filesystem::perms>(mode));
    std::filesystem::create_directories(tree.root() / "record");
}

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Recorded {
    std::vector<std::string> args;
    pid_t session = 0;
};

// Waits for the next record of the detached dialer and removes it.
std::optional<Recorded> nextRecord(const FakeTree& tree)
{
    const auto folder = tree.root() / "record";
    for (int i = 0; i < 500; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() != ".args")
                continue;
            Recorded recorded;
            const std::string text = readAll(entry.path());
            std::size_t start = 0;
            for (std::size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
                recorded.args.push_back(text.substr(start, end - start));
            auto sidFile = entry.path();
            sidFile.replace_extension(".sid");
            recorded.session = static_cast<pid_t>(std::stol(readAll(sidFile)));
            std::filesystem::remove(entry.path());
            std::filesystem::remove(sidFile);
            return recorded;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

bool noChildLeft()
{
    return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

TEST(PppdDial, NameReachesPonUnchangedAsOneArgument)
{
    FakeTree tree;
    installDialer(tree, "usr/bin/pon", recordingDialer(tree));
    installDialer(tree, "usr/sbin/pppd", "#!/bin/sh\nexit 1\n");
    const std::vector<std::string> names{
        "My ISP", "it's \"quoted\"", "$(touch pwned)", "a; touch pwned2", "-x", "--quick", "`id`",
        "new\nline", "tab\there", "  blanks  ", "*", "\xC3\xBCmlaut & <tag> | pipe > out",
    };
    PppdDialUp dialUp(tree.root());
    for (const std::string& name : names) {
        tree.addPeer(name);
        const DialResult result = dialUp.dial(name);
        EXPECT_TRUE(result.started) << result.error;
        const auto recorded = nextRecord(tree);
        ASSERT_TRUE(recorded) << "the dialer did not run for " << name;
        EXPECT_EQ(recorded->args, std::vector<std::string>{name});
        // Detached: a session of its own, and no child left to reap.
        EXPECT_NE(recorded->session, ::getsid(0));
        EXPECT_TRUE(noChildLeft());
    }
    EXPECT_FALSE(std::filesystem::exists("pwned"));
    EXPECT_FALSE(std::filesystem::exists("pwned2"));
    EXPECT_FALSE(std::filesystem::exists(tree.root() / "record/out"));
}

TEST(PppdDial, WithoutPonPppdIsCalledDirectly)
{
    FakeTree tree;
    installDialer(tree, "usr/sbin/pppd", recordingDialer(tree));
    tree.addPeer("-my isp;");
    PppdDialUp dialUp(tree.root());
    const DialResult result = dialUp.dial("-my isp;");
    EXPECT_TRUE(result.started) << result.error;
    const auto recorded = nextRecord(tree);
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->args, (std::vector<std::string>{"call", "-my isp;"}));
}

TEST(PppdDial, FailureToStartIsReported)
{
    FakeTree tree;
    tree.addPeer("isp");
    PppdDialUp dialUp(tree.root());
    const std::string prefix = "Der Wählvorgang für „isp“ konnte nicht gestartet werden: ";

    DialResult result = dialUp.dial("isp");
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.error, prefix + "Weder pon noch pppd ist installiert (Debian-Paket „ppp“).");

    const std::string pon = (tree.root() / "usr/bin/pon").string();
    installDialer(tree, "usr/bin/pon", recordingDialer(tree), 0644);
    result = dialUp.dial("isp");
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.error, prefix + "Das Programm " + pon + " darf nicht ausgeführt werden (keine Berechtigung).");

    installDialer(tree, "usr/bin/pon", "no program, no interpreter line\n");
    result = dialUp.dial("isp");
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.error, prefix + pon + " ist kein ausführbares Programm.");

    installDialer(tree, "usr/bin/pon", "#!/nonexistent/interpreter\n");
    result = dialUp.dial("isp");
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.error, prefix + "Das Programm " + pon + " wurde nicht gefunden.");
    EXPECT_TRUE(noChildLeft());
}

TEST(PppdDial, OnlyPhonebookEntriesAreDialed)
{
    FakeTree tree;
    installDialer(tree, "usr/bin/pon", recordingDialer(tree));
    tree.addPeer("isp");
    tree.addPeer(".hidden");
    tree.write("etc/ppp/peers/folder/x", "");
    PppdDialUp dialUp(tree.root());
    for (const std::string& name : {"fehlt"s, "../peers/isp"s, ""s, ".hidden"s, "folder"s, "."s, "isp\0x"s}) {
        const DialResult result = dialUp.dial(name);
        EXPECT_FALSE(result.started) << name;
        EXPECT_NE(result.error.find("gibt es keinen Eintrag dieses Namens"), std::string::npos) << result.error;
    }
    EXPECT_TRUE(std::filesystem::is_empty(tree.root() / "record"));
}

} // namespace
} // namespace zumi
