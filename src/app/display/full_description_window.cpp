#include "app/display/full_description_window.h"

#include <QAction>
#include <QColorDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include "util/text.h"

namespace orv::app {

FullDescriptionWindow::FullDescriptionWindow(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmFulDescr"));
    setModal(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    Memo1->setFrameStyle(QFrame::NoFrame);
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(10);
    Memo1->setFont(f);
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    Memo1->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Memo1);

    // The keys of the invisible menu.
    auto* esc1 = new QAction(this);
    esc1->setShortcut(Qt::Key_Escape);
    connect(esc1, &QAction::triggered, this, &QDialog::accept);
    auto* ca1 = new QAction(this);
    ca1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(ca1, &QAction::triggered, Memo1, &QPlainTextEdit::selectAll);
    addAction(esc1);
    addAction(ca1);

    PopupMenu1 = new QMenu(this);
    connect(PopupMenu1->addAction(QStringLiteral("Закрыть                Esc")),
            &QAction::triggered, this, &QDialog::accept);
    PopupMenu1->addSeparator();
    N7 = PopupMenu1->addAction(QStringLiteral("Копировать     Ctrl+C"));
    connect(N7, &QAction::triggered, Memo1, &QPlainTextEdit::copy);
    connect(PopupMenu1->addAction(QStringLiteral("Выделить все  Ctrl+A")), &QAction::triggered,
            Memo1, &QPlainTextEdit::selectAll);
    PopupMenu1->addSeparator();
    connect(PopupMenu1->addAction(QStringLiteral("Увеличить шрифт   +")), &QAction::triggered, this,
            &FullDescriptionWindow::N3Click);
    connect(PopupMenu1->addAction(QStringLiteral("Уменьшить шрифт   -")), &QAction::triggered, this,
            &FullDescriptionWindow::N4Click);
    connect(PopupMenu1->addAction(QStringLiteral("Изменить шрифт      *")), &QAction::triggered,
            this, &FullDescriptionWindow::N5Click);
    connect(PopupMenu1->addAction(QStringLiteral("Цвет фона")), &QAction::triggered, this,
            &FullDescriptionWindow::N11Click);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(QStringLiteral("Печать             Ctrl+P"))->setEnabled(false);
    connect(PopupMenu1, &QMenu::aboutToShow, this,
            [this] { N7->setEnabled(Memo1->textCursor().hasSelection()); });
    connect(Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(Memo1->mapToGlobal(pos)); });
}

bool FullDescriptionWindow::Present(const QString& text) {
    if (Trim(text.toStdString()).empty())
        return false;
    Memo1->setPlainText(text);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    showMaximized();
    Memo1->setFocus();
    return true;
}

bool FullDescriptionWindow::ShowFullDescription(const QString& text) {
    if (Trim(text.toStdString()).empty())
        return false;
    Memo1->setPlainText(text);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());  // where no window manager maximises
    setWindowState(windowState() | Qt::WindowMaximized);
    Memo1->setFocus();
    exec();
    return true;
}

QFont FullDescriptionWindow::TextFont() const {
    return Memo1->font();
}

void FullDescriptionWindow::SetTextFont(const QFont& f) {
    Memo1->setFont(f);
}

QColor FullDescriptionWindow::TextColour() const {
    return Memo1->palette().color(QPalette::Base);
}

void FullDescriptionWindow::SetTextColour(const QColor& c) {
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, c);
    Memo1->setPalette(pal);
}

void FullDescriptionWindow::N3Click() {
    QFont f = Memo1->font();
    f.setPointSize(f.pointSize() + 1);
    Memo1->setFont(f);
}

void FullDescriptionWindow::N4Click() {
    QFont f = Memo1->font();
    if (f.pointSize() > 1)
        f.setPointSize(f.pointSize() - 1);
    Memo1->setFont(f);
}

void FullDescriptionWindow::N5Click() {
    bool ok = false;
    QFont f = QFontDialog::getFont(&ok, Memo1->font(), this);
    if (ok)
        Memo1->setFont(f);
}

void FullDescriptionWindow::N11Click() {
    QColor c = QColorDialog::getColor(TextColour(), this);
    if (c.isValid())
        SetTextColour(c);
}

bool FullDescriptionWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->modifiers() & Qt::KeypadModifier) {
            switch (k->key()) {
                case Qt::Key_Asterisk:
                    N5Click();
                    return true;
                case Qt::Key_Plus:
                    N3Click();
                    return true;
                case Qt::Key_Minus:
                    N4Click();
                    return true;
                default:
                    break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orv::app
