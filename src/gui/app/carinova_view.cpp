#include "app/carinova_view.h"

#include "app/placeholder_pane_view.h"
#include "document/carinova_doc.h"
#include "views/specimen_tree_view.h"

#include <QSplitter>
#include <QVBoxLayout>

CCarinovaView::CCarinovaView(CCarinovaDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    layout->addWidget(splitter_);

    tree_ = new CSpecimenTreeView(doc_, *this);
    splitter_->addWidget(tree_);
    std::unique_ptr<CRightPaneView> right = CreateRightPane(RightPaneKind::SingleView);
    right_ = right.release();
    splitter_->addWidget(right_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({kTreeWidth, 1});
    doc_.AddView(right_);
    connect(right_, &CRightPaneView::coordinatesText, this, &CCarinovaView::coordinatesText);
    tree_->OnInitialUpdate();
    right_->OnInitialUpdate();
}

CCarinovaView::~CCarinovaView() {
    if (right_)
        doc_.RemoveView(right_);
}

void CCarinovaView::SetRightPaneFactory(RightPaneKind kind, CRightPaneFactory factory) {
    factories_[kind] = std::move(factory);
    if (kind == kind_)
        ReplaceRightPane(kind);
}

std::unique_ptr<CRightPaneView> CCarinovaView::CreateRightPane(RightPaneKind kind) {
    const auto it = factories_.find(kind);
    if (it != factories_.end() && it->second) {
        if (std::unique_ptr<CRightPaneView> view = it->second(doc_, nullptr))
            return view;
    }
    return std::make_unique<CPlaceholderPaneView>(kind);
}

int CCarinovaView::SetRightPane(RightPaneKind kind) {
    if (right_ && kind == kind_)
        return 0;
    ReplaceRightPane(kind);
    return 1;
}

// The old view may be on the call stack (a command of its own can end in a switch), so it is
// detached at once and deleted later.
void CCarinovaView::DetachRightPane() {
    if (!right_)
        return;
    doc_.RemoveView(right_);
    disconnect(right_, nullptr, this, nullptr);
    right_->hide();
    right_->deleteLater();
    right_ = nullptr;
}

void CCarinovaView::ReplaceRightPane(RightPaneKind kind) {
    std::unique_ptr<CRightPaneView> view = CreateRightPane(kind);
    CRightPaneView* old = right_;
    const int index = old ? splitter_->indexOf(old) : -1;
    if (index >= 0)
        splitter_->replaceWidget(index, view.get());
    else
        splitter_->addWidget(view.get());
    DetachRightPane();
    right_ = view.release();
    kind_ = kind;
    right_->show();
    doc_.AddView(right_);
    connect(right_, &CRightPaneView::coordinatesText, this, &CCarinovaView::coordinatesText);
    right_->OnInitialUpdate();
    right_->update();
    emit coordinatesText(QString());
}

// The tree starts 180 pixels (or its remembered width) wide once the splitter knows its own
// width; later the user's choice stands.
void CCarinovaView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int width = splitter_->width() - splitter_->handleWidth();
    if (initialSizesSet_ || width <= treeWidth_)
        return;
    splitter_->setSizes({treeWidth_, width - treeWidth_});
    initialSizesSet_ = true;
}

int CCarinovaView::TreeWidth() const {
    return initialSizesSet_ ? splitter_->sizes().value(0, treeWidth_) : treeWidth_;
}

void CCarinovaView::SetTreeWidth(int width) {
    treeWidth_ = width;
    const int total = splitter_->width() - splitter_->handleWidth();
    if (initialSizesSet_ && total > width)
        splitter_->setSizes({width, total - width});
}

bool CCarinovaView::RouteCommand(int id) {
    if (right_ && right_->OnCommand(id))
        return true;
    if (tree_->OnCommand(id))
        return true;
    return doc_.OnCommand(id);
}

bool CCarinovaView::RouteUpdate(int id, CCommandState& state) const {
    bool enabled = false;
    if (right_ && right_->OnUpdateCommand(id, enabled)) {
        state.enabled = enabled;
        state.checked = right_->IsCommandChecked(id);
        return true;
    }
    if (tree_->OnUpdateCommand(id, state))
        return true;
    if (doc_.OnUpdateCommand(id, enabled)) {
        state.enabled = enabled;
        return true;
    }
    return false;
}

void CCarinovaView::ActivateNextPane(bool previous) {
    (void)previous; // two panes: either direction is the other pane
    QWidget* focus = focusWidget();
    const bool inTree = focus && (focus == tree_ || tree_->isAncestorOf(focus));
    if (inTree && right_)
        right_->setFocus(Qt::OtherFocusReason);
    else
        tree_->setFocus(Qt::OtherFocusReason);
}
