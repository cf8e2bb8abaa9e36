#pragma once

#include <filesystem>
#include <iosfwd>
#include <set>
#include <string>

// The results of one run are written into a hidden staging folder inside the output folder
// and moved into place only when all of them were written, so a failed run leaves nothing
// half-written behind (files of earlier runs stay as they were).
class COutputFolder {
public:
    explicit COutputFolder(std::filesystem::path dir) : dir_(std::move(dir)) {}
    ~COutputFolder();
    COutputFolder(const COutputFolder&) = delete;
    COutputFolder& operator=(const COutputFolder&) = delete;

    bool Begin(std::ostream& err);
    // Where a result named `relative` is written before Commit; parent folders are created.
    std::filesystem::path StagingPath(const std::string& relative);
    // `name`, or `name` with " (2)", " (3)" ... before its extension if taken in this run.
    std::string UniqueName(const std::string& name);
    bool Commit(std::ostream& err);

    const std::filesystem::path& Dir() const { return dir_; }

private:
    std::filesystem::path dir_;
    std::filesystem::path staging_;
    std::set<std::string> names_;
    bool committed_ = false;
};

// A specimen name made safe as a file name: path separators and control characters replaced.
std::string SafeFileName(const std::string& name);
