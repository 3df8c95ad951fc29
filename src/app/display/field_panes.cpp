#include "app/display/field_panes.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/display/description_view.h"
#include "display/display_rec.h"
#include "util/text.h"

namespace orv::app {

namespace {
struct PaneLayout {
    Pane pane;
    const char* name;
    const char* caption;
};
// Rows top to bottom, left pane first.
const PaneLayout kLayout[kPaneCount] = {
    {Pane::Syn, "mmSyn", "Синонимы (F2)"},
    {Pane::FGr, "mmFGr", "Фарм. группа (Shift+F2)"},
    {Pane::Izg, "mmIzg", "Производители (F3)"},
    {Pane::Sostav, "mmSostav", "Состав (Shift+F3)"},
    {Pane::Pokaz, "mmPokaz", "Показания к применению (F4)"},
    {Pane::PPokaz, "mmPPokaz", "Противопокозания (Shift+F4)"},
    {Pane::Action, "mmAction", "Фарм. действие (F5)"},
    {Pane::VAction, "mmVAction", "Взаимодействие (Shift+F5)"},
    {Pane::Doza, "mmDoza", "Способ применения и дозы (F6)"},
    {Pane::Peredoz, "mmPeredoz", "Передозировка (Shift+F6)"},
    {Pane::LekFrm, "mmLekFrm", "Лекарственные формы (F8)"},
    {Pane::Stor, "mmStor", "Условия хранения (Shift+F8)"},
    {Pane::Special, "mmSpec", "Особые указания (F7)"},
    {Pane::PAction, "mmPAction", "Побочное действие (Shift+F7)"},
};

QFont SansSerif8(bool bold) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(8);
    f.setBold(bold);
    return f;
}
}  // namespace

FieldPanes::FieldPanes(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsGr"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(2);
    auto* container = new QWidget(this);
    auto* rows = new QVBoxLayout(container);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    for (int r = 0; r < 7; ++r) {
        auto* row = new QHBoxLayout;
        row->setSpacing(0);
        for (int c = 0; c < 2; ++c) {
            const PaneLayout& entry = kLayout[r * 2 + c];
            auto* frame = new QGroupBox(QString::fromUtf8(entry.caption), container);
            frame->setFont(SansSerif8(true));
            auto* edit = new QPlainTextEdit(frame);
            edit->setObjectName(QString::fromLatin1(entry.name));
            edit->setReadOnly(true);
            edit->setFont(SansSerif8(false));
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            edit->viewport()->installEventFilter(this);
            auto* inner = new QVBoxLayout(frame);
            inner->setContentsMargins(2, 2, 2, 2);
            inner->addWidget(edit);
            row->addWidget(frame, 1);
            panes_[static_cast<size_t>(entry.pane)] = edit;
        }
        rows->addLayout(row, 1);
    }
    outer->addWidget(container, 1);
    lbWarning1 = MakeWarningLabel(this, QStringLiteral("lbWarning1"));
    outer->addWidget(lbWarning1);
}

void FieldPanes::ShowByItems(const TDisplayRec& rec) {
    auto set = [this](Pane p, const std::string& text) {
        panes_[static_cast<size_t>(p)]->setPlainText(QString::fromStdString(StripMarkup(text)));
    };
    set(Pane::Syn, rec.Synonyms);
    set(Pane::FGr, rec.PharmGroup);
    set(Pane::Izg, rec.Manufacturers);
    set(Pane::Sostav, rec.Composition);
    set(Pane::Pokaz, rec.Indications);
    set(Pane::PPokaz, rec.Contraindications);
    set(Pane::Action, rec.PharmAction);
    set(Pane::VAction, rec.Interactions);
    set(Pane::Doza, rec.Dosage);
    set(Pane::Peredoz, rec.Overdose);
    set(Pane::Special, rec.SpecialNotes);
    set(Pane::PAction, rec.SideEffects);
    set(Pane::LekFrm, rec.DosageForms);
    set(Pane::Stor, rec.Storage);
}

QString FieldPanes::PaneText(Pane pane) const {
    return panes_[static_cast<size_t>(pane)]->toPlainText();
}

bool FieldPanes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (QPlainTextEdit* edit : panes_) {
            if (edit->viewport() == watched) {
                emit paneDoubleClicked(edit->toPlainText());
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orv::app
