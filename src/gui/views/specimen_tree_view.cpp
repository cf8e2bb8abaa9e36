#include "views/specimen_tree_view.h"

#include "app/guarded_call.h"
#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "record_variant.h"
#include "views/tree_image_list.h"
#include "views/tree_label_delegate.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

QString ShortName(const CSpecimenRecord* record) {
    if (!record || !record->HasSpecimen())
        return {};
    return QString::fromStdString(record->GetSpecimen()->ShortPathName);
}

QString ClusterLabel(const CSpecimenRecord* record, int index) {
    return QStringLiteral("%1 - %2").arg(ShortName(record)).arg(index);
}

constexpr int kDisplayCommands[] = {ID_CLUSTER_DISPLAY_SPECIMENS, ID_CLUSTER_DISPLAY_COORDINATES,
                                    ID_CLUSTER_MEAN_DELTA,        ID_CLUSTER_AREA_TOTAL,
                                    ID_CLUSTER_AREA_DORSAL,       ID_CLUSTER_AREA_VENTRAL,
                                    ID_CLUSTER_DISPLAY_MORPHOSPACE};

std::optional<RightPaneKind> DisplayKind(int id) {
    switch (id) {
    case ID_CLUSTER_DISPLAY_SPECIMENS:
        return RightPaneKind::Overlay;
    case ID_CLUSTER_DISPLAY_COORDINATES:
        return RightPaneKind::Coordinates;
    case ID_CLUSTER_MEAN_DELTA:
        return RightPaneKind::PairwiseRms;
    case ID_CLUSTER_AREA_TOTAL:
        return RightPaneKind::AreaTotal;
    case ID_CLUSTER_AREA_DORSAL:
        return RightPaneKind::AreaDorsal;
    case ID_CLUSTER_AREA_VENTRAL:
        return RightPaneKind::AreaVentral;
    case ID_CLUSTER_DISPLAY_MORPHOSPACE:
        return RightPaneKind::Morphospace;
    default:
        return std::nullopt;
    }
}

} // namespace

CSpecimenTreeView::CSpecimenTreeView(CCarinovaDoc& doc, CRightPaneHost& host, QWidget* parent)
    : QTreeWidget(parent), doc_(doc), host_(host), images_(std::make_unique<CTreeImageList>()) {
    setObjectName(QStringLiteral("SpecimenTree"));
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // Names are never cut short: the column is as wide as its longest label and the tree
    // scrolls sideways. The width is kept here label by label; the header's own fitting to
    // contents measures the whole column again on every change, far too slow for thousands.
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Fixed);
    refitTimer_.setSingleShot(true);
    connect(&refitTimer_, &QTimer::timeout, this, [this] { FitAllLabels(); });
    setUniformRowHeights(true); // one line each: laid out without measuring every item
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setItemDelegate(new CTreeLabelDelegate(
        [this](const QModelIndex& index, const QString& text) {
            OnLabelEdited(itemFromIndex(index), text);
        },
        this));
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    setPalette(pal);

    m_hSpecimenRoot = NewItem(nullptr, nullptr, QStringLiteral("Specimen"));
    m_hClusterRoot = NewItem(nullptr, nullptr, QStringLiteral("Cluster"));

    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { OnSelectionChanged(current); });
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { OnItemExpansion(item, true); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { OnItemExpansion(item, false); });
    dragTimer_.setSingleShot(false);
    connect(&dragTimer_, &QTimer::timeout, this, [this] { DragTimer(); });
    renumberTimer_.setSingleShot(true);
    renumberTimer_.setInterval(0);
    connect(&renumberTimer_, &QTimer::timeout, this, [this] {
        RenumberClusterItemsFrom(std::exchange(renumberFrom_, -1));
    });
    doc_.AddView(this);
}

CSpecimenTreeView::~CSpecimenTreeView() {
    doc_.RemoveView(this);
}

// Roots get the folder images and always show an expand button; records the specimen image.
QTreeWidgetItem* CSpecimenTreeView::NewItem(QTreeWidgetItem* parent, CSpecimenRecord* record,
                                            const QString& label) {
    QTreeWidgetItem* item = MakeItem(parent, record, label);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    FitLabel(item);
    return item;
}

// An item not yet in the tree, made for the branch `parent` (null for a root).
QTreeWidgetItem* CSpecimenTreeView::MakeItem(QTreeWidgetItem* parent, CSpecimenRecord* record,
                                             const QString& label) const {
    auto* item = new QTreeWidgetItem;
    item->setText(0, label);
    item->setData(0, RecordRole, RecordVariant(record));
    item->setData(0, OverlayRole, 0);
    item->setData(0, ImageRole, parent ? 2 : 0);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (parent == m_hSpecimenRoot && parent)
        flags |= Qt::ItemIsEditable; // only specimen items can be renamed
    item->setFlags(flags);
    if (!parent)
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    item->setIcon(0, images_->Icon(item->data(0, ImageRole).toInt(), 0));
    return item;
}

void CSpecimenTreeView::OnInitialUpdate() {
    if (m_bInitialized)
        return;
    m_bInitialized = true;
    FillBranches();
}

// All items of both branches are made first and put into the tree in one step each, so the
// tree lays itself out once, not once per record.
void CSpecimenTreeView::FillBranches() {
    QList<QTreeWidgetItem*> specimens;
    specimens.reserve(static_cast<qsizetype>(doc_.GetSpecimenList().size()));
    for (const auto& record : doc_.GetSpecimenList()) {
        QTreeWidgetItem* item = MakeItem(m_hSpecimenRoot, record.get(), ShortName(record.get()));
        if (record->HasApproximation())
            SetOverlay(item, 1);
        specimens.append(item);
    }
    QList<QTreeWidgetItem*> members;
    for (CSpecimenRecord* member : doc_.GetClusterList()) {
        const int index = static_cast<int>(members.size());
        QTreeWidgetItem* item = MakeItem(m_hClusterRoot, member, ClusterLabel(member, index));
        if (member == doc_.GetReferenceRecord())
            SetOverlay(item, 2);
        members.append(item);
        clusterItems_.emplace(member, item);
    }
    m_hSpecimenRoot->addChildren(specimens);
    m_hClusterRoot->addChildren(members);
    if (!specimens.isEmpty())
        m_hSpecimenRoot->setExpanded(true);
    if (!members.isEmpty())
        m_hClusterRoot->setExpanded(true);
    FitAllLabels();
}

// A document of other records: the "Specimen" root is selected (as when the last record goes)
// and both branches are filled again; the former records are only let go, never read.
void CSpecimenTreeView::ReplaceAllItems() {
    if (m_bDragging)
        CancelDrag();
    m_hDragItem = m_hDropTarget = highlighted_ = pressedItem_ = nullptr;
    setCurrentItem(m_hSpecimenRoot);
    clusterItems_.clear();
    renumberTimer_.stop();
    renumberFrom_ = -1;
    for (QTreeWidgetItem* root : {m_hSpecimenRoot, m_hClusterRoot}) {
        const QList<QTreeWidgetItem*> children = root->takeChildren();
        qDeleteAll(children);
    }
    FillBranches();
}

// The hints handled here all carry a record. Hint 13 comes after the mean record is gone, so
// the pointer is only compared, never followed (hence no dynamic_cast).
void CSpecimenTreeView::OnUpdate(CView*, int hint, CObject* object) {
    auto* record = static_cast<CSpecimenRecord*>(object);
    switch (hint) {
    case hintRecordAdded:
        InsertSpecimenItem(record);
        m_hSpecimenRoot->setExpanded(true);
        break;
    case hintRecordRemoved:
        DeleteSpecimenItems(record);
        if (m_hSpecimenRoot->childCount() == 0)
            setCurrentItem(m_hSpecimenRoot);
        break;
    case hintApproxCalculated:
        SetApproxMark(record, true);
        break;
    case hintApproxDeleted:
        SetApproxMark(record, false);
        break;
    case hintClusterInserted:
        InsertClusterItem(record);
        m_hClusterRoot->setExpanded(true);
        break;
    case hintClusterRemoved:
    case hintMeanRemoved:
        DeleteClusterItems(record);
        break;
    case hintReferenceChanged:
        SetReferenceMark(record);
        break;
    case hintClusterSelectionChanged:
        SelectClusterItem(record);
        break;
    case hintMeanCalculated:
        InsertClusterItem(record);
        break;
    case hintSpecimenRenamed:
        if (QTreeWidgetItem* item = FindSpecimenItem(record)) {
            item->setText(0, ShortName(record));
            FitLabel(item);
        }
        RenumberClusterItems();
        break;
    case hintContentsReplaced:
        ReplaceAllItems();
        break;
    default:
        break;
    }
}

QTreeWidgetItem* CSpecimenTreeView::InsertSpecimenItem(CSpecimenRecord* record) {
    if (!record)
        return nullptr;
    QTreeWidgetItem* item = NewItem(m_hSpecimenRoot, record, ShortName(record));
    if (record->HasApproximation())
        SetOverlay(item, 1);
    return item;
}

void CSpecimenTreeView::DeleteSpecimenItems(CSpecimenRecord* record) {
    for (int i = m_hSpecimenRoot->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* item = m_hSpecimenRoot->child(i);
        if (RecordOf(item) == record)
            DeleteItem(item);
    }
    DeleteClusterItems(record);
}

void CSpecimenTreeView::SetApproxMark(CSpecimenRecord* record, bool on) {
    if (QTreeWidgetItem* item = FindSpecimenItem(record))
        SetOverlay(item, on ? 1 : 0);
}

QTreeWidgetItem* CSpecimenTreeView::InsertClusterItem(CSpecimenRecord* record) {
    if (!record)
        return nullptr;
    const int index = CountClusterItems();
    QTreeWidgetItem* item = NewItem(m_hClusterRoot, record, ClusterLabel(record, index));
    clusterItems_.emplace(record, item);
    m_hClusterRoot->setExpanded(true);
    return item;
}

void CSpecimenTreeView::DeleteClusterItems(CSpecimenRecord* record) {
    const auto [begin, end] = clusterItems_.equal_range(record);
    std::vector<QTreeWidgetItem*> items;
    for (auto it = begin; it != end; ++it)
        items.push_back(it->second);
    if (items.empty())
        return;
    int first = m_hClusterRoot->childCount();
    for (QTreeWidgetItem* item : items) {
        first = std::min(first, m_hClusterRoot->indexOfChild(item));
        DeleteItem(item);
    }
    renumberFrom_ = renumberFrom_ < 0 ? first : std::min(renumberFrom_, first);
    renumberTimer_.start();
}

// The items before `first` keep their numbers.
int CSpecimenTreeView::RenumberClusterItemsFrom(int first) {
    const int count = m_hClusterRoot->childCount();
    for (int i = std::max(first, 0); i < count; ++i) {
        QTreeWidgetItem* item = m_hClusterRoot->child(i);
        item->setText(0, ClusterLabel(RecordOf(item), i));
        FitLabel(item);
    }
    return count;
}

void CSpecimenTreeView::SetReferenceMark(CSpecimenRecord* record) {
    for (int i = 0; i < m_hClusterRoot->childCount(); ++i) {
        QTreeWidgetItem* item = m_hClusterRoot->child(i);
        if (OverlayOf(item) == 2)
            SetOverlay(item, 0);
    }
    if (QTreeWidgetItem* item = record ? FindClusterItem(record) : nullptr)
        SetOverlay(item, 2);
}

void CSpecimenTreeView::SelectClusterItem(CSpecimenRecord* record) {
    if (QTreeWidgetItem* item = record ? FindClusterItem(record) : nullptr)
        setCurrentItem(item);
}

int CSpecimenTreeView::CountClusterItems() const {
    return m_hClusterRoot->childCount();
}

bool CSpecimenTreeView::IsAncestor(const QTreeWidgetItem* item, const QTreeWidgetItem* candidate) {
    if (!item || !candidate)
        return false;
    for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        if (p == candidate)
            return true;
    return false;
}

QTreeWidgetItem* CSpecimenTreeView::FindSpecimenItem(const CSpecimenRecord* record) const {
    for (int i = 0; i < m_hSpecimenRoot->childCount(); ++i)
        if (RecordOf(m_hSpecimenRoot->child(i)) == record)
            return m_hSpecimenRoot->child(i);
    return nullptr;
}

QTreeWidgetItem* CSpecimenTreeView::FindClusterItem(const CSpecimenRecord* record) const {
    for (int i = 0; i < m_hClusterRoot->childCount(); ++i)
        if (RecordOf(m_hClusterRoot->child(i)) == record)
            return m_hClusterRoot->child(i);
    return nullptr;
}

CSpecimenRecord* CSpecimenTreeView::RecordOf(const QTreeWidgetItem* item) {
    return item ? RecordOfVariant(item->data(0, RecordRole)) : nullptr;
}

int CSpecimenTreeView::OverlayOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, OverlayRole).toInt() : 0;
}

bool CSpecimenTreeView::IsSpecimenBranch(const QTreeWidgetItem* item) const {
    return item && (item == m_hSpecimenRoot || item->parent() == m_hSpecimenRoot);
}

bool CSpecimenTreeView::IsClusterBranch(const QTreeWidgetItem* item) const {
    return item && (item == m_hClusterRoot || item->parent() == m_hClusterRoot);
}

void CSpecimenTreeView::SetOverlay(QTreeWidgetItem* item, int overlay) {
    item->setData(0, OverlayRole, overlay);
    item->setIcon(0, images_->Icon(item->data(0, ImageRole).toInt(), overlay));
}

// Pointers into the tree that would dangle are dropped before the item goes. A root that loses
// its last child is collapsed: the tree draws no expand button on an open item without
// children, and a root must always show one.
void CSpecimenTreeView::DeleteItem(QTreeWidgetItem* item) {
    QTreeWidgetItem* parent = item->parent();
    if (item == m_hDragItem)
        CancelDrag();
    if (item == m_hDropTarget)
        m_hDropTarget = nullptr;
    if (item == highlighted_)
        highlighted_ = nullptr;
    if (item == pressedItem_)
        pressedItem_ = nullptr;
    if (item->parent() == m_hClusterRoot) {
        const auto [begin, end] = clusterItems_.equal_range(RecordOf(item));
        for (auto it = begin; it != end; ++it)
            if (it->second == item) {
                clusterItems_.erase(it);
                break;
            }
    }
    delete item;
    if (parent && !parent->parent() && parent->childCount() == 0)
        parent->setExpanded(false);
    refitTimer_.start(0); // the widest label may have gone; measured once after the action
}

// Indentation of the item's level, icon, text and the style's margins around them.
int CSpecimenTreeView::LabelWidth(const QTreeWidgetItem* item) const {
    const int depth = item->parent() ? 2 : 1;
    const int margins = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8;
    return depth * indentation() + iconSize().width() + margins +
           fontMetrics().horizontalAdvance(item->text(0));
}

void CSpecimenTreeView::FitLabel(const QTreeWidgetItem* item) {
    const int width = LabelWidth(item);
    if (width <= labelWidth_)
        return;
    labelWidth_ = width;
    FitColumn();
}

void CSpecimenTreeView::FitAllLabels() {
    labelWidth_ = 0;
    for (const QTreeWidgetItem* root : {m_hSpecimenRoot, m_hClusterRoot}) {
        labelWidth_ = std::max(labelWidth_, LabelWidth(root));
        for (int i = 0; i < root->childCount(); ++i)
            labelWidth_ = std::max(labelWidth_, LabelWidth(root->child(i)));
    }
    FitColumn();
}

// At least as wide as the window, so a selected row is highlighted across it.
void CSpecimenTreeView::FitColumn() {
    const int width = std::max(labelWidth_, viewport()->width());
    if (columnWidth(0) != width)
        setColumnWidth(0, width);
}

void CSpecimenTreeView::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    FitColumn();
}

// The specimen branch shows the single view, the cluster branch the cluster view chosen last.
// The view is switched before the document announces the selection, so it hears of it.
void CSpecimenTreeView::OnSelectionChanged(QTreeWidgetItem* current) {
    if (IsSpecimenBranch(current)) {
        host_.SwitchRightView(RightPaneKind::SingleView);
        doc_.SetClusterSelection(nullptr);
        doc_.SetSelectedRecord(RecordOf(current));
    } else if (IsClusterBranch(current)) {
        host_.SwitchRightView(m_pLastClusterView.value_or(RightPaneKind::Overlay));
        doc_.SetSelectedRecord(nullptr);
        doc_.SetClusterSelection(RecordOf(current));
    }
}

void CSpecimenTreeView::OnItemExpansion(QTreeWidgetItem* item, bool expanded) {
    if (item->parent())
        return;
    item->setData(0, ImageRole, expanded ? 1 : 0);
    item->setIcon(0, images_->Icon(expanded ? 1 : 0, OverlayOf(item)));
}

void CSpecimenTreeView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState)
        OnDeleteKey();
    QTreeWidget::keyPressEvent(event);
}

void CSpecimenTreeView::OnDeleteKey() {
    QTreeWidgetItem* item = currentItem();
    CSpecimenRecord* record = RecordOf(item);
    if (!item || !record)
        return;
    const bool specimen = item->parent() == m_hSpecimenRoot;
    const bool mean = record == doc_.GetClusterParameter().GetMeanRecord();
    RunGuarded(doc_.GetInteraction(), [&] {
        if (specimen)
            doc_.DeleteSpecimenRecord(record);
        else if (mean)
            doc_.RemoveMeanSpecimen();
        else
            doc_.RemoveFromCluster(record);
    });
}

void CSpecimenTreeView::OnLabelEdited(QTreeWidgetItem* item, const QString& text) {
    CSpecimenRecord* record = RecordOf(item);
    if (!record || item->parent() != m_hSpecimenRoot)
        return;
    RunGuarded(doc_.GetInteraction(), [&] { doc_.RenameSpecimen(record, text.toStdString()); });
}

int CSpecimenTreeView::LastClusterCommand() const {
    for (const int id : kDisplayCommands)
        if (DisplayKind(id) == m_pLastClusterView)
            return id;
    return 0;
}

void CSpecimenTreeView::SetLastClusterCommand(int id) {
    if (const std::optional<RightPaneKind> kind = DisplayKind(id))
        m_pLastClusterView = kind;
}

bool CSpecimenTreeView::OnCommand(int id) {
    if (const std::optional<RightPaneKind> kind = DisplayKind(id)) {
        host_.SwitchRightView(*kind);
        m_pLastClusterView = *kind;
        return true;
    }
    if (id == ID_CLUSTER_PROPERTIES) {
        doc_.EditClusterProperties(this);
        return true;
    }
    return false;
}

bool CSpecimenTreeView::OnUpdateCommand(int id, CCommandState& state) const {
    if (const std::optional<RightPaneKind> kind = DisplayKind(id)) {
        state.enabled = true;
        state.checked = host_.CurrentRightPane() == *kind;
        return true;
    }
    switch (id) {
    case ID_CLUSTER_PROPERTIES:
    case ID_CLUSTER_EXPORT:
        state.enabled = true;
        return true;
    case ID_CLUSTER_EXPORT_IMAGE:
        state.enabled =
            host_.CurrentRightPane() == RightPaneKind::Overlay && IsClusterBranch(currentItem());
        return true;
    case ID_CLUSTER_MEAN:
        state.enabled = !doc_.GetClusterList().empty() && IsClusterBranch(currentItem());
        state.checked = doc_.GetClusterParameter().HasMeanRecord();
        return true;
    default:
        return false;
    }
}
