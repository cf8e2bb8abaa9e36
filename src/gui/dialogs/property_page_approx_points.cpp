#include "dialogs/property_page_approx_points.h"

#include "model/approx_sheet.h"
#include "platform/c_format.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

struct Column {
    const char* title;
    Qt::Alignment alignment;
};

constexpr Column kColumns[] = {{"Number", Qt::AlignHCenter},
                               {"Contur", Qt::AlignHCenter},
                               {"X Coord", Qt::AlignRight},
                               {"Y Coord", Qt::AlignRight},
                               {"", Qt::AlignLeft}};
constexpr int kColumnCount = 5;

QTreeWidgetItem* MakeRow(int index, const char* contour, const FPoint& p) {
    auto* item = new QTreeWidgetItem;
    const QString texts[] = {QString::number(index), contour,
                             QString::fromStdString(FormatC("%f", p.x)),
                             QString::fromStdString(FormatC("%f", p.y))};
    for (int c = 0; c < 4; ++c) {
        item->setText(c, texts[c]);
        item->setTextAlignment(c, kColumns[c].alignment | Qt::AlignVCenter);
    }
    return item;
}

} // namespace

CPropertyPageApproxPoints::CPropertyPageApproxPoints(CPropertySheetApprox& values,
                                                     CUserInteraction& ui)
    : CPropertyPage("Control points", "::/html/cari0207.htm#approximation_ctrlpnts", ui),
      m_wndList(new QTreeWidget(this)), values_(values) {
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel("Coordinates of control points:", this);
    label->setBuddy(m_wndList);
    layout->addWidget(label);
    layout->addWidget(m_wndList);
    m_wndList->setRootIsDecorated(false);
    m_wndList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_wndList->setColumnCount(kColumnCount);
    auto* header = new QTreeWidgetItem;
    for (int c = 0; c < kColumnCount; ++c) {
        header->setText(c, kColumns[c].title);
        header->setTextAlignment(c, kColumns[c].alignment | Qt::AlignVCenter);
    }
    m_wndList->setHeaderItem(header);
}

void CPropertyPageApproxPoints::OnInitDialog() {
    m_wndList->setUpdatesEnabled(false);
    FillList();
    SizeColumns();
    m_wndList->setUpdatesEnabled(true);
}

// The ventral rows come first, then the dorsal rows, each in the order of the curve.
void CPropertyPageApproxPoints::FillList() {
    m_wndList->clear();
    if (values_.m_aDorsal.empty() || values_.m_aVentral.empty()) {
        m_wndList->setEnabled(false);
        return;
    }
    m_wndList->setEnabled(true);
    for (std::size_t i = 0; i < values_.m_aVentral.size(); ++i)
        m_wndList->addTopLevelItem(MakeRow(static_cast<int>(i), "ventral", values_.m_aVentral[i]));
    for (std::size_t i = 0; i < values_.m_aDorsal.size(); ++i)
        m_wndList->addTopLevelItem(MakeRow(static_cast<int>(i), "dorsal", values_.m_aDorsal[i]));
}

// The two coordinate columns get one width, so the numbers line up; the list is made wide
// enough to show all four columns beside its scroll bar, and the sheet grows with it.
void CPropertyPageApproxPoints::SizeColumns() {
    for (int c = 0; c < kColumnCount; ++c)
        m_wndList->resizeColumnToContents(c);
    const int width = std::max(m_wndList->columnWidth(2), m_wndList->columnWidth(3)) + 20;
    m_wndList->setColumnWidth(2, width);
    m_wndList->setColumnWidth(3, width);
    int columns = 0;
    for (int c = 0; c < kColumnCount - 1; ++c)
        columns += m_wndList->columnWidth(c);
    m_wndList->setMinimumWidth(columns + 2 * m_wndList->frameWidth() +
                               m_wndList->verticalScrollBar()->sizeHint().width());
}
