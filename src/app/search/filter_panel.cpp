#include "app/search/filter_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QResizeEvent>
#include <QToolButton>

#include "app/search/filter_edit.h"
#include "app/shell/icons.h"

namespace orv::app {

FilterPanel::FilterPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnFilter"));
    setFixedHeight(54);
    edFilter = new FilterEdit(this);
    sbFilter = new QToolButton(this);
    sbFilter->setObjectName(QStringLiteral("sbFilter"));
    sbFilter->setToolTip(QStringLiteral("Выбрать"));
    sbFilter->setAutoRaise(true);
    sbFilter->setIcon(AppIcon(IconId::Filter));
    sbFilter->setFocusPolicy(Qt::NoFocus);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(AppIcon(IconId::Counter).pixmap(16, 16));
    RecC = new QLabel(this);
    RecC->setObjectName(QStringLiteral("RecC"));
    QFont bold = RecC->font();
    bold.setBold(true);
    RecC->setFont(bold);
    usearch = new QCheckBox(QStringLiteral("Расширенный поиск"), this);
    usearch->setObjectName(QStringLiteral("usearch"));
    usearch->setToolTip(
        QStringLiteral("Универсальный поиск, поиск по полям: название, синонимы, "
                       "показание применения, фармокологическое действие"));
    usearch->setFocusPolicy(Qt::NoFocus);
}

void FilterPanel::resizeEvent(QResizeEvent* e) {
    const int w = e->size().width();
    edFilter->setGeometry(2, 3, std::max(10, w - 31), 24);
    sbFilter->setGeometry(w - 25, 3, 24, 24);
    Image1->setGeometry(4, 32, 16, 16);
    // The check box keeps its whole caption at the right edge; the counter has the rest.
    const int boxWidth = usearch->sizeHint().width();
    const int boxLeft = std::max(28, w - boxWidth - 4);
    usearch->setGeometry(boxLeft, 30, boxWidth, 20);
    RecC->setGeometry(24, 30, std::max(4, boxLeft - 28), 20);
    QWidget::resizeEvent(e);
}

}  // namespace orv::app
