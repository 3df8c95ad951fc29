#include "search/quick_filter.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QMessageBox>
#include <QTabWidget>

#include "db/reference.h"
#include "lists/lists_controller.h"
#include "search/filter_edit.h"
#include "search/filter_panel.h"
#include "search/search_bridge.h"
#include "shell/program_state.h"
#include "shell/wait_cursor.h"
#include "util/text.h"

namespace orv::app {

QuickFilter::QuickFilter(ProgramState& state, FilterPanel* panel, ListsController* lists,
                         QWidget* window)
    : QObject(window), state_(state), panel_(panel), lists_(lists), window_(window) {
    delay_.setInterval(200);
    connect(&delay_, &QTimer::timeout, this, &QuickFilter::DelayTimer);
    FilterEdit* box = panel_->edFilter;
    connect(box, &QLineEdit::textChanged, this, &QuickFilter::edFilterChange);
    connect(box, &FilterEdit::enterReleased, this, &QuickFilter::edFilterEnter);
    connect(box, &FilterEdit::ctrlTapped, this, [this] { panel_->edFilter->clear(); });
    connect(box, &FilterEdit::movingKeyPressed, this, &QuickFilter::FocusActiveGrid);
}

void QuickFilter::Status(const QString& text) {
    if (showStatus)
        showStatus(text);
}

void QuickFilter::edFilterChange() {
    filterUnchanged_ = false;
    if (!delay_.isActive())
        delay_.start();  // a running period is not restarted
}

void QuickFilter::DelayTimer() {
    if (filterUnchanged_) {
        state_.highlightSearchWords = false;
        DataSet* data = lists_->ActiveDataSet();
        const std::string text = Trim(panel_->edFilter->text().toStdString());
        if (data && searchcore::LocateName(*data, state_.NameColumn(), text)) {
            lists_->FollowCursor();
            if (gbAllClick)
                gbAllClick();
        } else {
            Status(QStringLiteral("Препарат не найден."));
        }
        delay_.stop();
    }
    filterUnchanged_ = true;
}

void QuickFilter::edFilterEnter() {
    state_.highlightSearchWords = false;
    if (!panel_->edFilter->text().isEmpty())
        sbFilterClick();
    else
        N15Click();
}

void QuickFilter::sbFilterClick() {
    if (!panel_->usearch->isChecked()) {
        state_.highlightSearchWords = false;
        FilterTableName(panel_->edFilter->text());
    } else {
        UniversalSearch();
    }
}

void QuickFilter::FilterTableName(const QString& text) {
    Reference& ref = state_.Ref();
    bool done = false;
    {
        WaitCursor wait;
        OnExit reopened([&] {
            if (done || !ref.qMain.Active())
                lists_->ListReopened();
        });
        done = searchcore::FilterTableName(ref, text.toStdString());
    }
    if (done && gbAllClick)
        gbAllClick();
}

void QuickFilter::UniversalSearch() {
    Reference& ref = state_.Ref();
    std::string text = panel_->edFilter->text().toStdString();
    bool done = false;
    {
        WaitCursor wait;
        Status(QStringLiteral("Выполнение запроса..."));
        OnExit reopened([&] {
            if (done || !ref.qMain.Active())
                lists_->ListReopened();
        });
        done = searchcore::UniversalSearch(ref, text);
    }
    if (!done) {
        QMessageBox::warning(window_, QStringLiteral("Недостаточно данных"),
                             QStringLiteral("Необходимо ввести критерии поиска!"), QMessageBox::Ok);
        return;
    }
    Status(QStringLiteral("Запрос выполнен. Найдено %1").arg(ref.qMain.RecordCount()));
    state_.highlightSearchWords = true;
    if (gbAllClick)
        gbAllClick();
}

void QuickFilter::FilterTableSynonim() {
    Reference& ref = state_.Ref();
    if (!ref.qMain.Active() || ref.qMain.IsEmpty())
        return;
    Status(QStringLiteral("Производится выборка по синонимам..."));
    bool done = false;
    {
        WaitCursor wait;
        OnExit reopened([&] {
            if (done || !ref.qMain.Active())
                lists_->ListReopened();
        });
        done = searchcore::FilterTableSynonim(ref, panel_->edFilter->text().toStdString());
    }
    if (!done)
        return;
    if (gbAllClick)
        gbAllClick();
    lists_->ShowListTabQuietly();
    Status(QStringLiteral("Готово"));
}

void QuickFilter::N15Click() {
    state_.highlightSearchWords = false;
    try {
        Reference& ref = state_.Ref();
        DataSet* active = lists_->ActiveDataSet();
        OnExit reopened([&] { lists_->ListReopened(); });
        searchcore::ResetSelection(ref, active ? *active : ref.qMain);
    } catch (...) {
        // a failed reset changes nothing the user must hear about
    }
}

void QuickFilter::SpeedButton1Click() {
    Reference& ref = state_.Ref();
    OnExit reopened([&] { lists_->ListReopened(); });
    searchcore::ShowAll(ref);
}

void QuickFilter::TypeIntoBox(const QString& text) {
    FilterEdit* box = panel_->edFilter;
    box->setFocus();
    box->setText(box->text() + text);
    box->end(false);
}

void QuickFilter::ClearBox() {
    panel_->edFilter->clear();
    panel_->edFilter->setFocus();
}

void QuickFilter::FocusActiveGrid() {
    lists_->ActiveGrid()->setFocus();
}

}  // namespace orv::app
