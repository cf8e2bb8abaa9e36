#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

class CUserInteraction;
class QAbstractButton;
class QComboBox;
class QLineEdit;
class QWidget;

// The German texts of the validation messages the dialogs show.
QString DxIntegerMessage();
QString DxNumberMessage();
QString DxIntRangeMessage(int lower, int upper);
QString DxFloatRangeMessage(float lower, float upper);
QString DxMaxCharsMessage(int count);

// An integer as the dialogs accept it: optional blanks, an optional sign, digits, optional
// blanks; values beyond the int range saturate (the range check then refuses them).
std::optional<int> DxParseInt(const QString& text);
// A decimal number in the "C" format with optional blanks around it; infinity and NaN are
// refused, they would only corrupt the geometry downstream.
std::optional<float> DxParseFloat(const QString& text);
// Floats are shown with six significant digits, so a value typed in comes back as typed.
QString DxFormatFloat(float value);

// Moves values between a page's controls and its fields, in both directions, with the
// validation on the way back. The first failure shows its message, puts the focus on the
// control and makes every later call of the same exchange do nothing.
class CDataExchange {
public:
    CDataExchange(bool saveAndValidate, CUserInteraction& ui)
        : m_bSaveAndValidate(saveAndValidate), ui_(ui) {}

    const bool m_bSaveAndValidate;
    bool Failed() const { return failed_; }
    // The control that refused its value, once Failed().
    QWidget* FailedControl() const { return failed_ ? last_ : nullptr; }

    void Text(QLineEdit* edit, int& value);
    void Text(QLineEdit* edit, unsigned int& value);
    void Text(QLineEdit* edit, float& value);
    void Text(QLineEdit* edit, std::string& value);
    void Check(QAbstractButton* box, int& value);
    void Radio(const std::vector<QAbstractButton*>& group, int& value);
    void ComboText(QComboBox* combo, std::string& value);

    // Range and length checks of the field exchanged last.
    void MinMaxInt(int value, int lower, int upper);
    void MinMaxFloat(float value, float lower, float upper);
    void MaxChars(const std::string& value, int count);

private:
    bool Active() const { return !failed_; }
    void Fail(const QString& message);

    CUserInteraction& ui_;
    QWidget* last_ = nullptr;
    bool failed_ = false;
};
