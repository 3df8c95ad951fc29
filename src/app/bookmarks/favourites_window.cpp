#include "app/bookmarks/favourites_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/bookmarks/bookmarks_controller.h"

namespace orv::app {

FavouritesWindow::FavouritesWindow(BookmarksController& bookmarks, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      bookmarks_(bookmarks) {
    setObjectName(QStringLiteral("frmFavourites"));
    setWindowTitle(QStringLiteral("Избранное"));
    resize(420, 380);
    lvFavourites = new QTreeWidget(this);
    lvFavourites->setObjectName(QStringLiteral("lvFavourites"));
    lvFavourites->setRootIsDecorated(false);
    lvFavourites->setHeaderLabels({QStringLiteral("Препарат")});
    lvFavourites->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvFavourites->setSelectionMode(QAbstractItemView::SingleSelection);
    lvFavourites->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* info = new QLabel(QStringLiteral("Добавить или убрать выбранный препарат — Ctrl+D. "
                                           "Enter или двойной щелчок — открыть."),
                            this);
    info->setWordWrap(true);

    btnOpen = new QPushButton(QStringLiteral("Открыть"), this);
    btnUp = new QPushButton(QStringLiteral("Выше"), this);
    btnUp->setToolTip(QStringLiteral("Переместить выше (Ctrl+↑)"));
    btnDown = new QPushButton(QStringLiteral("Ниже"), this);
    btnDown->setToolTip(QStringLiteral("Переместить ниже (Ctrl+↓)"));
    btnRemove = new QPushButton(QStringLiteral("Удалить"), this);
    btnRemove->setToolTip(QStringLiteral("Убрать из избранного (Del)"));
    btnClose = new QPushButton(QStringLiteral("Закрыть"), this);
    for (QPushButton* b : {btnOpen, btnUp, btnDown, btnRemove, btnClose})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnUp);
    buttons->addWidget(btnDown);
    buttons->addWidget(btnRemove);
    buttons->addStretch();
    buttons->addWidget(btnOpen);
    buttons->addWidget(btnClose);
    auto* v = new QVBoxLayout(this);
    v->addWidget(info);
    v->addWidget(lvFavourites, 1);
    v->addLayout(buttons);

    connect(btnOpen, &QPushButton::clicked, this, &FavouritesWindow::OpenCurrent);
    connect(lvFavourites, &QTreeWidget::itemActivated, this, &FavouritesWindow::OpenCurrent);
    connect(btnUp, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(btnDown, &QPushButton::clicked, this, [this] { Move(1); });
    connect(btnRemove, &QPushButton::clicked, this, &FavouritesWindow::RemoveCurrent);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);  // also Esc
    auto key = [this](const QKeySequence& k, auto f) {
        auto* s = new QShortcut(k, this);
        connect(s, &QShortcut::activated, this, f);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { Move(-1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { Move(1); });
    key(QKeySequence(Qt::Key_Delete), [this] { RemoveCurrent(); });
    Fill(0);
}

void FavouritesWindow::Fill(int current) {
    lvFavourites->clear();
    for (const auto& row : bookmarks_.FavouriteRows()) {
        auto* it = new QTreeWidgetItem(lvFavourites);
        it->setText(0, row.name);
    }
    const int n = lvFavourites->topLevelItemCount();
    for (QPushButton* b : {btnOpen, btnUp, btnDown, btnRemove})
        b->setEnabled(n > 0);
    if (n > 0) {
        lvFavourites->setCurrentItem(lvFavourites->topLevelItem(std::clamp(current, 0, n - 1)));
        lvFavourites->setFocus();
    }
}

int FavouritesWindow::CurrentRow() const {
    QTreeWidgetItem* it = lvFavourites->currentItem();
    return it ? lvFavourites->indexOfTopLevelItem(it) : -1;
}

void FavouritesWindow::OpenCurrent() {
    const int row = CurrentRow();
    if (row < 0)
        return;
    chosen_ = static_cast<size_t>(row);
    accept();
}

void FavouritesWindow::Move(int delta) {
    const int row = CurrentRow();
    if (row >= 0 && bookmarks_.MoveFavourite(static_cast<size_t>(row), delta))
        Fill(row + delta);
}

void FavouritesWindow::RemoveCurrent() {
    const int row = CurrentRow();
    if (row < 0)
        return;
    bookmarks_.RemoveFavourite(static_cast<size_t>(row));
    Fill(row);
}

}  // namespace orv::app
