#include "dialogs/reading_progress_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(ReadingProgressDialog, ShowsFileNameAndPosition) {
    CReadingProgressDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Carinova");
    EXPECT_EQ(dialog.m_wndGroup->title(), "Reading filei:");
    EXPECT_EQ(dialog.m_wndName->text(), "");
    EXPECT_EQ(dialog.m_btnCancel->text(), "Abbrechen");
    dialog.SetRange(0, 3);
    dialog.SetPos(2);
    dialog.SetText("valves.tps (2)");
    EXPECT_EQ(dialog.m_wndProgress->maximum(), 3);
    EXPECT_EQ(dialog.m_wndProgress->value(), 2);
    EXPECT_EQ(dialog.m_wndName->text(), "valves.tps (2)");
}

TEST(ReadingProgressDialog, AbbrechenRaisesTheFlagAndKeepsTheWindowOpen) {
    CReadingProgressDialog dialog;
    dialog.show();
    EXPECT_FALSE(dialog.CheckCancel());
    QTest::mouseClick(dialog.m_btnCancel, Qt::LeftButton);
    EXPECT_TRUE(dialog.CheckCancel());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.CheckCancel()) << "the flag stays raised";
}

TEST(ReadingProgressDialog, EscapeAndClosingCancelToo) {
    CReadingProgressDialog escaped;
    escaped.show();
    QTest::keyClick(&escaped, Qt::Key_Escape);
    EXPECT_TRUE(escaped.CheckCancel());
    EXPECT_TRUE(escaped.isVisible());

    CReadingProgressDialog closed;
    closed.show();
    closed.close();
    EXPECT_TRUE(closed.CheckCancel());
    EXPECT_TRUE(closed.isVisible());
}

// A click queued while the reading runs reaches the button only when CheckCancel lets the
// events through.
TEST(ReadingProgressDialog, CheckCancelProcessesPendingEvents) {
    CReadingProgressDialog dialog;
    dialog.show();
    QMetaObject::invokeMethod(dialog.m_btnCancel, "click", Qt::QueuedConnection);
    EXPECT_FALSE(dialog.IsCancelled());
    EXPECT_TRUE(dialog.CheckCancel());
}

} // namespace
