#pragma once

#include <QWidget>

#include <climits>
#include <functional>

class QLineEdit;
class QToolButton;

// The up-down arrows beside an edit box. With a buddy it works on the buddy's integer: a step
// starts from the number in the edit when that lies in the range (else from the last position),
// stays within the range and writes the result back. Without a buddy the owner reacts to the
// position through the callback. Up and Down in the buddy step as the arrows do.
class CSpinButton : public QWidget {
public:
    explicit CSpinButton(QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    void SetPos(int pos);
    int GetPos() const { return pos_; }
    int GetLower() const { return lower_; }
    int GetUpper() const { return upper_; }
    void SetBuddy(QLineEdit* buddy, bool setsBuddyInt);
    // Called with the new position after every step.
    void SetOnPositionChanged(std::function<void(int)> callback) {
        onChanged_ = std::move(callback);
    }

    // One click on an arrow: +1 up, -1 down.
    void StepBy(int delta);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int lower_ = INT_MIN;
    int upper_ = INT_MAX;
    int pos_ = 0;
    QLineEdit* buddy_ = nullptr;
    bool setsBuddyInt_ = false;
    QToolButton* up_;
    QToolButton* down_;
    std::function<void(int)> onChanged_;
};
