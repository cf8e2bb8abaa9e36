#include "dialogs/data_exchange.h"

#include "platform/scripted_interaction.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct IntCase {
    const char* text;
    std::optional<int> expected;
};

class DxParseIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(DxParseIntTest, ReadsAsTheDialogsDo) {
    EXPECT_EQ(DxParseInt(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DxParseIntTest,
    ::testing::Values(IntCase{"31", 31}, IntCase{"  5000\t", 5000}, IntCase{"+7", 7},
                      IntCase{"-12", -12}, IntCase{"", std::nullopt}, IntCase{"  ", std::nullopt},
                      IntCase{"abc", std::nullopt}, IntCase{"1.5", std::nullopt},
                      IntCase{"12a", std::nullopt}, IntCase{"1 2", std::nullopt},
                      IntCase{"-", std::nullopt}, IntCase{"+-3", std::nullopt},
                      // Saturated, so the range check (not the parse) refuses it.
                      IntCase{"99999999999999999999", 2147483647},
                      IntCase{"-99999999999", -2147483647 - 1}));

struct FloatCase {
    const char* text;
    std::optional<float> expected;
};

class DxParseFloatTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(DxParseFloatTest, ReadsCNumbersOnly) {
    EXPECT_EQ(DxParseFloat(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DxParseFloatTest,
    ::testing::Values(FloatCase{"1.3", 1.3f}, FloatCase{" -0.25 ", -0.25f}, FloatCase{"+2", 2.0f},
                      FloatCase{"1e2", 100.0f}, FloatCase{".5", 0.5f}, FloatCase{"", std::nullopt},
                      FloatCase{"1,5", std::nullopt}, FloatCase{"x", std::nullopt},
                      FloatCase{"1.5.2", std::nullopt}, FloatCase{"+-1", std::nullopt},
                      FloatCase{"nan", std::nullopt}, FloatCase{"inf", std::nullopt},
                      FloatCase{"1e60", std::nullopt}));

TEST(DxFormat, FloatsShowSixSignificantDigits) {
    EXPECT_EQ(DxFormatFloat(1.3f), "1.3");
    EXPECT_EQ(DxFormatFloat(1.0f), "1");
    EXPECT_EQ(DxFormatFloat(123.456789f), "123.457");
    EXPECT_EQ(DxFormatFloat(-0.5f), "-0.5");
}

TEST(DxMessages, GermanTextsWithTheirNumbers) {
    EXPECT_EQ(DxIntegerMessage(), "Geben Sie bitte eine ganze Zahl ein.");
    EXPECT_EQ(DxNumberMessage(), "Geben Sie bitte eine Zahl ein.");
    EXPECT_EQ(DxIntRangeMessage(3, 30), "Geben Sie bitte eine ganze Zahl zwischen 3 und 30 ein.");
    EXPECT_EQ(DxMaxCharsMessage(20), "Geben Sie bitte nicht mehr als 20 Zeichen ein.");
}

class DataExchangeTest : public ::testing::Test {
protected:
    CScriptedInteraction ui;
    QWidget page;
    QLineEdit* first = new QLineEdit(&page);
    QLineEdit* second = new QLineEdit(&page);
};

TEST_F(DataExchangeTest, FirstFailureReportsFocusesAndStopsTheExchange) {
    first->setText("oops");
    second->setText("7");
    int a = 1;
    int b = 2;
    CDataExchange dx(true, ui);
    dx.Text(first, a);
    dx.Text(second, b);
    EXPECT_TRUE(dx.Failed());
    EXPECT_EQ(dx.FailedControl(), first);
    EXPECT_EQ(page.focusWidget(), first);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2) << "nothing after the failure is read";
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Geben Sie bitte eine ganze Zahl ein.");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
}

TEST_F(DataExchangeTest, RangeCheckNamesTheBoundsAndLoadingNeverValidates) {
    int value = 31;
    CDataExchange load(false, ui);
    load.Text(first, value);
    load.MinMaxInt(value, 3, 30);
    EXPECT_FALSE(load.Failed());
    EXPECT_EQ(first->text(), "31");

    CDataExchange save(true, ui);
    save.Text(first, value);
    save.MinMaxInt(value, 3, 30);
    EXPECT_TRUE(save.Failed());
    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"Geben Sie bitte eine ganze Zahl zwischen 3 und 30 ein."});
}

TEST_F(DataExchangeTest, RadioIndexFollowsTheGroupOrderAndMinusOneChecksNone) {
    std::vector<QAbstractButton*> group;
    for (int i = 0; i < 3; ++i)
        group.push_back(new QRadioButton(&page));
    int value = 2;
    CDataExchange(false, ui).Radio(group, value);
    EXPECT_TRUE(group[2]->isChecked());
    group[0]->setChecked(true);
    CDataExchange(true, ui).Radio(group, value);
    EXPECT_EQ(value, 0);
    value = -1;
    CDataExchange(false, ui).Radio(group, value);
    for (QAbstractButton* b : group)
        EXPECT_FALSE(b->isChecked());
    CDataExchange(true, ui).Radio(group, value);
    EXPECT_EQ(value, -1);
}

TEST_F(DataExchangeTest, MaxCharsCountsCharactersNotBytes) {
    CDataExchange dx(true, ui);
    dx.MaxChars("Ostracoda \xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC"
                "\xC3\xBC\xC3\xBC",
                20); // 20 characters, 30 bytes
    EXPECT_FALSE(dx.Failed());
    dx.MaxChars(std::string(21, 'x'), 20);
    EXPECT_TRUE(dx.Failed());
}

} // namespace
