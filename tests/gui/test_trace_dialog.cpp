// The trace dialog on a drawn image of two valves: what it finds at first, the controls that
// trace again, and the checked valves it gives.
#include "dialogs/threshold_slider.h"
#include "dialogs/trace_dialog.h"
#include "support/valve_raster.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

raster::ValveShape RightValve() {
    raster::ValveShape right;
    right.length = 90;
    right.height = 50;
    right.cx = 230;
    right.cy = 64;
    return right;
}

// Two valves, 120 and 90 pixels long, dark on a light ground; 4 dots a millimetre.
CValveImage TwoValves() {
    raster::ValveShape left;
    left.length = 120;
    left.height = 64;
    left.cx = 80;
    left.cy = 60;
    const raster::ValveShape right = RightValve();
    const std::vector<double> levels = raster::Blend(
        raster::Coverage({raster::ValvePolygon(left), raster::ValvePolygon(right)}, 300, 120), 220,
        30);
    CValveImage image;
    image.grey = raster::Quantize(levels, 300, 120);
    image.format = "png";
    image.resolution = CImageResolution{0.25, "4 pixels per mm"};
    return image;
}

TEST(TraceDialog, ShowsTheValvesAtOtsusThresholdAndGivesTheCheckedOnes) {
    const CValveImage image = TwoValves();
    CTraceDialog dialog("/data/pair.png", image);
    EXPECT_EQ(dialog.windowTitle(), "Trace Valves - pair.png");
    // The core's Otsu threshold, marked and taken; it lies between ground and valve.
    const int otsu = TraceValves(image.grey, {}).otsu.level;
    EXPECT_GT(otsu, 30);
    EXPECT_LT(otsu, 220);
    EXPECT_EQ(dialog.ThresholdSlider()->MarkedLevel(), otsu);
    EXPECT_EQ(dialog.ThresholdSlider()->value(), otsu);
    EXPECT_EQ(dialog.ThresholdSlider()->maximum(), 255);
    EXPECT_FALSE(dialog.InvertBox()->isChecked());
    EXPECT_EQ(dialog.MinAreaBox()->value(), 36); // 0.1 % of 36,000 pixels
    QListWidget* list = dialog.ValveList();
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(0)->text().startsWith("Valve 1: ")) << list->item(0)->text().toStdString();
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);

    dialog.ScaleField()->setText("0.5");
    dialog.Retrace();
    list->item(0)->setCheckState(Qt::Unchecked);
    CSpecimenFile file = dialog.CheckedSpecimens();
    ASSERT_EQ(file.specimens.size(), 1u);
    const CSpecimen& right = *file.specimens[0];
    EXPECT_EQ(right.ShortPathName, "pair.png");
    EXPECT_EQ(right.ScaleFactor, 0.5f);
    // The right valve's centroid, from its drawn polygon in double precision, in tpsDig's
    // coordinates (y up from the bottom row) times 1000 x 0.5 mm.
    double twiceArea = 0.0, mx = 0.0, my = 0.0;
    const raster::Polygon polygon = raster::ValvePolygon(RightValve());
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const DPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        const double cross = a.x * b.y - b.x * a.y;
        twiceArea += cross;
        mx += (a.x + b.x) * cross;
        my += (a.y + b.y) * cross;
    }
    EXPECT_NEAR(right.Centroid.x, 500.0 * mx / (3.0 * twiceArea), 0.25 * 500.0);
    EXPECT_NEAR(right.Centroid.y, 500.0 * (120.0 - my / (3.0 * twiceArea)), 0.25 * 500.0);

    list->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(dialog.CheckedSpecimens().error, "no valve was checked");
}

// Each control traces again: no level is dark at 0; the light ground reaches all four sides
// and is no valve; a smallest valve between the two sizes keeps only the larger.
TEST(TraceDialog, ControlsTraceAgain) {
    const CValveImage image = TwoValves();
    CTraceDialog dialog("/data/pair.png", image);
    dialog.ThresholdSlider()->setValue(0);
    dialog.Retrace();
    EXPECT_EQ(dialog.ValveList()->count(), 0);
    EXPECT_EQ(dialog.Traced().file.error.rfind("no dark valve at threshold 0", 0), 0u);

    dialog.ThresholdSlider()->setValue(dialog.ThresholdSlider()->MarkedLevel());
    dialog.InvertBox()->setChecked(true);
    dialog.Retrace();
    EXPECT_EQ(dialog.ValveList()->count(), 0);
    EXPECT_EQ(dialog.Traced().file.error.rfind("no light valve at threshold", 0), 0u);

    dialog.InvertBox()->setChecked(false);
    dialog.MinAreaBox()->setValue(5000); // the smaller valve has about 3,500 pixels
    dialog.Retrace();
    ASSERT_EQ(dialog.ValveList()->count(), 1);
    EXPECT_LT(dialog.Traced().trace.valves[0].centroid.x, 150.0); // the left one
}

} // namespace
