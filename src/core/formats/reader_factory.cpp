#include "formats/reader_factory.h"

#include "formats/chain_code_reader.h"
#include "formats/morphosys_reader.h"
#include "formats/ntsys_reader.h"
#include "formats/simple_file_reader.h"
#include "formats/tps_reader.h"
#include "formats/xy_list_reader.h"

std::unique_ptr<CSpecimenReader> CreateSpecimenReader(const std::string& path,
                                                      std::string_view text) {
    if (IsTpsFile(text))
        return std::make_unique<CTpsReader>(path, text);
    if (IsMorphosysFile(text))
        return std::make_unique<CMorphosysReader>(path, text);
    if (IsSimpleFile(text))
        return std::make_unique<CSimpleFileReader>(path, text);
    if (IsChainCodeFile(text))
        return std::make_unique<CChainCodeReader>(path, text);
    if (IsNtsysFile(text))
        return std::make_unique<CNtsysReader>(path, text);
    if (IsXyListFile(text))
        return std::make_unique<CXyListReader>(path, text);
    return nullptr;
}

const char* KnownFormatNames() {
    return "TPS, Morphosys, simple, chain code, NTSYS, x-y list";
}
