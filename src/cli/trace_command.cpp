#include "trace_command.h"

#include "exit_status.h"
#include "formats/specimen_reader.h"
#include "outline_input.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The inputs with each folder replaced by its images, sorted by name; files that are not
// images are skipped and counted. A folder that cannot be listed is named.
std::vector<std::string> ImagesOf(const std::vector<std::string>& inputs, std::ostream& err,
                                  int& status) {
    std::vector<std::string> images;
    for (const std::string& input : inputs) {
        std::error_code ec;
        if (!fs::is_directory(input, ec)) {
            images.push_back(input);
            continue;
        }
        std::vector<std::string> files;
        fs::directory_iterator it(input, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec))
            if (it->is_regular_file(ec))
                files.push_back(it->path().string());
        if (ec) {
            err << "carinova-cli: " << input << ": the folder cannot be read: " << ec.message()
                << '\n';
            status = WorseExitStatus(status, kExitPartial);
        }
        std::sort(files.begin(), files.end());
        const auto others = std::stable_partition(files.begin(), files.end(), IsImageInput);
        if (others != files.end())
            err << "carinova-cli: " << input << ": left out, not images: "
                << CountOf(static_cast<std::size_t>(files.end() - others), "file", "files")
                << '\n';
        images.insert(images.end(), files.begin(), others);
    }
    return images;
}

} // namespace

int RunTrace(const CTraceCommandOptions& options, std::ostream& out, std::ostream& err) {
    int status = kExitOk;
    const std::vector<std::string> images = ImagesOf(options.inputs, err, status);
    std::vector<CTpsOutline> outlines;
    std::size_t tracedImages = 0;
    for (std::size_t i = 0; i < images.size(); ++i) {
        CTracedImageFile traced;
        if (IsImageInput(images[i]))
            traced = TraceImageFile(images[i], options.settings);
        else
            traced.file.error = "not an image in a format read here (PNG, JPEG, TIFF, BMP)";
        err << "carinova-cli: [" << i + 1 << '/' << images.size() << "] "
            << traced.file.Summary(images[i]) << '\n';
        status = WorseExitStatus(status, ExitStatusOf(traced.file) == kExitOk ? kExitOk
                                                                               : kExitPartial);
        tracedImages += traced.outlines.empty() ? 0 : 1;
        std::move(traced.outlines.begin(), traced.outlines.end(), std::back_inserter(outlines));
    }
    if (outlines.empty()) {
        err << "carinova-cli: no valve found in " << CountOf(images.size(), "image", "images")
            << "; " << options.output << " not written\n";
        return kExitFailure;
    }
    std::string error;
    if (!WriteTpsOutlines(outlines, options.output, error)) {
        err << "carinova-cli: " << error << '\n';
        return kExitFailure;
    }
    out << CountOf(outlines.size(), "outline", "outlines") << " from "
        << CountOf(tracedImages, "image", "images") << " written to " << options.output << '\n';
    return status;
}

std::string ParseThreshold(const std::string& text, int& threshold) {
    if (text == "auto") {
        threshold = -1;
        return {};
    }
    int level = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), level);
    if (ec != std::errc() || end != text.data() + text.size() || level < 0 || level > 65535)
        return "the threshold is auto or a grey level from 0 to 65535";
    threshold = level;
    return {};
}
