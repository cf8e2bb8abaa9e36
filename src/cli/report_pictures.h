#pragma once

#include <iosfwd>

class CCarinovaDoc;
class COutputFolder;
struct CMorphospaceScene;

// Writes the pictures of an analysed cluster into the staging folder: the overlay as PNG and
// SVG, one PNG per cluster member under "specimens/", and "report.pdf" with the printed
// overlay pages (the member list included), the morphospace page when there is an analysis,
// and one page per member. False with a message on err when a file cannot be written.
bool WriteReportPictures(const CCarinovaDoc& doc, const CMorphospaceScene& morphospace,
                         COutputFolder& folder, std::ostream& err);
