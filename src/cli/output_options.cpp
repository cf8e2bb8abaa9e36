#include "output_options.h"

#include <sstream>

bool ParseTableList(const std::string& text, bool& rms, bool& area) {
    if (text == "all" || text == "none") {
        rms = area = text == "all";
        return true;
    }
    rms = area = false;
    std::istringstream list(text);
    std::string item;
    bool any = false;
    while (std::getline(list, item, ',')) {
        if (item == "rms")
            rms = true;
        else if (item == "area")
            area = true;
        else
            return false;
        any = true;
    }
    return any;
}

COutputOptions ChooseOutputs(const COutputRequest& request, std::size_t members, bool& defaulted) {
    COutputOptions o;
    const bool large = members > kAllOutputsMembers;
    defaulted = large && (!request.tables || !request.pictures || !request.report);
    if (request.tables)
        ParseTableList(*request.tables, o.rmsTable, o.areaTables);
    else if (large)
        o.rmsTable = o.areaTables = false;
    if (request.pictures)
        o.pictures = *request.pictures == "none"      ? COutputOptions::Pictures::None
                     : *request.pictures == "overlay" ? COutputOptions::Pictures::Overlay
                                                      : COutputOptions::Pictures::All;
    else if (large)
        o.pictures = COutputOptions::Pictures::Overlay;
    if (request.report)
        o.report = *request.report == "none"      ? COutputOptions::Report::None
                   : *request.report == "summary" ? COutputOptions::Report::Summary
                                                  : COutputOptions::Report::Full;
    else if (large)
        o.report = COutputOptions::Report::Summary;
    return o;
}

std::string DescribeOutputs(const COutputOptions& o) {
    const std::string tables = o.rmsTable && o.areaTables ? "rms,area"
                               : o.rmsTable               ? "rms"
                               : o.areaTables             ? "area"
                                                          : "none";
    const char* pictures = o.pictures == COutputOptions::Pictures::All       ? "all"
                           : o.pictures == COutputOptions::Pictures::Overlay ? "overlay"
                                                                             : "none";
    const char* report = o.report == COutputOptions::Report::Full      ? "full"
                         : o.report == COutputOptions::Report::Summary ? "summary"
                                                                       : "none";
    return "--tables " + tables + " --pictures " + pictures + " --report " + report;
}
