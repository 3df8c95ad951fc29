#include "app/search/quick_filter_controller.h"
#include "search/quick_filter.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QMessageBox>

#include "app/lists/lists_controller.h"
#include "app/search/filter_edit.h"
#include "app/search/filter_panel.h"
#include "app/search/suggestion_popup.h"
#include "app/shell/error_box.h"
#include "app/shell/program_state.h"
#include "app/shell/wait_cursor.h"
#include "db/reference.h"
#include "search/analogues.h"
#include "search/command_result.h"
#include "search/forgiving_search.h"
#include "search/open_preparation.h"

namespace orv::app {

QuickFilterController::QuickFilterController(ProgramState& state, FilterPanel* panel,
                                             ListsController* lists, QWidget* window)
    : QObject(window),
      state_(state),
      panel_(panel),
      lists_(lists),
      window_(window),
      suggestions_(new SuggestionPopup(panel->edFilter, window)) {
    // The packet runs of this program announce themselves (NamesChanged).
    names_.WatchOtherConnectionsOnly(true);
    delay_.setInterval(200);
    connect(&delay_, &QTimer::timeout, this, &QuickFilterController::DelayTimer);
    FilterEdit* box = panel_->edFilter;
    connect(box, &QLineEdit::textChanged, this, &QuickFilterController::edFilterChange);
    connect(box, &FilterEdit::enterReleased, this, &QuickFilterController::edFilterEnter);
    connect(box, &FilterEdit::ctrlTapped, this, [this] { panel_->edFilter->clear(); });
    connect(box, &FilterEdit::movingKeyPressed, this, &QuickFilterController::FocusActiveGrid);
    connect(suggestions_, &SuggestionPopup::taken, this, &QuickFilterController::TakeSuggestion);
}

const NameMatcher* QuickFilterController::Names() {
    const NameMatcher* matcher = nullptr;
    Quietly([&] {
        if (state_.HasReference())
            matcher = &names_.Matcher(state_.Ref());
    });
    return matcher;
}

NameSource QuickFilterController::NameSourceFn() {
    return [this] { return Names(); };
}

void QuickFilterController::NamesChanged() {
    names_.Invalidate();
    Names();
}

void QuickFilterController::SetBoxQuietly(const QString& text) {
    panel_->edFilter->setText(text);
    delay_.stop();
}

void QuickFilterController::Status(const QString& text) {
    if (showStatus)
        showStatus(text);
}

void QuickFilterController::Show(const CommandResult& r) {
    if (r.highlightSearchWords)
        state_.highlightSearchWords = *r.highlightSearchWords;
    if (r.message) {
        const QString title =
            r.message->title.empty() ? AppTitle() : QString::fromStdString(r.message->title);
        const QString text = QString::fromStdString(r.message->text);
        if (r.message->icon == MessageBoxText::Icon::Exclamation)
            QMessageBox::warning(window_, title, text, QMessageBox::Ok);
        else
            QMessageBox::information(window_, title, text, QMessageBox::Ok);
    }
    if (r.redraw && gbAllClick)
        gbAllClick();
    if (r.showListPage)
        lists_->ShowListTabQuietly();
    if (r.status) {
        Status(QString::fromStdString(*r.status));
    } else if (r.statusBeforeCount) {
        const QString text = QString::fromStdString(*r.statusBeforeCount);
        lists_->WhenCounted([this, text](int rows) { Status(text + QString::number(rows)); });
    }
    if (r.filterText)
        SetBoxQuietly(QString::fromStdString(*r.filterText));
    if (!r.suggestions.empty())
        suggestions_->Offer(r.suggestions);
}

void QuickFilterController::Run(bool hourglass, const std::function<CommandResult()>& command) {
    Reference& ref = state_.Ref();
    CommandResult result;
    {
        std::optional<WaitCursor> wait;
        if (hourglass)
            wait.emplace();
        bool listChanged = false;
        OnExit follow([&] {
            if (listChanged || !ref.qMain.Active())
                lists_->ListReopened();
        });
        result = command();
        listChanged = result.listChanged;
    }
    Show(result);
}

void QuickFilterController::edFilterChange() {
    filterDelay_.Changed();
    if (!delay_.isActive())
        delay_.start();  // a running period is not restarted
}

void QuickFilterController::DelayTimer() {
    if (!filterDelay_.Tick())
        return;
    delay_.stop();
    DataSet* active = lists_->ActiveDataSet();
    if (!active)
        return;
    const CommandResult r = LocateForgiving(*active, state_.NameColumn(), NameSourceFn(),
                                            panel_->edFilter->text().toStdString());
    if (r.redraw)
        lists_->FollowCursor();
    Show(r);
}

void QuickFilterController::edFilterEnter() {
    delay_.stop();  // the search replaces the locate that was due: its status stays
    DataSet* active = lists_->ActiveDataSet();
    if (!active)
        return;
    const std::string text = panel_->edFilter->text().toStdString();
    const bool universal = panel_->usearch->isChecked();
    auto status = [this](const std::string& s) { Status(QString::fromStdString(s)); };
    Run(true, [&] {
        return FilterEnterForgiving(state_.Ref(), NameSourceFn(), text, universal, *active, status);
    });
}

void QuickFilterController::sbFilterClick() {
    const std::string text = panel_->edFilter->text().toStdString();
    const bool universal = panel_->usearch->isChecked();
    auto status = [this](const std::string& s) { Status(QString::fromStdString(s)); };
    Run(true, [&] { return SubmitFilter(state_.Ref(), text, universal, status); });
}

void QuickFilterController::FilterTableName(const QString& text) {
    const std::string t = text.toStdString();
    Run(true, [&] { return orv::FilterTableName(state_.Ref(), t); });
}

void QuickFilterController::FilterTableSynonim() {
    const std::string text = panel_->edFilter->text().toStdString();
    auto status = [this](const std::string& s) { Status(QString::fromStdString(s)); };
    Run(true, [&] { return orv::FilterTableSynonim(state_.Ref(), text, status); });
}

void QuickFilterController::N15Click() {
    DataSet* active = lists_->ActiveDataSet();
    if (!active)
        return;
    Run(false, [&] { return orv::N15Click(state_.Ref(), *active); });
}

void QuickFilterController::SpeedButton1Click() {
    Run(false, [&] { return ShowAll(state_.Ref()); });
}

void QuickFilterController::FilterTableAnalogues() {
    DataSet* active = lists_->ActiveDataSet();
    if (!active)
        return;
    Run(true, [&] { return orv::FilterTableAnalogues(state_.Ref(), *active); });
}

void QuickFilterController::OpenPreparation(long long id) {
    // The page shows the list's row: the list tab comes first.
    if (lists_->TreeActive())
        lists_->ShowListTabQuietly();
    Run(false, [&] { return orv::OpenPreparation(state_.Ref(), id); });
}

void QuickFilterController::TakeSuggestion(const NameSuggestion& name) {
    if (lists_->TreeActive())
        lists_->ShowListTabQuietly();
    panel_->edFilter->setFocus();
    Run(false, [&] { return orv::TakeSuggestion(state_.Ref(), name); });
}

void QuickFilterController::TypeIntoBox(const QString& text) {
    FilterEdit* box = panel_->edFilter;
    box->setFocus();
    box->setText(box->text() + text);
    box->end(false);
}

void QuickFilterController::ClearBox() {
    panel_->edFilter->clear();
    panel_->edFilter->setFocus();
}

void QuickFilterController::FocusActiveGrid() {
    lists_->ActiveGrid()->setFocus();
}

}  // namespace orv::app
