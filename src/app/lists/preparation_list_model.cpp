#include "app/lists/preparation_list_model.h"

#include "db/dataset.h"

namespace orv::app {

void PreparationListModel::Bind(DataSet* data, std::string nameColumn) {
    beginResetModel();
    data_ = data;
    nameColumn_ = std::move(nameColumn);
    endResetModel();
}

void PreparationListModel::Reload() {
    beginResetModel();
    endResetModel();
}

int PreparationListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !data_ || !data_->Active())
        return 0;
    return data_->RecordCount();
}

QVariant PreparationListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !data_ || !index.isValid())
        return {};
    return QString::fromStdString(data_->TextAt(index.row(), nameColumn_));
}

}  // namespace orv::app
