#include "qt_user_interaction.h"

#include "dialogs/approx_sheet_dialog.h"
#include "dialogs/cluster_sheet_dialog.h"
#include "dialogs/control_point_editor.h"
#include "dialogs/property_page_approx_params.h"
#include "dialogs/reading_progress_dialog.h"
#include "dialogs/specimen_sheet_dialog.h"
#include "file_filter.h"
#include "progress_indicator.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

namespace {

// Runs `act` on the modal window once the event loop of its exec() is up.
template <class Dialog> void WhenModal(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog of the expected kind";
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        act(*dialog);
    });
}

struct FilterCase {
    const char* mfc;
    QStringList qt;
};

void PrintTo(const FilterCase& c, std::ostream* out) {
    *out << c.mfc;
}

class FileFilterTranslation : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FileFilterTranslation, GivesQtNameFilters) {
    EXPECT_EQ(TranslateFileFilter(GetParam().mfc), GetParam().qt);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileFilterTranslation,
    ::testing::Values(
        FilterCase{"All Specimen Files (*.tps;*.msd)|*.tps; *.msd|TPS Files (*.tps)|*.tps||",
                   {"All Specimen Files (*.tps *.msd)", "TPS Files (*.tps)"}},
        FilterCase{"Text|*.txt|All Files (*.*)|*.*||", {"Text (*.txt)", "All Files (*)"}},
        FilterCase{"Bitmap File(*.bmp)|*.bmp||", {"Bitmap File (*.bmp)"}},
        FilterCase{"(*.x)|*.x||", {"(*.x)"}}, FilterCase{"", {}}, FilterCase{"||", {}},
        FilterCase{"Dangling name", {}},
        FilterCase{"No pattern||Bitmap|*.bmp||", {"Bitmap (*.bmp)"}},
        FilterCase{"Spaces| ;  ; |Images| *.bmp ;*.png |", {"Images (*.bmp *.png)"}}));

TEST(QtFileDialogSetup, OpenWithMultipleSelection) {
    QFileDialog dialog;
    CFileDialogRequest r;
    r.open = true;
    r.multiSelect = true;
    r.filter = "All Specimen Files (*.tps;*.msd)|*.tps; *.msd|All Files (*.*)|*.*||";
    r.initialDir = QDir::tempPath().toStdString();
    CQtUserInteraction::ConfigureFileDialog(dialog, r);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(dialog.windowTitle(), "Open");
    EXPECT_EQ(dialog.nameFilters(),
              (QStringList{"All Specimen Files (*.tps *.msd)", "All Files (*)"}));
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(QDir::tempPath()).canonicalPath());
}

TEST(QtFileDialogSetup, SaveWithNameSuffixAndOverwritePrompt) {
    QFileDialog dialog;
    CFileDialogRequest r;
    r.open = false;
    r.title = "Export";
    r.defaultExt = "txt";
    r.fileName = "cluster.txt";
    r.overwritePrompt = true;
    CQtUserInteraction::ConfigureFileDialog(dialog, r);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.windowTitle(), "Export");
    EXPECT_EQ(dialog.defaultSuffix(), "txt");
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    ASSERT_FALSE(dialog.selectedFiles().isEmpty());
    EXPECT_TRUE(dialog.selectedFiles().front().endsWith("cluster.txt"));
    r.overwritePrompt = false;
    CQtUserInteraction::ConfigureFileDialog(dialog, r);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(QtFileDialog, ReturnsTheChosenFileOrCancelled) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("carinova-gui-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "valves.tps") << "LM=0\n";
    CQtUserInteraction ui;
    CFileDialogRequest r;
    r.filter = "TPS Files (*.tps)|*.tps||";
    r.initialDir = dir.string();
    r.fileName = "valves.tps";
    r.fileMustExist = true;
    WhenModal<QFileDialog>([](QFileDialog& d) { static_cast<QDialog&>(d).accept(); });
    const CFileDialogResult chosen = ui.FileDialog(r);
    WhenModal<QFileDialog>([](QFileDialog& d) { d.reject(); });
    const CFileDialogResult cancelled = ui.FileDialog(r);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(chosen.outcome, CFileDialogResult::Accepted);
    ASSERT_EQ(chosen.paths.size(), 1u);
    EXPECT_EQ(std::filesystem::path(chosen.paths[0]).filename(), "valves.tps");
    EXPECT_EQ(cancelled.outcome, CFileDialogResult::Cancelled);
    EXPECT_TRUE(cancelled.paths.empty());
}

struct BoxCase {
    MsgButtons buttons;
    MsgIcon icon;
    QMessageBox::StandardButtons qtButtons;
    QMessageBox::Icon qtIcon;
    QMessageBox::StandardButton press; // NoButton: closed with Escape
    MsgAnswer answer;
};

void PrintTo(const BoxCase& c, std::ostream* out) {
    *out << "buttons " << static_cast<int>(c.buttons) << ", icon " << static_cast<int>(c.icon)
         << ", press " << static_cast<int>(c.press);
}

class QtMessageBox : public ::testing::TestWithParam<BoxCase> {};

TEST_P(QtMessageBox, ShowsButtonsIconAndCaptionAndReportsTheAnswer) {
    const BoxCase c = GetParam();
    CQtUserInteraction ui;
    QString text;
    QString caption;
    QMessageBox::StandardButtons shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal<QMessageBox>([&](QMessageBox& box) {
        text = box.text();
        caption = box.windowTitle();
        shown = box.standardButtons();
        icon = box.icon();
        if (c.press == QMessageBox::NoButton)
            box.reject();
        else
            box.button(c.press)->click();
    });
    const MsgAnswer answer = ui.MessageBox("Line one\r\nLine two", "Carinova", c.buttons, c.icon);
    EXPECT_EQ(text, "Line one\nLine two");
    EXPECT_EQ(caption, "Carinova");
    EXPECT_EQ(shown, c.qtButtons);
    EXPECT_EQ(icon, c.qtIcon);
    EXPECT_EQ(answer, c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Table, QtMessageBox,
    ::testing::Values(BoxCase{MsgButtons::OK, MsgIcon::None, QMessageBox::Ok, QMessageBox::NoIcon,
                              QMessageBox::Ok, MsgAnswer::OK},
                      BoxCase{MsgButtons::OKCancel, MsgIcon::Exclamation,
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Warning,
                              QMessageBox::Cancel, MsgAnswer::Cancel},
                      BoxCase{MsgButtons::YesNo, MsgIcon::Question,
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                              QMessageBox::Yes, MsgAnswer::Yes},
                      BoxCase{MsgButtons::YesNoCancel, MsgIcon::Stop,
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                              QMessageBox::Critical, QMessageBox::No, MsgAnswer::No},
                      BoxCase{MsgButtons::YesNoCancel, MsgIcon::Information,
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                              QMessageBox::Information, QMessageBox::NoButton, MsgAnswer::Cancel}));

TEST(QtDoModal, DispatchesEachSheetToItsDialog) {
    CQtUserInteraction ui;
    CPropertySheetApprox approx;
    WhenModal<CApproxSheetDialog>([](CApproxSheetDialog& d) {
        d.m_pageParams->m_controls.m_editControlPoints->setText("11");
        d.OkButton()->click();
    });
    EXPECT_TRUE(ui.DoModal(approx));
    EXPECT_EQ(approx.m_nControlPoints, 11);

    CPropertySheetCluster cluster;
    WhenModal<CClusterSheetDialog>([](CClusterSheetDialog& d) { d.CancelButton()->click(); });
    EXPECT_FALSE(ui.DoModal(cluster));

    CPropertySheetSpecimen specimen;
    specimen.caption = "Specimen";
    WhenModal<CSpecimenSheetDialog>([](CSpecimenSheetDialog& d) { d.OkButton()->click(); });
    EXPECT_TRUE(ui.DoModal(specimen));

    CControlPointDialog point;
    point.m_fX = 2.0f;
    WhenModal<CControlPointEditor>([](CControlPointEditor& d) {
        d.m_editX->setText("4.5");
        d.m_btnOK->click();
    });
    EXPECT_TRUE(ui.DoModal(point));
    EXPECT_FLOAT_EQ(point.m_fX, 4.5f);
}

// The report of an Insert: one box, the details folded away until asked for.
TEST(QtMessageBoxes, ReportShowsItsDetailsOnRequest) {
    CQtUserInteraction ui;
    QString text;
    QString details;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal<QMessageBox>([&](QMessageBox& box) {
        text = box.text();
        details = box.detailedText();
        icon = box.icon();
        box.button(QMessageBox::Ok)->click();
    });
    ui.MessageWithDetails("a.tps: 1 specimen (TPS)\nb.tps: 2 specimens (TPS); line 4: ...",
                          "b.tps, line 4: ...\n", MsgIcon::Exclamation);
    EXPECT_EQ(text, "a.tps: 1 specimen (TPS)\nb.tps: 2 specimens (TPS); line 4: ...");
    EXPECT_EQ(details, "b.tps, line 4: ...\n");
    EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST(QtDoModal, ValidationMessagesOfASheetUseQtBoxes) {
    CQtUserInteraction ui;
    CPropertySheetApprox approx;
    QString message;
    WhenModal<CApproxSheetDialog>([&](CApproxSheetDialog& d) {
        d.m_pageParams->m_controls.m_editControlPoints->setText("31");
        WhenModal<QMessageBox>([&](QMessageBox& box) {
            message = box.text();
            box.button(QMessageBox::Ok)->click();
            QTimer::singleShot(0, &d, [&d] { d.CancelButton()->click(); });
        });
        d.OkButton()->click();
    });
    EXPECT_FALSE(ui.DoModal(approx));
    EXPECT_EQ(message, "Geben Sie bitte eine ganze Zahl zwischen 3 und 30 ein.");
    EXPECT_EQ(approx.m_nControlPoints, 8);
}

TEST(QtDoModal, AnUnknownSheetIsNotConfirmed) {
    CQtUserInteraction ui;
    CModalSheet unknown;
    EXPECT_FALSE(ui.DoModal(unknown));
}

class RecordingProgress : public CProgressIndicator {
public:
    std::vector<std::string> calls;
    void BeginProgress(int maximum) override {
        calls.push_back("begin " + std::to_string(maximum));
    }
    void StepProgress() override { calls.push_back("step"); }
    void EndProgress() override { calls.push_back("end"); }
    void BeginBusyProgress() override { calls.push_back("busy"); }
    void SetProgressSteps(int steps) override { calls.push_back("at " + std::to_string(steps)); }
};

TEST(QtUserInteraction, ProgressGoesToTheIndicatorWhenOneIsSet) {
    CQtUserInteraction ui;
    ui.BeginProgress(2); // nobody listens yet: nothing happens
    ui.StepProgress();
    RecordingProgress progress;
    ui.SetProgressIndicator(&progress);
    ui.BeginProgress(2);
    ui.StepProgress();
    ui.StepProgress();
    ui.EndProgress();
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"begin 2", "step", "step", "end"}));
}

TEST(QtUserInteraction, WaitCursorNestsAndIgnoresUnbalancedEnds) {
    CQtUserInteraction ui;
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        CWaitCursor outer(ui);
        CWaitCursor inner(ui);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QApplication::setOverrideCursor(Qt::CrossCursor);
    ui.EndWaitCursor();
    ASSERT_NE(QApplication::overrideCursor(), nullptr) << "someone else's cursor stays";
    QApplication::restoreOverrideCursor();
}

TEST(QtUserInteraction, HelpGoesToTheHandler) {
    CQtUserInteraction ui;
    EXPECT_FALSE(ui.ShowHelp("::/html/cari0206.htm#display_specinfo"));
    std::vector<std::string> topics;
    ui.SetHelpHandler([&](const std::string& topic) {
        topics.push_back(topic);
        return topic.empty();
    });
    EXPECT_TRUE(ui.ShowHelp(""));
    EXPECT_FALSE(ui.ShowHelp("::/html/cari0209.htm#cluster_set_print"));
    EXPECT_EQ(topics, (std::vector<std::string>{"", "::/html/cari0209.htm#cluster_set_print"}));
}

TEST(QtUserInteraction, ReadingProgressIsAShownProgressWindow) {
    CQtUserInteraction ui;
    std::unique_ptr<CReadingProgress> progress = ui.CreateReadingProgress();
    auto* dialog = dynamic_cast<CReadingProgressDialog*>(progress.get());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_FALSE(progress->CheckCancel());
}

} // namespace
