#include "app/lists/preparation_list_model.h"

#include "db/dataset.h"

namespace orv::app {

PreparationListModel::PreparationListModel(QObject* parent) : QAbstractListModel(parent) {
    poll_.setInterval(25);
    connect(&poll_, &QTimer::timeout, this, &PreparationListModel::Sync);
}

bool PreparationListModel::Open() const {
    return data_ && data_->Active();
}

void PreparationListModel::Bind(DataSet* data, std::string nameColumn) {
    beginResetModel();
    data_ = data;
    nameColumn_ = std::move(nameColumn);
    shown_ = Open() ? data_->LoadedCount() : 0;
    endResetModel();
    counted_ = nullptr;
    Sync();
}

void PreparationListModel::Reload() {
    beginResetModel();
    shown_ = Open() ? data_->LoadedCount() : 0;
    endResetModel();
    counted_ = nullptr;
    Sync();
}

void PreparationListModel::Sync() {
    const int loaded = Open() ? data_->LoadedCount() : 0;
    if (loaded < shown_) {  // reopened behind the model's back
        Reload();
        return;
    }
    if (loaded > shown_) {
        beginInsertRows({}, shown_, loaded - 1);
        shown_ = loaded;
        endInsertRows();
    }
    if (Open() && data_->Loading()) {
        if (!poll_.isActive())
            poll_.start();
        return;
    }
    poll_.stop();
    if (counted_) {
        auto done = std::move(counted_);
        counted_ = nullptr;
        done(shown_);
    }
}

void PreparationListModel::Reach(int row) {
    if (!Open())
        return;
    if (row < 0)
        data_->RecordCount();
    else
        data_->TextAt(row, nameColumn_);  // waits for that row's batch
    Sync();
}

void PreparationListModel::WhenCounted(std::function<void(int)> done) {
    counted_ = std::move(done);
    Sync();
}

int PreparationListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant PreparationListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !data_ || !index.isValid() || index.row() >= shown_)
        return {};
    return QString::fromStdString(data_->TextAt(index.row(), nameColumn_));
}

bool PreparationListModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && Open() && data_->Loading();
}

void PreparationListModel::fetchMore(const QModelIndex& parent) {
    if (!parent.isValid())
        Reach(shown_);
}

}  // namespace orv::app
