#pragma once

#include <filesystem>
#include <iosfwd>
#include <vector>

class CCarinovaDoc;
class CProgress;
struct CMorphospaceScene;

// Where the pictures of an analysed cluster go; an empty path (or list) leaves them out.
struct CPicturePaths {
    std::filesystem::path overlayPng;
    std::filesystem::path overlaySvg;
    std::vector<std::filesystem::path> members; // one PNG per cluster member, in list order
    std::filesystem::path report;               // the PDF report
    bool memberPages = true; // the report has one page per member after the overlay pages
};

// Writes the overlay as PNG and SVG, one picture per member (on all cores) and the PDF report
// with the printed overlay pages (the member list included), the morphospace page when there
// is an analysis and, when asked, one page per member. False with a message on err when a file
// cannot be written.
bool WriteReportPictures(const CCarinovaDoc& doc, const CMorphospaceScene& morphospace,
                         const CPicturePaths& paths, CProgress& progress, std::ostream& err);
