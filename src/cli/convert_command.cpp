#include "convert_command.h"

#include "batch_output.h"
#include "exit_status.h"
#include "formats/tps_writer.h"
#include "model/specimen.h"
#include "outline_input.h"
#include "platform/file_names.h"

#include <ostream>

int RunConvert(const std::vector<std::string>& files, const std::string& outDir, std::ostream& out,
               std::ostream& err) {
    std::vector<std::unique_ptr<CSpecimen>> specimens;
    const int readStatus = ReadOutlineInputs(files, specimens, err);
    if (readStatus == kExitFailure)
        return kExitFailure;
    CBatchOutput output(outDir, err);
    if (!output.Begin(files))
        return output.FailureStatus();
    for (const auto& specimen : specimens) {
        const std::string name =
            output.Claim(SafeFileName(DefaultTpsExportName(specimen->ShortPathName)));
        if (name.empty())
            return output.FailureStatus();
        std::string error;
        if (!WriteSpecimenAsTps(*specimen, output.Path(name), error)) {
            err << "carinova-cli: " << error << '\n';
            return kExitFailure;
        }
    }
    if (!output.Commit())
        return output.FailureStatus();
    out << specimens.size() << " specimen(s) written to " << outDir << '\n';
    return readStatus;
}
