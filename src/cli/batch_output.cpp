#include "batch_output.h"

#include "exit_status.h"
#include "interruption.h"

#include <ostream>

bool CBatchOutput::Report(bool ok) {
    const std::vector<std::string>& notes = folder_.Notes();
    for (; notesShown_ < notes.size(); ++notesShown_)
        err_ << "carinova-cli: " << notes[notesShown_] << '\n';
    if (!ok)
        err_ << "carinova-cli: " << folder_.Error() << '\n';
    return ok;
}

bool CBatchOutput::Begin(const std::vector<std::string>& inputs) {
    bool told = false;
    const auto waiting = [&] {
        if (!told)
            err_ << "carinova-cli: waiting for another run writing into " << folder_.Dir().string()
                 << '\n'
                 << std::flush;
        told = true;
        return InterruptSignal() == 0;
    };
    if (!folder_.Begin(waiting))
        return Report(false);
    std::vector<std::filesystem::path> paths(inputs.begin(), inputs.end());
    return Report(folder_.ProtectInputs(paths));
}

std::string CBatchOutput::Claim(const std::string& relative) {
    std::string claimed = folder_.Claim(relative);
    if (claimed.empty())
        Report(false);
    return claimed;
}

bool CBatchOutput::Commit() {
    return Report(folder_.Commit());
}

int CBatchOutput::FailureStatus() const {
    return folder_.RefusedForInput() ? kExitUsage : kExitFailure;
}
