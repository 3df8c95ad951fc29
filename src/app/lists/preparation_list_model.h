#pragma once
// The preparation list as a Qt model over the list data set: one column, the display name.
// The data set reads its rows in the background; the model shows them as they come (a short
// poll while the read lasts) and waits for them where a row further on is asked for.
#include <QAbstractListModel>
#include <QTimer>
#include <functional>
#include <string>

namespace orv {
class DataSet;
}

namespace orv::app {

class PreparationListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit PreparationListModel(QObject* parent = nullptr);

    // Binds the model to a data set and its name column; the data set outlives the model's use.
    void Bind(DataSet* data, std::string nameColumn);
    // The data set was reopened: the rows are new.
    void Reload();
    // Shows the rows read since; every row with `row` < 0, else at least up to `row`, waiting
    // for them while they are read.
    void Reach(int row);
    // Runs `done` with the true row count once every row is read (at once when they are); a
    // reload first drops it.
    void WhenCounted(std::function<void(int)> done);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

  private:
    void Sync();
    bool Open() const;

    DataSet* data_ = nullptr;
    std::string nameColumn_;
    int shown_ = 0;
    QTimer poll_;
    std::function<void(int)> counted_;
};

}  // namespace orv::app
