#include "outline_input.h"

#include "formats/reader_factory.h"

#include <ostream>

bool ReadOutlineFile(const std::string& path, std::vector<std::unique_ptr<CSpecimen>>& specimens,
                     std::ostream& err) {
    std::unique_ptr<CSpecimenReader> reader = CreateSpecimenReader(path);
    if (!reader) {
        err << "carinova-cli: " << path
            << ": cannot open file or not a TPS, Morphosys or simple outline file\n";
        return false;
    }
    auto specimen = std::make_unique<CSpecimen>();
    bool ok = reader->ReadFirst(*specimen);
    const std::size_t before = specimens.size();
    while (ok) {
        specimens.push_back(std::move(specimen));
        specimen = std::make_unique<CSpecimen>();
        ok = reader->ReadNext(*specimen);
    }
    if (specimens.size() == before) {
        err << "carinova-cli: " << path << ": no specimen could be read\n";
        return false;
    }
    return true;
}
