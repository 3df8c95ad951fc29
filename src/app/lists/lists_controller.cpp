#include "app/lists/lists_controller.h"

#include <QApplication>
#include <QTabWidget>

#include "app/lists/list_views.h"
#include "app/lists/preparation_list_model.h"
#include "app/shell/program_state.h"
#include "db/reference.h"

namespace orv::app {

ListsController::ListsController(ProgramState& state, QTabWidget* pc1, PreparationListView* gbAll,
                                 GroupTreeView* gbGr, QObject* parent)
    : QObject(parent),
      state_(state),
      pc1_(pc1),
      gbAll_(gbAll),
      gbGr_(gbGr),
      model_(new PreparationListModel(this)) {
    gbAll_->setModel(model_);
    connect(gbAll_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { ListCurrentChanged(current.row()); });
    connect(gbGr_, &QTreeWidget::currentItemChanged, this, [this] { TreeCurrentChanged(); });
    connect(pc1_, &QTabWidget::currentChanged, this, [this] { pc1Change(); });
}

void ListsController::AttachReference() {
    model_->Bind(&state_.Ref().qMain, state_.NameColumn());
    FollowCursor();
}

bool ListsController::TreeActive() const {
    return pc1_->currentIndex() == 1;
}

DataSet* ListsController::ActiveDataSet() {
    if (!state_.HasReference())
        return nullptr;
    return TreeActive() ? &state_.Ref().qGroups : &state_.Ref().qMain;
}

QAbstractItemView* ListsController::ActiveGrid() {
    return TreeActive() ? static_cast<QAbstractItemView*>(gbGr_) : gbAll_;
}

void ListsController::ListReopened() {
    following_ = true;
    model_->Reload();
    following_ = false;
    FollowList();
}

void ListsController::WhenCounted(std::function<void(int)> done) {
    model_->WhenCounted(std::move(done));
}

void ListsController::FollowList() {
    if (!state_.HasReference())
        return;
    following_ = true;
    DataSet& list = state_.Ref().qMain;
    if (list.Active() && !list.IsEmpty()) {
        model_->Reach(list.RecNo());
        QModelIndex index = model_->index(list.RecNo(), 0);
        gbAll_->setCurrentIndex(index);
        gbAll_->scrollTo(index);
    }
    following_ = false;
}

void ListsController::FollowCursor() {
    if (!state_.HasReference())
        return;
    if (!TreeActive()) {
        FollowList();
        return;
    }
    following_ = true;
    DataSet& groups = state_.Ref().qGroups;
    if (groups.Active() && !groups.IsEmpty())
        gbGr_->SelectId(groups.AsInteger("id"));
    following_ = false;
}

void ListsController::ListCurrentChanged(int row) {
    if (following_ || !state_.HasReference() || row < 0)
        return;
    DataSet& list = state_.Ref().qMain;
    if (list.Active() && row < list.LoadedCount())
        list.SetRecNo(row);
}

void ListsController::TreeCurrentChanged() {
    if (following_ || !state_.HasReference())
        return;
    DataSet& groups = state_.Ref().qGroups;
    if (groups.Active() && gbGr_->currentItem())
        groups.Locate("id", Value{static_cast<std::int64_t>(gbGr_->CurrentId())});
}

void ListsController::BuildTree() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorBack {
        ~CursorBack() { QApplication::restoreOverrideCursor(); }
    } cursorBack;
    if (showStatus)
        showStatus(QStringLiteral("Строится дерево фарм. групп. Подождите..."));
    DataSet& groups = state_.Ref().qGroups;
    groups.Open();  // a failure leaves the tree closed, so the next visit tries again
    following_ = true;
    gbGr_->Build(groups, state_.NameColumn());
    following_ = false;
    TreeCurrentChanged();
    if (showStatus)
        showStatus(QStringLiteral("Готово"));
}

void ListsController::pc1Change() {
    if (!state_.HasReference() || quietTabChange_)
        return;
    Reference& ref = state_.Ref();
    if (!TreeActive()) {
        if (ref.qGroups.Active() && gbGr_->currentItem()) {
            if (ref.qMain.Active() &&
                ref.qMain.Locate("id", Value{static_cast<std::int64_t>(gbGr_->CurrentId())}))
                FollowList();
        }
    } else {
        if (!ref.qGroups.Active())
            BuildTree();
        if (ref.qMain.Active() && !ref.qMain.IsEmpty()) {
            following_ = true;
            const bool found = gbGr_->SelectId(ref.qMain.AsInteger("id"));
            following_ = false;
            if (found)
                TreeCurrentChanged();
        }
    }
    if (gbAllClick)
        gbAllClick();
}

void ListsController::ShowListTab() {
    if (pc1_->currentIndex() != 0)
        pc1_->setCurrentIndex(0);  // runs pc1Change
    else
        pc1Change();
    gbAll_->setFocus();
}

void ListsController::ShowTreeTab() {
    if (pc1_->currentIndex() != 1)
        pc1_->setCurrentIndex(1);
    else
        pc1Change();
    gbGr_->setFocus();
}

long long ListsController::CurrentTreeId() const {
    return gbGr_->CurrentId();
}

QString ListsController::CurrentTreeName() const {
    return gbGr_->CurrentName();
}

}  // namespace orv::app

namespace orv::app {

void ListsController::ShowListTabQuietly() {
    quietTabChange_ = true;
    pc1_->setCurrentIndex(0);
    quietTabChange_ = false;
    FollowList();
}

}  // namespace orv::app
