#pragma once

#include "render_targets.h"

#include <string>

class CUserInteraction;
class QWidget;

// Saves what a view shows as an image file after a save dialog: the view's client area drawn
// afresh at its size, as a 24-bit BMP (a PNG when the chosen name ends in ".png").
class CWindowBitmapExport {
public:
    CWindowBitmapExport(QWidget& window, CUserInteraction& ui, DrawFunction draw);

    // 1 when the dialog was closed (saved or cancelled), 0 after a dialog failure.
    int Export(const std::string& proposedName);

    // The file format a name asks for.
    static ImageFormat FormatOf(const std::string& path);

private:
    QWidget& window_;
    CUserInteraction& ui_;
    DrawFunction draw_;
};
