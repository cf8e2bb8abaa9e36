#include "output_folder.h"

#include <ostream>
#include <random>
#include <string_view>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

COutputFolder::~COutputFolder() {
    if (!staging_.empty()) {
        std::error_code ec;
        fs::remove_all(staging_, ec);
    }
}

bool COutputFolder::Begin(std::ostream& err) {
    std::error_code ec;
    fs::create_directories(dir_, ec);
    if (ec || !fs::is_directory(dir_)) {
        err << "carinova-cli: cannot create the output folder " << dir_.string() << ": "
            << (ec ? ec.message() : "a file is in the way") << '\n';
        return false;
    }
    std::random_device random;
    staging_ = dir_ / (".carinova-partial-" + std::to_string(random()));
    fs::create_directory(staging_, ec);
    if (ec) {
        err << "carinova-cli: cannot write into " << dir_.string() << ": " << ec.message() << '\n';
        staging_.clear();
        return false;
    }
    return true;
}

fs::path COutputFolder::StagingPath(const std::string& relative) {
    const fs::path path = staging_ / relative;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    return path;
}

std::string COutputFolder::UniqueName(const std::string& name) {
    std::string candidate = name;
    const fs::path p(name);
    for (int i = 2; names_.count(candidate); ++i)
        candidate = (p.parent_path() /
                     (p.stem().string() + " (" + std::to_string(i) + ")" + p.extension().string()))
                        .string();
    names_.insert(candidate);
    return candidate;
}

// Files are moved one by one; each move replaces its target atomically.
bool COutputFolder::Commit(std::ostream& err) {
    std::error_code ec;
    std::vector<fs::path> files;
    for (auto it = fs::recursive_directory_iterator(staging_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (it->is_regular_file())
            files.push_back(it->path());
    for (const fs::path& file : files) {
        const fs::path target = dir_ / fs::relative(file, staging_);
        fs::create_directories(target.parent_path(), ec);
        fs::rename(file, target, ec);
        if (ec) {
            err << "carinova-cli: cannot move " << target.string()
                << " into place: " << ec.message() << '\n';
            return false;
        }
    }
    fs::remove_all(staging_, ec);
    staging_.clear();
    committed_ = true;
    return true;
}

std::string SafeFileName(const std::string& name) {
    std::string safe = name;
    for (char& c : safe)
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("/\\:<>\"|?*").find(c) != std::string_view::npos)
            c = '_';
    if (safe.empty() || safe == "." || safe == "..")
        safe = "specimen";
    if (safe.front() == '.')
        safe.front() = '_';
    return safe;
}
