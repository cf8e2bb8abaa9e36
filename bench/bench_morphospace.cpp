// The morphospace at 10,000 members: the analysis itself (targets: under 1 s at 8 intervals)
// and one redraw of the view's picture into a window-sized image (under 100 ms), with three
// groups and their ellipses. The members are fitted and normalised once beforehand.

#include "valve_outlines.h"

#include "cluster/cluster_member_fit.h"
#include "cluster/cluster_parameter.h"
#include "cluster/morphospace.h"
#include "document/carinova_doc.h"
#include "drawing/morphospace_picture.h"
#include "drawing/morphospace_scene.h"
#include "headless.h"
#include "platform/scripted_interaction.h"
#include "qpainter_dc.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

constexpr int kMembers = 10000;

// A document whose cluster holds 10,000 fitted valves of three localities.
struct CBenchDocument {
    CScriptedInteraction ui;
    CCarinovaDoc doc{ui};

    CBenchDocument() {
        bench::CValveGenerator generator(31);
        std::vector<CSpecimenRecord*> records;
        for (int i = 0; i < kMembers; ++i) {
            auto specimen = bench::MakeSpecimen(generator.Outline(400));
            specimen->ShortPathName = "valve" + std::to_string(i);
            specimen->Locality = i % 3 == 0 ? "K3" : i % 3 == 1 ? "K5" : "K7";
            auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
            records.push_back(record.get());
            doc.AddSpecimenRecord(std::move(record));
        }
        doc.InsertIntoCluster(records);
        doc.SetReferenceRecord(records.front());
    }
};

CBenchDocument& Document() {
    static CBenchDocument document;
    return document;
}

void BM_MorphospaceAnalysis(benchmark::State& state) {
    const CCarinovaDoc& doc = Document().doc;
    const CClusterParameter& parameter = doc.GetClusterParameter();
    for (auto _ : state) {
        std::string error;
        auto space = CMorphospace::Compute(doc.GetClusterList(), nullptr,
                                           parameter.ControlPointsCnt, parameter.Normalize, error);
        benchmark::DoNotOptimize(space->Variance(0));
    }
    state.SetItemsProcessed(state.iterations() * kMembers);
}
BENCHMARK(BM_MorphospaceAnalysis)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_MorphospaceRedraw(benchmark::State& state) {
    CMorphospaceScene scene;
    scene.groupBy = CGroupField::Locality;
    scene.Compute(Document().doc);
    QImage image(1200, 900, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        CQPainterDC dc(painter);
        DrawMorphospacePicture(dc, scene, {0, 0, image.width(), image.height()});
    }
    state.SetItemsProcessed(state.iterations() * kMembers);
}
BENCHMARK(BM_MorphospaceRedraw)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    EnsureHeadlessPlatform();
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
