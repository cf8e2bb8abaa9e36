// The desktop program at real sizes, on the offscreen platform: the coordinates table of
// 10,000 members (build, sort, deleting 100 rows, a new reference), the pairwise table of
// 10,000 members (open, scroll, sort by one column), the overlay of 10,000 members (a repaint
// from the kept picture against drawing it anew) and opening a document of 10,000 specimens
// in the main window. Each prints its peak memory.

#include "peak_memory.h"
#include "valve_outlines.h"

#include "app/carinova_view.h"
#include "app/gui_resources.h"
#include "app/main_frame.h"
#include "app/right_pane_registry.h"
#include "document/carinova_doc.h"
#include "document/xml_document_writer.h"
#include "platform/scripted_interaction.h"
#include "views/cluster_areatotal_view.h"
#include "views/cluster_coordinates_view.h"
#include "views/cluster_list_control.h"
#include "views/overlay_view.h"

#include <QApplication>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr int kMembers = 10000;
constexpr int kPoints = 400;

using bench::ReportPeak;
using bench::StartPeak;

// CPU time of all threads of the process, for work that runs beside the calling thread.
double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Adds up the CPU time of all threads over the measured parts of a run; reported per run in
// milliseconds, as "all_threads_cpu_ms".
class CAllThreadsCpu {
public:
    void Start() { start_ = ProcessCpuSeconds(); }
    void Stop() { total_ += ProcessCpuSeconds() - start_; }
    void Report(benchmark::State& state) const {
        state.counters["all_threads_cpu_ms"] =
            1000.0 * total_ / static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
    }

private:
    double start_ = 0.0;
    double total_ = 0.0;
};

// 10,000 valves, each approximated, all in the cluster, the first the reference.
struct CLargeDocument {
    CScriptedInteraction ui;
    CCarinovaDoc doc{ui};
    std::vector<CSpecimenRecord*> records;

    CLargeDocument() {
        bench::CValveGenerator generator(41);
        for (int i = 0; i < kMembers; ++i) {
            auto specimen = bench::MakeSpecimen(generator.Outline(kPoints));
            specimen->ShortPathName = "valve" + std::to_string(i) + ".tps";
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
    }
};

CLargeDocument& Large() {
    static CLargeDocument large;
    return large;
}

template <class View> std::unique_ptr<View> ShowView(CCarinovaDoc& doc) {
    auto view = std::make_unique<View>(doc);
    doc.AddView(view.get());
    view->resize(1200, 800);
    view->show();
    view->OnInitialUpdate();
    QCoreApplication::processEvents();
    return view;
}

void Settle(CClusterTableView& view) {
    while (view.HasPendingWork())
        QCoreApplication::processEvents();
}

// ---- coordinates table ----------------------------------------------------------------------

void BM_CoordinatesBuild(benchmark::State& state) {
    CLargeDocument& large = Large();
    const long start = StartPeak();
    for (auto _ : state) {
        auto view = ShowView<CClusterCoordinatesView>(large.doc);
        view->GetListCtrl()->viewport()->repaint();
        benchmark::DoNotOptimize(view->GetModel()->RowCount());
        large.doc.RemoveView(view.get());
    }
    ReportPeak(state, start);
}
BENCHMARK(BM_CoordinatesBuild)->Name("BM_CoordinatesTable/build")->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Alternately by "Area total" and back by "Nr": every run reorders all rows.
void BM_CoordinatesSort(benchmark::State& state) {
    CLargeDocument& large = Large();
    auto view = ShowView<CClusterCoordinatesView>(large.doc);
    const long start = StartPeak();
    bool byArea = true;
    for (auto _ : state) {
        view->SortByColumn(byArea ? CCoordinatesTableModel::ColAreaTotal
                                  : CCoordinatesTableModel::ColNr);
        view->GetListCtrl()->viewport()->repaint();
        byArea = !byArea;
    }
    ReportPeak(state, start);
    large.doc.RemoveView(view.get());
}
BENCHMARK(BM_CoordinatesSort)->Name("BM_CoordinatesTable/sort")->Unit(benchmark::kMillisecond)
    ->Iterations(6);

// 100 rows spread over the table selected and deleted with the Delete key's handler; they are
// put back into the cluster between the runs.
void BM_CoordinatesDelete100(benchmark::State& state) {
    CLargeDocument& large = Large();
    auto view = ShowView<CClusterCoordinatesView>(large.doc);
    CClusterListControl* list = view->GetListCtrl();
    const long start = StartPeak();
    for (auto _ : state) {
        state.PauseTiming();
        list->clearSelection();
        for (int row = 5; row < kMembers; row += kMembers / 100)
            list->selectionModel()->select(view->GetModel()->index(row, 0),
                                           QItemSelectionModel::Select |
                                               QItemSelectionModel::Rows);
        state.ResumeTiming();
        view->DeleteSelectedRecords();
        Settle(*view);
        list->viewport()->repaint();
        state.PauseTiming();
        std::vector<CSpecimenRecord*> out;
        for (CSpecimenRecord* r : large.records)
            if (!large.doc.IsInCluster(r))
                out.push_back(r);
        large.doc.InsertIntoCluster(out);
        Settle(*view);
        state.ResumeTiming();
    }
    ReportPeak(state, start);
    large.doc.RemoveView(view.get());
}
BENCHMARK(BM_CoordinatesDelete100)->Name("BM_CoordinatesTable/delete100")
    ->Unit(benchmark::kMillisecond)->Iterations(3);

// The whole change of reference (the document compares all members on all cores) and the
// table's part of it alone.
void BM_CoordinatesReference(benchmark::State& state, bool tableOnly) {
    CLargeDocument& large = Large();
    auto view = ShowView<CClusterCoordinatesView>(large.doc);
    const long start = StartPeak();
    std::size_t next = 1;
    CAllThreadsCpu cpu;
    for (auto _ : state) {
        cpu.Start();
        if (tableOnly)
            view->OnUpdate(nullptr, hintReferenceChanged, large.records[next]);
        else
            large.doc.SetReferenceRecord(large.records[next]);
        Settle(*view);
        view->GetListCtrl()->viewport()->repaint();
        cpu.Stop();
        next = next % 2 + 1;
    }
    cpu.Report(state);
    ReportPeak(state, start);
    large.doc.RemoveView(view.get());
    large.doc.SetReferenceRecord(large.records.front());
}
BENCHMARK_CAPTURE(BM_CoordinatesReference, whole, false)
    ->Name("BM_CoordinatesTable/reference")->Unit(benchmark::kMillisecond)->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_CoordinatesReference, table, true)
    ->Name("BM_CoordinatesTable/reference_table_only")->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// ---- pairwise table -------------------------------------------------------------------------

// Built and drawn: the first screen of entries is computed.
void BM_PairwiseOpen(benchmark::State& state) {
    CLargeDocument& large = Large();
    const long start = StartPeak();
    CAllThreadsCpu cpu;
    for (auto _ : state) {
        cpu.Start();
        auto view = ShowView<CClusterAreatotalView>(large.doc);
        view->GetListCtrl()->viewport()->repaint();
        cpu.Stop();
        benchmark::DoNotOptimize(view->GetModel()->RowCount());
        large.doc.RemoveView(view.get());
    }
    cpu.Report(state);
    ReportPeak(state, start);
}
BENCHMARK(BM_PairwiseOpen)->Name("BM_PairwiseTable/open")->Unit(benchmark::kMillisecond)
    ->Iterations(3)->UseRealTime();

// Twenty pages down and twenty pages right, each drawn: new entries on every page.
void BM_PairwiseScroll(benchmark::State& state) {
    CLargeDocument& large = Large();
    auto view = ShowView<CClusterAreatotalView>(large.doc);
    CClusterListControl* list = view->GetListCtrl();
    const long start = StartPeak();
    int offset = 0;
    CAllThreadsCpu cpu;
    for (auto _ : state) {
        cpu.Start();
        for (int page = 0; page < 20; ++page) {
            offset += 1;
            list->verticalScrollBar()->setValue(offset * list->verticalScrollBar()->pageStep());
            list->horizontalScrollBar()->setValue(offset *
                                                  list->horizontalScrollBar()->pageStep());
            list->viewport()->repaint();
        }
        cpu.Stop();
    }
    cpu.Report(state);
    ReportPeak(state, start);
    state.SetItemsProcessed(state.iterations() * 20);
    large.doc.RemoveView(view.get());
}
BENCHMARK(BM_PairwiseScroll)->Name("BM_PairwiseTable/scroll20pages")
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// One column computed whole (10,000 entries) and the rows reordered by it.
void BM_PairwiseSort(benchmark::State& state) {
    CLargeDocument& large = Large();
    auto view = ShowView<CClusterAreatotalView>(large.doc);
    const long start = StartPeak();
    int column = 100;
    CAllThreadsCpu cpu;
    for (auto _ : state) {
        cpu.Start();
        view->GetPairwiseModel()->SortByColumn(column);
        view->GetListCtrl()->viewport()->repaint();
        cpu.Stop();
        column += 997;
    }
    cpu.Report(state);
    ReportPeak(state, start);
    large.doc.RemoveView(view.get());
}
BENCHMARK(BM_PairwiseSort)->Name("BM_PairwiseTable/sort")->Unit(benchmark::kMillisecond)
    ->Iterations(3)->UseRealTime();

// ---- overlay --------------------------------------------------------------------------------

// A repaint from the kept picture ("fast") against drawing every member again ("plain").
void BM_OverlayRedraw(benchmark::State& state, bool drawAgain) {
    CLargeDocument& large = Large();
    auto view = ShowView<CClusterSpecimensView>(large.doc);
    view->repaint();
    const long start = StartPeak();
    for (auto _ : state) {
        if (drawAgain)
            view->OnUpdate(nullptr, hintClusterSelectionChanged, nullptr); // drops the picture
        view->repaint();
    }
    ReportPeak(state, start);
    large.doc.RemoveView(view.get());
}
BENCHMARK_CAPTURE(BM_OverlayRedraw, fast, false)->Name("BM_OverlayRedraw/fast")
    ->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(BM_OverlayRedraw, plain, true)->Name("BM_OverlayRedraw/plain")
    ->Unit(benchmark::kMillisecond)->Iterations(2);

// ---- opening a document ---------------------------------------------------------------------

// File > Open of the saved document into a main window with its views: reading on its own
// thread, the tree filled, the window drawn.
void BM_OpenDocument(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.xml"));
    std::string failure;
    if (!WriteDocumentFile(Large().doc, path.toStdString(), failure)) {
        state.SkipWithError(failure.c_str());
        return;
    }
    const long start = StartPeak();
    CAllThreadsCpu cpu;
    for (auto _ : state) {
        state.PauseTiming();
        CScriptedInteraction ui;
        CCarinovaDoc doc(ui);
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        auto frame = std::make_unique<CMainFrame>(doc, ui, settings);
        RegisterRightPaneViews(*frame->GetMainView());
        frame->resize(1200, 800);
        frame->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        cpu.Start();
        frame->LoadDocument(path);
        frame->repaint();
        QCoreApplication::processEvents();
        cpu.Stop();
        state.PauseTiming();
        frame.reset();
        state.ResumeTiming();
    }
    ReportPeak(state, start);
    cpu.Report(state);
    state.counters["file_MB"] = static_cast<double>(QFileInfo(path).size()) / 1048576.0;
}
BENCHMARK(BM_OpenDocument)->Name("BM_DesktopOpen/10000")->Unit(benchmark::kMillisecond)
    ->Iterations(2)->UseRealTime();

// Prints, after the usual table, how much faster each fast path is than its plain one.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find("/iterations:"));
            seconds_[name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [name, time] : seconds_) {
            const std::size_t at = name.find("/fast");
            if (at == std::string::npos)
                continue;
            const auto plain = seconds_.find(name.substr(0, at) + "/plain");
            if (plain != seconds_.end() && time > 0.0)
                std::printf("%-40s fast path %.1f x faster\n", name.c_str(), plain->second / time);
        }
    }

private:
    std::map<std::string, double> seconds_;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitGuiResources();
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
