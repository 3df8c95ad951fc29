#pragma once
// The history of opened preparations and the favourites: what goes in, back and forward
// (Alt+Left / Alt+Right), Ctrl+D, and the two list windows. Both lists live in the
// reference's settings table and are written as soon as they change.
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

#include "settings/bookmarks.h"

class QWidget;

namespace orv::app {

struct ProgramState;

class BookmarksController : public QObject {
    Q_OBJECT
  public:
    BookmarksController(ProgramState& state, QWidget* window);

    // The description of `id` is on screen: after a second it counts as a visit.
    void PageShown(long long id);
    // `id` was printed: a visit at once.
    void Printed(long long id);

    void GoBack();           // Alt+Left
    void GoForward();        // Alt+Right
    void ToggleFavourite();  // Ctrl+D, on the preparation on screen
    void OpenHistoryWindow();
    void OpenFavouritesWindow();

    // The entries as the windows show them; deleted preparations dropped first.
    struct Row {
        long long id = 0;
        QString name;
        QString when;  // "dd.MM.yyyy hh:mm", history only
    };
    std::vector<Row> HistoryRows();
    std::vector<Row> FavouriteRows();
    void OpenHistoryEntry(size_t index);
    void OpenFavourite(size_t index);
    bool MoveFavourite(size_t index, int delta);
    void RemoveFavourite(size_t index);

    QTimer& VisitTimer() { return visit_; }
    const History& LoadedHistory();
    const Favourites& LoadedFavourites();

    std::function<void(long long id)> openPreparation;
    std::function<void(const QString&)> showStatus;

  private:
    void Load();
    void Visit(long long id);
    void SaveHistoryNow();
    void SaveFavouritesNow();
    void Status(const QString& text);
    QString NameOf(long long id);

    ProgramState& state_;
    QWidget* window_;
    QTimer visit_;
    long long pending_ = 0;
    long long shown_ = 0;
    bool loaded_ = false;
    History history_;
    Favourites favourites_;
};

}  // namespace orv::app
