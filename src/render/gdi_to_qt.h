#pragma once

#include "platform/gdi_types.h"

#include <QColor>
#include <QFont>
#include <QPen>

// Turns the GDI drawing objects into their Qt counterparts for a device whose logical unit is
// `scale` device pixels long (the absolute mapping scale along the relevant axis).

QColor ToQColor(ColorRef color);

// The pen's width in whole device pixels: at least one, whatever the scale.
int DevicePenWidth(const CPen& pen, double scale);

// Width 0 (or anything thinner than a pixel) gives a cosmetic one-pixel pen that, as in GDI,
// leaves out the end point of a line and keeps its dash style; wider pens are solid with round
// ends and joins, as GDI draws them.
QPen ToQPen(const CPen& pen, double scale);

// Height in logical units: negative is the character (em) height, positive the cell height
// (ascent plus descent), 0 the device's default of 12 points at `dotsPerInch`.
QFont ToQFont(const CFont& font, double scale, int dotsPerInch);
