#include "views/window_bitmap_export.h"

#include "platform/user_interaction.h"

#include <QDir>
#include <QWidget>

#include <algorithm>
#include <cctype>

CWindowBitmapExport::CWindowBitmapExport(QWidget& window, CUserInteraction& ui, DrawFunction draw)
    : window_(window), ui_(ui), draw_(std::move(draw)) {}

ImageFormat CWindowBitmapExport::FormatOf(const std::string& path) {
    if (path.size() < 4)
        return ImageFormat::Bmp;
    std::string extension = path.substr(path.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".png" ? ImageFormat::Png : ImageFormat::Bmp;
}

int CWindowBitmapExport::Export(const std::string& proposedName) {
    CFileDialogRequest request;
    request.open = false;
    request.title = "Export image";
    request.filter = "Bitmap File(*.bmp)|*.bmp||";
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
    std::string error;
    if (!RenderImageFile(path, FormatOf(path), window_.width(), window_.height(), draw_, error))
        ui_.Message(error, MsgButtons::OK, MsgIcon::Exclamation);
    return 1;
}
