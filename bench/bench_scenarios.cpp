// Whole-operation scenarios on seeded synthetic valves: TPS import, fitting, a cluster, the
// pairwise tables (also of valves whose margins fold back) and the XML document. A scenario
// with a fast path also runs the plain one ("/plain") and the ratio is printed at the end, with
// each scenario's peak memory.

#include "peak_memory.h"
#include "valve_outlines.h"

#include "cluster/cluster_comparison.h"
#include "cluster/cluster_member_fit.h"
#include "cluster/mean_specimen.h"
#include "cluster/size_normalization.h"
#include "cluster/spline_areas.h"
#include "cluster/spline_sample_row.h"
#include "document/carinova_doc.h"
#include "formats/specimen_file.h"
#include "model/approx_specimen.h"
#include "platform/atomic_file.h"
#include "platform/parallel_for.h"
#include "platform/scripted_interaction.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using bench::ReportPeak;
using bench::StatusKb;
using bench::StartPeak;

// ---- data ---------------------------------------------------------------------------------

constexpr int kPoints = 400;

std::vector<std::unique_ptr<CSpecimen>> MakeSpecimens(int count, std::uint32_t seed) {
    bench::CValveGenerator generator(seed);
    std::vector<std::unique_ptr<CSpecimen>> specimens;
    for (int i = 0; i < count; ++i) {
        specimens.push_back(bench::MakeSpecimen(generator.Outline(kPoints)));
        specimens.back()->ShortPathName = "valve" + std::to_string(i) + ".tps";
    }
    return specimens;
}

class CScratch {
public:
    CScratch() : dir_(fs::temp_directory_path() / ("carinova-bench-" + std::to_string(getpid()))) {
        fs::create_directories(dir_);
    }
    ~CScratch() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path File(const std::string& name) const { return dir_ / name; }

private:
    fs::path dir_;
};

CScratch& Scratch() {
    static CScratch scratch;
    return scratch;
}

// 10,000 outlines of 400 points with their landmarks, about 40 MB.
const fs::path& TpsFile() {
    static const fs::path path = [] {
        const fs::path p = Scratch().File("valves.tps");
        bench::CValveGenerator generator(7);
        std::string text;
        char line[64];
        for (int i = 0; i < 10000; ++i) {
            const std::vector<FPoint> outline = generator.Outline(kPoints);
            text += "LM=2\n";
            for (int k : {0, kPoints / 2}) {
                std::snprintf(line, sizeof line, "%.1f %.1f\n", outline[k].x, outline[k].y);
                text += line;
            }
            text += "OUTLINES=1\nPOINTS=" + std::to_string(kPoints) + "\n";
            for (const FPoint& p : outline) {
                std::snprintf(line, sizeof line, "%.1f %.1f\n", p.x + 0.5f, p.y + 0.25f);
                text += line;
            }
            text += "IMAGE=valve" + std::to_string(i) + ".jpg\nID=" + std::to_string(i) +
                    "\nSCALE=0.002500\n";
        }
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }();
    return path;
}

// ---- TPS import ---------------------------------------------------------------------------

void BM_TpsImport(benchmark::State& state) {
    const std::string path = TpsFile().string();
    const auto bytes = static_cast<int64_t>(fs::file_size(path));
    int64_t specimens = 0;
    const long start = StartPeak();
    for (auto _ : state) {
        const CSpecimenFile read = ReadSpecimenFile(path);
        specimens += static_cast<int64_t>(read.specimens.size());
        benchmark::DoNotOptimize(read.specimens.data());
    }
    ReportPeak(state, start);
    state.SetItemsProcessed(specimens);
    state.SetBytesProcessed(bytes * state.iterations());
}
BENCHMARK(BM_TpsImport)->Unit(benchmark::kMillisecond)->Iterations(2);

// ---- fit ----------------------------------------------------------------------------------

const std::vector<std::unique_ptr<CSpecimen>>& FitSpecimens() {
    static const auto specimens = MakeSpecimens(2000, 11);
    return specimens;
}

// One thread: the figure per core.
void BM_Fit(benchmark::State& state, CFitSolver solver) {
    const auto& specimens = FitSpecimens();
    const long start = StartPeak();
    for (auto _ : state) {
        for (const auto& specimen : specimens) {
            CApproxSpecimen approx;
            approx.Solver = solver;
            std::string error;
            benchmark::DoNotOptimize(approx.Fit(*specimen, error));
        }
    }
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(specimens.size()));
}
BENCHMARK_CAPTURE(BM_Fit, fast, CFitSolver::Sparse)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_Fit, plain, CFitSolver::PseudoInverse)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// ---- cluster ------------------------------------------------------------------------------

const std::vector<std::unique_ptr<CSpecimen>>& ClusterSpecimens() {
    static const auto specimens = MakeSpecimens(1000, 23);
    return specimens;
}

// Insert all (fit and normalise), mark the first as reference, compute the mean.
void BM_ClusterFast(benchmark::State& state) {
    const long start = StartPeak();
    for (auto _ : state) {
        state.PauseTiming();
        CScriptedInteraction ui;
        CCarinovaDoc doc(ui);
        std::vector<CSpecimenRecord*> records;
        for (const auto& source : ClusterSpecimens()) {
            auto specimen = bench::MakeSpecimen(source->Contour);
            auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
            records.push_back(record.get());
            doc.AddSpecimenRecord(std::move(record));
        }
        state.ResumeTiming();
        doc.InsertIntoCluster(records);
        doc.SetReferenceRecord(records.front());
        doc.CalculateMeanSpecimen();
        benchmark::DoNotOptimize(doc.GetClusterList().size());
    }
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * 1000);
}
// Wall time: the work runs on all cores.
BENCHMARK(BM_ClusterFast)
    ->Name("BM_Cluster/fast")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// The same work one member after the other with the pseudo-inverse fit.
void BM_ClusterPlain(benchmark::State& state) {
    const long start = StartPeak();
    CClusterParameter parameter;
    for (auto _ : state) {
        std::vector<std::unique_ptr<CSpecimenRecord>> records;
        std::vector<CSpecimenRecord*> members;
        for (const auto& source : ClusterSpecimens()) {
            auto record = std::make_unique<CSpecimenRecord>(bench::MakeSpecimen(source->Contour));
            auto approx = MakeClusterApproximation(parameter);
            approx->Solver = CFitSolver::PseudoInverse;
            std::string error;
            if (!approx->Fit(*record->GetSpecimen(), error) ||
                !NormalizeClusterApproximation(*approx, *record->GetSpecimen(), parameter.Normalize,
                                               error))
                continue;
            record->SetClusterApproximation(std::move(approx));
            record->SetClusterData(std::make_unique<CClusterData>());
            members.push_back(record.get());
            records.push_back(std::move(record));
        }
        const CApproxSpecimen& reference = *members.front()->GetClusterApproximation();
        for (CSpecimenRecord* member : members)
            ComputeClusterData(*member->GetClusterApproximation(), reference,
                               *member->GetClusterData());
        auto mean = MakeMeanSpecimenRecord(members, parameter);
        ComputeClusterData(*mean->GetClusterApproximation(), reference, *mean->GetClusterData());
        benchmark::DoNotOptimize(mean.get());
    }
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ClusterPlain)->Name("BM_Cluster/plain")->Unit(benchmark::kMillisecond)->Iterations(1);

// ---- pairwise tables ----------------------------------------------------------------------

std::vector<std::unique_ptr<CApproxSpecimen>> Approximated(
    const std::vector<std::unique_ptr<CSpecimen>>& sources) {
    std::vector<const CSpecimen*> specimens;
    for (const auto& s : sources)
        specimens.push_back(s.get());
    std::vector<std::unique_ptr<CApproxSpecimen>> result;
    for (CClusterMemberFit& fit : FitClusterMembers(specimens, CClusterParameter()))
        if (fit.approximation)
            result.push_back(std::move(fit.approximation));
    return result;
}

const std::vector<std::unique_ptr<CApproxSpecimen>>& ClusterApproximations() {
    static const auto approximations = Approximated(ClusterSpecimens());
    return approximations;
}

std::vector<const CApproxSpecimen*> FirstApproximations(std::size_t count) {
    std::vector<const CApproxSpecimen*> list;
    for (const auto& a : ClusterApproximations())
        if (list.size() < count)
            list.push_back(a.get());
    return list;
}

int64_t Pairs(std::size_t n) {
    return static_cast<int64_t>(n * (n - 1) / 2);
}

void BM_PairwiseTablesFast(benchmark::State& state) {
    const auto list = FirstApproximations(static_cast<std::size_t>(state.range(0)));
    const long start = StartPeak();
    for (auto _ : state) {
        benchmark::DoNotOptimize(PairwiseRmsMatrix(list, 8).data());
        // The three area tables in one pass, each pair's sides measured once.
        benchmark::DoNotOptimize(PairwiseAreaTables(list).total.data());
    }
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * Pairs(list.size()));
}
BENCHMARK(BM_PairwiseTablesFast)
    ->Name("BM_PairwiseTables/fast")
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

// The four tables of 10,000 members as the batch tool computes them, a row of pairs at a time
// on all cores (the root-mean-square in both orders, each pair's areas once), none of them held.
void BM_PairwiseTablesStream(benchmark::State& state) {
    static const auto approximations = Approximated(MakeSpecimens(10000, 29));
    std::vector<const CApproxSpecimen*> list;
    for (const auto& a : approximations)
        list.push_back(a.get());
    const std::size_t n = list.size();
    const long start = StartPeak();
    for (auto _ : state) {
        const CPairwiseAreaSampler sampler(list);
        std::vector<double> sums(n, 0.0);
        ParallelFor(n, [&](std::size_t i) {
            const auto storage = CPairwiseAreaSampler::NewStorage();
            double sum = 0.0;
            for (std::size_t j = 0; j < n; ++j)
                sum += PairwiseRms(list[i], list[j], 8);
            for (std::size_t j = i + 1; j < n; ++j)
                sum += sampler.Pair(i, j, *storage).total;
            sums[i] = sum;
        });
        benchmark::DoNotOptimize(sums.data());
    }
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * Pairs(n));
}
BENCHMARK(BM_PairwiseTablesStream)
    ->Name("BM_PairwiseTables/stream/10000")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

float PlainRms(const CApproxSpecimen& a, const CApproxSpecimen& b, int n) {
    float sum = 0.0f;
    for (int k = 0; k < n; ++k) {
        const FPoint d = a.ApproxUpper.ControlPoints[k] - b.ApproxUpper.ControlPoints[k];
        const FPoint v = a.ApproxLower.ControlPoints[k] - b.ApproxLower.ControlPoints[k];
        sum += d.x * d.x + d.y * d.y + v.x * v.x + v.y * v.y;
    }
    return std::sqrt(sum / (2.0f * static_cast<float>(n)));
}

// The three area tables, each pair of each table by the single-pair function, sampling afresh.
void PlainAreaTables(const std::vector<const CApproxSpecimen*>& list) {
    const std::size_t n = list.size();
    std::vector<float> dorsal(n * n), ventral(n * n), total(n * n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            dorsal[i * n + j] = DorsalAreaBetween(*list[i], *list[j]);
            ventral[i * n + j] = VentralAreaBetween(*list[i], *list[j]);
            total[i * n + j] = TotalAreaBetween(*list[i], *list[j]);
        }
    benchmark::DoNotOptimize(dorsal.data());
    benchmark::DoNotOptimize(ventral.data());
    benchmark::DoNotOptimize(total.data());
}

// Every pair sampled afresh, both triangles of the root-mean-square table, one thread.
void BM_PairwiseTablesPlain(benchmark::State& state) {
    const auto list = FirstApproximations(static_cast<std::size_t>(state.range(0)));
    const std::size_t n = list.size();
    const long start = StartPeak();
    for (auto _ : state) {
        std::vector<float> rms(n * n);
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j)
                rms[i * n + j] = PlainRms(*list[i], *list[j], 8);
        benchmark::DoNotOptimize(rms.data());
        PlainAreaTables(list);
    }
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * Pairs(n));
}
BENCHMARK(BM_PairwiseTablesPlain)
    ->Name("BM_PairwiseTables/plain")
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// ---- area tables of valves with folded margins ---------------------------------------------

// Half of the valves with a leaning dorsal lobe: as on the real rapanui file, a sixth or so of
// the dorsal sides fold back as seen from the centroid, and their pairs are measured by polygon
// clipping instead of the sector walk.
const std::vector<std::unique_ptr<CApproxSpecimen>>& LobedApproximations() {
    static const auto approximations = [] {
        bench::CValveGenerator generator(29);
        std::vector<std::unique_ptr<CSpecimen>> specimens;
        std::vector<const CSpecimen*> list;
        for (int i = 0; i < 500; ++i) {
            specimens.push_back(bench::MakeSpecimen(generator.Outline(kPoints, 0.5)));
            list.push_back(specimens.back().get());
        }
        std::vector<std::unique_ptr<CApproxSpecimen>> result;
        for (CClusterMemberFit& fit : FitClusterMembers(list, CClusterParameter()))
            if (fit.approximation)
                result.push_back(std::move(fit.approximation));
        return result;
    }();
    return approximations;
}

std::vector<const CApproxSpecimen*> LobedList(benchmark::State& state) {
    std::vector<const CApproxSpecimen*> list;
    int folded = 0;
    for (const auto& a : LobedApproximations()) {
        list.push_back(a.get());
        folded += SampleSide(a.get(), CSplineSide::Dorsal).shape == CRowShape::Folded;
    }
    state.counters["folded_dorsal"] =
        static_cast<double>(folded) / static_cast<double>(list.size());
    return list;
}

void BM_LobedAreaTablesFast(benchmark::State& state) {
    const auto list = LobedList(state);
    const long start = StartPeak();
    for (auto _ : state)
        benchmark::DoNotOptimize(PairwiseAreaTables(list).total.data());
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * Pairs(list.size()));
}
BENCHMARK(BM_LobedAreaTablesFast)
    ->Name("BM_LobedAreaTables/fast")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

// Every pair sampled afresh, each table on its own, one thread.
void BM_LobedAreaTablesPlain(benchmark::State& state) {
    const auto list = LobedList(state);
    const std::size_t n = list.size();
    const long start = StartPeak();
    for (auto _ : state) {
        PlainAreaTables(list);
    }
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * Pairs(n));
}
BENCHMARK(BM_LobedAreaTablesPlain)
    ->Name("BM_LobedAreaTables/plain")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// ---- XML document -------------------------------------------------------------------------

// count records, each with its approximation, all in the cluster, a reference and the mean.
void FillDocument(CCarinovaDoc& doc, int count, std::uint32_t seed) {
    std::vector<CSpecimenRecord*> records;
    for (auto& specimen : MakeSpecimens(count, seed)) {
        auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
        auto approx = std::make_unique<CApproxSpecimen>();
        std::string error;
        if (approx->Fit(*record->GetSpecimen(), error))
            record->SetApproximation(std::move(approx));
        records.push_back(record.get());
        doc.AddSpecimenRecord(std::move(record));
    }
    doc.InsertIntoCluster(records);
    doc.SetReferenceRecord(records.front());
    doc.CalculateMeanSpecimen();
}

const fs::path& XmlFile() {
    static const fs::path path = [] {
        const fs::path p = Scratch().File("document.xml");
        CScriptedInteraction ui;
        CCarinovaDoc doc(ui);
        FillDocument(doc, 2000, 31);
        doc.OnSaveDocument(p.string());
        return p;
    }();
    return path;
}

void BM_XmlSave(benchmark::State& state) {
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    FillDocument(doc, 2000, 31);
    const std::string path = Scratch().File("saved.xml").string();
    const long start = StartPeak();
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.OnSaveDocument(path));
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * 2000);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_XmlSave)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_XmlOpen(benchmark::State& state) {
    const std::string path = XmlFile().string();
    const long start = StartPeak();
    for (auto _ : state) {
        CScriptedInteraction ui;
        CCarinovaDoc doc(ui);
        benchmark::DoNotOptimize(doc.OnOpenDocument(path));
    }
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * 2000);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_XmlOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---- many files into one folder -------------------------------------------------------------

// A batch run's TPS files or pictures: n saves into one folder with stale temporary files of
// killed saves beside them. The time per file stays flat when the folder is not read at each save.
void BM_SavesIntoOneFolder(benchmark::State& state) {
    const auto count = static_cast<int>(state.range(0));
    const std::string text(2000, 'x');
    int run = 0;
    for (auto _ : state) {
        const fs::path folder =
            Scratch().File("saves-" + std::to_string(count) + "-" + std::to_string(run++));
        fs::create_directory(folder);
        for (int i = 0; i < count; i += 50) // what killed saves left (process 1 never ends)
            std::ofstream(folder / (".valve " + std::to_string(i) + ".tps.1.1.tmp")) << "half";
        for (int i = 0; i < count; ++i) {
            CAtomicFile file;
            benchmark::DoNotOptimize(file.Open(folder / ("valve " + std::to_string(i) + ".tps")) &&
                                     file.Write(text) && file.Commit());
        }
        state.PauseTiming();
        fs::remove_all(folder);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_SavesIntoOneFolder)
    ->Arg(1000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// ---- a large document in memory ------------------------------------------------------------

// Memory held by a document of 10,000 specimens with approximations and a full cluster.
void BM_Document10000(benchmark::State& state) {
    const long start = StartPeak();
    for (auto _ : state) {
        CScriptedInteraction ui;
        CCarinovaDoc doc(ui);
        FillDocument(doc, 10000, 41);
        malloc_trim(0);
        state.counters["held_MB"] = static_cast<double>(StatusKb("VmRSS") - start) / 1024.0;
    }
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_Document10000)->Unit(benchmark::kMillisecond)->Iterations(1);

// ---- ratios -------------------------------------------------------------------------------

// Prints, after the usual table, how much faster each fast path is than its plain one.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            seconds_[Scenario(run.benchmark_name())] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [name, time] : seconds_) {
            const std::size_t at = name.find("/fast");
            if (at == std::string::npos)
                continue;
            std::string plain = name;
            plain.replace(at, 5, "/plain");
            const auto other = seconds_.find(plain);
            if (other != seconds_.end() && time > 0.0)
                std::printf("%-40s fast path %.1f x faster\n", name.c_str(), other->second / time);
        }
    }

private:
    // The name without the run settings, so that fast and plain runs pair up: a fast path that
    // runs on all cores is timed by the wall clock ("/real_time"), its plain path not.
    static std::string Scenario(std::string name) {
        for (const char* setting : {"/iterations:", "/min_time:", "/real_time"}) {
            const std::size_t at = name.find(setting);
            if (at != std::string::npos)
                name.erase(at, name.find('/', at + 1) - at);
        }
        return name;
    }

    std::map<std::string, double> seconds_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
