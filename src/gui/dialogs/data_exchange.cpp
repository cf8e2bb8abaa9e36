#include "dialogs/data_exchange.h"

#include "platform/c_format.h"
#include "platform/user_interaction.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

#include <charconv>
#include <climits>
#include <cmath>

QString DxIntegerMessage() {
    return QStringLiteral("Geben Sie bitte eine ganze Zahl ein.");
}

QString DxNumberMessage() {
    return QStringLiteral("Geben Sie bitte eine Zahl ein.");
}

QString DxIntRangeMessage(int lower, int upper) {
    return QStringLiteral("Geben Sie bitte eine ganze Zahl zwischen %1 und %2 ein.")
        .arg(lower)
        .arg(upper);
}

QString DxFloatRangeMessage(float lower, float upper) {
    return QStringLiteral("Geben Sie bitte eine Zahl zwischen %1 und %2 ein.")
        .arg(DxFormatFloat(lower), DxFormatFloat(upper));
}

QString DxMaxCharsMessage(int count) {
    return QStringLiteral("Geben Sie bitte nicht mehr als %1 Zeichen ein.").arg(count);
}

namespace {

// The text without the blanks and tabs around it.
std::string Trimmed(const QString& text) {
    const std::string s = text.toStdString();
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

} // namespace

std::optional<int> DxParseInt(const QString& text) {
    std::string s = Trimmed(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.erase(0, 1);
    }
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    long long value = 0;
    for (const char c : s) {
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::optional<float> DxParseFloat(const QString& text) {
    std::string s = Trimmed(text);
    // from_chars knows the minus sign only.
    if (!s.empty() && s[0] == '+') {
        s.erase(0, 1);
        if (!s.empty() && s[0] == '-')
            return std::nullopt;
    }
    float value = 0.0f;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString DxFormatFloat(float value) {
    return QString::fromStdString(FormatC("%.6g", value));
}

void CDataExchange::Fail(const QString& message) {
    failed_ = true;
    ui_.MessageBox(message.toStdString(), "Carinova", MsgButtons::OK, MsgIcon::Exclamation);
    if (last_) {
        last_->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(last_))
            edit->selectAll();
    }
}

void CDataExchange::Text(QLineEdit* edit, int& value) {
    if (!Active())
        return;
    last_ = edit;
    if (!m_bSaveAndValidate) {
        edit->setText(QString::number(value));
        return;
    }
    if (const auto parsed = DxParseInt(edit->text()))
        value = *parsed;
    else
        Fail(DxIntegerMessage());
}

void CDataExchange::Text(QLineEdit* edit, unsigned int& value) {
    if (!Active())
        return;
    last_ = edit;
    if (!m_bSaveAndValidate) {
        edit->setText(QString::number(value));
        return;
    }
    const auto parsed = DxParseInt(edit->text());
    if (parsed && *parsed >= 0)
        value = static_cast<unsigned int>(*parsed);
    else
        Fail(DxIntegerMessage());
}

void CDataExchange::Text(QLineEdit* edit, float& value) {
    if (!Active())
        return;
    last_ = edit;
    if (!m_bSaveAndValidate) {
        edit->setText(DxFormatFloat(value));
        return;
    }
    if (const auto parsed = DxParseFloat(edit->text()))
        value = *parsed;
    else
        Fail(DxNumberMessage());
}

void CDataExchange::Text(QLineEdit* edit, std::string& value) {
    if (!Active())
        return;
    last_ = edit;
    if (m_bSaveAndValidate)
        value = edit->text().toStdString();
    else
        edit->setText(QString::fromStdString(value));
}

void CDataExchange::Check(QAbstractButton* box, int& value) {
    if (!Active())
        return;
    last_ = box;
    if (m_bSaveAndValidate)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}

void CDataExchange::Radio(const std::vector<QAbstractButton*>& group, int& value) {
    if (!Active() || group.empty())
        return;
    last_ = group.front();
    if (m_bSaveAndValidate) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (group[i]->isChecked())
                value = static_cast<int>(i);
        }
        return;
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        QAbstractButton* button = group[i];
        const bool wanted = static_cast<int>(i) == value;
        // An exclusive button cannot be unchecked directly; a value out of range checks none.
        const bool exclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(wanted);
        button->setAutoExclusive(exclusive);
    }
}

void CDataExchange::ComboText(QComboBox* combo, std::string& value) {
    if (!Active())
        return;
    last_ = combo;
    if (m_bSaveAndValidate)
        value = combo->currentText().toStdString();
    else
        combo->setCurrentText(QString::fromStdString(value));
}

void CDataExchange::MinMaxInt(int value, int lower, int upper) {
    if (m_bSaveAndValidate && Active() && (value < lower || value > upper))
        Fail(DxIntRangeMessage(lower, upper));
}

void CDataExchange::MinMaxFloat(float value, float lower, float upper) {
    if (m_bSaveAndValidate && Active() && !(value >= lower && value <= upper))
        Fail(DxFloatRangeMessage(lower, upper));
}

void CDataExchange::MaxChars(const std::string& value, int count) {
    if (m_bSaveAndValidate && Active() && QString::fromStdString(value).size() > count)
        Fail(DxMaxCharsMessage(count));
}
