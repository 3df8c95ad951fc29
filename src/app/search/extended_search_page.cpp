#include "app/search/extended_search_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/search/criteria_keys.h"
#include "app/search/search_commands.h"

namespace orv::app {

namespace {
QString Q(const char* s) {
    return QString::fromUtf8(s);
}
QPlainTextEdit* CriteriaMemo(QWidget* parent) {
    auto* m = new QPlainTextEdit(parent);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setTabChangesFocus(true);
    return m;
}
}  // namespace

ExtendedSearchPage::ExtendedSearchPage(SearchHost& host, QWidget* parent)
    : QWidget(parent), host_(host) {
    pnFindEx = new QWidget(this);
    pnFindEx->setFixedSize(449, 417);
    edfName = new QLineEdit(pnFindEx);
    edfSyn = new QLineEdit(pnFindEx);
    mmfPrim = CriteriaMemo(pnFindEx);
    mmfAction = CriteriaMemo(pnFindEx);
    Button1 = new QPushButton(Q("Очистить (Ctrl+Del)"), pnFindEx);
    btnFindEx = new QPushButton(Q("Искать (Ctrl+Enter)"), pnFindEx);
    cbPckt = new QComboBox(pnFindEx);
    cbPckt->setEditable(false);
    Button2 = new QPushButton(Q("Показать"), pnFindEx);

    auto* v = new QVBoxLayout(pnFindEx);
    v->addWidget(new QLabel(Q("Наименование:"), pnFindEx));
    v->addWidget(edfName);
    v->addWidget(new QLabel(Q("Синонимы:"), pnFindEx));
    v->addWidget(edfSyn);
    v->addWidget(new QLabel(Q("Показания к применению:"), pnFindEx));
    v->addWidget(mmfPrim);
    v->addWidget(new QLabel(Q("Фармакологическое действие:"), pnFindEx));
    v->addWidget(mmfAction);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch();
    buttons->addWidget(btnFindEx);
    v->addLayout(buttons);
    v->addWidget(new QLabel(Q("Пакет обновления:"), pnFindEx));
    auto* packets = new QHBoxLayout;
    packets->addWidget(cbPckt, 1);
    packets->addWidget(Button2);
    v->addLayout(packets);

    for (QWidget* w : {static_cast<QWidget*>(edfName), static_cast<QWidget*>(edfSyn),
                       static_cast<QWidget*>(mmfPrim), static_cast<QWidget*>(mmfAction)})
        w->installEventFilter(this);
    connect(btnFindEx, &QPushButton::clicked, this, [this] { btnFindExClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

SearchCriteria ExtendedSearchPage::Criteria() const {
    return {edfName->text(), edfSyn->text(), mmfPrim->toPlainText(), mmfAction->toPlainText()};
}

void ExtendedSearchPage::SetPacketEntries(const QStringList& entries) {
    cbPckt->clear();
    cbPckt->addItems(entries);
    cbPckt->setCurrentIndex(-1);
}

void ExtendedSearchPage::FocusName() {
    edfName->setFocus();
}

void ExtendedSearchPage::btnFindExClick() {
    // The page leaves the description alone: it is hidden while the page is shown.
    RunExtendedSearch(host_, this, Criteria());
}

void ExtendedSearchPage::Button1Click() {
    edfName->clear();
    edfSyn->clear();
    mmfPrim->clear();
    mmfAction->clear();
}

void ExtendedSearchPage::Button2Click() {
    RunPacketFilter(host_, this, cbPckt->currentIndex(), cbPckt->currentText());
}

void ExtendedSearchPage::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    const double left = (width() - pnFindEx->width()) / 2.0;
    pnFindEx->move(static_cast<int>(std::lrint(left)), pnFindEx->y());
}

bool ExtendedSearchPage::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        switch (CriteriaKeyOf(static_cast<QKeyEvent*>(e))) {
            case CriteriaKey::Search:
                btnFindExClick();
                return true;
            case CriteriaKey::Clear:
                Button1Click();
                return true;
            case CriteriaKey::None:
                break;
        }
    } else if (e->type() == QEvent::KeyRelease && watched == edfName) {
        auto* k = static_cast<QKeyEvent*>(e);
        const auto all = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
        if (k->key() == Qt::Key_Backspace && (k->modifiers() & ~Qt::KeypadModifier) == all &&
            !k->isAutoRepeat()) {
            RunIndexRebuild(host_, this);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace orv::app
