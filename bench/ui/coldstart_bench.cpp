// Cold start of the programmer's window to its first painted frame, each start a fresh process
// on the offscreen platform, beside a bare Qt window built from the same number of stock widgets
// of the same kinds and an empty chart, measured in the same run. After the table comes the
// ratio of the medians of time and of peak memory; the goal is at most 1.3 times the bare one.
//
//   zk_ui_bench [--benchmark_repetitions=N] [other benchmark flags]
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "firstpaintrun.h"

using zk::bench::Median;

namespace {

constexpr double kGoal = 1.3;

struct Start {
    double ms;
    double cpuMs;  // user and system time of the process: steadier than wall time on a busy machine
    double peakMiB;
};

struct Samples {
    std::vector<double> ms;
    std::vector<double> cpuMs;
    std::vector<double> peakMiB;
};

Samples bareSamples;
Samples programmerSamples;
std::vector<std::string> bareArgs;

Start ColdStart(const std::vector<std::string>& args) {
    rusage usage{};
    std::chrono::steady_clock::time_point started;
    const std::string printed = zk::bench::RunFirstPaint(args, &usage, &started);
    const long long paintedNs = std::stoll(printed);
    const long long startedNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(started.time_since_epoch()).count();
    const auto toMs = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return {static_cast<double>(paintedNs - startedNs) / 1e6,
            toMs(usage.ru_utime) + toMs(usage.ru_stime),
            static_cast<double>(usage.ru_maxrss) / 1024.0};
}

void Measure(benchmark::State& state, const std::vector<std::string>& args, Samples& samples) {
    double peak = 0;
    try {
        for (auto _ : state) {
            const Start start = ColdStart(args);
            state.SetIterationTime(start.ms / 1e3);
            samples.ms.push_back(start.ms);
            samples.cpuMs.push_back(start.cpuMs);
            samples.peakMiB.push_back(start.peakMiB);
            peak = std::max(peak, start.peakMiB);
        }
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    state.counters["peak_MiB"] = peak;
}

void BareWindow(benchmark::State& state) {
    Measure(state, bareArgs, bareSamples);
}

void Programmer(benchmark::State& state) {
    Measure(state, {"programmer"}, programmerSamples);
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);

    // The bare window gets the programmer's make-up of stock widgets.
    bareArgs = {"bare"};
    for (const std::string& kind : zk::bench::StockWidgetCensus()) {
        bareArgs.push_back(kind);
    }

    benchmark::RegisterBenchmark("BareWindow", BareWindow)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(15);
    benchmark::RegisterBenchmark("Programmer", Programmer)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(15);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nbare window:");
    for (std::size_t i = 1; i < bareArgs.size(); ++i) {
        std::printf(" %s", bareArgs[i].c_str());
    }
    if (bareSamples.ms.empty() || programmerSamples.ms.empty()) {
        std::printf("\nNo ratio: a measurement did not run.\n");
        return 0;
    }
    const double timeRatio = Median(programmerSamples.ms) / Median(bareSamples.ms);
    const double cpuRatio = Median(programmerSamples.cpuMs) / Median(bareSamples.cpuMs);
    const double memoryRatio = Median(programmerSamples.peakMiB) / Median(bareSamples.peakMiB);
    std::printf("\nratio to the bare window (medians; goal %.1fx)\n", kGoal);
    std::printf("  first paint %7.1f ms vs %7.1f ms  %5.2fx  %s\n", Median(programmerSamples.ms),
                Median(bareSamples.ms), timeRatio, timeRatio <= kGoal ? "met" : "MISSED");
    std::printf("  cpu time    %7.1f ms vs %7.1f ms  %5.2fx  %s\n", Median(programmerSamples.cpuMs),
                Median(bareSamples.cpuMs), cpuRatio, cpuRatio <= kGoal ? "met" : "MISSED");
    std::printf("  peak memory %7.1f MiB vs %6.1f MiB  %5.2fx  %s\n",
                Median(programmerSamples.peakMiB), Median(bareSamples.peakMiB), memoryRatio,
                memoryRatio <= kGoal ? "met" : "MISSED");
    return 0;
}
