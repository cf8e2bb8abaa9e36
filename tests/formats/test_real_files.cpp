#include "formats/reader_test_support.h"
#include "formats/tps_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

struct SRealFile {
    const char* name;
    bool recognised; // some reader accepts the file
    std::size_t specimens;
    friend void PrintTo(const SRealFile& c, std::ostream* os) { *os << c.name; }
};

// The counts were found by reading the files by eye: "LM=" lines, and what stands where
// "OUTLINES=" is expected.
class RealFileTest : public ::testing::TestWithParam<SRealFile> {
protected:
    std::string PathOrSkip() {
        const fs::path path = fs::path(CARINOVA_REAL_DATA_DIR) / GetParam().name;
        if (!fs::is_regular_file(path))
            return {};
        return path.string();
    }
};

TEST_P(RealFileTest, GivesTheExpectedSpecimens) {
    const std::string path = PathOrSkip();
    if (path.empty())
        GTEST_SKIP() << GetParam().name << " is not present";
    EXPECT_EQ(CreateSpecimenReader(path) != nullptr, GetParam().recognised);
    EXPECT_EQ(ReadAllDetected(path).size(), GetParam().specimens);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RealFileTest,
    ::testing::Values(SRealFile{"momitvb_allrapanui.tps", true, 119},
                      SRealFile{"momocs_outlines.tps", true, 2},
                      SRealFile{"momit_AE_data1.tps", true, 0},
                      SRealFile{"momit_JC_data.TPS", true, 0},
                      SRealFile{"momitvb_fish_bones.chc", false, 0},
                      SRealFile{"momit_RohlfArchieWingOutlines.nts", false, 0},
                      SRealFile{"momitvb_Optimas_um1_karnimata_7714.asc", false, 0},
                      SRealFile{"chitwood_300_AHMEUR_BOU_AHMEUR_ID01_blade.txt", false, 0},
                      SRealFile{"chitwood_example_leaf_blade.txt", false, 0}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(RealFileTest, RapaNuiOutlinesHaveNamesImagesAndPoints) {
    const fs::path path = fs::path(CARINOVA_REAL_DATA_DIR) / "momitvb_allrapanui.tps";
    if (!fs::is_regular_file(path))
        GTEST_SKIP() << path << " is not present";
    const SpecimenList list = ReadAllDetected(path.string());
    ASSERT_EQ(list.size(), 119u);
    EXPECT_EQ(list[0]->ShortPathName, "momitvb_allrapanui.tps");
    EXPECT_EQ(list[1]->ShortPathName, "momitvb_allrapanui.tps (2)");
    EXPECT_EQ(list[118]->ShortPathName, "momitvb_allrapanui.tps (119)");
    for (const auto& specimen : list) {
        EXPECT_EQ(specimen->Contour.size(), 200u);
        EXPECT_EQ(specimen->FileType, "Thinplate Spline");
        EXPECT_FALSE(specimen->ScaleSpecified);
        EXPECT_EQ(specimen->ImageFile.find('\r'), std::string::npos);
    }
    EXPECT_EQ(list[0]->ImageFile, "20070718-DSC_1663_877016399_oSILOorito.jpg");
    EXPECT_EQ(list[1]->ImageFile, "20070718-DSC_1665_877017785_oSILOorito.jpg");
    // The file's first point "592 1494" stays at one end, whichever way the outline runs.
    const FPoint first(592, 1494);
    EXPECT_TRUE(list[0]->Contour.front() == first || list[0]->Contour.back() == first);
}

TEST(RealFileTest, FirstTwoSpecimensAgreeWithTheLargerFile) {
    const fs::path small = fs::path(CARINOVA_REAL_DATA_DIR) / "momocs_outlines.tps";
    const fs::path large = fs::path(CARINOVA_REAL_DATA_DIR) / "momitvb_allrapanui.tps";
    if (!fs::is_regular_file(small) || !fs::is_regular_file(large))
        GTEST_SKIP() << "real outline files are not present";
    const SpecimenList a = ReadAllDetected(small.string());
    const SpecimenList b = ReadAllDetected(large.string());
    ASSERT_EQ(a.size(), 2u);
    ASSERT_GE(b.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(PointsText(a[i]->Contour), PointsText(b[i]->Contour));
        EXPECT_EQ(a[i]->ImageFile, b[i]->ImageFile);
    }
}

} // namespace
