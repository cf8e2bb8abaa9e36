#include "formats/reader_factory.h"

#include "formats/morphosys_reader.h"
#include "formats/simple_file_reader.h"
#include "formats/tps_reader.h"

std::unique_ptr<CSpecimenReader> CreateSpecimenReader(const std::string& path) {
    if (IsTpsFile(path))
        return std::make_unique<CTpsReader>(path);
    if (IsMorphosysFile(path))
        return std::make_unique<CMorphosysReader>(path);
    if (IsSimpleFile(path))
        return std::make_unique<CSimpleFileReader>(path);
    return nullptr;
}
