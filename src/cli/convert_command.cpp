#include "convert_command.h"

#include "formats/tps_writer.h"
#include "model/specimen.h"
#include "outline_input.h"
#include "output_folder.h"

#include <ostream>

int RunConvert(const std::vector<std::string>& files, const std::string& outDir, std::ostream& out,
               std::ostream& err) {
    std::vector<std::unique_ptr<CSpecimen>> specimens;
    bool allRead = true;
    for (const std::string& file : files)
        allRead = ReadOutlineFile(file, specimens, err) && allRead;
    if (!allRead)
        return 1;
    COutputFolder folder(outDir);
    if (!folder.Begin(err))
        return 1;
    for (const auto& specimen : specimens) {
        const std::string name =
            folder.UniqueName(SafeFileName(DefaultTpsExportName(specimen->ShortPathName)));
        std::string error;
        if (!WriteSpecimenAsTps(*specimen, folder.StagingPath(name), error)) {
            err << "carinova-cli: " << error << '\n';
            return 1;
        }
    }
    if (!folder.Commit(err))
        return 1;
    out << specimens.size() << " specimen(s) written to " << outDir << '\n';
    return 0;
}
