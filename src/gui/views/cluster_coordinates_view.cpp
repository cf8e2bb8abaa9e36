#include "views/cluster_coordinates_view.h"

#include "document/carinova_doc.h"
#include "views/cluster_list_control.h"

#include <QHeaderView>

#include <algorithm>

namespace {
// Light yellow behind the coordinates table.
const QColor kCoordinatesBackground(251, 236, 187);
const char* const kNotComputable = "n.c.";

QString Indexed(const char* format, int i) {
    return QString::asprintf(format, i);
}

// Member minus reference for the indices both curves hold.
std::vector<FPoint> Differences(const std::vector<FPoint>& member,
                                const std::vector<FPoint>& reference) {
    std::vector<FPoint> d;
    for (std::size_t i = 0; i < std::min(member.size(), reference.size()); ++i)
        d.push_back(member[i] - reference[i]);
    return d;
}
} // namespace

CClusterCoordinatesView::CClusterCoordinatesView(CCarinovaDoc& doc, QWidget* parent)
    : CClusterTableView(doc, kCoordinatesBackground, true, parent) {
    connect(m_wndList->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CClusterCoordinatesView::SortByColumn);
    connect(m_wndList, &CClusterListControl::deleteKeyPressed, this,
            &CClusterCoordinatesView::DeleteSelectedRecords);
    connect(m_wndList, &CClusterListControl::doubleClickedAt, this,
            &CClusterCoordinatesView::EditControlPointAt);
}

QString CClusterCoordinatesView::PointText(FPoint p) const {
    return Number(p.x) + QStringLiteral(" / ") + Number(p.y);
}

QString CClusterCoordinatesView::DeltaText(FPoint d) const {
    return PointText(d) + QStringLiteral(" (") + Number(d.Length()) + QStringLiteral(")");
}

void CClusterCoordinatesView::InsertColumns() {
    m_nPoints = doc_.GetClusterParameter().ControlPointsCnt;
    CClusterListControl& list = *m_wndList;
    list.InsertColumn(QStringLiteral("Nr"), Qt::AlignHCenter);
    list.InsertColumn(QStringLiteral("Specimen"), Qt::AlignLeft);
    for (const char* header : {"Area total", "Area dorsal", "Area ventral", "Mean Delta-Square",
                               "Mean Delta", "Max Delta", "Sum Delta", "Sum Delta-Square"})
        list.InsertColumn(QString::fromLatin1(header), Qt::AlignRight);
    for (const char* kind : {"coord", "delta"}) {
        const bool coord = kind[0] == 'c';
        list.InsertColumn(Indexed(coord ? "m1 (coord)" : "m1 (delta)", 0), Qt::AlignRight);
        for (int i = 1; i < m_nPoints; ++i)
            list.InsertColumn(Indexed(coord ? "d%d (coord)" : "d%d (delta)", i), Qt::AlignRight);
        list.InsertColumn(Indexed(coord ? "m2 (coord)" : "m2 (delta)", 0), Qt::AlignRight);
        for (int i = 1; i < m_nPoints; ++i)
            list.InsertColumn(Indexed(coord ? "v%d (koord)" : "v%d (delta)", i), Qt::AlignRight);
    }
    list.InsertColumn(QString(), Qt::AlignLeft);
}

void CClusterCoordinatesView::FillTable() {
    m_wndList->DeleteAllRowsAndColumns();
    InsertColumns();
    bool notComputable = false;
    for (CSpecimenRecord* record : doc_.GetClusterList())
        notComputable = AddRow(record) || notComputable;
    if (notComputable)
        ShowError("One or several Area-parameters cannot be calculated");
    m_wndList->SizeColumns();
    if (doc_.GetClusterSelection())
        SelectRecord(doc_.GetClusterSelection());
}

bool CClusterCoordinatesView::AddRow(CSpecimenRecord* record) {
    const int row = m_wndList->AppendRow();
    m_wndList->SetCellText(row, ColNr, QString::asprintf("%d", row));
    m_wndList->SetRecord(row, record);
    m_wndList->SetCellText(row, ColSpecimen,
                           QString::fromStdString(record->GetSpecimen()->ShortPathName));
    const CSpecimenRecord* reference = doc_.GetReferenceRecord();
    const bool notComputable = reference && WriteComparison(row, record->GetClusterData());
    WritePoints(row, record);
    const CApproxSpecimen* own = record->GetClusterApproximation();
    const CApproxSpecimen* other = reference ? reference->GetClusterApproximation() : nullptr;
    if (own && other)
        WriteDeltas(row,
                    Differences(own->ApproxUpper.ControlPoints, other->ApproxUpper.ControlPoints),
                    Differences(own->ApproxLower.ControlPoints, other->ApproxLower.ControlPoints));
    return notComputable;
}

// Columns 2 to 9; a null data empties them.
bool CClusterCoordinatesView::WriteComparison(int row, const CClusterData* data) {
    if (!data) {
        for (int column = ColAreaTotal; column <= ColLastValue; ++column)
            m_wndList->SetCellText(row, column, QString());
        return false;
    }
    bool notComputable = false;
    const auto area = [&](float value) {
        notComputable = notComputable || value < 0.0f;
        return value < 0.0f ? QString::fromLatin1(kNotComputable) : Number(value);
    };
    const QString cells[] = {area(data->Areatotal),   area(data->Areadorsal),
                             area(data->Areaventral), Number(data->MeanDeltaQuadrat),
                             Number(data->MeanDelta), Number(data->MaxDelta),
                             Number(data->SumDelta),  Number(data->SumDeltaQuadrat)};
    for (int i = 0; i < 8; ++i)
        m_wndList->SetCellText(row, ColAreaTotal + i, cells[i]);
    return notComputable;
}

// The shared point m2 is shown once, as the ventral curve's first point.
void CClusterCoordinatesView::WritePoints(int row, const CSpecimenRecord* record) {
    const CApproxSpecimen* approx = record->GetClusterApproximation();
    if (!approx)
        return;
    const std::vector<FPoint>* curves[] = {&approx->ApproxUpper.ControlPoints,
                                           &approx->ApproxLower.ControlPoints};
    for (int c = 0; c < 2; ++c) {
        const std::vector<FPoint>& points = *curves[c];
        for (int i = 0; i < m_nPoints && i < static_cast<int>(points.size()); ++i)
            m_wndList->SetCellText(row, ColFirstPoint + c * m_nPoints + i,
                                   PointText(points[static_cast<std::size_t>(i)]));
    }
}

// Missing vectors leave their cells empty.
void CClusterCoordinatesView::WriteDeltas(int row, const std::vector<FPoint>& dorsal,
                                          const std::vector<FPoint>& ventral) {
    const std::vector<FPoint>* curves[] = {&dorsal, &ventral};
    for (int c = 0; c < 2; ++c) {
        const std::vector<FPoint>& d = *curves[c];
        for (int i = 0; i < m_nPoints; ++i) {
            const int column = ColFirstPoint + (2 + c) * m_nPoints + i;
            m_wndList->SetCellText(row, column,
                                   i < static_cast<int>(d.size())
                                       ? DeltaText(d[static_cast<std::size_t>(i)])
                                       : QString());
        }
    }
}

void CClusterCoordinatesView::OnUpdate(CView* sender, int hint, CObject* object) {
    (void)sender;
    // The mean record of hint 13 is already destroyed: it is only a key here.
    auto* record = static_cast<CSpecimenRecord*>(object);
    switch (hint) {
    case hintClusterInserted:
        if (record && AddRow(record))
            ShowError("One or several Area-parameter cannot be calculated");
        m_wndList->SizeColumns();
        break;
    case hintMeanCalculated:
        if (record)
            AddRow(record);
        m_wndList->SizeColumns();
        break;
    case hintClusterRemoved:
    case hintMeanRemoved:
        DeleteRow(record);
        break;
    case hintReferenceChanged:
        OnReferenceChanged(record);
        break;
    case hintClusterSelectionChanged:
        if (record)
            SelectRecord(record);
        break;
    case hintClusterRecalculated:
        m_wndList->setUpdatesEnabled(false);
        FillTable();
        m_wndList->setUpdatesEnabled(true);
        break;
    default:
        break;
    }
}

void CClusterCoordinatesView::DeleteRow(const CSpecimenRecord* record) {
    const int row = m_wndList->FindRecord(record);
    if (row < 0)
        return;
    const int number = m_wndList->CellText(row, ColNr).toInt();
    m_wndList->removeRow(row);
    for (int r = 0; r < m_wndList->rowCount(); ++r) {
        const int n = m_wndList->CellText(r, ColNr).toInt();
        if (n > number)
            m_wndList->SetCellText(r, ColNr, QString::asprintf("%d", n - 1));
    }
}

void CClusterCoordinatesView::OnReferenceChanged(const CSpecimenRecord* reference) {
    bool notComputable = false;
    for (int row = 0; row < m_wndList->rowCount(); ++row) {
        const CSpecimenRecord* record = m_wndList->Record(row);
        const CClusterData* data = reference && record ? record->GetClusterData() : nullptr;
        notComputable = WriteComparison(row, data) || notComputable;
        if (data)
            WriteDeltas(row, data->DeltaVectorsUpper, data->DeltaVectorsLower);
        else
            WriteDeltas(row, {}, {});
    }
    m_wndList->SizeColumns();
    if (notComputable)
        ShowError("One or several Area-parameter cannot be calculated");
}

void CClusterCoordinatesView::SelectRecord(const CSpecimenRecord* record) {
    const int row = m_wndList->FindRecord(record);
    if (row < 0)
        return;
    m_wndList->selectionModel()->setCurrentIndex(m_wndList->model()->index(row, 0),
                                                 QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
}
