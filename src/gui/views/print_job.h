#pragma once

#include "drawing/print_page.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class CDC;
class QPageLayout;
class QPrinter;
class QWidget;

// What a view prints: the number of pages on a printer (asked again once printing begins, since
// the user may have chosen another printer or paper) and the drawing of one page.
struct CPrintSource {
    std::function<int(const CDC& printer)> pageCount;
    std::function<void(CDC& dc, const CPrintPageInfo& page)> printPage;
};

// Print: the print dialog with the page range of this printer, then the chosen pages. False
// when the user cancelled or the printer could not be started.
bool RunPrintDialog(QWidget* parent, QPrinter& printer, const CPrintSource& source);

// Print direct, and the body of every print run: the pages of the printer's range (all pages
// while the range is open), each on a printing device context over the printer.
bool PrintPages(QPrinter& printer, const CPrintSource& source);

// Print preview: the pages in the platform's preview window, which can print them too.
void RunPrintPreview(QWidget* parent, QPrinter& printer, const CPrintSource& source);

// Every page into a PDF file of that page layout, without asking anyone. The file is written
// beside the target and renamed over it, so a failure leaves no half-written file.
bool PrintToPdfFile(const std::filesystem::path& file, const QPageLayout& layout,
                    const CPrintSource& source, std::string& error);

// The printer of the main window (shared with Print Setup), or `own` for a view that stands
// alone.
QPrinter& ViewPrinter(QWidget& view, std::unique_ptr<QPrinter>& own);

// Print, print direct and print preview of a view; false for any other command.
bool RunPrintCommand(int id, QWidget& view, std::unique_ptr<QPrinter>& own,
                     const CPrintSource& source);
