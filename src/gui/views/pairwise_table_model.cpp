#include "views/pairwise_table_model.h"

#include "document/carinova_doc.h"

#include <algorithm>
#include <cmath>

CPairwiseTableModel::CPairwiseTableModel(const CCarinovaDoc& doc, Measure measure,
                                         QObject* parent)
    : CClusterTableModel(parent), doc_(doc), measure_(measure) {}

void CPairwiseTableModel::Rebuild() {
    beginResetModel();
    const std::vector<CSpecimenRecord*>& cluster = doc_.GetClusterList();
    std::vector<std::unique_ptr<CApproxSpecimen>> approximations;
    approximations.reserve(cluster.size());
    names_.clear();
    names_.reserve(cluster.size());
    for (const CSpecimenRecord* record : cluster) {
        const CApproxSpecimen* approx = record->GetClusterApproximation();
        approximations.push_back(approx ? std::make_unique<CApproxSpecimen>(*approx) : nullptr);
        names_.push_back(QString::fromStdString(record->GetSpecimen()->ShortPathName));
    }
    table_ = std::make_unique<CPairwiseTable>(measure_, std::move(approximations),
                                              doc_.GetClusterParameter().ControlPointsCnt);
    notComputable_ = table_->HasNotComputable();
    endResetModel();
}

int CPairwiseTableModel::ColumnCount() const {
    return names_.empty() ? 0 : static_cast<int>(names_.size()) + 2;
}

QString CPairwiseTableModel::EntryText(float value) const {
    if (IsArea() && value < 0.0f)
        return QStringLiteral("n.c.");
    return QString::fromStdString(doc_.FormatLocalizedNumber(value));
}

QString CPairwiseTableModel::CellText(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return {};
    if (column == 0)
        return names_[MemberOfRow(row)];
    if (column == ColumnCount() - 1)
        return {};
    return EntryText(
        table_->Entry(static_cast<std::size_t>(row), static_cast<std::size_t>(column - 1)));
}

QString CPairwiseTableModel::HeaderText(int column) const {
    if (column == 0)
        return QStringLiteral("Specimen");
    if (column > 0 && column < ColumnCount() - 1)
        return QString::number(column);
    return {};
}

Qt::Alignment CPairwiseTableModel::ColumnAlignment(int column) const {
    return column == 0 ? Qt::AlignLeft : Qt::AlignHCenter;
}

void CPairwiseTableModel::SortByColumn(int column) {
    if (column < 0 || column >= ColumnCount() - 1)
        return;
    const std::vector<std::size_t>& current = table_->RowOrder();
    std::vector<std::size_t> order = current;
    if (column == 0) {
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return QString::compare(names_[a], names_[b], Qt::CaseInsensitive) < 0;
        });
    } else {
        const std::vector<float> values = table_->Column(static_cast<std::size_t>(column - 1));
        const auto last = [&](std::size_t m) {
            return (IsArea() && values[m] < 0.0f) || std::isnan(values[m]);
        };
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            if (last(a) || last(b))
                return !last(a);
            return values[a] < values[b];
        });
    }
    if (order == current)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> oldRow(order.size()); // by member
    for (std::size_t i = 0; i < current.size(); ++i)
        oldRow[current[i]] = static_cast<int>(i);
    std::vector<int> newRow(order.size()); // by former row
    for (std::size_t i = 0; i < order.size(); ++i)
        newRow[static_cast<std::size_t>(oldRow[order[i]])] = static_cast<int>(i);
    table_->SetRowOrder(std::move(order));
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(this->index(newRow[static_cast<std::size_t>(index.row())], index.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

bool CPairwiseTableModel::CanCopySheet() const {
    return static_cast<long long>(RowCount()) * ColumnCount() <= kMaxCopiedCells;
}

// The whole table at once costs half the pairs of computing it block by block.
QString CPairwiseTableModel::SheetText() const {
    if (!table_ || !CanCopySheet())
        return {};
    const std::vector<float> whole = table_->Whole();
    const std::size_t n = table_->Size();
    QString text;
    for (int row = 0; row < RowCount(); ++row) {
        const std::size_t member = MemberOfRow(row);
        text += names_[member] + QLatin1Char('\t');
        for (std::size_t k = 0; k < n; ++k)
            text += EntryText(whole[member * n + k]) + QLatin1Char('\t');
        text += QStringLiteral("\t\n");
    }
    return text;
}
