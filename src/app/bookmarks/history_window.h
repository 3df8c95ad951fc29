#pragma once
// "История": the preparations looked at, most recent first, with their dates. Enter or a
// double click opens one (the window closes and the caller opens it).
#include <QDialog>
#include <optional>

class QPushButton;
class QTreeWidget;

namespace orv::app {

class BookmarksController;

class HistoryWindow : public QDialog {
    Q_OBJECT
  public:
    HistoryWindow(BookmarksController& bookmarks, QWidget* parent = nullptr);

    std::optional<size_t> Chosen() const { return chosen_; }

    QTreeWidget* lvHistory = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnClose = nullptr;

  private:
    void OpenCurrent();

    std::optional<size_t> chosen_;
};

}  // namespace orv::app
