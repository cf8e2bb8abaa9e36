#pragma once

#include "gdi_to_qt.h" // ToQColor
#include "platform/gdi_types.h"

#include <QWidget>

#include <functional>
#include <optional>

class QFrame;
class QPushButton;

// Asks the user for a colour, starting from the given one; nothing when cancelled.
using ColorChooser = std::function<std::optional<ColorRef>(ColorRef initial, QWidget* parent)>;

// The platform's colour dialog.
std::optional<ColorRef> ChooseColorWithDialog(ColorRef initial, QWidget* parent);

ColorRef FromQColor(const QColor& color);

// A box filled with the current colour and the "Choose color..." button that changes it.
class CColorField : public QWidget {
public:
    explicit CColorField(QWidget* parent = nullptr);

    ColorRef GetColor() const { return color_; }
    void SetColor(ColorRef color);
    // Tests and the main window may replace the dialog.
    void SetChooser(ColorChooser chooser) { chooser_ = std::move(chooser); }

    QFrame* Box() const { return box_; }
    QPushButton* Button() const { return button_; }

private:
    void OnChoose();

    ColorRef color_ = 0;
    QFrame* box_;
    QPushButton* button_;
    ColorChooser chooser_ = ChooseColorWithDialog;
};
