#include "image_probe.h"
#include "render_targets.h"
#include "scratch_folder.h"

#include "platform/cdc.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A picture with ink at a known place: a black pixel at (10, 20) and a hairline on row 40.
void Picture(CDC& dc) {
    dc.SetPixel(10, 20, RGB(0, 0, 0));
    dc.MoveTo(0, 40);
    dc.LineTo(50, 40);
    dc.TextOut(5, 50, "Carinova");
}

std::uint32_t LittleEndian(const std::string& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + i));
    return value;
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

// Output of a command, or nothing when it cannot run.
std::string CommandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    if (!pipe)
        return output;
    std::array<char, 256> chunk{};
    while (fgets(chunk.data(), static_cast<int>(chunk.size()), pipe.get()))
        output += chunk.data();
    return output;
}

bool HaveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Pages counted in the file itself: page objects, not the page tree ("/Type /Pages").
int CountPdfPages(const std::string& pdf) {
    const std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

TEST(RenderTargets, PngReadsBackWithTheDrawing) {
    CScratchFolder folder;
    const fs::path file = folder.Path() / "picture.png";
    std::string error;
    ASSERT_TRUE(RenderImageFile(file, ImageFormat::Png, 120, 80, Picture, error)) << error;
    EXPECT_EQ(CScratchFolder::ReadBytes(file).substr(0, 4), "\x89PNG");
    const QImage image(QString::fromStdString(file.string()));
    ASSERT_EQ(image.size(), QSize(120, 80));
    EXPECT_EQ(image.pixel(10, 20) & 0xffffff, 0u);
    EXPECT_TRUE(IsWhite(image.pixel(11, 20)));
    EXPECT_EQ(InkInRow(image, 40), 50);
    EXPECT_EQ(FolderEntries(folder.Path()).size(), 1u); // no temporary file left over
}

TEST(RenderTargets, BmpHasA24BitHeaderWithoutColourTable) {
    CScratchFolder folder;
    const fs::path file = folder.Path() / "picture.bmp";
    std::string error;
    ASSERT_TRUE(RenderImageFile(file, ImageFormat::Bmp, 121, 80, Picture, error)) << error;
    const std::string bytes = CScratchFolder::ReadBytes(file);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(LittleEndian(bytes, 2, 4), bytes.size());
    EXPECT_EQ(LittleEndian(bytes, 10, 4), 54u); // 14 + 40, no colour table
    EXPECT_EQ(LittleEndian(bytes, 14, 4), 40u);
    EXPECT_EQ(LittleEndian(bytes, 18, 4), 121u);
    EXPECT_EQ(LittleEndian(bytes, 22, 4), 80u); // positive: rows bottom-up
    EXPECT_EQ(LittleEndian(bytes, 28, 2), 24u);
    // Rows of 3 * 121 bytes padded to 364.
    EXPECT_EQ(bytes.size(), 54u + 364u * 80u);
    // Pixel (10, 20) is in stored row 80 - 1 - 20, as blue, green, red.
    const std::size_t at = 54 + 364 * (80 - 1 - 20) + 3 * 10;
    EXPECT_EQ(bytes.substr(at, 6), std::string("\0\0\0\xff\xff\xff", 6));
}

TEST(RenderTargets, PdfHasOnePagePerCallOnAPrintingContext) {
    CScratchFolder folder;
    const fs::path file = folder.Path() / "report.pdf";
    std::vector<int> pages;
    CPdfLayout layout;
    layout.title = "Report";
    std::string error;
    const bool ok = RenderPdfFile(
        file, 3,
        [&](CDC& dc, int page) {
            pages.push_back(page);
            EXPECT_TRUE(dc.IsPrinting());
            EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 300);
            // A4 at 300 dots per inch, no margin: 2480 x 3508 pixels, 210 x 297 mm.
            EXPECT_NEAR(dc.GetDeviceCaps(HORZRES), 2480, 1);
            EXPECT_NEAR(dc.GetDeviceCaps(VERTRES), 3508, 1);
            EXPECT_NEAR(dc.GetDeviceCaps(VERTSIZE), 297, 1);
            EXPECT_EQ(dc.GetDeviceCaps(PHYSICALOFFSETX), 0);
            dc.SetMapMode(MM_LOMETRIC);
            dc.TextOut(200, -200, "Page " + std::to_string(page) + " of 3");
        },
        layout, error);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(pages, (std::vector<int>{1, 2, 3}));
    const std::string pdf = CScratchFolder::ReadBytes(file);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_EQ(CountPdfPages(pdf), 3);
    if (!HaveTool("pdfinfo") || !HaveTool("pdftotext"))
        GTEST_SKIP() << "poppler-utils not installed; pages counted in the file only";
    const std::string info = CommandOutput("pdfinfo '" + file.string() + "'");
    EXPECT_TRUE(std::regex_search(info, std::regex("\\nPages: +3\\n"))) << info;
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
    const std::string text = CommandOutput("pdftotext '" + file.string() + "' -");
    EXPECT_NE(text.find("Page 2 of 3"), std::string::npos) << text;
}

TEST(RenderTargets, PdfMarginMovesTheOriginAndIsReported) {
    CScratchFolder folder;
    CPdfLayout layout;
    layout.marginMm = 10.0;
    std::string error;
    ASSERT_TRUE(RenderPdfFile(
        folder.Path() / "margin.pdf", 1,
        [](CDC& dc, int) {
            // 10 mm at 300 dpi = 118 pixels; the printable area is 190 x 277 mm.
            EXPECT_EQ(dc.GetDeviceCaps(PHYSICALOFFSETX), 118);
            EXPECT_NEAR(dc.GetDeviceCaps(PHYSICALWIDTH), 2480, 1);
            EXPECT_NEAR(dc.GetDeviceCaps(HORZRES), 2480 - 2 * 118, 2);
            EXPECT_NEAR(dc.GetDeviceCaps(HORZSIZE), 190, 1);
        },
        layout, error))
        << error;
}

TEST(RenderTargets, SvgIsWritten) {
    CScratchFolder folder;
    const fs::path file = folder.Path() / "overlay.svg";
    std::string error;
    ASSERT_TRUE(RenderSvgFile(file, 300, 200, Picture, "Overlay & more", error)) << error;
    const std::string svg = CScratchFolder::ReadBytes(file);
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("viewBox=\"0 0 300 200\""), std::string::npos);
    EXPECT_NE(svg.find("<title>Overlay &amp; more</title>"), std::string::npos);
    EXPECT_NE(svg.find("Carinova"), std::string::npos);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

// The streamed SVG, drawn by Qt's own SVG renderer, shows what the image shows; a curve drawn
// line by line is one polyline.
TEST(RenderTargets, SvgDrawsLikeTheImage) {
    const auto drawing = [](CDC& dc) {
        Picture(dc);
        dc.SelectPen({PenStyle::Solid, 3, RGB(0, 0, 0)});
        dc.SelectBrush({BrushStyle::Solid, RGB(0, 0, 0)});
        dc.Rectangle(70, 10, 110, 30);
        dc.SelectPen({PenStyle::Solid, 0, RGB(0, 0, 0)});
        dc.MoveTo(60, 70);
        for (int x = 61; x <= 110; ++x)
            dc.LineTo(x, 70 - (x - 60) / 5);
    };
    CScratchFolder folder;
    const fs::path file = folder.Path() / "picture.svg";
    std::string error;
    ASSERT_TRUE(RenderSvgFile(file, 120, 80, drawing, "", error)) << error;
    const std::string svg = CScratchFolder::ReadBytes(file);
    const std::regex polyline("<polyline");
    EXPECT_EQ(std::distance(std::sregex_iterator(svg.begin(), svg.end(), polyline),
                            std::sregex_iterator()),
              2)
        << "the hairline and the curve";

    QSvgRenderer renderer(QString::fromStdString(file.string()));
    ASSERT_TRUE(renderer.isValid());
    QImage drawn(120, 80, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
        QPainter painter(&drawn);
        renderer.render(&painter);
    }
    const QImage image = RenderImage(120, 80, drawing);
    for (const auto& [name, box] :
         {std::pair{"rectangle", QRect(70, 10, 40, 20)}, std::pair{"curve", QRect(60, 58, 51, 13)},
          std::pair{"text", QRect(0, 44, 60, 20)}}) {
        const auto inside = [&](const QImage& im) {
            return FindPixels(im.copy(box), [](QRgb p) { return IsInk(p); });
        };
        const CInkBox a = inside(drawn);
        const CInkBox b = inside(image);
        ASSERT_FALSE(b.Empty()) << name;
        EXPECT_NEAR(a.left, b.left, 1) << name;
        EXPECT_NEAR(a.right, b.right, 1) << name;
        EXPECT_NEAR(a.top, b.top, 2) << name;
        EXPECT_NEAR(a.bottom, b.bottom, 2) << name;
    }
    EXPECT_EQ(InkInRow(drawn, 40), 50);
}

// PNG pictures of few colours are written with a colour table, others as they are: both read
// back pixel for pixel.
TEST(RenderTargets, PngKeepsEveryPixelWithOrWithoutColourTable) {
    for (const int colours : {3, 300}) {
        const auto drawing = [colours](CDC& dc) {
            for (int i = 0; i < colours; ++i)
                dc.SetPixel(i % 100, i / 100, RGB(i % 256, i / 256, 7));
        };
        CScratchFolder folder;
        const fs::path file = folder.Path() / "colours.png";
        std::string error;
        ASSERT_TRUE(RenderImageFile(file, ImageFormat::Png, 100, 10, drawing, error)) << error;
        const std::string bytes = CScratchFolder::ReadBytes(file);
        EXPECT_EQ(static_cast<int>(bytes.at(25)), colours <= 256 ? 3 : 2) << "IHDR colour type";
        const QImage read =
            QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(read, RenderImage(100, 10, drawing)) << colours;
    }
}

// --- failures: a clear message, and nothing left behind -----------------------------------

enum class Target { Png, Bmp, Pdf, Svg };

bool Render(Target target, const fs::path& file, std::string& error) {
    switch (target) {
    case Target::Png:
        return RenderImageFile(file, ImageFormat::Png, 40, 30, Picture, error);
    case Target::Bmp:
        return RenderImageFile(file, ImageFormat::Bmp, 40, 30, Picture, error);
    case Target::Pdf:
        return RenderPdfFile(
            file, 2, [](CDC& dc, int) { Picture(dc); }, {}, error);
    case Target::Svg:
        return RenderSvgFile(file, 40, 30, Picture, "", error);
    }
    return false;
}

class RenderTargetFailure : public ::testing::TestWithParam<Target> {};

TEST_P(RenderTargetFailure, MissingFolderIsReported) {
    CScratchFolder folder;
    const fs::path file = folder.Path() / "no-such-folder" / "out.file";
    std::string error;
    EXPECT_FALSE(Render(GetParam(), file, error));
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

TEST_P(RenderTargetFailure, DirectoryInTheWayIsReportedAndKept) {
    CScratchFolder folder;
    const fs::path file = folder.Path() / "taken";
    fs::create_directory(file);
    std::string error;
    EXPECT_FALSE(Render(GetParam(), file, error));
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"taken"}));
}

TEST_P(RenderTargetFailure, ReplacesAnExistingFileWhole) {
    CScratchFolder folder;
    const fs::path file = folder.Write("out.file", "old contents");
    std::string error;
    ASSERT_TRUE(Render(GetParam(), file, error)) << error;
    const std::string bytes = CScratchFolder::ReadBytes(file);
    EXPECT_GT(bytes.size(), 20u);
    EXPECT_EQ(bytes.find("old contents"), std::string::npos);
    EXPECT_EQ(FolderEntries(folder.Path()).size(), 1u);
}

std::string TargetName(const ::testing::TestParamInfo<Target>& info) {
    switch (info.param) {
    case Target::Png:
        return "Png";
    case Target::Bmp:
        return "Bmp";
    case Target::Pdf:
        return "Pdf";
    case Target::Svg:
        return "Svg";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(Targets, RenderTargetFailure,
                         ::testing::Values(Target::Png, Target::Bmp, Target::Pdf, Target::Svg),
                         TargetName);

TEST(RenderTargets, UnusableSizesFailAndKeepTheOldFile) {
    CScratchFolder folder;
    const fs::path file = folder.Write("keep.png", "previous");
    std::string error;
    EXPECT_FALSE(RenderImageFile(file, ImageFormat::Png, 0, 10, Picture, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(RenderImageFile(file, ImageFormat::Png, 1 << 20, 1 << 20, Picture, error));
    EXPECT_FALSE(RenderSvgFile(file, -5, 10, Picture, "", error));
    EXPECT_FALSE(RenderPdfFile(
        file, 0, [](CDC&, int) {}, {}, error));
    EXPECT_NE(error.find("no pages"), std::string::npos) << error;
    CPdfLayout tooWide;
    tooWide.marginMm = 200.0;
    EXPECT_FALSE(RenderPdfFile(
        file, 1, [](CDC&, int) {}, tooWide, error));
    EXPECT_EQ(CScratchFolder::ReadBytes(file), "previous");
    EXPECT_EQ(FolderEntries(folder.Path()).size(), 1u);
}

} // namespace
