#include "app/lists/list_views.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

#include "app/lists/preparation_list_model.h"
#include "app/shell/icons.h"
#include "db/dataset.h"
#include "db/russian_collation.h"

namespace orv::app {

QFont DefaultListFont() {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(10);  // in points: the stored form keeps the size in points
    f.setBold(true);
    return f;
}

QColor DefaultListColour() {
    return QColor(0xFD, 0xFF, 0xEC);
}

namespace {

const QColor kNavy(0x00, 0x00, 0x80);
const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kYellow(0xFF, 0xFF, 0x00);

// Paints rows without a focus rectangle: navy text, the current row yellow with maroon text,
// or red text while the view lacks the focus.
class RowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& opt,
               const QModelIndex& index) const override {
        const auto* view = qobject_cast<const QAbstractItemView*>(opt.widget);
        const bool current = view && view->currentIndex() == index;
        QRect r = opt.rect;
        p->save();
        QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        if (!icon.isNull()) {
            icon.paint(p, QRect(r.left() + 1, r.top() + (r.height() - 16) / 2, 16, 16));
            r.setLeft(r.left() + 19);
        }
        const QString text = index.data(Qt::DisplayRole).toString();
        p->setFont(opt.font);
        if (current) {
            QRect textRect = opt.fontMetrics.boundingRect(text).adjusted(-2, 0, 3, 0);
            textRect.moveTopLeft(QPoint(r.left(), r.top()));
            textRect.setHeight(r.height());
            p->fillRect(qobject_cast<const QListView*>(view) ? r : textRect, kYellow);
            p->setPen(view->hasFocus() ? kMaroon : QColor(Qt::red));
        } else {
            p->setPen(view ? view->palette().color(QPalette::Text) : kNavy);
        }
        p->drawText(r.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& opt, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(opt, index);
        s.setHeight(std::max(s.height(), opt.fontMetrics.height() + 3));
        return s;
    }
};

void ApplyLook(QAbstractItemView* v) {
    v->setItemDelegate(new RowDelegate(v));
    v->setFont(DefaultListFont());
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionMode(QAbstractItemView::NoSelection);
    v->setFrameShape(QFrame::StyledPanel);
    QPalette pal = v->palette();
    pal.setColor(QPalette::Base, DefaultListColour());
    pal.setColor(QPalette::Text, kNavy);
    v->setPalette(pal);
    // The current row is painted differently with and without focus.
    v->setAttribute(Qt::WA_MacShowFocusRect, false);
}

class TreeItem : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        return RussianCompare(text(0).toStdString(), other.text(0).toStdString()) < 0;
    }
};

}  // namespace

PreparationListView::PreparationListView(QWidget* parent) : QListView(parent) {
    setObjectName(QStringLiteral("gbAll"));
    ApplyLook(this);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

QModelIndex PreparationListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (auto* list = qobject_cast<PreparationListModel*>(model())) {
        if (action == MoveEnd) {
            list->Reach(-1);
        } else if (action == MoveDown || action == MovePageDown || action == MoveNext) {
            const int page = viewport()->height() / std::max(1, sizeHintForRow(0)) + 1;
            list->Reach(std::max(0, currentIndex().row()) + page + 1);
        }
    }
    return QListView::moveCursor(action, modifiers);
}

void PreparationListView::SetListFont(const QFont& f) {
    setFont(f);
}

void PreparationListView::SetListColour(const QColor& c) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, c);
    setPalette(pal);
}

QColor PreparationListView::ListColour() const {
    return palette().color(QPalette::Base);
}

GroupTreeView::GroupTreeView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("gbGr"));
    ApplyLook(this);
    setColumnCount(1);
    header()->hide();
    setRootIsDecorated(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setIndentation(18);
    connect(this, &QTreeWidget::itemExpanded, this, &GroupTreeView::UpdateIcon);
    connect(this, &QTreeWidget::itemCollapsed, this, &GroupTreeView::UpdateIcon);
}

void GroupTreeView::Build(DataSet& groups, const std::string& nameColumn) {
    clear();
    byId_.clear();
    struct Row {
        QString name;
        long long id;
        long long parent;
    };
    std::vector<Row> rows;
    rows.reserve(static_cast<size_t>(groups.RecordCount()));
    for (int r = 0; r < groups.RecordCount(); ++r) {
        rows.push_back({QString::fromStdString(groups.TextAt(r, nameColumn)),
                        std::atoll(groups.TextAt(r, "id").c_str()),
                        std::atoll(groups.TextAt(r, "gr").c_str())});
    }
    for (const Row& row : rows) {
        auto* item = new TreeItem(QStringList{row.name});
        item->setData(0, kIdRole, row.id);
        byId_.emplace(row.id, item);
    }
    for (const Row& row : rows) {
        QTreeWidgetItem* item = byId_.at(row.id);
        if (item->parent() || indexOfTopLevelItem(item) >= 0)
            continue;  // an exact duplicate key: the first row made the node
        auto parent = byId_.find(row.parent);
        // A preparation whose group is missing shows at the top level rather than vanishing.
        if (row.parent != 0 && parent != byId_.end() && parent->second != item)
            parent->second->addChild(item);
        else
            addTopLevelItem(item);
    }
    for (auto& [id, item] : byId_)
        UpdateIcon(item);
    sortItems(0, Qt::AscendingOrder);
    setSortingEnabled(true);
    sortByColumn(0, Qt::AscendingOrder);
    built_ = true;
    if (topLevelItemCount() > 0)
        setCurrentItem(topLevelItem(0));
}

void GroupTreeView::UpdateIcon(QTreeWidgetItem* item) {
    IconId icon = item->childCount() == 0 ? IconId::Leaf
                  : item->isExpanded()    ? IconId::GroupOpen
                                          : IconId::GroupClosed;
    item->setIcon(0, AppIcon(icon));
}

QTreeWidgetItem* GroupTreeView::ItemById(long long id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

bool GroupTreeView::SelectId(long long id) {
    QTreeWidgetItem* item = ItemById(id);
    if (!item)
        return false;
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

long long GroupTreeView::CurrentId() const {
    QTreeWidgetItem* item = currentItem();
    return item ? item->data(0, kIdRole).toLongLong() : 0;
}

QString GroupTreeView::CurrentName() const {
    QTreeWidgetItem* item = currentItem();
    return item ? item->text(0) : QString();
}

void GroupTreeView::drawBranches(QPainter* painter, const QRect& rect,
                                 const QModelIndex& index) const {
    // Plain tree lines in the grey-text colour, and a small box with +/- for groups.
    painter->save();
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    painter->setPen(QPen(grey, 1, Qt::DotLine));
    const int indent = indentation();
    int depth = 0;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        ++depth;
    const int x = rect.left() + depth * indent + indent / 2;
    const int midY = rect.center().y();
    const bool hasSibling = index.sibling(index.row() + 1, 0).isValid();
    painter->drawLine(x, rect.top(), x, hasSibling ? rect.bottom() : midY);
    painter->drawLine(x, midY, x + indent / 2, midY);
    int level = depth;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent()) {
        --level;
        if (p.sibling(p.row() + 1, 0).isValid()) {
            const int px = rect.left() + level * indent + indent / 2;
            painter->drawLine(px, rect.top(), px, rect.bottom());
        }
    }
    if (model()->hasChildren(index)) {
        QRect box(x - 4, midY - 4, 8, 8);
        painter->setPen(grey);
        painter->fillRect(box, palette().color(QPalette::Base));
        painter->drawRect(box);
        painter->setPen(palette().color(QPalette::Text));
        painter->drawLine(x - 2, midY, x + 2, midY);
        if (!isExpanded(index))
            painter->drawLine(x, midY - 2, x, midY + 2);
    }
    painter->restore();
}

}  // namespace orv::app
