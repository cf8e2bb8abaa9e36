#pragma once

#include "render_targets.h"

#include <optional>
#include <string>

class CUserInteraction;
class QWidget;

// Saves what a view shows as an image file after a save dialog: the view's client area drawn
// afresh at its size, as a 24-bit BMP, a PNG, an SVG drawing or a one-page PDF. The name's
// extension chooses the format; a name without a known one is saved (as typed) in the format
// of the filter chosen in the dialog.
class CWindowBitmapExport {
public:
    enum class Format { Bmp, Png, Svg, Pdf };

    CWindowBitmapExport(QWidget& window, CUserInteraction& ui, DrawFunction draw);

    // 1 when the dialog was closed (saved or cancelled), 0 after a dialog failure.
    int Export(const std::string& proposedName);

    // The format a name's extension asks for, if it is one of the four.
    static std::optional<Format> FormatOf(const std::string& path);
    // The dialog's filters, in the order of Format.
    static const char* Filter();
    // Writes the picture of that client size; false with a message in `error`.
    static bool Write(const std::string& path, Format format, int width, int height,
                      const DrawFunction& draw, const std::string& title, std::string& error);

private:
    QWidget& window_;
    CUserInteraction& ui_;
    DrawFunction draw_;
};
