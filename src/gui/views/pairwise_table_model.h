#pragma once

#include "views/cluster_table_model.h"

#include "cluster/pairwise_table.h"

#include <memory>
#include <vector>

class CCarinovaDoc;

// A square table comparing every pair of cluster records, the mean specimen included: the
// name, one column per record in cluster order ("1" to "N") and an empty last column. It
// holds the cluster as it was when it was built (names and copies of the approximations), so
// later changes show only after the next build; its entries are computed where they are read.
class CPairwiseTableModel : public CClusterTableModel {
    Q_OBJECT

public:
    using Measure = CPairwiseTable::Measure;

    // Tables with more cells than this are not copied to the clipboard as a whole.
    static constexpr long long kMaxCopiedCells = 4'000'000;

    CPairwiseTableModel(const CCarinovaDoc& doc, Measure measure, QObject* parent = nullptr);

    // The cluster as it is now.
    void Rebuild();
    // Rows ascending by that column: names without regard to case, values with "n.c." last.
    void SortByColumn(int column);
    bool CanCopySheet() const;

    Measure GetMeasure() const { return measure_; }
    bool IsArea() const { return measure_ != Measure::MeanDelta; }
    // The member shown in that row (rows follow the cluster order until sorted).
    std::size_t MemberOfRow(int row) const {
        return table_->RowOrder()[static_cast<std::size_t>(row)];
    }

    int RowCount() const override { return static_cast<int>(names_.size()); }
    int ColumnCount() const override;
    QString CellText(int row, int column) const override;
    QString HeaderText(int column) const override;
    Qt::Alignment ColumnAlignment(int column) const override;
    int FirstUniformColumn() const override { return 1; }
    bool HasNotComputable() const override { return notComputable_; }
    QString SheetText() const override;

private:
    QString EntryText(float value) const;

    const CCarinovaDoc& doc_;
    Measure measure_;
    std::unique_ptr<CPairwiseTable> table_;
    std::vector<QString> names_; // by member
    bool notComputable_ = false;
};
