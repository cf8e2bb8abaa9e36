// carinova-cli: batch access to the outline readers and statistics.
#include "info_command.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    CLI::App app{"Batch tool for ostracod valve outlines", "carinova-cli"};
    app.set_version_flag("--version", "carinova-cli " CARINOVA_VERSION);
    app.require_subcommand(1);

    std::vector<std::string> files;
    bool tsv = false;
    CLI::App* info = app.add_subcommand("info", "List the specimens of outline files with their "
                                                "area, centroid, first axis and halves");
    info->add_option("FILE", files, "TPS, Morphosys or simple outline file")->required();
    info->add_flag("--tsv", tsv, "Tab-separated output for scripts");

    CLI11_PARSE(app, argc, argv);
    return RunInfo(files, tsv, std::cout, std::cerr);
}
