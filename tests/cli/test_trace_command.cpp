// The trace command and images among the inputs of info: one TPS file that reads back to the
// traced outlines, one line per image, and images that give nothing named without stopping the
// others.
#include "exit_status.h"
#include "formats/specimen_file.h"
#include "info_command.h"
#include "scratch_folder.h"
#include "support/valve_raster.h"
#include "trace_command.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// Valves drawn at the given centres, 120 x 64 pixels each, dark on light.
QImage Valves(int width, int height, const std::vector<std::pair<double, double>>& centres) {
    std::vector<raster::Polygon> polygons;
    for (const auto& [cx, cy] : centres) {
        raster::ValveShape shape;
        shape.length = 120;
        shape.height = 64;
        shape.cx = cx;
        shape.cy = cy;
        polygons.push_back(raster::ValvePolygon(shape));
    }
    const std::vector<double> levels =
        raster::Blend(raster::Coverage(polygons, width, height), 225, 40);
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.scanLine(y)[x] =
                static_cast<uchar>(std::lround(levels[static_cast<std::size_t>(y) * width + x]));
    return image;
}

double CentroidX(double cx, double cy) {
    raster::ValveShape shape;
    shape.length = 120;
    shape.height = 64;
    shape.cx = cx;
    shape.cy = cy;
    const raster::Polygon p = raster::ValvePolygon(shape);
    double twiceArea = 0.0, moment = 0.0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const auto& a = p[i];
        const auto& b = p[(i + 1) % p.size()];
        const double cross = a.x * b.y - b.x * a.y;
        twiceArea += cross;
        moment += (a.x + b.x) * cross;
    }
    return moment / (3.0 * twiceArea);
}

std::string Save(const CScratchFolder& scratch, const std::string& name, QImage image,
                 int dotsPerMetre = 0) {
    if (dotsPerMetre > 0) {
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
    }
    const fs::path path = scratch.Path() / name;
    fs::create_directories(path.parent_path());
    EXPECT_TRUE(image.save(QString::fromStdString(path.string()), "PNG")) << name;
    return path.string();
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A folder's images are traced by name; the TPS file names each image and its scale (4,000
// dots a metre are 0.25 mm a pixel) and reads back to the specimens the images give.
TEST(TraceCommand, OneTpsFileThatReadsBackToTheTracedOutlines) {
    CScratchFolder scratch;
    const std::string two = Save(scratch, "in/a.png", Valves(400, 120, {{90, 60}, {300, 58}}), 4000);
    const std::string one = Save(scratch, "in/b.png", Valves(200, 100, {{100, 50}}));
    CTraceCommandOptions o;
    o.inputs = {(scratch.Path() / "in").string()};
    o.output = (scratch.Path() / "out.tps").string();
    std::ostringstream out, err;
    ASSERT_EQ(RunTrace(o, out, err), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "3 outlines from 2 images written to " + o.output + "\n");
    const std::vector<std::string> lines = Lines(err.str());
    ASSERT_EQ(lines.size(), 2u) << err.str();
    EXPECT_EQ(lines[0].rfind("carinova-cli: [1/2] " + two + ": 2 specimens (traced PNG image)", 0), 0u)
        << lines[0];
    EXPECT_EQ(lines[1].rfind("carinova-cli: [2/2] " + one + ": 1 specimen (traced PNG image)", 0), 0u)
        << lines[1];

    const std::string text = Slurp(o.output);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
              std::count(text.begin(), text.end(), '\r'));
    // Qt states 3,780 dots a metre when it is given none: 1000 / 3780 mm a pixel.
    const std::regex keywords("IMAGE=a\\.png\r\nID=\r\nSCALE=0\\.25\r\n[^]*IMAGE=a\\.png\r\nID=\r\n"
                              "SCALE=0\\.25\r\n[^]*IMAGE=b\\.png\r\nID=\r\nSCALE=0\\.264550\\d*\r\n$");
    EXPECT_TRUE(std::regex_search(text, keywords)) << text.substr(text.size() - 200);

    const CSpecimenFile back = ReadSpecimenFile(o.output);
    ASSERT_EQ(back.specimens.size(), 3u) << back.Summary("out.tps");
    std::vector<std::unique_ptr<CSpecimen>> traced = TraceImageFile(two, {}).file.specimens;
    for (auto& s : TraceImageFile(one, {}).file.specimens)
        traced.push_back(std::move(s));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.specimens[i]->Contour, traced[i]->Contour) << i;
        EXPECT_EQ(back.specimens[i]->ScaleFactor, traced[i]->ScaleFactor) << i;
    }
    // The first valve of a.png is the left one: its centroid, from the drawn polygon in double
    // precision, in units of 1000 x 0.25 mm, within a quarter of a pixel.
    EXPECT_NEAR(back.specimens[0]->Centroid.x, 250.0 * CentroidX(90, 60), 0.25 * 250.0);
}

// A blank image, a cut one and a text file among good images: each named on its line, the
// file written with what was found, the run partial. Nothing found at all writes nothing and
// leaves the previous file alone.
TEST(TraceCommand, ImagesThatGiveNothingAreNamedAndPassedOver) {
    CScratchFolder scratch;
    const std::string good = Save(scratch, "in/good.png", Valves(200, 100, {{100, 50}}));
    QImage blank(60, 40, QImage::Format_Grayscale8);
    blank.fill(200);
    const std::string plain = Save(scratch, "in/blank.png", blank);
    const std::string png = Slurp(good);
    const std::string cut = scratch.Write("in/cut.png", png.substr(0, png.size() / 2));
    scratch.Write("in/notes.txt", "no image here\n");
    CTraceCommandOptions o;
    o.inputs = {(scratch.Path() / "in").string()};
    o.output = (scratch.Path() / "out.tps").string();
    std::ostringstream out, err;
    EXPECT_EQ(RunTrace(o, out, err), kExitPartial);
    const std::string said = err.str();
    for (const std::string& expected :
         {std::string(": left out, not images: 1 file\n"), "[1/3] " + plain + ": no specimen (traced PNG image)",
          "[2/3] " + cut + ": the image cannot be traced: ", "[3/3] " + good + ": 1 specimen"})
        EXPECT_NE(said.find(expected), std::string::npos) << expected << "\n" << said;
    EXPECT_EQ(ReadSpecimenFile(o.output).specimens.size(), 1u);

    const std::string before = Slurp(o.output);
    o.inputs = {plain, cut};
    EXPECT_EQ(RunTrace(o, out, err), kExitFailure);
    EXPECT_NE(err.str().find("no valve found in 2 images; " + o.output + " not written"),
              std::string::npos);
    EXPECT_EQ(Slurp(o.output), before);
}

// The options reach the trace: the scale given beats the image's own, the points are
// resampled, a smallest valve above its size leaves it out, light valves are not there; a
// valve cut by the border is kept and named.
TEST(TraceCommand, OptionsReachTheTrace) {
    CScratchFolder scratch;
    const std::string image = Save(scratch, "v.png", Valves(200, 100, {{100, 50}}), 4000);
    CTraceCommandOptions o;
    o.inputs = {image};
    o.output = (scratch.Path() / "out.tps").string();
    o.settings.scale = 0.5f;
    o.settings.trace.points = 64;
    std::ostringstream out, err;
    ASSERT_EQ(RunTrace(o, out, err), kExitOk) << err.str();
    const CSpecimenFile back = ReadSpecimenFile(o.output);
    ASSERT_EQ(back.specimens.size(), 1u);
    EXPECT_EQ(back.specimens[0]->Contour.size(), 64u);
    EXPECT_EQ(back.specimens[0]->ScaleFactor, 0.5f);

    o.settings.trace.minArea = 200 * 100;
    EXPECT_EQ(RunTrace(o, out, err), kExitFailure);
    o.settings.trace.minArea = -1;
    o.settings.trace.polarity = EValvePolarity::Light;
    err.str("");
    EXPECT_EQ(RunTrace(o, out, err), kExitFailure);
    EXPECT_NE(err.str().find("no light valve at threshold"), std::string::npos) << err.str();

    o.settings.trace.polarity = EValvePolarity::FromBorder;
    o.inputs = {Save(scratch, "cut.png", Valves(200, 100, {{40, 50}}))};
    err.str("");
    EXPECT_EQ(RunTrace(o, out, err), kExitPartial) << err.str();
    EXPECT_NE(err.str().find("cut.png: 1 specimen (traced PNG image); valve 1 touches the image border"),
              std::string::npos)
        << err.str();
}

TEST(TraceCommand, ThresholdOption) {
    struct {
        const char* text;
        int level; // -2: refused
    } const cases[] = {{"auto", -1}, {"0", 0},   {"128", 128}, {"65535", 65535}, {"65536", -2},
                       {"-1", -2},   {"12x", -2}, {"", -2},     {"Auto", -2}};
    for (const auto& c : cases) {
        int level = -7;
        const std::string error = ParseThreshold(c.text, level);
        EXPECT_EQ(error.empty(), c.level != -2) << c.text;
        EXPECT_EQ(level, c.level == -2 ? -7 : c.level) << c.text;
    }
}

// info takes an image among outline files: its valves are listed like the file's specimens.
TEST(InfoCommand, TracesAnImageAmongItsInputs) {
    CScratchFolder scratch;
    const std::string image = Save(scratch, "pair.png", Valves(400, 120, {{90, 60}, {300, 58}}));
    std::ostringstream out, err;
    EXPECT_EQ(RunInfo({image, std::string(CARINOVA_SAMPLES_DIR) + "/valves.tps"}, true, out, err),
              kExitOk)
        << err.str();
    EXPECT_NE(err.str().find(image + ": 2 specimens (traced PNG image)"), std::string::npos)
        << err.str();
    const std::vector<std::string> rows = Lines(out.str());
    ASSERT_EQ(rows.size(), 1u + 2u + 6u);
    EXPECT_EQ(rows[1].rfind("pair.png\t", 0), 0u) << rows[1];
    EXPECT_EQ(rows[2].rfind("pair.png (2)\t", 0), 0u) << rows[2];
}

} // namespace
