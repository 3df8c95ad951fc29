#pragma once
// The preparation list as a Qt model over the list data set: one column, the display name.
#include <QAbstractListModel>
#include <string>

namespace orv {
class DataSet;
}

namespace orv::app {

class PreparationListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    PreparationListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    // Binds the model to a data set and its name column; the data set outlives the model's use.
    void Bind(DataSet* data, std::string nameColumn);
    // The data set was reopened: the rows are new.
    void Reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    DataSet* data_ = nullptr;
    std::string nameColumn_;
};

}  // namespace orv::app
