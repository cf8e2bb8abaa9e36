#include "dialogs/select_specimens_dialog.h"

#include "document/carinova_doc.h"
#include "platform/user_interaction.h"
#include "record_variant.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <unordered_map>

namespace {

constexpr int kRecordRole = Qt::UserRole;

CSpecimenRecord* RecordOf(const QTreeWidgetItem* item) {
    return RecordOfVariant(item->data(1, kRecordRole));
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
        item->setData(1, kRecordRole, RecordVariant(record.get()));
        item->setCheckState(0, doc_.IsInCluster(record.get()) ? Qt::Checked : Qt::Unchecked);
    }
    m_wndList->resizeColumnToContents(0);
    m_wndList->resizeColumnToContents(1);
}

void CSelectSpecimensDialog::SetAllChecked(bool checked) {
    for (int i = 0; i < m_wndList->topLevelItemCount(); ++i)
        m_wndList->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void CSelectSpecimensDialog::accept() {
    ApplyCheckStates();
    QDialog::accept();
}

// Members that stay keep their places and new ones are appended in specimen-list order, so
// the removals can go first and the insertions follow as one bulk insert (fitted on all
// cores, with one message for any that cannot be). Only insertions count for the progress
// bar. Records not listed when the dialog opened are left alone.
void CSelectSpecimensDialog::ApplyCheckStates() {
    std::unordered_map<const CSpecimenRecord*, bool> checked;
    for (int i = 0; i < m_wndList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = m_wndList->topLevelItem(i);
        checked.emplace(RecordOf(row), row->checkState(0) == Qt::Checked);
    }
    std::vector<CSpecimenRecord*> removals;
    std::vector<CSpecimenRecord*> insertions;
    for (const auto& record : doc_.GetSpecimenList()) {
        const auto it = checked.find(record.get());
        if (it == checked.end())
            continue;
        const bool member = doc_.IsInCluster(record.get());
        if (it->second && !member)
            insertions.push_back(record.get());
        else if (!it->second && member)
            removals.push_back(record.get());
    }
    CUserInteraction& ui = doc_.GetInteraction();
    ui.BeginProgress(static_cast<int>(insertions.size()));
    for (CSpecimenRecord* record : removals)
        doc_.RemoveFromCluster(record);
    if (!insertions.empty())
        doc_.InsertIntoCluster(insertions, true);
    ui.EndProgress();
}
