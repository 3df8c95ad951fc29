#pragma once
// "Избранное": the preparations the user pinned, in the order added or as rearranged. Enter
// or a double click opens one; "Выше"/"Ниже" (Ctrl+Up/Ctrl+Down) reorder, "Удалить" (Del)
// removes. Every change is saved at once.
#include <QDialog>
#include <optional>

class QPushButton;
class QTreeWidget;

namespace orv::app {

class BookmarksController;

class FavouritesWindow : public QDialog {
    Q_OBJECT
  public:
    FavouritesWindow(BookmarksController& bookmarks, QWidget* parent = nullptr);

    std::optional<size_t> Chosen() const { return chosen_; }

    QTreeWidget* lvFavourites = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnUp = nullptr;
    QPushButton* btnDown = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnClose = nullptr;

  private:
    void Fill(int current);
    void OpenCurrent();
    void Move(int delta);
    void RemoveCurrent();
    int CurrentRow() const;

    BookmarksController& bookmarks_;
    std::optional<size_t> chosen_;
};

}  // namespace orv::app
