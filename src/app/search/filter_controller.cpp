#include "search/filter_controller.h"
#include "search/quick_filter.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QMessageBox>

#include "db/reference.h"
#include "lists/lists_controller.h"
#include "search/analogues.h"
#include "search/command_result.h"
#include "search/filter_edit.h"
#include "search/filter_panel.h"
#include "search/forgiving_search.h"
#include "search/open_preparation.h"
#include "search/suggestion_popup.h"
#include "shell/error_box.h"
#include "shell/program_state.h"
#include "shell/wait_cursor.h"

namespace orv::app {

QuickFilter::QuickFilter(ProgramState& state, FilterPanel* panel, ListsController* lists,
                         QWidget* window)
    : QObject(window),
      state_(state),
      panel_(panel),
      lists_(lists),
      window_(window),
      suggestions_(new SuggestionPopup(panel->edFilter, window)) {
    // The packet runs of this program announce themselves (NamesChanged).
    names_.WatchOtherConnectionsOnly(true);
    delay_.setInterval(200);
    connect(&delay_, &QTimer::timeout, this, &QuickFilter::DelayTimer);
    FilterEdit* box = panel_->edFilter;
    connect(box, &QLineEdit::textChanged, this, &QuickFilter::edFilterChange);
    connect(box, &FilterEdit::enterReleased, this, &QuickFilter::edFilterEnter);
    connect(box, &FilterEdit::ctrlTapped, this, [this] { panel_->edFilter->clear(); });
    connect(box, &FilterEdit::movingKeyPressed, this, &QuickFilter::FocusActiveGrid);
    connect(suggestions_, &SuggestionPopup::taken, this, &QuickFilter::TakeSuggestion);
}

const NameMatcher* QuickFilter::Names() {
    const NameMatcher* matcher = nullptr;
    Quietly([&] {
        if (state_.HasReference())
            matcher = &names_.Matcher(state_.Ref());
    });
    return matcher;
}

NameSource QuickFilter::NameSourceFn() {
    return [this] { return Names(); };
}

void QuickFilter::NamesChanged() {
    names_.Invalidate();
    Names();
}

void QuickFilter::SetBoxQuietly(const QString& text) {
    panel_->edFilter->setText(text);
    delay_.stop();
}

void QuickFilter::Status(const QString& text) {
    if (showStatus)
        showStatus(text);
}

void QuickFilter::Show(const CommandResult& r) {
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
    if (r.status)
        Status(QString::fromStdString(*r.status));
    if (r.filterText)
        SetBoxQuietly(QString::fromStdString(*r.filterText));
    if (!r.suggestions.empty())
        suggestions_->Offer(r.suggestions);
}

void QuickFilter::Run(bool hourglass, const std::function<CommandResult()>& command) {
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

void QuickFilter::edFilterChange() {
    filterDelay_.Changed();
    if (!delay_.isActive())
        delay_.start();  // a running period is not restarted
}

void QuickFilter::DelayTimer() {
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

void QuickFilter::edFilterEnter() {
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

void QuickFilter::sbFilterClick() {
    const std::string text = panel_->edFilter->text().toStdString();
    const bool universal = panel_->usearch->isChecked();
    auto status = [this](const std::string& s) { Status(QString::fromStdString(s)); };
    Run(true, [&] { return SubmitFilter(state_.Ref(), text, universal, status); });
}

void QuickFilter::FilterTableName(const QString& text) {
    const std::string t = text.toStdString();
    Run(true, [&] { return orv::FilterTableName(state_.Ref(), t); });
}

void QuickFilter::FilterTableSynonim() {
    const std::string text = panel_->edFilter->text().toStdString();
    auto status = [this](const std::string& s) { Status(QString::fromStdString(s)); };
    Run(true, [&] { return orv::FilterTableSynonim(state_.Ref(), text, status); });
}

void QuickFilter::N15Click() {
    DataSet* active = lists_->ActiveDataSet();
    if (!active)
        return;
    Run(false, [&] { return orv::N15Click(state_.Ref(), *active); });
}

void QuickFilter::SpeedButton1Click() {
    Run(false, [&] { return ShowAll(state_.Ref()); });
}

void QuickFilter::FilterTableAnalogues() {
    DataSet* active = lists_->ActiveDataSet();
    if (!active)
        return;
    Run(true, [&] { return orv::FilterTableAnalogues(state_.Ref(), *active); });
}

void QuickFilter::OpenPreparation(long long id) {
    // The page shows the list's row: the list tab comes first.
    if (lists_->TreeActive())
        lists_->ShowListTabQuietly();
    Run(false, [&] { return orv::OpenPreparation(state_.Ref(), id); });
}

void QuickFilter::TakeSuggestion(const NameSuggestion& name) {
    if (lists_->TreeActive())
        lists_->ShowListTabQuietly();
    panel_->edFilter->setFocus();
    Run(false, [&] { return orv::TakeSuggestion(state_.Ref(), name); });
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
