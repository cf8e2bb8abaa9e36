#include "dialogs/spin_button.h"

#include "dialogs/data_exchange.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QToolButton* MakeArrow(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(16, 11);
    return button;
}

} // namespace

CSpinButton::CSpinButton(QWidget* parent)
    : QWidget(parent), up_(MakeArrow(Qt::UpArrow, this)), down_(MakeArrow(Qt::DownArrow, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { StepBy(-1); });
}

void CSpinButton::SetRange(int lower, int upper) {
    lower_ = std::min(lower, upper);
    upper_ = std::max(lower, upper);
    pos_ = std::clamp(pos_, lower_, upper_);
}

void CSpinButton::SetPos(int pos) {
    pos_ = std::clamp(pos, lower_, upper_);
}

void CSpinButton::SetBuddy(QLineEdit* buddy, bool setsBuddyInt) {
    if (buddy_)
        buddy_->removeEventFilter(this);
    buddy_ = buddy;
    setsBuddyInt_ = setsBuddyInt;
    if (buddy_)
        buddy_->installEventFilter(this);
}

void CSpinButton::StepBy(int delta) {
    if (!isEnabled())
        return;
    if (buddy_ && setsBuddyInt_) {
        // A number out of range or no number at all leaves the last position in force.
        const auto typed = DxParseInt(buddy_->text());
        if (typed && *typed >= lower_ && *typed <= upper_)
            pos_ = *typed;
    }
    const long long next = static_cast<long long>(pos_) + delta;
    pos_ = static_cast<int>(std::clamp<long long>(next, lower_, upper_));
    if (buddy_ && setsBuddyInt_)
        buddy_->setText(QString::number(pos_));
    if (onChanged_)
        onChanged_(pos_);
}

bool CSpinButton::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            StepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
