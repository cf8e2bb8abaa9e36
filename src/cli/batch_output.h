#pragma once

#include "platform/result_folder.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

// The output folder of a batch command: its results are committed as a whole (see
// CResultFolder), never over one of the command's inputs, with every problem told on the
// error stream.
class CBatchOutput {
public:
    CBatchOutput(const std::string& dir, std::ostream& err) : folder_(dir), err_(err) {}

    // Locks and prepares the folder (telling the user while another run holds it).
    bool Begin(const std::vector<std::string>& inputs);
    // A result's place ('/'-separated, relative), shortened and made unique; empty, with a
    // message, when it would replace an input.
    std::string Claim(const std::string& relative);
    std::filesystem::path Path(const std::string& claimed) const {
        return folder_.StagingPath(claimed);
    }
    bool Commit();

    // The exit status of a failure: a result that would replace an input is a usage error.
    int FailureStatus() const;
    const std::filesystem::path& Dir() const { return folder_.Dir(); }

private:
    bool Report(bool ok);

    CResultFolder folder_;
    std::ostream& err_;
    std::size_t notesShown_ = 0;
};
