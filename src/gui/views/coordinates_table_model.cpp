#include "views/coordinates_table_model.h"

#include "document/carinova_doc.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

const char* const kNotComputable = "n.c.";
constexpr int kValueCount = 8;
// The area columns come first among the values; only they show "n.c.".
constexpr int kAreaCount = 3;

// Member minus reference for the indices both curves hold.
std::vector<FPoint> Differences(const std::vector<FPoint>& member,
                                const std::vector<FPoint>& reference) {
    std::vector<FPoint> d;
    const std::size_t count = std::min(member.size(), reference.size());
    d.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        d.push_back(member[i] - reference[i]);
    return d;
}

const FPoint* At(const std::vector<FPoint>& points, int i) {
    return i < static_cast<int>(points.size()) ? &points[static_cast<std::size_t>(i)] : nullptr;
}

} // namespace

CCoordinatesTableModel::CCoordinatesTableModel(const CCarinovaDoc& doc, QObject* parent)
    : CClusterTableModel(parent), doc_(doc) {}

CCoordinatesTableModel::CRow CCoordinatesTableModel::MakeRow(CSpecimenRecord* record,
                                                            int number) const {
    CRow row;
    row.record = record;
    row.number = number;
    row.name = QString::fromStdString(record->GetSpecimen()->ShortPathName);
    const CSpecimenRecord* reference = doc_.GetReferenceRecord();
    if (reference && record->GetClusterData())
        SetComparison(row, true);
    if (const CApproxSpecimen* own = record->GetClusterApproximation()) {
        row.dorsal = own->ApproxUpper.ControlPoints;
        row.ventral = own->ApproxLower.ControlPoints;
        if (const CApproxSpecimen* other =
                reference ? reference->GetClusterApproximation() : nullptr) {
            row.dorsalDelta = Differences(row.dorsal, other->ApproxUpper.ControlPoints);
            row.ventralDelta = Differences(row.ventral, other->ApproxLower.ControlPoints);
        }
    }
    return row;
}

// The values and the stored delta vectors, or nothing (no reference, or no stored data).
void CCoordinatesTableModel::SetComparison(CRow& row, bool withReference) const {
    const CClusterData* data = withReference ? row.record->GetClusterData() : nullptr;
    row.compared = data != nullptr;
    if (!data) {
        row.dorsalDelta.clear();
        row.ventralDelta.clear();
        return;
    }
    row.values = {data->Areatotal,        data->Areadorsal, data->Areaventral,
                  data->MeanDeltaQuadrat, data->MeanDelta,  data->MaxDelta,
                  data->SumDelta,         data->SumDeltaQuadrat};
    row.dorsalDelta = data->DeltaVectorsUpper;
    row.ventralDelta = data->DeltaVectorsLower;
}

void CCoordinatesTableModel::Rebuild() {
    beginResetModel();
    points_ = std::max(0, doc_.GetClusterParameter().ControlPointsCnt);
    const std::vector<CSpecimenRecord*>& cluster = doc_.GetClusterList();
    columns_ = ColFirstPoint + 4 * points_ + 1;
    rows_.clear();
    rows_.reserve(cluster.size());
    for (CSpecimenRecord* record : cluster)
        rows_.push_back(MakeRow(record, static_cast<int>(rows_.size())));
    endResetModel();
}

void CCoordinatesTableModel::AppendRecord(CSpecimenRecord* record) {
    const int row = RowCount();
    beginInsertRows(QModelIndex(), row, row);
    rows_.push_back(MakeRow(record, row));
    endInsertRows();
}

void CCoordinatesTableModel::RemoveRecord(const CSpecimenRecord* record) {
    const int row = RowOf(record);
    if (row < 0)
        return;
    const int number = rows_[static_cast<std::size_t>(row)].number;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    for (CRow& r : rows_)
        if (r.number > number)
            --r.number;
    if (!rows_.empty())
        emit dataChanged(index(0, ColNr), index(RowCount() - 1, ColNr), {Qt::DisplayRole});
}

void CCoordinatesTableModel::ShowComparisons(bool withReference) {
    for (CRow& row : rows_)
        SetComparison(row, withReference);
    if (!rows_.empty())
        emit dataChanged(index(0, ColAreaTotal), index(RowCount() - 1, ColumnCount() - 1),
                         {Qt::DisplayRole});
}

void CCoordinatesTableModel::RefreshPoints(int row) {
    if (row < 0 || row >= RowCount())
        return;
    CRow& r = rows_[static_cast<std::size_t>(row)];
    if (const CApproxSpecimen* own = r.record->GetClusterApproximation()) {
        r.dorsal = own->ApproxUpper.ControlPoints;
        r.ventral = own->ApproxLower.ControlPoints;
    }
    emit dataChanged(index(row, ColFirstPoint), index(row, ColFirstPoint + 2 * points_ - 1),
                     {Qt::DisplayRole});
}

int CCoordinatesTableModel::RowOf(const CSpecimenRecord* record) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].record == record)
            return static_cast<int>(i);
    return -1;
}

CSpecimenRecord* CCoordinatesTableModel::Record(int row) const {
    return row >= 0 && row < RowCount() ? rows_[static_cast<std::size_t>(row)].record : nullptr;
}

bool CCoordinatesTableModel::RowHasNotComputable(int row) const {
    const CRow& r = rows_.at(static_cast<std::size_t>(row));
    return r.compared && std::any_of(r.values.begin(), r.values.begin() + kAreaCount,
                                     [](float v) { return v < 0.0f; });
}

bool CCoordinatesTableModel::HasNotComputable() const {
    for (int row = 0; row < RowCount(); ++row)
        if (RowHasNotComputable(row))
            return true;
    return false;
}

QString CCoordinatesTableModel::Number(float value) const {
    return QString::fromStdString(doc_.FormatLocalizedNumber(value));
}

QString CCoordinatesTableModel::PointText(FPoint p) const {
    return Number(p.x) + QStringLiteral(" / ") + Number(p.y);
}

QString CCoordinatesTableModel::DeltaText(FPoint d) const {
    return PointText(d) + QStringLiteral(" (") + Number(d.Length()) + QStringLiteral(")");
}

QString CCoordinatesTableModel::ValueText(const CRow& row, int column) const {
    if (!row.compared)
        return {};
    const int i = column - ColAreaTotal;
    const float value = row.values[static_cast<std::size_t>(i)];
    if (i < kAreaCount && value < 0.0f)
        return QString::fromLatin1(kNotComputable);
    return Number(value);
}

// Points: dorsal 0 to n - 1, then ventral 0 to n - 1 (the shared m2 shown once, as ventral 0);
// the deltas in the same order.
QString CCoordinatesTableModel::CellText(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return {};
    const CRow& r = rows_[static_cast<std::size_t>(row)];
    if (column == ColNr)
        return QString::number(r.number);
    if (column == ColSpecimen)
        return r.name;
    if (column <= ColLastValue)
        return ValueText(r, column);
    const int n = points_;
    const int k = column - ColFirstPoint;
    if (k >= 4 * n)
        return {};
    const bool delta = k >= 2 * n;
    const bool ventral = (k % (2 * n)) >= n;
    const int i = k % n;
    const FPoint* p = delta ? At(ventral ? r.ventralDelta : r.dorsalDelta, i)
                            : At(ventral ? r.ventral : r.dorsal, i);
    if (!p)
        return {};
    return delta ? DeltaText(*p) : PointText(*p);
}

QString CCoordinatesTableModel::HeaderText(int column) const {
    static const char* const kFixed[] = {
        "Nr",         "Specimen",  "Area total", "Area dorsal", "Area ventral",
        "Mean Delta-Square", "Mean Delta", "Max Delta", "Sum Delta", "Sum Delta-Square"};
    if (column < 0 || column >= ColumnCount())
        return {};
    if (column < ColFirstPoint)
        return QString::fromLatin1(kFixed[column]);
    const int n = points_;
    const int k = column - ColFirstPoint;
    if (k >= 4 * n)
        return {};
    const bool delta = k >= 2 * n;
    const bool ventral = (k % (2 * n)) >= n;
    const int i = k % n;
    if (i == 0)
        return QString::fromLatin1(ventral ? "m2" : "m1") +
               QString::fromLatin1(delta ? " (delta)" : " (coord)");
    if (delta)
        return QString::asprintf(ventral ? "v%d (delta)" : "d%d (delta)", i);
    return QString::asprintf(ventral ? "v%d (koord)" : "d%d (coord)", i);
}

Qt::Alignment CCoordinatesTableModel::ColumnAlignment(int column) const {
    if (column == ColNr)
        return Qt::AlignHCenter;
    if (column == ColSpecimen || column == ColumnCount() - 1)
        return Qt::AlignLeft;
    return Qt::AlignRight;
}

// Of each column the sort compares what the cells show: "Nr" as integers, the name without
// regard to case, the values as the user's numbers read back from their text, "n.c." after
// every number. An empty value cell (no comparison) stays where it is and no row passes it;
// point and delta columns do not sort.
std::vector<int> CCoordinatesTableModel::SortOrder(int column) const {
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    const auto row = [this](int i) -> const CRow& { return rows_[static_cast<std::size_t>(i)]; };
    if (column == ColNr) {
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return row(a).number < row(b).number; });
        return order;
    }
    if (column == ColSpecimen) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return QString::compare(row(a).name, row(b).name, Qt::CaseInsensitive) < 0;
        });
        return order;
    }
    if (column < ColAreaTotal || column > ColLastValue)
        return order;
    // The shown value read back; "n.c." goes after every number, and so does a text that
    // reads as no number at all.
    std::vector<float> key(rows_.size());
    std::vector<char> last(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const QString text = ValueText(rows_[i], column);
        key[i] = doc_.ParseLocalizedNumber(text.toStdString());
        last[i] = text == QLatin1String(kNotComputable) || std::isnan(key[i]);
    }
    const auto before = [&](int a, int b) {
        const auto i = static_cast<std::size_t>(a), j = static_cast<std::size_t>(b);
        if (last[i] || last[j])
            return !last[i];
        return key[i] < key[j];
    };
    auto start = order.begin();
    while (start != order.end()) {
        auto end = std::find_if(start, order.end(), [&](int i) { return !row(i).compared; });
        std::stable_sort(start, end, before);
        start = end == order.end() ? end : end + 1;
    }
    return order;
}

void CCoordinatesTableModel::SortByColumn(int column) {
    const std::vector<int> order = SortOrder(column);
    if (!std::is_sorted(order.begin(), order.end()))
        Reorder(order);
}

// Row i becomes the former row order[i]; selections and other persistent indexes travel with
// their rows.
void CCoordinatesTableModel::Reorder(const std::vector<int>& order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRow(order.size());
    std::vector<CRow> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newRow[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(order[i])]));
    }
    rows_ = std::move(sorted);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(this->index(newRow[static_cast<std::size_t>(index.row())], index.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
