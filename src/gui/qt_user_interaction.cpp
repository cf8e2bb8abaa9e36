#include "qt_user_interaction.h"

#include "dialogs/approx_sheet_dialog.h"
#include "dialogs/cluster_sheet_dialog.h"
#include "dialogs/control_point_editor.h"
#include "dialogs/reading_progress_dialog.h"
#include "dialogs/specimen_sheet_dialog.h"
#include "file_filter.h"
#include "progress_indicator.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <algorithm>

namespace {

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Stop:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OKCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::OK:
        break;
    }
    return QMessageBox::Ok;
}

// A box closed without a button answers as its escape button would.
MsgAnswer ToAnswer(int result, MsgButtons buttons) {
    switch (result) {
    case QMessageBox::Ok:
        return MsgAnswer::OK;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    default:
        break;
    }
    if (buttons == MsgButtons::OK)
        return MsgAnswer::OK;
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
}

// The core's texts carry Windows line ends.
QString ToDisplayText(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

MsgAnswer CQtUserInteraction::MessageBox(const std::string& text, const std::string& caption,
                                         MsgButtons buttons, MsgIcon icon) {
    QMessageBox box(ToQtIcon(icon), QString::fromStdString(caption), ToDisplayText(text),
                    ToQtButtons(buttons), parent_);
    if (buttons == MsgButtons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    return ToAnswer(box.exec(), buttons);
}

// The details stay folded until the user opens them.
void CQtUserInteraction::MessageWithDetails(const std::string& text, const std::string& details,
                                            MsgIcon icon) {
    QMessageBox box(ToQtIcon(icon), QStringLiteral("Carinova"), ToDisplayText(text),
                    QMessageBox::Ok, parent_);
    if (!details.empty())
        box.setDetailedText(ToDisplayText(details));
    box.exec();
}

void CQtUserInteraction::ConfigureFileDialog(QFileDialog& dialog, const CFileDialogRequest& r) {
    dialog.setAcceptMode(r.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (r.open)
        dialog.setFileMode(r.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowTitle(!r.title.empty()
                              ? QString::fromStdString(r.title)
                              : (r.open ? QStringLiteral("Open") : QStringLiteral("Save As")));
    const QStringList filters = TranslateFileFilter(r.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!r.defaultExt.empty())
        dialog.setDefaultSuffix(QString::fromStdString(r.defaultExt));
    if (!r.initialDir.empty())
        dialog.setDirectory(QString::fromStdString(r.initialDir));
    if (!r.fileName.empty())
        dialog.selectFile(QString::fromStdString(r.fileName));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.overwritePrompt);
}

CFileDialogResult CQtUserInteraction::FileDialog(const CFileDialogRequest& request) {
    QFileDialog dialog(parent_);
    ConfigureFileDialog(dialog, request);
    CFileDialogResult result;
    if (dialog.exec() != QDialog::Accepted)
        return result;
    result.outcome = CFileDialogResult::Accepted;
    result.filterIndex =
        std::max(0, static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())));
    for (const QString& path : dialog.selectedFiles())
        result.paths.push_back(path.toStdString());
    return result;
}

bool CQtUserInteraction::DoModal(CModalSheet& sheet) {
    if (auto* approx = dynamic_cast<CPropertySheetApprox*>(&sheet))
        return CApproxSheetDialog(*approx, *this, parent_).exec() == QDialog::Accepted;
    if (auto* cluster = dynamic_cast<CPropertySheetCluster*>(&sheet))
        return CClusterSheetDialog(*cluster, *this, parent_).exec() == QDialog::Accepted;
    if (auto* specimen = dynamic_cast<CPropertySheetSpecimen*>(&sheet))
        return CSpecimenSheetDialog(*specimen, *this, parent_).exec() == QDialog::Accepted;
    if (auto* point = dynamic_cast<CControlPointDialog*>(&sheet))
        return CControlPointEditor(*point, *this, parent_).exec() == QDialog::Accepted;
    return false; // a sheet this front end does not know: nothing was confirmed
}

std::unique_ptr<CReadingProgress> CQtUserInteraction::CreateReadingProgress() {
    auto dialog = std::make_unique<CReadingProgressDialog>();
    dialog->show();
    return dialog;
}

void CQtUserInteraction::BeginProgress(int maximum) {
    if (progress_)
        progress_->BeginProgress(maximum);
}

void CQtUserInteraction::StepProgress() {
    if (progress_)
        progress_->StepProgress();
}

void CQtUserInteraction::EndProgress() {
    if (progress_)
        progress_->EndProgress();
}

void CQtUserInteraction::BeginWaitCursor() {
    ++waitCursorDepth_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

// Unbalanced ends never pop a cursor someone else set.
void CQtUserInteraction::EndWaitCursor() {
    if (waitCursorDepth_ == 0)
        return;
    --waitCursorDepth_;
    QApplication::restoreOverrideCursor();
}

bool CQtUserInteraction::ShowHelp(const std::string& topic) {
    return help_ && help_(topic);
}
