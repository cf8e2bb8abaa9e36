#include "formats/reader_factory.h"

#include "formats/chain_code_reader.h"
#include "formats/morphosys_reader.h"
#include "formats/ntsys_reader.h"
#include "formats/simple_file_reader.h"
#include "formats/tps_reader.h"
#include "formats/xy_list_reader.h"

namespace {

// Enough of a file's start for every format test (they look at its first lines).
constexpr std::size_t kLookAhead = 1 << 16;

} // namespace

std::unique_ptr<CSpecimenReader> CreateSpecimenReader(const std::string& path,
                                                      CLineCursor& lines) {
    const std::string_view start = lines.Ahead(kLookAhead);
    if (IsTpsFile(start))
        return std::make_unique<CTpsReader>(path, std::move(lines));
    if (IsMorphosysFile(start))
        return std::make_unique<CMorphosysReader>(path, std::move(lines));
    if (IsSimpleFile(start))
        return std::make_unique<CSimpleFileReader>(path, std::move(lines));
    if (IsChainCodeFile(start))
        return std::make_unique<CChainCodeReader>(path, std::move(lines));
    if (IsNtsysFile(start))
        return std::make_unique<CNtsysReader>(path, std::move(lines));
    if (IsXyListFile(start))
        return std::make_unique<CXyListReader>(path, std::move(lines));
    return nullptr;
}

std::unique_ptr<CSpecimenReader> CreateSpecimenReader(const std::string& path,
                                                      std::string_view text) {
    CLineCursor lines(text);
    return CreateSpecimenReader(path, lines);
}

const char* KnownFormatNames() {
    return "TPS, Morphosys, simple, chain code, NTSYS, x-y list";
}
