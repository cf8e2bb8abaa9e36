#include "dialogs/color_field.h"

#include <QColorDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>

ColorRef FromQColor(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}

std::optional<ColorRef> ChooseColorWithDialog(ColorRef initial, QWidget* parent) {
    const QColor chosen = QColorDialog::getColor(ToQColor(initial), parent);
    if (!chosen.isValid())
        return std::nullopt;
    return FromQColor(chosen);
}

CColorField::CColorField(QWidget* parent)
    : QWidget(parent), box_(new QFrame(this)), button_(new QPushButton("Choose color...", this)) {
    box_->setFrameShape(QFrame::Box);
    box_->setAutoFillBackground(true);
    box_->setMinimumSize(60, 20);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box_, 1);
    layout->addWidget(button_);
    connect(button_, &QPushButton::clicked, this, [this] { OnChoose(); });
    SetColor(color_);
}

void CColorField::SetColor(ColorRef color) {
    color_ = color;
    QPalette palette = box_->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    box_->setPalette(palette);
    box_->update();
}

void CColorField::OnChoose() {
    if (const auto chosen = chooser_(color_, this))
        SetColor(*chosen);
}
