#include "dialogs/select_specimens_dialog.h"

#include "document/carinova_doc.h"
#include "platform/user_interaction.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kRecordRole = Qt::UserRole;

const CSpecimenRecord* RecordOf(const QTreeWidgetItem* item) {
    return reinterpret_cast<const CSpecimenRecord*>(item->data(1, kRecordRole).value<quintptr>());
}

} // namespace

CSelectSpecimensDialog::CSelectSpecimensDialog(CCarinovaDoc& doc, QWidget* parent)
    : QDialog(parent), m_wndList(new QTreeWidget(this)),
      m_btnSelectAll(new QPushButton("Select All", this)),
      m_btnSelectNone(new QPushButton("Select None", this)),
      m_btnApply(new QPushButton("Apply", this)), m_btnCancel(new QPushButton("Cancel", this)),
      doc_(doc) {
    setWindowTitle("Add Specimens to Cluster");
    m_btnApply->setDefault(true);
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {m_btnApply, m_btnCancel, m_btnSelectAll, m_btnSelectNone})
        side->addWidget(b);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_wndList, 1);
    layout->addLayout(side);
    connect(m_btnApply, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_btnSelectAll, &QPushButton::clicked, this, [this] { SelectAll(); });
    connect(m_btnSelectNone, &QPushButton::clicked, this, [this] { SelectNone(); });
    FillList();
}

// One row per record of the specimen list (the mean specimen is not in it), checked when the
// record is a cluster member.
void CSelectSpecimensDialog::FillList() {
    m_wndList->setRootIsDecorated(false);
    m_wndList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_wndList->setColumnCount(2);
    m_wndList->setHeaderLabels({"Selected", "Specimen"});
    m_wndList->headerItem()->setTextAlignment(0, Qt::AlignHCenter | Qt::AlignVCenter);
    for (const auto& record : doc_.GetSpecimenList()) {
        auto* item = new QTreeWidgetItem(m_wndList);
        item->setText(1, QString::fromStdString(
                             record->HasSpecimen() ? record->GetSpecimen()->ShortPathName : ""));
        item->setToolTip(1, item->text(1));
        item->setData(1, kRecordRole,
                      QVariant::fromValue(reinterpret_cast<quintptr>(record.get())));
        item->setCheckState(0, doc_.IsInCluster(record.get()) ? Qt::Checked : Qt::Unchecked);
    }
    m_wndList->resizeColumnToContents(0);
    m_wndList->resizeColumnToContents(1);
}

void CSelectSpecimensDialog::SetAllChecked(bool checked) {
    for (int i = 0; i < m_wndList->topLevelItemCount(); ++i)
        m_wndList->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

QTreeWidgetItem* CSelectSpecimensDialog::FindRow(const CSpecimenRecord* record) const {
    for (int i = 0; i < m_wndList->topLevelItemCount(); ++i) {
        if (RecordOf(m_wndList->topLevelItem(i)) == record)
            return m_wndList->topLevelItem(i);
    }
    return nullptr;
}

bool CSelectSpecimensDialog::IsChecked(const CSpecimenRecord* record) const {
    const QTreeWidgetItem* row = FindRow(record);
    return row && row->checkState(0) == Qt::Checked;
}

void CSelectSpecimensDialog::accept() {
    ApplyCheckStates();
    QDialog::accept();
}

// Only insertions are counted for the progress bar; members already in keep their places.
void CSelectSpecimensDialog::ApplyCheckStates() {
    std::vector<CSpecimenRecord*> records;
    for (const auto& record : doc_.GetSpecimenList())
        records.push_back(record.get());
    int insertions = 0;
    for (const CSpecimenRecord* record : records) {
        if (IsChecked(record) && !doc_.IsInCluster(record))
            ++insertions;
    }
    CUserInteraction& ui = doc_.GetInteraction();
    ui.BeginProgress(insertions);
    for (CSpecimenRecord* record : records) {
        const QTreeWidgetItem* row = FindRow(record);
        if (!row)
            continue; // not listed when the dialog opened: left alone
        const bool checked = row->checkState(0) == Qt::Checked;
        const bool member = doc_.IsInCluster(record);
        if (checked && !member) {
            doc_.InsertIntoCluster(record);
            ui.StepProgress();
        } else if (!checked && member) {
            doc_.RemoveFromCluster(record);
        }
    }
    ui.EndProgress();
}
