#include "app/shell/main_commands.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>

#include "app/bookmarks/bookmarks_controller.h"
#include "app/display/description_controller.h"
#include "app/display/field_panes.h"
#include "app/lists/list_views.h"
#include "app/lists/lists_controller.h"
#include "app/search/quick_filter_controller.h"
#include "app/shell/icons.h"
#include "app/shell/keypad_keys.h"
#include "app/shell/main_window.h"
#include "app/shell/wait_cursor.h"

namespace orv::app {

template <class F>
QAction* MainCommands::Add(const QString& name, const QString& caption, F handler) {
    auto* action = new QAction(caption, &w_);
    action->setObjectName(name);
    connect(action, &QAction::triggered, &w_, handler);
    actions_.emplace(name, action);
    return action;
}

MainCommands::MainCommands(MainWindow& window) : QObject(&window), w_(window) {
    BuildMenuBar();
    BuildToolBar();
    BuildHidden();
    BuildPopup();
}

QAction* MainCommands::Action(const QString& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void MainCommands::BuildMenuBar() {
    MainWindow& w = w_;
    QMenuBar* bar = w.menuBar();
    auto key = [](QAction* a, const QKeySequence& k) {
        a->setShortcut(k);
        a->setShortcutContext(Qt::WindowShortcut);
        return a;
    };
    auto icon = [](QAction* a, IconId id) {
        a->setIcon(AppIcon(id));
        return a;
    };

    QMenu* file = bar->addMenu(QStringLiteral("Файл"));
    file->addAction(icon(Add(QStringLiteral("miPrint"), QStringLiteral("Печать..."),
                             [&w] { w.description->miPrintClick(); }),
                         IconId::Print));
    file->addSeparator();
    file->addAction(icon(Add(QStringLiteral("N19"), QStringLiteral("Обновление"),
                             [&w] {
                                 if (w.hooks.openUpdateWindow)
                                     w.hooks.openUpdateWindow();
                             }),
                         IconId::Update));
    file->addSeparator();
    file->addAction(
        icon(key(Add(QStringLiteral("N3"), QStringLiteral("Выход"), [&w] { w.close(); }),
                 QKeySequence(Qt::ALT | Qt::Key_F4)),
             IconId::Exit));

    QMenu* params = bar->addMenu(QStringLiteral("Параметры"));
    params->addAction(icon(Add(QStringLiteral("N12"), QStringLiteral("Настройки"),
                               [&w] {
                                   if (w.hooks.openSettings)
                                       w.hooks.openSettings(0);
                               }),
                           IconId::Settings));
    params->addAction(icon(Add(QStringLiteral("N13"), QStringLiteral("Отображение"),
                               [&w] {
                                   if (w.hooks.openSettings)
                                       w.hooks.openSettings(1);
                               }),
                           IconId::Display));

    QMenu* tabs = bar->addMenu(QStringLiteral("Закладки"));
    tabs->addAction(icon(key(Add(QStringLiteral("N6"), QStringLiteral("Наименования"),
                                 [&w] { w.lists->ShowListTab(); }),
                             QKeySequence(Qt::CTRL | Qt::Key_F1)),
                         IconId::ListTab));
    tabs->addAction(icon(key(Add(QStringLiteral("N7"), QStringLiteral("ФармГруппы"),
                                 [&w] { w.lists->ShowTreeTab(); }),
                             QKeySequence(Qt::CTRL | Qt::Key_F2)),
                         IconId::TreeTab));
    tabs->addSeparator();
    tabs->addAction(icon(key(Add(QStringLiteral("N9"), QStringLiteral("Описание"),
                                 [&w] { w.description->ShowDescriptionTab(); }),
                             QKeySequence(Qt::CTRL | Qt::Key_F3)),
                         IconId::Description));
    tabs->addAction(icon(key(Add(QStringLiteral("N10"), QStringLiteral("По группам"),
                                 [&w] { w.description->ShowPanesTab(); }),
                             QKeySequence(Qt::CTRL | Qt::Key_F4)),
                         IconId::Panes));
    tabs->addAction(icon(key(Add(QStringLiteral("N23"), QStringLiteral("Расширенный поиск"),
                                 [&w] { w.description->ShowExtSearchTab(); }),
                             QKeySequence(Qt::CTRL | Qt::Key_F5)),
                         IconId::ExtSearch));
    tabs->addSeparator();
    tabs->addAction(key(Add(QStringLiteral("miBack"), QStringLiteral("Назад по истории"),
                            [&w] { w.bookmarks->GoBack(); }),
                        QKeySequence(Qt::ALT | Qt::Key_Left)));
    tabs->addAction(key(Add(QStringLiteral("miForward"), QStringLiteral("Вперёд по истории"),
                            [&w] { w.bookmarks->GoForward(); }),
                        QKeySequence(Qt::ALT | Qt::Key_Right)));
    tabs->addAction(icon(Add(QStringLiteral("miHistory"), QStringLiteral("История"),
                             [&w] { w.bookmarks->OpenHistoryWindow(); }),
                         IconId::History));
    tabs->addSeparator();
    tabs->addAction(
        key(Add(QStringLiteral("miFavourite"), QStringLiteral("Добавить в избранное / убрать"),
                [&w] { w.bookmarks->ToggleFavourite(); }),
            QKeySequence(Qt::CTRL | Qt::Key_D)));
    tabs->addAction(icon(Add(QStringLiteral("miFavourites"), QStringLiteral("Избранное"),
                             [&w] { w.bookmarks->OpenFavouritesWindow(); }),
                         IconId::Favourite));

    auto partner = [&w](const char* code) {
        return [&w, code] {
            if (w.hooks.partnerReply)
                w.hooks.partnerReply(code);
        };
    };
    QMenu* link = bar->addMenu(QStringLiteral("Взаимодействие"));
    link->addAction(
        icon(key(Add(QStringLiteral("N21"), QStringLiteral("Запрос на поиск"), partner("00")),
                 QKeySequence(Qt::Key_F9)),
             IconId::Query));
    link->addAction(
        icon(key(Add(QStringLiteral("N22"), QStringLiteral("Запрос на выборку"), partner("01")),
                 QKeySequence(Qt::Key_F10)),
             IconId::Query));
    link->addAction(icon(key(Add(QStringLiteral("N31"), QStringLiteral("Показать всё"),
                                 [&w] { w.filter->SpeedButton1Click(); }),
                             QKeySequence(Qt::SHIFT | Qt::Key_F1)),
                         IconId::ShowAll));
    link->addAction(icon(key(Add(QStringLiteral("N32"), QStringLiteral("Расширенный поиск"),
                                 [&w] {
                                     if (w.hooks.openExtSearchDialog)
                                         w.hooks.openExtSearchDialog();
                                 }),
                             QKeySequence(Qt::SHIFT | Qt::Key_F2)),
                         IconId::ExtSearch));
    link->addSeparator();
    link->addAction(key(Add(QStringLiteral("miAnalogues"), QStringLiteral("Аналоги по МНН"),
                            [&w] { w.filter->FilterTableAnalogues(); }),
                        QKeySequence(Qt::Key_F11)));

    QMenu* help = bar->addMenu(QStringLiteral("Помощь"));
    help->addAction(
        icon(key(Add(QStringLiteral("N27"), QStringLiteral("Справка"), [&w] { w.ShowHelp(); }),
                 QKeySequence(Qt::Key_F1)),
             IconId::Help));
    help->addAction(
        icon(Add(QStringLiteral("N4"), QStringLiteral("О программе..."), [&w] { w.ShowAbout(); }),
             IconId::About));
}

void MainCommands::BuildToolBar() {
    toolBar_ = w_.addToolBar(QStringLiteral("Панель инструментов"));
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(24, 24));
    toolBar_->setFixedHeight(37);
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Tool buttons run the menu commands' handlers under their own hints.
    auto button = [this](const QString& name, const QString& menuCommand, const QString& hint,
                         IconId id) {
        auto* a = new QAction(AppIcon(id), hint, &w_);
        a->setObjectName(name);
        a->setToolTip(hint);
        QAction* target = Action(menuCommand);
        connect(a, &QAction::triggered, target, &QAction::trigger);
        actions_.emplace(name, a);
        toolBar_->addAction(a);
    };
    toolBar_->addSeparator();
    button(QStringLiteral("SpeedButton1"), QStringLiteral("N31"),
           QStringLiteral("Показать все записи(Shift+F1)"), IconId::ShowAll);
    button(QStringLiteral("SpeedButton2"), QStringLiteral("N32"),
           QStringLiteral("Расширенный поиск(Shift+F2)"), IconId::ExtSearch);
    toolBar_->addSeparator();
    button(QStringLiteral("SpeedButton3"), QStringLiteral("N19"), QStringLiteral("Обновление"),
           IconId::Update);
    auto* packets =
        Add(QStringLiteral("SpeedButton4"), QStringLiteral("Пакеты обновления"), [this] {
            w_.ShowStatus(QStringLiteral("Сбор данных, подождите пожалуйста ..."));
            WaitCursor wait;
            w_.repaint();
            if (w_.hooks.openPacketList)
                w_.hooks.openPacketList();
        });
    packets->setIcon(AppIcon(IconId::Packets));
    toolBar_->addAction(packets);
    toolBar_->addSeparator();
    button(QStringLiteral("SpeedButton5"), QStringLiteral("N12"), QStringLiteral("Настройки"),
           IconId::Settings);
    button(QStringLiteral("SpeedButton7"), QStringLiteral("N13"), QStringLiteral("Отображение"),
           IconId::Display);
    button(QStringLiteral("SpeedButton6"), QStringLiteral("miPrint"), QStringLiteral("Печать"),
           IconId::Print);
    toolBar_->addSeparator();
    button(QStringLiteral("tbHistory"), QStringLiteral("miHistory"),
           QStringLiteral("История (Alt+← / Alt+→ — назад и вперёд)"), IconId::History);
    button(QStringLiteral("tbFavourites"), QStringLiteral("miFavourites"),
           QStringLiteral("Избранное (Ctrl+D — добавить или убрать)"), IconId::Favourite);
}

void MainCommands::BuildHidden() {
    MainWindow& w = w_;
    auto hidden = [&w](QAction* a, const QKeySequence& k) {
        if (!k.isEmpty()) {
            a->setShortcut(k);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        w.addAction(a);
    };
    hidden(
        Add(QStringLiteral("up1"), QStringLiteral("up"), [&w] { w.description->ScrollBy(-100); }),
        QKeySequence(Qt::SHIFT | Qt::Key_Up));
    hidden(
        Add(QStringLiteral("up2"), QStringLiteral("up+"), [&w] { w.description->ScrollBy(-100); }),
        KeypadShortcut(Qt::Key_Minus));
    hidden(Add(QStringLiteral("down1"), QStringLiteral("down"),
               [&w] { w.description->ScrollBy(100); }),
           QKeySequence(Qt::SHIFT | Qt::Key_Down));
    hidden(Add(QStringLiteral("down2"), QStringLiteral("down-"),
               [&w] { w.description->ScrollBy(100); }),
           KeypadShortcut(Qt::Key_Plus));
    new KeypadOnlyKeys(w, {Qt::Key_Minus, Qt::Key_Plus});

    struct FieldKey {
        const char* name;
        const char* caption;
        Qt::Key key;
        bool shift;
        Pane pane;
    };
    // Shift+F2 belongs to "Расширенный поиск", met earlier in menu order: cf21 gets no key.
    const FieldKey fieldKeys[] = {
        {"f21", "f2", Qt::Key_F2, false, Pane::Syn},
        {"cf21", "cf2", Qt::Key_F2, true, Pane::FGr},
        {"f31", "f3", Qt::Key_F3, false, Pane::Izg},
        {"cf31", "cf3", Qt::Key_F3, true, Pane::Sostav},
        {"N41", "f4", Qt::Key_F4, false, Pane::Pokaz},
        {"cf41", "cf4", Qt::Key_F4, true, Pane::PPokaz},
        {"f51", "f5", Qt::Key_F5, false, Pane::Action},
        {"cf51", "cf5", Qt::Key_F5, true, Pane::VAction},
        {"f61", "f6", Qt::Key_F6, false, Pane::Doza},
        {"cf61", "cf6", Qt::Key_F6, true, Pane::Peredoz},
        {"f71", "f7", Qt::Key_F7, false, Pane::Special},
        {"cf71", "cf7", Qt::Key_F7, true, Pane::PAction},
        {"f81", "f8", Qt::Key_F8, false, Pane::LekFrm},
        {"cf81", "cf8", Qt::Key_F8, true, Pane::Stor},
    };
    for (const FieldKey& fk : fieldKeys) {
        const Pane pane = fk.pane;
        QKeySequence seq = fk.shift ? QKeySequence(Qt::SHIFT | fk.key) : QKeySequence(fk.key);
        if (fk.shift && fk.key == Qt::Key_F2)
            seq = QKeySequence();
        hidden(Add(QString::fromLatin1(fk.name), QString::fromLatin1(fk.caption),
                   [&w, pane] { w.description->OpenPane(pane); }),
               seq);
    }
    hidden(Add(QStringLiteral("print1"), QStringLiteral("print"),
               [&w] { w.description->tbPrintClick(); }),
           QKeySequence(Qt::CTRL | Qt::Key_P));
    hidden(Add(QStringLiteral("esc1"), QStringLiteral("esc"),
               [&w] {
                   if (w.hooks.partnerReply)
                       w.hooks.partnerReply("00");
               }),
           QKeySequence(Qt::Key_Escape));
}

void MainCommands::BuildPopup() {
    MainWindow& w = w_;
    popup_ = new QMenu(&w);
    popup_->setObjectName(QStringLiteral("PopupMenu1"));
    // Keys shown in the pop-up are the lists' own (Enter) or taken by earlier commands; here
    // they work only while the menu is open.
    auto shown = [](QAction* a, const QKeySequence& k) {
        a->setShortcut(k);
        a->setShortcutContext(Qt::WidgetShortcut);
        return a;
    };
    QAction* n14 = shown(Add(QStringLiteral("N14"), QStringLiteral("Выборка по синонимам"),
                             [&w] { w.filter->FilterTableSynonim(); }),
                         QKeySequence(Qt::Key_Enter));
    // The menu shows the first key, named "Enter" as on the key cap; the main one works too.
    n14->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    QFont bold = n14->font();
    bold.setBold(true);
    n14->setFont(bold);
    popup_->addAction(n14);
    popup_->setDefaultAction(n14);
    popup_->addAction(Add(QStringLiteral("N15"), QStringLiteral("Сбросить выборку"),
                          [&w] { w.filter->N15Click(); }));
    popup_->addAction(shown(Add(QStringLiteral("pmAnalogues"), QStringLiteral("Аналоги по МНН"),
                                [&w] { w.filter->FilterTableAnalogues(); }),
                            QKeySequence(Qt::Key_F11)));
    popup_->addSeparator();
    popup_->addAction(shown(Add(QStringLiteral("N17"), QStringLiteral("Быстрая печать"),
                                [&w] { w.description->tbPrintClick(); }),
                            QKeySequence(Qt::CTRL | Qt::Key_P)));
    popup_->addSeparator();
    popup_->addAction(shown(Add(QStringLiteral("N25"), QStringLiteral("Запрос на поиск*"),
                                [&w] {
                                    if (w.hooks.partnerReply)
                                        w.hooks.partnerReply("00");
                                }),
                            QKeySequence(Qt::Key_F9)));
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(w.gbAll), static_cast<QAbstractItemView*>(w.gbGr)}) {
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
            QModelIndex index = view->indexAt(pos);
            if (index.isValid()) {
                view->setCurrentIndex(index);
            }
            popup_->popup(view->viewport()->mapToGlobal(pos));
        });
    }
}

}  // namespace orv::app
