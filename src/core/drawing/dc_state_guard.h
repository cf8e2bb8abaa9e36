#pragma once

#include "platform/cdc.h"

// Restores the selections and text settings of a device context when it goes out of scope, so
// that each part of a picture leaves the context as it found it.
class CDCStateGuard {
public:
    explicit CDCStateGuard(CDC& dc)
        : dc_(dc), pen_(dc.GetPen()), brush_(dc.GetBrush()), font_(dc.GetFont()),
          textColor_(dc.GetTextColor()), textAlign_(dc.GetTextAlign()), bkMode_(dc.GetBkMode()) {}
    ~CDCStateGuard() {
        dc_.SelectPen(pen_);
        dc_.SelectBrush(brush_);
        dc_.SelectFont(font_);
        dc_.SetTextColor(textColor_);
        dc_.SetTextAlign(textAlign_);
        dc_.SetBkMode(bkMode_);
    }
    CDCStateGuard(const CDCStateGuard&) = delete;
    CDCStateGuard& operator=(const CDCStateGuard&) = delete;

private:
    CDC& dc_;
    CPen pen_;
    CBrush brush_;
    CFont font_;
    ColorRef textColor_;
    unsigned textAlign_;
    int bkMode_;
};
