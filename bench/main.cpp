// The benchmarks, with each subject's time set against its baseline's at the end:
//   cmake --preset bench && cmake --build --preset bench && ./build/bench/bench/orbalune_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace orbalune {
namespace {

struct Comparison {
    std::string title;
    std::string baseline;  // benchmark names
    std::string subject;
};

const std::vector<Comparison> kComparisons = {
    {"generateLevel, dungeon 1", "BM_Baseline/1", "BM_GenerateLevel/1"},
    {"generateLevel, dungeon 10", "BM_Baseline/10", "BM_GenerateLevel/10"},
    {"generateLevel, dungeon 100", "BM_Baseline/100", "BM_GenerateLevel/100"},
    {"generateLevel, dungeon 1000", "BM_Baseline/1000", "BM_GenerateLevel/1000"},
    {"resume 100000 saved keys", "BM_ReplayKeys/iterations:10", "BM_ResumeSavedGame/iterations:10"},
    {"replay 100000 saved keys into a file, against resuming them",
     "BM_ResumeSavedGame/iterations:10", "BM_ReplaySavedGameToFile/iterations:10"},
};

// Collects each run's time so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            times_[run.benchmark_name()] = {run.GetAdjustedRealTime(),
                                            benchmark::GetTimeUnitString(run.time_unit)};
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-30s %14s %14s %8s\n", "", "baseline", "subject", "ratio");
        for (const Comparison& comparison : kComparisons) {
            const Time baseline = times_[comparison.baseline];
            const Time subject = times_[comparison.subject];
            if (baseline.value > 0 && subject.value > 0) {
                std::printf("%-30s %11.3f %-2s %11.3f %-2s %8.2f\n", comparison.title.c_str(),
                            baseline.value, baseline.unit, subject.value, subject.unit,
                            subject.value / baseline.value);
            }
        }
    }

private:
    struct Time {
        double value = 0;
        const char* unit = "";
    };
    std::map<std::string, Time> times_;
};

}  // namespace
}  // namespace orbalune

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    orbalune::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
