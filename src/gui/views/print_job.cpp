#include "views/print_job.h"

#include "app/main_frame.h"
#include "document/command_ids.h"
#include "platform/recording_dc.h"
#include "qpainter_dc.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <system_error>

namespace {

// The printer's page count before a painter is open on it: the page-count rules read only the
// device's sizes and resolution.
int PageCountBeforePrinting(QPrinter& printer, const CPrintSource& source) {
    CRecordingDC caps(true);
    caps.SetDeviceCaps(HORZRES, printer.width());
    caps.SetDeviceCaps(VERTRES, printer.height());
    caps.SetDeviceCaps(HORZSIZE, printer.widthMM());
    caps.SetDeviceCaps(VERTSIZE, printer.heightMM());
    caps.SetDeviceCaps(LOGPIXELSX, printer.logicalDpiX());
    caps.SetDeviceCaps(LOGPIXELSY, printer.logicalDpiY());
    return std::max(source.pageCount(caps), 1);
}

// The printer's range when the user chose one, clipped to the pages there are.
CPrintPageInfo PageRange(const QPrinter& printer, int maxPage) {
    CPrintPageInfo info;
    info.maxPage = maxPage;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        info.fromPage = std::min(printer.fromPage(), maxPage);
        info.toPage = std::clamp(printer.toPage(), info.fromPage, maxPage);
    }
    return info;
}

} // namespace

bool PrintPages(QPrinter& printer, const CPrintSource& source) {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    int maxPage = 1;
    {
        CQPainterDC probe(painter, true);
        maxPage = std::max(source.pageCount(probe), 1);
    }
    CPrintPageInfo info = PageRange(printer, maxPage);
    for (int page = info.fromPage; page <= info.LastPage(); ++page) {
        if (page > info.fromPage && !printer.newPage())
            return false;
        info.currentPage = page;
        painter.save();
        {
            CQPainterDC dc(painter, true);
            source.printPage(dc, info);
        }
        painter.restore();
    }
    return painter.end();
}

bool RunPrintDialog(QWidget* parent, QPrinter& printer, const CPrintSource& source) {
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, PageCountBeforePrinting(printer, source));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return PrintPages(printer, source);
}

void RunPrintPreview(QWidget* parent, QPrinter& printer, const CPrintSource& source) {
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&source](QPrinter* target) { PrintPages(*target, source); });
    preview.exec();
}

bool PrintToPdfFile(const std::filesystem::path& file, const QPageLayout& layout,
                    const CPrintSource& source, std::string& error) {
    std::filesystem::path temporary = file;
    temporary += ".part";
    bool printed = false;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(temporary.string()));
        printed = printer.setPageLayout(layout) && PrintPages(printer, source);
    }
    std::error_code ec;
    if (printed)
        std::filesystem::rename(temporary, file, ec);
    if (printed && !ec)
        return true;
    std::filesystem::remove(temporary, ec);
    error = "Could not print to " + file.string();
    return false;
}

QPrinter& ViewPrinter(QWidget& view, std::unique_ptr<QPrinter>& own) {
    if (auto* frame = qobject_cast<CMainFrame*>(view.window()))
        return frame->GetPrinter();
    if (!own)
        own = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *own;
}

bool RunPrintCommand(int id, QWidget& view, std::unique_ptr<QPrinter>& own,
                     const CPrintSource& source) {
    switch (id) {
    case ID_FILE_PRINT:
        RunPrintDialog(&view, ViewPrinter(view, own), source);
        return true;
    case ID_FILE_PRINT_DIRECT:
        PrintPages(ViewPrinter(view, own), source);
        return true;
    case ID_FILE_PRINT_PREVIEW:
        RunPrintPreview(&view, ViewPrinter(view, own), source);
        return true;
    default:
        return false;
    }
}
