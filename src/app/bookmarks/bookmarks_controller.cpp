#include "app/bookmarks/bookmarks_controller.h"

#include <QDateTime>

#include "app/bookmarks/favourites_window.h"
#include "app/bookmarks/history_window.h"
#include "app/shell/error_box.h"
#include "app/shell/program_state.h"
#include "util/inn_key.h"

namespace orv::app {

BookmarksController::BookmarksController(ProgramState& state, QWidget* window)
    : QObject(window), state_(state), window_(window) {
    visit_.setSingleShot(true);
    visit_.setInterval(1000);
    connect(&visit_, &QTimer::timeout, this, [this] { Visit(pending_); });
}

void BookmarksController::Load() {
    if (loaded_ || !state_.settings || !state_.HasReference())
        return;
    loaded_ = true;
    history_ = LoadHistory(*state_.settings);
    favourites_ = LoadFavourites(*state_.settings);
    if (history_.DropMissing(state_.Ref().Db()))
        SaveHistoryNow();
    if (favourites_.DropMissing(state_.Ref().Db()))
        SaveFavouritesNow();
}

const History& BookmarksController::LoadedHistory() {
    Load();
    return history_;
}

const Favourites& BookmarksController::LoadedFavourites() {
    Load();
    return favourites_;
}

void BookmarksController::SaveHistoryNow() {
    if (state_.settings)
        SaveHistory(*state_.settings, history_);
}

void BookmarksController::SaveFavouritesNow() {
    if (state_.settings)
        SaveFavourites(*state_.settings, favourites_);
}

void BookmarksController::Status(const QString& text) {
    if (showStatus)
        showStatus(text);
}

QString BookmarksController::NameOf(long long id) {
    const auto names = PreparationNames(state_.Ref().Db(), {id}, state_.NameColumn());
    return QString::fromStdString(CutQuoted(names.front()));
}

void BookmarksController::PageShown(long long id) {
    shown_ = id;
    pending_ = id;
    visit_.start();
}

void BookmarksController::Printed(long long id) {
    Visit(id);
}

void BookmarksController::Visit(long long id) {
    if (id <= 0)
        return;
    // Bookkeeping of the user's reading must never interrupt it.
    Quietly([&] {
        Load();
        if (history_.Add(id, QDateTime::currentSecsSinceEpoch()))
            SaveHistoryNow();
    });
}

void BookmarksController::GoBack() {
    Load();
    if (state_.HasReference())
        history_.DropMissing(state_.Ref().Db());
    const auto id = history_.Back();
    if (!id) {
        Status(QStringLiteral("История: более ранних препаратов нет"));
        return;
    }
    if (openPreparation)
        openPreparation(*id);
}

void BookmarksController::GoForward() {
    Load();
    if (state_.HasReference())
        history_.DropMissing(state_.Ref().Db());
    const auto id = history_.Forward();
    if (!id) {
        Status(QStringLiteral("История: более поздних препаратов нет"));
        return;
    }
    if (openPreparation)
        openPreparation(*id);
}

void BookmarksController::ToggleFavourite() {
    Load();
    if (shown_ <= 0 || !state_.HasReference())
        return;
    const QString name = NameOf(shown_);
    if (name.isEmpty())
        return;  // the preparation is gone
    const bool added = favourites_.Toggle(shown_);
    SaveFavouritesNow();
    Status(added ? QStringLiteral("«%1» добавлен в избранное").arg(name)
                 : QStringLiteral("«%1» убран из избранного").arg(name));
}

std::vector<BookmarksController::Row> BookmarksController::HistoryRows() {
    Load();
    std::vector<Row> rows;
    if (!state_.HasReference())
        return rows;
    if (history_.DropMissing(state_.Ref().Db()))
        SaveHistoryNow();
    std::vector<std::int64_t> ids;
    for (const HistoryEntry& e : history_.Entries())
        ids.push_back(e.id);
    const auto names = PreparationNames(state_.Ref().Db(), ids, state_.NameColumn());
    for (size_t i = 0; i < ids.size(); ++i) {
        const QDateTime when =
            QDateTime::fromSecsSinceEpoch(history_.Entries()[i].when).toLocalTime();
        rows.push_back({ids[i], QString::fromStdString(CutQuoted(names[i])),
                        when.toString(QStringLiteral("dd.MM.yyyy hh:mm"))});
    }
    return rows;
}

std::vector<BookmarksController::Row> BookmarksController::FavouriteRows() {
    Load();
    std::vector<Row> rows;
    if (!state_.HasReference())
        return rows;
    if (favourites_.DropMissing(state_.Ref().Db()))
        SaveFavouritesNow();
    const auto& ids = favourites_.Ids();
    const auto names = PreparationNames(state_.Ref().Db(), ids, state_.NameColumn());
    for (size_t i = 0; i < ids.size(); ++i)
        rows.push_back({ids[i], QString::fromStdString(CutQuoted(names[i])), QString()});
    return rows;
}

void BookmarksController::OpenHistoryEntry(size_t index) {
    if (index >= history_.Entries().size())
        return;
    history_.StepTo(index);
    if (openPreparation)
        openPreparation(history_.Entries()[index].id);
}

void BookmarksController::OpenFavourite(size_t index) {
    if (index < favourites_.Ids().size() && openPreparation)
        openPreparation(favourites_.Ids()[index]);
}

bool BookmarksController::MoveFavourite(size_t index, int delta) {
    if (!favourites_.Move(index, delta))
        return false;
    SaveFavouritesNow();
    return true;
}

void BookmarksController::RemoveFavourite(size_t index) {
    favourites_.RemoveAt(index);
    SaveFavouritesNow();
}

void BookmarksController::OpenHistoryWindow() {
    HistoryWindow window(*this, window_);
    if (window.exec() == QDialog::Accepted && window.Chosen())
        OpenHistoryEntry(*window.Chosen());
}

void BookmarksController::OpenFavouritesWindow() {
    FavouritesWindow window(*this, window_);
    if (window.exec() == QDialog::Accepted && window.Chosen())
        OpenFavourite(*window.Chosen());
}

}  // namespace orv::app
