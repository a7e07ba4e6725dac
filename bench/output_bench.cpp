// How long the output action takes, beside what the same work costs at its barest: 48768 sin
// values and 139600 bytes written to a file (the two files' sizes together). Every measurement
// runs in a fresh temporary folder (under $TMPDIR, else /tmp) that is removed at the end; after
// the usual table comes a "ratio to baseline" summary of the medians of wall and CPU time.
//
//   zk_output_bench [--benchmark_repetitions=N] [--benchmark_filter=...] [other benchmark flags]
//
// The output action is meant to stay within 1.5 times the baseline.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "_5FormFM.h"
#include "_8RIFF.h"
#include "chartsink.h"
#include "generate.h"
#include "output.h"
#include "panelstate.h"
#include "player.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBaselineBytes = zk::kWaveFileBytes + zk::kWaveTableBytes;  // 139600
constexpr double kOutputGoal = 1.5;

class NoPlayer : public zk::Player {
  public:
    void Play(const zk::Sound&) override {}
};

// The sin part of the baseline: the carrier's angles, as the synthesis computes them.
void ComputeSines(std::vector<double>& out) {
    const double w = (zk::kCarrierHz * (2.0 * std::numbers::pi)) / double{zk::kSampleRate};
    for (int i = 0; i < zk::kSignalSamples; ++i) {
        out[static_cast<std::size_t>(i)] = std::sin(w * i);
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
}

// The file part of the baseline: create or truncate, one write, close. Like the writers it
// replaces the file of the previous run; on ext4 truncating a file to zero makes the close start
// writing the new data out, so waiting for the disk is part of this cost and varies with load.
bool WriteBytes(const std::vector<char>& bytes) {
    const int fd = ::open("baseline.bin", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    const bool written =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && written;
}

// Runs `body` on every iteration; an exception ends the benchmark with its message.
template <typename Body>
void Measure(benchmark::State& state, Body body) {
    try {
        for (auto _ : state) {
            body();
        }
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

// Reports a file that does not have the size the writers promise.
void ExpectSize(benchmark::State& state, const char* name, std::uintmax_t expected) {
    if (state.error_occurred()) {
        return;
    }
    std::error_code error;
    const std::uintmax_t size = fs::file_size(name, error);
    if (error || size != expected) {
        const std::string message = std::string(name) + " has " +
                                    (error ? error.message() : std::to_string(size)) +
                                    " bytes, expected " + std::to_string(expected);
        state.SkipWithError(message.c_str());
    }
}

void Baseline(benchmark::State& state) {
    std::vector<double> sines(zk::kSignalSamples);
    const std::vector<char> bytes(kBaselineBytes, 'x');
    for (auto _ : state) {
        ComputeSines(sines);
        if (!WriteBytes(bytes)) {
            state.SkipWithError(std::strerror(errno));
            break;
        }
    }
}

void BaselineSinOnly(benchmark::State& state) {
    std::vector<double> sines(zk::kSignalSamples);
    for (auto _ : state) {
        ComputeSines(sines);
    }
}

void BaselineWriteOnly(benchmark::State& state) {
    const std::vector<char> bytes(kBaselineBytes, 'x');
    for (auto _ : state) {
        if (!WriteBytes(bytes)) {
            state.SkipWithError(std::strerror(errno));
            break;
        }
    }
}

void SynthesizeSignal(benchmark::State& state) {
    zk::NoChart chart;
    Measure(state, [&] { zk::SynthesizeSignal(chart); });
}

void WriteWaveTable(benchmark::State& state) {
    zk::NoChart chart;
    zk::SynthesizeSignal(chart);
    Measure(state, [] { zk::WriteWaveTable(); });
    ExpectSize(state, zk::kWaveTableFileName, zk::kWaveTableBytes);
}

void WriteWaveFile(benchmark::State& state) {
    zk::NoChart chart;
    Measure(state, [&] { zk::WriteWaveFile(chart); });
    ExpectSize(state, zk::kWaveFileName, zk::kWaveFileBytes);
    ExpectSize(state, zk::kWaveTableFileName, zk::kWaveTableBytes);
}

void RunOutput(benchmark::State& state) {
    zk::PanelState panel;
    zk::NoChart chart;
    NoPlayer player;
    Measure(state, [&] { zk::RunOutput(panel, chart, player); });
    ExpectSize(state, zk::kWaveFileName, zk::kWaveFileBytes);
    ExpectSize(state, zk::kWaveTableFileName, zk::kWaveTableBytes);
}

// The usual console table, and beside it the wall and CPU time of every benchmark: the median
// aggregate when repetitions give one, else the median of the plain runs.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    explicit RatioReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            const std::string& name = run.run_name.function_name;
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            const Times times{run.GetAdjustedRealTime() / unit, run.GetAdjustedCPUTime() / unit};
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    medians_[name] = times;
                }
            } else {
                plain_[name].push_back(times);
            }
        }
    }

    // Prints every benchmark's wall and CPU time as multiples of the baseline's. The goal is
    // judged on wall time; CPU time (including the kernel's share) leaves out waiting for the disk,
    // which varies much from run to run.
    void PrintRatios(const std::vector<std::string>& names) const {
        const auto baseline = Median("Baseline");
        if (!baseline) {
            std::printf("\nNo ratio to baseline: the baseline did not run.\n");
            return;
        }
        std::printf("\nratio to baseline (medians; baseline wall %.3f ms, cpu %.3f ms)\n",
                    baseline->wall * 1e3, baseline->cpu * 1e3);
        std::printf("  %-18s %9s %7s %9s %7s\n", "", "wall ms", "ratio", "cpu ms", "ratio");
        for (const std::string& name : names) {
            const auto times = Median(name);
            if (!times) {
                continue;
            }
            const double ratio = times->wall / baseline->wall;
            std::printf("  %-18s %9.3f %6.2fx %9.3f %6.2fx", name.c_str(), times->wall * 1e3, ratio,
                        times->cpu * 1e3, times->cpu / baseline->cpu);
            if (name == "RunOutput") {
                std::printf("   goal wall <= %.1fx: %s", kOutputGoal,
                            ratio <= kOutputGoal ? "met" : "MISSED");
            }
            std::printf("\n");
        }
    }

  private:
    struct Times {
        double wall;
        double cpu;
    };

    static double MedianOf(std::vector<double> values) {
        std::sort(values.begin(), values.end());
        const std::size_t n = values.size();
        return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }

    std::optional<Times> Median(const std::string& name) const {
        if (const auto m = medians_.find(name); m != medians_.end()) {
            return m->second;
        }
        const auto p = plain_.find(name);
        if (p == plain_.end() || p->second.empty()) {
            return std::nullopt;
        }
        std::vector<double> wall;
        std::vector<double> cpu;
        for (const Times& times : p->second) {
            wall.push_back(times.wall);
            cpu.push_back(times.cpu);
        }
        return Times{MedianOf(wall), MedianOf(cpu)};
    }

    std::map<std::string, Times> medians_;
    std::map<std::string, std::vector<Times>> plain_;
};

// A fresh folder for the files, entered for the run and removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "zk77q3-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw fs::filesystem_error("cannot create a temporary folder", pattern,
                                       std::error_code(errno, std::generic_category()));
        }
        path_ = pattern;
        previous_ = fs::current_path();
        fs::current_path(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        fs::current_path(previous_, ignored);
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
    fs::path previous_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }

    const std::pair<const char*, void (*)(benchmark::State&)> benchmarks[] = {
        {"Baseline", Baseline},
        {"BaselineSinOnly", BaselineSinOnly},
        {"BaselineWriteOnly", BaselineWriteOnly},
        {"SynthesizeSignal", SynthesizeSignal},
        {"WriteWaveTable", WriteWaveTable},
        {"WriteWaveFile", WriteWaveFile},
        {"RunOutput", RunOutput},
    };
    std::vector<std::string> names;
    for (const auto& [name, fn] : benchmarks) {
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMicrosecond)->UseRealTime();
        names.emplace_back(name);
    }

    try {
        const TempFolder folder;
        std::printf("Working folder: %s\n", folder.path().c_str());
        // The array every benchmark synthesizes from: the window's start values.
        zk::PanelState panel;
        zk::GenerateTransferArray(panel);

        RatioReporter reporter(::isatty(STDOUT_FILENO) ? RatioReporter::OO_ColorTabular
                                                       : RatioReporter::OO_Tabular);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        reporter.PrintRatios(names);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zk_output_bench: %s\n", error.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
