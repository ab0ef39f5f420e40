// The settings file at sizes far beyond what Zumi writes: a 5 MB file of short
// lines loaded (time, and peak memory against the file's size), and the
// dialog's OK over a file of 100,000 tariff records.
#include "settings/ini_settings_store.h"
#include "settings/settings_io.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <malloc.h>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace zumi::bench {
namespace {

std::filesystem::path scratchFile()
{
    const auto folder = std::filesystem::temp_directory_path() / ("zumi-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder / "Zumi.conf";
}

void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// About 5 MB of short lines: distinct keys, a few comments and blank lines;
// or (tiny) nothing but lines of two bytes, the most lines a file can hold.
std::string shortLines(bool tiny)
{
    std::string text = "[Settings]\n";
    if (tiny) {
        while (text.size() < 5'000'000)
            text += "x\n";
        return text;
    }
    for (int i = 0; text.size() < 5'000'000; ++i) {
        text += "k" + std::to_string(i) + "=" + std::to_string(i % 10) + "\n";
        if (i % 100 == 0)
            text += "; note\n\n";
    }
    return text;
}

std::string records(int count)
{
    std::string text = "[Settings]\n";
    for (int k = 0; k < count; ++k)
        text += recordKey(k) + "=Gone" + std::to_string(k) + ",0,9,18,21,150,90,90,150,0,,,,240,,,,\n";
    return text;
}

long statusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(line.find(':') + 1));
    return -1;
}

// Peak memory of loading the file, in a child so that nothing of earlier
// runs counts: the high-water mark is reset before the load.
double peakMegabytes(const std::filesystem::path& path)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::malloc_trim(0); // memory freed by earlier runs would be reused unseen
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = statusKb("VmRSS:");
        IniSettingsStore store(path);
        benchmark::DoNotOptimize(store.read("k1"));
        const double grown = static_cast<double>(statusKb("VmHWM:") - before) / 1024.0;
        [[maybe_unused]] const auto n = ::write(pipeEnds[1], &grown, sizeof grown);
        ::_exit(0);
    }
    double grown = -1;
    [[maybe_unused]] const auto n = ::read(pipeEnds[0], &grown, sizeof grown);
    ::waitpid(child, nullptr, 0);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    return grown;
}

void BM_LoadShortLines5MB(benchmark::State& state)
{
    const auto path = scratchFile();
    const std::string text = shortLines(state.range(0) != 0);
    writeText(path, text);
    for (auto _ : state) {
        IniSettingsStore store(path);
        benchmark::DoNotOptimize(store.read("k1"));
    }
    const double fileMb = static_cast<double>(text.size()) / (1024.0 * 1024.0);
    const double peak = peakMegabytes(path);
    state.counters["file_MB"] = fileMb;
    state.counters["peak_MB"] = peak;
    state.counters["peak_per_file_byte"] = peak / fileMb;
    std::filesystem::remove_all(path.parent_path());
}
BENCHMARK(BM_LoadShortLines5MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DialogOk100kRecords(benchmark::State& state)
{
    const auto path = scratchFile();
    const std::string text = records(static_cast<int>(state.range(0)));
    const ConnNames names{"Net1", "Net2"};
    DialogSettings dialog;
    dialog.start.assign(2, {"0", "", "", "", "", "", "", ""});
    dialog.takt.assign(2, {"60", "", "", "", "", "", "", ""});
    dialog.vorlaufText = "2";
    dialog.hangupBytesText = "512";
    for (auto _ : state) {
        state.PauseTiming();
        writeText(path, text);
        IniSettingsStore store(path);
        Settings settings;
        state.ResumeTiming();
        if (!storeDialogSettings(store, names, dialog, settings))
            state.SkipWithError("not stored");
    }
    std::filesystem::remove_all(path.parent_path());
}
BENCHMARK(BM_DialogOk100kRecords)->Arg(10000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
} // namespace zumi::bench

BENCHMARK_MAIN();
