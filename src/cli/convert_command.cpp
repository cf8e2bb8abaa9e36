#include "convert_command.h"

#include "exit_status.h"
#include "formats/tps_writer.h"
#include "model/specimen.h"
#include "outline_input.h"
#include "output_folder.h"

#include <ostream>

int RunConvert(const std::vector<std::string>& files, const std::string& outDir, std::ostream& out,
               std::ostream& err) {
    std::vector<std::unique_ptr<CSpecimen>> specimens;
    const int readStatus = ReadOutlineInputs(files, specimens, err);
    if (readStatus == kExitFailure)
        return kExitFailure;
    COutputFolder folder(outDir);
    if (!folder.Begin(err))
        return kExitFailure;
    for (const auto& specimen : specimens) {
        const std::string name =
            folder.UniqueName(SafeFileName(DefaultTpsExportName(specimen->ShortPathName)));
        std::string error;
        if (!WriteSpecimenAsTps(*specimen, folder.StagingPath(name), error)) {
            err << "carinova-cli: " << error << '\n';
            return kExitFailure;
        }
    }
    if (!folder.Commit(err))
        return kExitFailure;
    out << specimens.size() << " specimen(s) written to " << outDir << '\n';
    return readStatus;
}
