#include "outline_input.h"

#include "exit_status.h"
#include "image_specimen_file.h"

#include <ostream>

CSpecimenFile ReadOutlineInput(const std::string& input, std::ostream& err) {
    const std::string name = input == "-" ? "stdin" : input;
    CSpecimenFile file;
    if (input != "-" && IsImageInput(input)) {
        file = std::move(TraceImageFile(input, {}).file);
    } else {
        CInputStream stream =
            input == "-" ? CInputStream::StandardInput() : CInputStream::Open(input);
        file = ReadSpecimenInput(name, stream);
    }
    err << "carinova-cli: " << file.Summary(name) << '\n';
    if (file.Outcome() == CSpecimenFile::EOutcome::Complete || file.SummaryTellsAll())
        return file;
    for (const std::string& line : file.Details(name))
        err << "carinova-cli: " << line << '\n';
    return file;
}

int ExitStatusOf(const CSpecimenFile& file) {
    switch (file.Outcome()) {
    case CSpecimenFile::EOutcome::Complete:
        return kExitOk;
    case CSpecimenFile::EOutcome::Partial:
        return kExitPartial;
    case CSpecimenFile::EOutcome::Failed:
        break;
    }
    return kExitFailure;
}

int WorseExitStatus(int a, int b) {
    const auto rank = [](int status) {
        return status == kExitFailure ? 2 : (status == kExitPartial ? 1 : 0);
    };
    return rank(a) >= rank(b) ? a : b;
}

int ReadOutlineInputs(const std::vector<std::string>& inputs,
                      std::vector<std::unique_ptr<CSpecimen>>& specimens, std::ostream& err) {
    int status = kExitOk;
    for (const std::string& input : inputs) {
        CSpecimenFile file = ReadOutlineInput(input, err);
        status = WorseExitStatus(status, ExitStatusOf(file));
        for (std::unique_ptr<CSpecimen>& specimen : file.specimens)
            specimens.push_back(std::move(specimen));
    }
    return status;
}
