#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Which of the larger results a batch run writes; the document and the data export are
// always written.
struct COutputOptions {
    enum class Pictures { All, Overlay, None };
    enum class Report { Full, Summary, None };

    bool rmsTable = true;   // mean_delta_quadrat.tsv
    bool areaTables = true; // area_dorsal.tsv, area_ventral.tsv, area_total.tsv
    Pictures pictures = Pictures::All;
    Report report = Report::Full;
};

// The output options as given on the command line; what is not given takes its default.
struct COutputRequest {
    std::optional<std::string> tables;   // "all", "none" or a list of "rms" and "area"
    std::optional<std::string> pictures; // "all", "overlay", "none"
    std::optional<std::string> report;   // "full", "summary", "none"
};

// Up to this many cluster members every result is written unless asked otherwise. Beyond it
// the pairwise tables (their size grows with the square of the count) and the per-member
// pictures and report pages are left out unless asked for.
inline constexpr std::size_t kAllOutputsMembers = 2000;

// The outputs for a cluster of `members`; `defaulted` tells whether a default was cut back.
COutputOptions ChooseOutputs(const COutputRequest& request, std::size_t members, bool& defaulted);

// "rms,area", "all", "none": false for anything else.
bool ParseTableList(const std::string& text, bool& rms, bool& area);

// The outputs as the options spell them: "--tables rms,area --pictures all --report full".
std::string DescribeOutputs(const COutputOptions& outputs);
