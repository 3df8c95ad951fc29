#include "app/settings/settings_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/shell/error_box.h"
#include "app/shell/run_reported.h"
#include "settings/settings_keys.h"

namespace orv::app {

namespace {

QString Q(const char* s) {
    return QString::fromUtf8(s);
}

QToolButton* MoveButton(QToolBar* bar, QStyle::StandardPixmap icon, const char* hint) {
    auto* b = new QToolButton(bar);
    b->setIcon(bar->style()->standardIcon(icon));
    b->setToolTip(Q(hint));
    bar->addWidget(b);
    return b;
}

}  // namespace

SettingsDialog::SettingsDialog(SettingsDialogHost& host, QWidget* parent) : SettingsDialog(parent) {
    host_ = &host;
}

SettingsDialog::SettingsDialog(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(Q("Параметры программы"));
    fontChooser_ = [](const QFont& initial, QWidget* owner) -> std::optional<QFont> {
        QFontDialog dialog(initial, owner);
        // A family this machine lacks is shown as another one, in its styles: OK with nothing
        // changed keeps the stored family, size and style.
        const QFont shown = dialog.currentFont();
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const QFont chosen = dialog.selectedFont();
        return chosen == shown ? initial : chosen;
    };
    colorChooser_ = [](const QColor& initial, QWidget* owner) -> std::optional<QColor> {
        QColor c = QColorDialog::getColor(initial, owner);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    };

    pc = new QTabWidget(this);
    pc->setUsesScrollButtons(false);

    // Page 1: the list's look and the proxy.
    auto* page1 = new QWidget;
    auto* look = new QGroupBox(Q("Внешний вид списка"), page1);
    auto* lookGrid = new QGridLayout(look);
    Button5 = new QPushButton(Q(">>"), look);
    Button6 = new QPushButton(Q(">>"), look);
    lookGrid->addWidget(new QLabel(Q("Шрифт:"), look), 0, 0);
    lookGrid->addWidget(Button5, 0, 1);
    lookGrid->addWidget(new QLabel(Q("Цвет фона:"), look), 1, 0);
    lookGrid->addWidget(Button6, 1, 1);

    auto* proxyBox = new QGroupBox(Q("Прокси сервер"), page1);
    auto* pg = new QGridLayout(proxyBox);
    CB1 = new QCheckBox(Q("Использовать прокси-сервер"), proxyBox);
    Label4 = new QLabel(Q("Адрес прокси-сервера:"), proxyBox);
    Label7 = new QLabel(Q("Порт:"), proxyBox);
    Label8 = new QLabel(Q(":"), proxyBox);
    Label5 = new QLabel(Q("Логин:"), proxyBox);
    Label6 = new QLabel(Q("Пароль:"), proxyBox);
    proxy = new QLineEdit(proxyBox);
    port = new QLineEdit(proxyBox);
    port->setMaximumWidth(60);
    Edit1 = new QLineEdit(proxyBox);
    Edit2 = new QLineEdit(proxyBox);
    Edit2->setEchoMode(QLineEdit::Password);
    const QString anonymous = Q("Оставьте пустыми для анононимного доступа");
    for (QWidget* w : {static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label6),
                       static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2)})
        w->setToolTip(anonymous);
    pg->addWidget(CB1, 0, 0, 1, 3);
    pg->addWidget(Label4, 1, 0);
    pg->addWidget(Label7, 1, 2);
    pg->addWidget(proxy, 2, 0);
    pg->addWidget(Label8, 2, 1);
    pg->addWidget(port, 2, 2);
    pg->addWidget(Label5, 3, 0, 1, 3);
    pg->addWidget(Edit1, 4, 0, 1, 3);
    pg->addWidget(Label6, 5, 0, 1, 3);
    pg->addWidget(Edit2, 6, 0, 1, 3);
    auto* p1 = new QVBoxLayout(page1);
    p1->addWidget(look);
    p1->addWidget(proxyBox);
    p1->addStretch();
    pc->addTab(page1, Q("Настройки"));

    // Page 2: order and visibility of the description sections.
    auto* page2 = new QWidget;
    auto* order = new QGroupBox(Q("Порядок пунктов"), page2);
    auto* ol = new QVBoxLayout(order);
    clboxItems = new QListWidget(order);
    clboxItems->setSelectionMode(QAbstractItemView::SingleSelection);
    clboxItems->setDragEnabled(true);
    clboxItems->setAcceptDrops(true);
    clboxItems->setDragDropMode(QAbstractItemView::DragDrop);
    clboxItems->viewport()->installEventFilter(this);
    auto* bar = new QToolBar(order);
    ToolButton1 = MoveButton(bar, QStyle::SP_ArrowUp, "Переместить вверх");
    ToolButton2 = MoveButton(bar, QStyle::SP_ArrowDown, "Переместить вниз");
    ToolButton3 = MoveButton(bar, QStyle::SP_MediaSkipBackward, "Переместить в начало");
    ToolButton7 = MoveButton(bar, QStyle::SP_MediaSkipForward, "Переместить в конец");
    ol->addWidget(clboxItems);
    ol->addWidget(bar);
    auto* p2 = new QVBoxLayout(page2);
    p2->addWidget(order);
    pc->addTab(page2, Q("Отображение"));

    // Page 3.
    auto* page3 = new QWidget;
    tCheckUp = new QCheckBox(Q("Проверять обновление при запуске"), page3);
    auto* p3 = new QVBoxLayout(page3);
    p3->addWidget(tCheckUp);
    p3->addStretch();
    pc->addTab(page3, Q("Дополнительно"));

    Button1 = new QPushButton(Q("ОК"), this);
    Button2 = new QPushButton(Q("Отмена"), this);
    Button3 = new QPushButton(Q("Применить"), this);
    Button3->setEnabled(false);
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);
    Button3->setAutoDefault(false);
    auto* strip = new QHBoxLayout;
    strip->addStretch();
    strip->addWidget(Button1);
    strip->addWidget(Button2);
    strip->addWidget(Button3);
    auto* main = new QVBoxLayout(this);
    main->addWidget(pc);
    main->addLayout(strip);

    SetItems(DesignItems());
    setMinimumSize(301, 339);
    resize(sizeHint().expandedTo(QSize(301, 339)));

    for (QLineEdit* e : {proxy, port, Edit1, Edit2})
        connect(e, &QLineEdit::textChanged, this, [this] { wchanged(); });
    connect(clboxItems, &QListWidget::itemChanged, this, [this] {
        if (!loadingItems_)
            wchanged();
    });
    connect(CB1, &QCheckBox::toggled, this, [this] { CB1Click(); });
    connect(tCheckUp, &QCheckBox::toggled, this, [this] { wchanged(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { reject(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(ToolButton1, &QToolButton::clicked, this,
            [this] { MoveSelected(clboxItems->currentRow() - 1); });
    connect(ToolButton2, &QToolButton::clicked, this,
            [this] { MoveSelected(clboxItems->currentRow() + 1); });
    connect(ToolButton3, &QToolButton::clicked, this, [this] { MoveSelected(0); });
    connect(ToolButton7, &QToolButton::clicked, this,
            [this] { MoveSelected(clboxItems->count() - 1); });
    EnableProxyControls();
}

int SettingsDialog::Open(Page page) {
    pc->setCurrentIndex(page);
    return exec();
}

std::vector<CheckEntry> SettingsDialog::DesignItems() {
    return DesignSectionList();
}

std::vector<CheckEntry> SettingsDialog::Items() const {
    std::vector<CheckEntry> items;
    for (int i = 0; i < clboxItems->count(); ++i) {
        const QListWidgetItem* it = clboxItems->item(i);
        items.push_back({it->text().toStdString(), it->checkState() == Qt::Checked});
    }
    return items;
}

void SettingsDialog::SetItems(const std::vector<CheckEntry>& items) {
    loadingItems_ = true;
    clboxItems->clear();
    for (const auto& e : items) {
        auto* it = new QListWidgetItem(QString::fromStdString(e.caption));
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                     Qt::ItemIsDragEnabled);
        it->setCheckState(e.checked ? Qt::Checked : Qt::Unchecked);
        clboxItems->addItem(it);
    }
    loadingItems_ = false;
}

bool SettingsDialog::ProxyEnabled() const {
    return CB1->isChecked();
}
void SettingsDialog::SetProxyEnabled(bool on) {
    CB1->setChecked(on);
}
QString SettingsDialog::ProxyHost() const {
    return proxy->text();
}
void SettingsDialog::SetProxyHost(const QString& s) {
    proxy->setText(s);
}
QString SettingsDialog::ProxyPort() const {
    return port->text();
}
void SettingsDialog::SetProxyPort(const QString& s) {
    port->setText(s);
}
QString SettingsDialog::ProxyUser() const {
    return Edit1->text();
}
void SettingsDialog::SetProxyUser(const QString& s) {
    Edit1->setText(s);
}
QString SettingsDialog::ProxyPassword() const {
    return Edit2->text();
}
void SettingsDialog::SetProxyPassword(const QString& s) {
    Edit2->setText(s);
}
bool SettingsDialog::CheckUpdatesAtStart() const {
    return tCheckUp->isChecked();
}
void SettingsDialog::SetCheckUpdatesAtStart(bool on) {
    tCheckUp->setChecked(on);
}

void SettingsDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void SettingsDialog::FormShow() {
    settingsChanged_ = false;
    Button3->setEnabled(false);
    EnableProxyControls();
    // Stored values replacing what the edits hold count as changes (their handlers run).
    if (host_ == nullptr)
        return;
    RunReported(this, [this] { host_->LoadSettings(); });
    TakeSnapshot();
}

void SettingsDialog::TakeSnapshot() {
    saved_ = Snapshot{CB1->isChecked(), proxy->text(),      port->text(),
                      Edit1->text(),    Edit2->text(),      tCheckUp->isChecked(),
                      Items(),          host_->ListColor(), host_->ListFont()};
}

void SettingsDialog::RestoreSnapshot() {
    CB1->setChecked(saved_.proxyOn);
    proxy->setText(saved_.proxy);
    port->setText(saved_.port);
    Edit1->setText(saved_.user);
    Edit2->setText(saved_.password);
    tCheckUp->setChecked(saved_.checkUp);
    SetItems(saved_.items);
    EnableProxyControls();
    host_->SetListColor(saved_.listColor);
    host_->SetListFont(saved_.listFont);
}

void SettingsDialog::wchanged() {
    settingsChanged_ = true;
    Button3->setEnabled(true);
}

void SettingsDialog::CB1Click() {
    wchanged();
    EnableProxyControls();
}

void SettingsDialog::EnableProxyControls() {
    const bool on = CB1->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{proxy, port, Edit1, Edit2, Label4, Label5,
                                                      Label6, Label7, Label8})
        w->setEnabled(on);
}

void SettingsDialog::Button5Click() {
    if (host_ == nullptr)
        return;
    if (auto f = fontChooser_(host_->ListFont(), this)) {
        host_->SetListFont(*f);
        wchanged();
    }
}

void SettingsDialog::Button6Click() {
    if (host_ == nullptr)
        return;
    if (auto c = colorChooser_(host_->ListColor(), this)) {
        host_->SetListColor(*c);
        wchanged();
    }
}

void SettingsDialog::MoveSelected(int to) {
    const int from = clboxItems->currentRow();
    if (from < 0 || to < 0 || to >= clboxItems->count() || to == from)
        return;
    QListWidgetItem* it = clboxItems->takeItem(from);
    clboxItems->insertItem(to, it);
    clboxItems->setCurrentRow(to);
    wchanged();
}

void SettingsDialog::DropSelectedAt(const QPoint& pos) {
    const int from = clboxItems->currentRow();
    if (from < 0 || clboxItems->count() == 0)
        return;
    QListWidgetItem* target = clboxItems->itemAt(pos);
    const int to = target != nullptr ? clboxItems->row(target) : clboxItems->count() - 1;
    if (to != from) {
        QListWidgetItem* it = clboxItems->takeItem(from);
        clboxItems->insertItem(to, it);
    }
    clboxItems->setCurrentRow(to);
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* e) {
    if (watched == clboxItems->viewport()) {
        switch (e->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* d = static_cast<QDropEvent*>(e);
                if (d->source() == clboxItems) {
                    d->setDropAction(Qt::MoveAction);
                    d->accept();
                } else {
                    d->ignore();
                }
                return true;
            }
            case QEvent::Drop: {
                auto* d = static_cast<QDropEvent*>(e);
                if (d->source() == clboxItems) {
                    DropSelectedAt(d->position().toPoint());
                    // Reported as ignored so that the list does not remove the dragged row.
                    d->setDropAction(Qt::IgnoreAction);
                    d->accept();
                } else {
                    d->ignore();
                }
                return true;
            }
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void SettingsDialog::Button3Click() {
    if (proxy->text().isEmpty())
        CB1->setChecked(false);
    if (port->text().isEmpty())
        port->setText(QStringLiteral("80"));
    if (host_ != nullptr && !RunReported(this, [this] { host_->SaveSettings(); }))
        return;
    if (host_ == nullptr) {
        Button3->setEnabled(false);
        return;
    }
    TakeSnapshot();
    Button3->setEnabled(false);
}

void SettingsDialog::Button1Click() {
    if (proxy->text().isEmpty())
        CB1->setChecked(false);
    if (host_ != nullptr && !RunReported(this, [this] { host_->SaveSettings(); }))
        return;
    accept();
}

void SettingsDialog::reject() {
    if (!settingsChanged_) {
        QDialog::reject();
        return;
    }
    const auto answer =
        QMessageBox::question(this, Q("Отмена"), Q("Настройки были изменены, отменить?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    if (host_ != nullptr) {
        RestoreSnapshot();
        settingsChanged_ = false;
    }
    done(QDialog::Accepted);
}

}  // namespace orv::app
