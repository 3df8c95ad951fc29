#include "app/bookmarks/history_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/bookmarks/bookmarks_controller.h"

namespace orv::app {

HistoryWindow::HistoryWindow(BookmarksController& bookmarks, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("История"));
    resize(440, 380);
    lvHistory = new QTreeWidget(this);
    lvHistory->setObjectName(QStringLiteral("lvHistory"));
    lvHistory->setRootIsDecorated(false);
    lvHistory->setHeaderLabels({QStringLiteral("Препарат"), QStringLiteral("Открыт")});
    lvHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvHistory->setSelectionMode(QAbstractItemView::SingleSelection);
    lvHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvHistory->header()->setStretchLastSection(false);
    lvHistory->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lvHistory->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    for (const auto& row : bookmarks.HistoryRows()) {
        auto* it = new QTreeWidgetItem(lvHistory);
        it->setText(0, row.name);
        it->setText(1, row.when);
    }
    auto* info = new QLabel(lvHistory->topLevelItemCount() == 0
                                ? QStringLiteral("История пуста: здесь появятся препараты, "
                                                 "описание которых вы просматривали.")
                                : QStringLiteral("Последние просмотренные препараты. Enter или "
                                                 "двойной щелчок — открыть."),
                            this);
    info->setWordWrap(true);

    btnOpen = new QPushButton(QStringLiteral("Открыть"), this);
    btnClose = new QPushButton(QStringLiteral("Закрыть"), this);
    btnOpen->setAutoDefault(false);
    btnClose->setAutoDefault(false);
    btnOpen->setEnabled(lvHistory->topLevelItemCount() > 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOpen);
    buttons->addWidget(btnClose);
    auto* v = new QVBoxLayout(this);
    v->addWidget(info);
    v->addWidget(lvHistory, 1);
    v->addLayout(buttons);

    connect(btnOpen, &QPushButton::clicked, this, &HistoryWindow::OpenCurrent);
    connect(lvHistory, &QTreeWidget::itemActivated, this, &HistoryWindow::OpenCurrent);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);  // also Esc
    if (lvHistory->topLevelItemCount() > 0) {
        lvHistory->setCurrentItem(lvHistory->topLevelItem(0));
        lvHistory->setFocus();
    }
}

void HistoryWindow::OpenCurrent() {
    QTreeWidgetItem* it = lvHistory->currentItem();
    if (!it)
        return;
    chosen_ = static_cast<size_t>(lvHistory->indexOfTopLevelItem(it));
    accept();
}

}  // namespace orv::app
