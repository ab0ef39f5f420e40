#include "ras/connection_queries.h"
#include "ras/phonebook_order.h"
#include "ras/pppd/link_bytes.h"
#include "ras/pppd/pppd_dialup.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>

namespace zumi {
namespace {

using namespace std::string_literals;
using Signals = std::vector<std::pair<std::int32_t, int>>;

// The backend on a throw-away root laid out like the parts of a Linux system
// it reads, with the signals it sends recorded.
class Pppd : public ::testing::Test {
protected:
    Pppd() { std::filesystem::create_directory(root / "proc"); }
    void write(const std::string& relative, const std::string& contents) const
    {
        test::writeText(root / relative, contents);
    }
    void remove(const std::string& relative) const { std::filesystem::remove_all(root / relative); }

    // A process as /proc shows it: comm, stat (state, parent, flags, start time) and cmdline.
    void addProcess(std::int32_t pid, const std::string& comm, const std::vector<std::string>& args,
                    std::uint64_t startTime = 1000, char state = 'S', std::int32_t parent = 1,
                    const std::string& flags = "4194560") const
    {
        const std::string folder = "proc/" + std::to_string(pid) + "/";
        write(folder + "comm", comm + "\n");
        write(folder + "stat",
              std::to_string(pid) + " (" + comm + ") " + state + " " + std::to_string(parent) + " 1 1 0 -1 " + flags
                  + " 0 0 0 0 3 1 0 0 20 0 1 0 " + std::to_string(startTime) + " 2658304 387\n");
        std::string cmdline;
        for (const std::string& arg : args)
            cmdline += arg + '\0';
        write(folder + "cmdline", cmdline);
    }
    // PF_KTHREAD among its flags, no arguments.
    void addKernelThread(std::int32_t pid, const std::string& comm) const
    {
        addProcess(pid, comm, {}, 5, 'I', 2, "69238880");
    }
    void addPppd(std::int32_t pid, const std::string& callName, std::uint64_t startTime = 1000) const
    {
        addProcess(pid, "pppd", {"/usr/sbin/pppd", "call", callName}, startTime);
    }
    void addInterface(const std::string& name, bool up, const std::string& tx = "0", const std::string& rx = "0") const
    {
        write("sys/class/net/" + name + "/flags", up ? "0x10d1\n" : "0x1090\n");
        write("sys/class/net/" + name + "/statistics/tx_bytes", tx + "\n");
        write("sys/class/net/" + name + "/statistics/rx_bytes", rx + "\n");
    }
    // The connections as "pid name" pairs, the first connection first.
    std::string listed()
    {
        std::string out;
        for (const DialUpConnection& c : dialUp.enumConnections().connections)
            out += std::to_string(c.handle) + " " + c.entryName + ";";
        return out;
    }

    const test::TempFolder tree;
    const std::filesystem::path& root = tree.path;
    Signals signals;
    int signalError = 0; // what sending a signal answers
    PppdDialUp dialUp{root, [this](std::int32_t pid, int signal) {
                          signals.emplace_back(pid, signal);
                          return signalError;
                      }};
};

TEST_F(Pppd, PhonebookSortedWithoutLeftoversShrinkingCappedEmptyAndUtf8)
{
    for (const char* name : {"b", "A", "c", ".hidden", "old~", "x.bak", "y.dpkg-old", "z.ucf-dist", "sub/x"})
        write("etc/ppp/peers/"s + name, "");
    ConnNames names{};
    const auto load = [&] { return loadPhonebook(dialUp, names).entries; };
    EXPECT_EQ(load(), (std::vector<std::string>{"A", "b", "c"}));

    // A shorter phonebook leaves the slots after it as they were.
    remove("etc/ppp/peers/b");
    EXPECT_EQ(load(), (std::vector<std::string>{"A", "c"}));
    EXPECT_EQ(names[2], "c");

    for (int i = 10; i < 50; ++i)
        write("etc/ppp/peers/p" + std::to_string(i), "");
    EXPECT_EQ(load().size(), 30u);
    EXPECT_EQ(names[29], "p37");

    remove("etc/ppp");
    EXPECT_TRUE(load().empty());
    const Phonebook missing = dialUp.phonebookEntries(); // the ppp package is not installed
    EXPECT_EQ(missing.error, PhonebookError::Missing);
    EXPECT_EQ(missing.path, "/etc/ppp/peers");

    // Case folds by character, and a broken sequence does not upset the order.
    std::vector<std::string> utf8{"Über", "äh", "b", "Z", "bad\xC3", "Äa"};
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "C.UTF-8"));
    sortPhonebookNames(utf8);
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(utf8, (std::vector<std::string>{"b", "bad\xC3", "Z", "Äa", "äh", "Über"}));
}

TEST_F(Pppd, ConnectionsLongestRunningFirstNamedByCallLinknameOrInterface)
{
    addProcess(1, "systemd", {"/sbin/init"}, 1);
    std::int32_t handle = 12;
    EXPECT_EQ(getActiveConnection(dialUp, handle), "");
    EXPECT_EQ(handle, 0);

    addProcess(150, "bash", {"bash", "-c", "pppd call fake"}, 10);
    addProcess(160, "pppdump", {"pppdump", "call", "nope"}, 10);
    addPppd(400, "Spät", 9000);
    addPppd(300, "Früh", 5000);
    addProcess(350, "pppd", {"pppd", "/dev/ttyS0", "linkname", "Verbindung"}, 9000);
    addProcess(360, "pppd", {"pppd", "/dev/ttyS1"}, 9100);
    addInterface("ppp2", true);
    write("run/ppp2.pid", "360\n");
    addProcess(370, "pppd", {"pppd", "/dev/ttyS2"}, 9200);
    write("run/ppp-ausDatei.pid", "370\nppp3\n");
    // Started under another file name, but pppd by its argument vector.
    addProcess(380, "stand-in", {"/usr/sbin/pppd", "call", "Ersatz"}, 9300);
    // NetworkManager's own pppd is its link while it is there to report it.
    addProcess(390, "pppd",
               {"/usr/sbin/pppd", "nodetach", "ipparam", "/org/freedesktop/NetworkManager/PPP/3", "plugin",
                "/usr/lib/pppd/2.4.9/nm-pppd-plugin.so"},
               9400);
    bool networkManagerReports = true;
    dialUp.leaveToNetworkManager([&] { return networkManagerReports; });
    EXPECT_EQ(listed(), "300 Früh;350 Verbindung;400 Spät;360 ppp2;370 ausDatei;380 Ersatz;");
    networkManagerReports = false;
    EXPECT_EQ(listed(), "300 Früh;350 Verbindung;400 Spät;360 ppp2;370 ausDatei;380 Ersatz;390 ;");
    remove("proc/390");
    EXPECT_EQ(getActiveConnection(dialUp, handle), "Früh");
    EXPECT_EQ(handle, 300);
    hangUpConnection(dialUp);
    EXPECT_EQ(signals, (Signals{{300, SIGTERM}}));

    // Only the exact name of a direct cable connection hides the entry.
    addPppd(20, "direct cable connection", 2);
    EXPECT_EQ(getActiveConnection(dialUp, handle), "direct cable connection");
    addPppd(19, "My Direct Cable Connection", 1);
    EXPECT_EQ(getActiveConnection(dialUp, handle), "");
    EXPECT_EQ(handle, 19);

    // A failed scan is no news: the handle stays and nothing is hung up.
    remove("proc");
    EXPECT_EQ(getActiveConnection(dialUp, handle), "");
    EXPECT_EQ(handle, 19);
    hangUpConnection(dialUp);
    EXPECT_EQ(signals.size(), 1u);
}

TEST_F(Pppd, StateConnectedConnectingDisconnectedOrUnknownMalformedEntriesSkipped)
{
    addPppd(100, "up", 1);
    addInterface("ppp0", true);
    write("run/ppp0.pid", "100\n");
    addPppd(101, "dialing"); // no pid file yet
    addPppd(102, "negotiating");
    addInterface("ppp1", false);
    write("run/ppp1.pid", "102\n");
    addProcess(104, "pppd", {}, 1000, 'Z');
    addProcess(105, "sshd", {"sshd"});
    // Malformed entries, skipped.
    addPppd(60, "gut", 50);
    write("proc/61/stat", "61 (pppd) S 1 2 3"); // cut short
    write("proc/62/stat", "garbage without parentheses");
    write("proc/63/stat", "63 (pppd) S 1 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 notanumber 0\n");
    for (const char* pid : {"61", "62", "63", "64", "99999999999", "12abc"})
        write("proc/"s + pid + "/comm", "pppd\n");
    addProcess(65, "pppd) S 1 (x", {"x", "call", "sneaky"}, 1); // a name that mimics a stat line
    write("proc/66/cmdline", "\xff\xfe\0\0\0call"s);
    write("proc/66/comm", "\x01\x02");
    write("proc/67", "a file where a folder should be");
    addProcess(68, "pppd", {"pppd", "call", "mit ) Klammer ( und  Blanks"}, 60);
    EXPECT_EQ(dialUp.connectionState(100), kStateConnected);
    EXPECT_EQ(dialUp.connectionState(101), kStateConnecting);
    EXPECT_EQ(dialUp.connectionState(102), kStateConnecting);
    EXPECT_EQ(dialUp.connectionState(104), kStateDisconnected);
    for (const std::int32_t pid : {105, 999, 0, -1, 61, 62, 63, 65, 66, 67})
        EXPECT_EQ(dialUp.connectionState(pid), 0) << pid;
    // An exiting pppd is no connection, and only a live pppd gets a hang-up.
    EXPECT_EQ(listed(), "100 up;60 gut;68 mit ) Klammer ( und  Blanks;101 dialing;102 negotiating;");
    for (const std::int32_t pid : {104, 105, 0, -3, 101})
        EXPECT_EQ(dialUp.hangUp(pid), 0) << pid;
    EXPECT_EQ(signals, (Signals{{101, SIGTERM}}));
    // A pppd of root or another user refuses; one that ended meanwhile needs no hang-up.
    signalError = EPERM;
    EXPECT_EQ(dialUp.hangUp(101), EPERM);
    EXPECT_EQ(hangUpConnection(dialUp).error, EPERM);
    signalError = ESRCH;
    EXPECT_EQ(dialUp.hangUp(101), 0);
    signalError = 0;

    // A pid file of another process does not make a link of this one.
    write("run/ppp0.pid", "101\n");
    EXPECT_EQ(dialUp.connectionState(100), kStateConnecting);
    EXPECT_EQ(dialUp.connectionState(101), kStateConnected);
}

TEST_F(Pppd, VanishingAndExecingProcesses)
{
    addPppd(80, "erst");
    addPppd(81, "dann", 2000);
    addPppd(90, "isp", 3000);
    EXPECT_EQ(listed(), "80 erst;81 dann;90 isp;");
    // Torn down: its files fail while the folder stays; or gone altogether.
    for (const char* file : {"stat", "comm", "cmdline"})
        remove("proc/80/"s + file);
    remove("proc/81");
    EXPECT_EQ(dialUp.connectionState(80), kStateDisconnected);
    // The pid goes to a new pppd: what was known of the old one is not reused.
    addPppd(90, "neu", 5000);
    EXPECT_EQ(listed(), "90 neu;");
    addProcess(90, "bash", {"/bin/bash"}, 6000);
    EXPECT_EQ(dialUp.connectionState(90), 0);
    EXPECT_EQ(listed(), "");
}

TEST_F(Pppd, NewPidsAreReadWithoutListingProcUntilSomethingCallsForAListing)
{
    const auto lastPid
        = [this](int pid) { write("proc/loadavg", "0.08 0.12 0.10 1/93 " + std::to_string(pid) + "\n"); };
    lastPid(90);
    addPppd(80, "erst");
    addProcess(90, "pon", {"/bin/sh", "/usr/bin/pon", "isp"}, 3000);
    addKernelThread(95, "kworker/1:1");   // from before the counter last wrapped
    for (int pid = 100; pid < 130; ++pid) // more old processes than are read in turn at one scan
        addProcess(pid, "bash", {"/bin/bash"}, 900);
    EXPECT_EQ(listed(), "80 erst;");

    addPppd(85, "ohne Listing"); // cannot be there: only 91 and 92 were handed out since
    addPppd(90, "isp", 3000);    // but a young process may exec pppd
    remove("proc/80");           // and a known one may end
    addPppd(92, "neu", 4000);
    // A thread of some process: its id is readable, though never listed.
    write("proc/91/stat",
          "91 (pppd) S 1 1 1 0 -1 4194560 0 0 0 0 3 1 0 0 20 0 2 0 4000 2658304 387 1 1 1 1 1 1 1 "
          "1 1 1 1 1 1 -1 0 0\n");
    write("proc/91/cmdline", "/usr/sbin/pppd\0call\0faden\0"s);
    lastPid(92);
    EXPECT_EQ(listed(), "90 isp;92 neu;");

    // A pid handed out again is a new process, even where an old one was known.
    for (int scan = 0; scan < 4; ++scan)
        listed(); // 95 is past its start and no longer read
    addProcess(95, "sh", {"/bin/sh"}, 4500);
    lastPid(96);
    EXPECT_EQ(listed(), "90 isp;92 neu;");
    addPppd(95, "wieder vergeben", 4500);
    EXPECT_EQ(listed(), "90 isp;92 neu;95 wieder vergeben;");

    // An old process execs pppd late: its first child has it read again.
    addPppd(112, "spät", 900);
    listed();
    addProcess(97, "chat", {"/usr/sbin/chat"}, 4600, 'S', 112);
    lastPid(97);
    EXPECT_EQ(listed(), "112 spät;90 isp;92 neu;95 wieder vergeben;");
    remove("proc/112");

    // Or an old process execs pppd; pppd makes its interface before the link
    // is up, and a new interface has every process read again.
    addPppd(117, "spät gewählt", 900);
    addInterface("ppp0", false);
    std::string list;
    for (int scan = 0; scan < 16 && list.find("117") == std::string::npos; ++scan)
        list = listed();
    EXPECT_EQ(list, "117 spät gewählt;85 ohne Listing;90 isp;92 neu;95 wieder vergeben;");
    remove("proc/117");

    remove("proc/95");
    remove("proc/90");
    write("proc/loadavg", "0.08 0.12 0.10 1/93 50\n"); // the counter wrapped: listed in full
    addProcess(40, "sh", {"/bin/sh"}, 5000);
    EXPECT_EQ(listed(), "85 ohne Listing;92 neu;");
    addPppd(40, "nach dem Umlauf", 5000);
    EXPECT_EQ(listed(), "85 ohne Listing;92 neu;40 nach dem Umlauf;");

    write("proc/loadavg", "kaputt\n"); // no counter: listed at every scan
    addPppd(86, "ohne Zahl");
    EXPECT_EQ(listed(), "85 ohne Listing;86 ohne Zahl;92 neu;40 nach dem Umlauf;");
    lastPid(92);
    listed();
    addPppd(87, "spät");
    bool seen = false; // a /proc of another pid namespace: listed now and then anyway
    for (int scan = 0; scan < 700 && !seen; ++scan)
        seen = listed().find("87 spät") != std::string::npos;
    EXPECT_TRUE(seen);
}

TEST_F(Pppd, KernelThreadsAreLookedAtOnlyWhileTheyStart)
{
    addKernelThread(40, "kworker/0:1");
    addKernelThread(41, "kworker/u4:2");
    addProcess(42, "bash", {"-bash"}, 900);
    EXPECT_EQ(listed(), "");
    // The kernel starts a helper program in a kernel thread of its own.
    addProcess(40, "pppd", {"/usr/sbin/pppd", "call", "helfer"}, 5);
    EXPECT_EQ(listed(), "40 helfer;");

    for (int scan = 0; scan < 4; ++scan)
        listed();
    // Past its start a kernel thread is not read again, while another old
    // process is, now and then (an exec of pppd in a shell, say).
    addProcess(41, "pppd", {"/usr/sbin/pppd", "call", "unmöglich"}, 5);
    addProcess(42, "pppd", {"/usr/sbin/pppd", "call", "exec"}, 900);
    std::string last;
    for (int scan = 0; scan < 140; ++scan)
        last = listed();
    EXPECT_EQ(last, "40 helfer;42 exec;");
}

TEST_F(Pppd, PidFilesNameTheLinkWhoseBytesSumModulo2To32)
{
    addPppd(100, "isp");
    addInterface("ppp0", true, "4294967301", "11");
    LinkBytes bytes(root);
    write("run/ppp-a.pid", "100\n../../etc\n");
    write("run/ppp-b.pid", "99999999999999999999\nppp0\n");
    for (const char* garbage : {"hundred\n", "100abc\n", "-100\n", ""}) {
        write("run/ppp0.pid", garbage);
        EXPECT_EQ(dialUp.interfaceOf(100), "") << '"' << garbage << '"';
    }
    write("run/ppp0.pid", " 100 \r\n");
    EXPECT_EQ(dialUp.interfaceOf(100), "ppp0");
    EXPECT_EQ(bytes.counts(100), (LinkCounts{5, 11})) << "tx_bytes is sent, each modulo 2^32";
    for (const char* garbage : {"abc", "", "-1", "12 34", "99999999999999999999999"}) {
        write("sys/class/net/ppp0/statistics/rx_bytes", garbage);
        EXPECT_EQ(bytes.counts(100).total(), 0u) << '"' << garbage << '"';
    }
    write("sys/class/net/ppp0/statistics/rx_bytes", "2\n");
    remove("sys/class/net/ppp0/statistics/tx_bytes");
    EXPECT_EQ(bytes.counts(100).total(), 0u);

    // The interface remembered from the last reading is given up as soon as
    // its pid file goes or names another process.
    addInterface("ppp1", true, "7", "0");
    write("run/ppp1.pid", "100\n");
    write("run/ppp0.pid", "200\n");
    EXPECT_EQ(bytes.counts(100).total(), 7u);
    addInterface("ppp0", true, "40", "2");
    write("run/ppp0.pid", "100\n");
    remove("run/ppp1.pid");
    EXPECT_EQ(bytes.counts(100).total(), 42u);
    remove("run/ppp0.pid");
    EXPECT_EQ(bytes.counts(100).total(), 0u);
}

TEST_F(Pppd, DialCallsPppdWithTheNameUnchangedAndReportsAnAtOnceRefusal)
{
    // The stand-in records its session id, pid and arguments, then does what
    // the entry's peers file says: end as a detaching pppd does, refuse, or stay.
    const std::string record = (root / "record").string();
    ::setenv("RECORD", record.c_str(), 1);
    ::setenv("PEERS", (root / "etc/ppp/peers/").c_str(), 1);
    write("usr/sbin/pppd", R"(#!/bin/sh
printf '%s\0' $(cut -d' ' -f6 /proc/$$/stat) $$ "$@" > "$RECORD.new"
mv "$RECORD.new" "$RECORD"
case $(cat -- "$PEERS$2") in
fail) echo "pppd: unrecognized option 'x'" >&2; echo more >&2; exit 2;;
stay) exec sleep 30;;
esac
)");
    write("usr/bin/pon", "#!/bin/sh\nexit 0\n"); // Debian's name, not to be used
    write("etc/ppp/peers/-x", "");
    // A dialer that cannot run is reported, not taken as started.
    EXPECT_EQ(dialUp.dial("-x").error, DialError::NotPermitted);
    for (const char* program : {"usr/sbin/pppd", "usr/bin/pon"})
        std::filesystem::permissions(root / program, std::filesystem::perms::owner_all);

    const auto recorded = [&] {
        for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(record, std::ios::binary);
        std::vector<std::string> words;
        for (std::string word; std::getline(in, word, '\0');)
            words.push_back(word);
        std::filesystem::remove(record);
        EXPECT_NE(words.empty() ? "" : words.front(), std::to_string(::getsid(0)));
        EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "a child is left to reap";
        return words;
    };
    for (const std::string& name : {" lead"s, "trail "s, "My ISP"s, "it's \"quoted\""s, "$(touch x)"s, "`id`"s, "a; b"s,
                                    "a*"s, "-q"s, "-x"s, "Müller-Lüdenscheid"s, "new\nline"s}) {
        write("etc/ppp/peers/" + name, "");
        const DialResult result = dialUp.dial(name);
        EXPECT_TRUE(result.started) << result.detail;
        const auto words = recorded();
        EXPECT_EQ(std::vector(words.begin() + std::min<std::size_t>(2, words.size()), words.end()),
                  (std::vector<std::string>{"call", name}));
    }
    for (const std::string& name : {"fehlt"s, "../peers/-x"s, ""s, "-x\0y"s})
        EXPECT_FALSE(dialUp.dial(name).started) << name;

    // pppd refusing the call: its status and its first line on stderr.
    write("etc/ppp/peers/kaputt", "fail");
    const DialResult refused = dialUp.dial("kaputt");
    recorded();
    EXPECT_FALSE(refused.started);
    EXPECT_EQ(refused.error, DialError::ExitedAtOnce);
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.detail.find("pppd: unrecognized option 'x'"), std::string::npos) << refused.detail;
    EXPECT_EQ(refused.detail.find("more"), std::string::npos) << refused.detail;

    // One that keeps running has started, and is not waited for.
    write("etc/ppp/peers/bleibt", "stay");
    EXPECT_TRUE(dialUp.dial("bleibt").started);
    const auto words = recorded();
    const pid_t stays = words.size() > 1 ? std::atoi(words[1].c_str()) : 0;
    ASSERT_GT(stays, 0);
    EXPECT_EQ(::kill(stays, 0), 0) << "the dialer was waited for until it ended";
    ::kill(stays, SIGKILL);

    remove("usr/sbin");
    EXPECT_EQ(dialUp.dial("-x").error, DialError::ProgramMissing);
}

} // namespace
} // namespace zumi
