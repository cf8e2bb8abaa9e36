#include "views/window_bitmap_export.h"

#include "platform/user_interaction.h"

#include <QDir>
#include <QWidget>

#include <algorithm>
#include <cctype>

CWindowBitmapExport::CWindowBitmapExport(QWidget& window, CUserInteraction& ui, DrawFunction draw)
    : window_(window), ui_(ui), draw_(std::move(draw)) {}

const char* CWindowBitmapExport::Filter() {
    return "Bitmap File(*.bmp)|*.bmp|PNG Image (*.png)|*.png|SVG Drawing (*.svg)|*.svg|"
           "PDF Document (*.pdf)|*.pdf||";
}

std::optional<CWindowBitmapExport::Format> CWindowBitmapExport::FormatOf(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".bmp")
        return Format::Bmp;
    if (extension == ".png")
        return Format::Png;
    if (extension == ".svg")
        return Format::Svg;
    if (extension == ".pdf")
        return Format::Pdf;
    return std::nullopt;
}

bool CWindowBitmapExport::Write(const std::string& path, Format format, int width, int height,
                                const DrawFunction& draw, const std::string& title,
                                std::string& error) {
    switch (format) {
    case Format::Png:
        return RenderImageFile(path, ImageFormat::Png, width, height, draw, error);
    case Format::Svg:
        return RenderSvgFile(path, width, height, draw, title, error);
    case Format::Pdf:
        return RenderPicturePdfFile(path, width, height, draw, title, error);
    case Format::Bmp:
        break;
    }
    return RenderImageFile(path, ImageFormat::Bmp, width, height, draw, error);
}

int CWindowBitmapExport::Export(const std::string& proposedName) {
    CFileDialogRequest request;
    request.open = false;
    request.title = "Export image";
    request.filter = Filter();
    request.fileName = proposedName;
    request.initialDir = QDir::currentPath().toStdString();
    request.overwritePrompt = true;
    request.pathMustExist = true;
    const CFileDialogResult result = ui_.FileDialog(request);
    if (result.outcome == CFileDialogResult::Failed) {
        ui_.Message("Could not save the image.", MsgButtons::OK, MsgIcon::Exclamation);
        return 0;
    }
    if (result.outcome != CFileDialogResult::Accepted || result.paths.empty())
        return 1;
    const std::string& path = result.paths.front();
    const Format format =
        FormatOf(path).value_or(static_cast<Format>(std::clamp(result.filterIndex, 0, 3)));
    const std::string title = proposedName.substr(0, proposedName.find_last_of('.'));
    std::string error;
    if (!Write(path, format, window_.width(), window_.height(), draw_, title, error))
        ui_.Message(error, MsgButtons::OK, MsgIcon::Exclamation);
    return 1;
}
