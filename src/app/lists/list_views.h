#pragma once
// The two views of the left pane: the flat preparation list and the group tree, with the
// look both share (navy bold text on pale yellow, current row yellow with maroon or red text).
#include <QFont>
#include <QListView>
#include <QTreeWidget>
#include <map>

namespace orv {
class DataSet;
}

namespace orv::app {

QFont DefaultListFont();
QColor DefaultListColour();

class PreparationListView : public QListView {
    Q_OBJECT
  public:
    explicit PreparationListView(QWidget* parent = nullptr);
    void SetListFont(const QFont& f);
    void SetListColour(const QColor& c);
    QColor ListColour() const;

  protected:
    // Down, PageDown and End go by the whole list, also over its rows still being read.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

// Tree nodes keep the id in the item; groups have negative ids.
class GroupTreeView : public QTreeWidget {
    Q_OBJECT
  public:
    explicit GroupTreeView(QWidget* parent = nullptr);

    bool Built() const { return built_; }
    // Builds every node from the open tree data set (name, id, gr).
    void Build(DataSet& groups, const std::string& nameColumn);
    // Makes the node with this id current; false when there is none.
    bool SelectId(long long id);
    // Id of the current node, 0 when none.
    long long CurrentId() const;
    QString CurrentName() const;
    QTreeWidgetItem* ItemById(long long id) const;

  protected:
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;

  private:
    void UpdateIcon(QTreeWidgetItem* item);
    bool built_ = false;
    std::map<long long, QTreeWidgetItem*> byId_;
};

inline constexpr int kIdRole = Qt::UserRole + 1;

}  // namespace orv::app
