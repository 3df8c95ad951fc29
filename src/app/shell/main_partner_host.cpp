#include "app/shell/main_partner_host.h"

#include "app/display/description_controller.h"
#include "app/lists/lists_controller.h"
#include "app/search/filter_edit.h"
#include "app/search/filter_panel.h"
#include "app/search/quick_filter_controller.h"
#include "app/shell/error_box.h"
#include "app/shell/main_window.h"
#include "app/shell/program_state.h"
#include "db/reference.h"
#include "util/error.h"
#include "util/text.h"

namespace orv::app {

void MainPartnerHost::SwitchToList() {
    w_.lists->ShowListTabQuietly();
}

void MainPartnerHost::ResetSelection() {
    w_.filter->N15Click();
}

void MainPartnerHost::SetFilterText(const QString& text) {
    w_.pnFilter->edFilter->setText(text);
}

void MainPartnerHost::FilterByName(const QString& text) {
    try {
        w_.filter->FilterTableName(text);
    } catch (const std::exception& e) {
        ShowErrorBox(&w_, QString::fromUtf8(e.what()));
        throw Error(e.what());
    }
}

DataSet& MainPartnerHost::ListDataSet() {
    return w_.State().Ref().qMain;
}

QString MainPartnerHost::NameColumn() const {
    return QString::fromStdString(w_.State().NameColumn());
}

void MainPartnerHost::ShowCurrentDescription() {
    w_.lists->FollowList();
    w_.description->gbAllClick();
}

void MainPartnerHost::ShowStatus(const QString& text) {
    w_.ShowStatus(text);
}

QString MainPartnerHost::ReplyPayload() const {
    FilterEdit* box = w_.pnFilter->edFilter;
    if (box->hasFocus() && !Trim(box->text().toStdString()).empty())
        return box->text();
    ProgramState& state = w_.State();
    // The row on screen: the tree's when the tree is shown.
    DataSet* active = w_.lists->ActiveDataSet();
    if (active == nullptr || !active->Active() || active->IsEmpty())
        return {};
    return QString::fromStdString(active->AsText(state.NameColumn()));
}

QWidget* MainPartnerHost::Window() {
    return &w_;
}

const NameMatcher* MainPartnerHost::Names() {
    return w_.filter->Names();
}

void MainPartnerHost::FocusFilterBox() {
    w_.pnFilter->edFilter->setFocus();
}

}  // namespace orv::app
