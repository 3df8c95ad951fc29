#include "app/search/extended_search_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/search/search_commands.h"

namespace orv::app {

namespace {
QString Q(const char* s) {
    return QString::fromUtf8(s);
}
QGroupBox* Framed(const char* caption, QWidget* inner, QWidget* parent) {
    auto* box = new QGroupBox(Q(caption), parent);
    auto* l = new QVBoxLayout(box);
    l->setContentsMargins(6, 4, 6, 6);
    l->addWidget(inner);
    return box;
}
QPlainTextEdit* CriteriaMemo() {
    auto* m = new QPlainTextEdit;
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setTabChangesFocus(true);
    return m;
}
}  // namespace

ExtendedSearchDialog::ExtendedSearchDialog(SearchHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      host_(host) {
    setWindowTitle(Q("Расширенный поиск"));
    setFixedSize(451, 351);
    edfName = new QLineEdit;
    edfSyn = new QLineEdit;
    mmfPrim = CriteriaMemo();
    mmfAction = CriteriaMemo();
    btnFindEx = new QPushButton(Q("Искать"), this);
    Button1 = new QPushButton(Q("Очистить"), this);
    Button2 = new QPushButton(Q("Закрыть"), this);
    for (QPushButton* b : {btnFindEx, Button1, Button2})
        b->setAutoDefault(false);

    auto* v = new QVBoxLayout(this);
    v->addWidget(Framed("Наименование", edfName, this));
    v->addWidget(Framed("Синонимы", edfSyn, this));
    v->addWidget(Framed("Показания к применению", mmfPrim, this), 1);
    v->addWidget(Framed("Фармакологическое действие", mmfAction, this), 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnFindEx);
    buttons->addWidget(Button1);
    buttons->addStretch();
    buttons->addWidget(Button2);
    v->addLayout(buttons);

    connect(btnFindEx, &QPushButton::clicked, this, [this] { btnFindExClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { reject(); });
}

SearchCriteria ExtendedSearchDialog::Criteria() const {
    return {edfName->text(), edfSyn->text(), mmfPrim->toPlainText(), mmfAction->toPlainText()};
}

void ExtendedSearchDialog::btnFindExClick() {
    if (RunExtendedSearch(host_, this, Criteria()))
        accept();
}

void ExtendedSearchDialog::Button1Click() {
    edfName->clear();
    edfSyn->clear();
    mmfPrim->clear();
    mmfAction->clear();
}

void ExtendedSearchDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        Button1Click();  // the dialog always opens blank
        edfName->setFocus();
    }
}

}  // namespace orv::app
