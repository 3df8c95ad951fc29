#include "app/search/search_commands.h"

#include <QMessageBox>
#include <QWidget>
#include <optional>

#include "app/search/extended_search_dialog.h"
#include "app/shell/error_box.h"
#include "app/shell/run_reported.h"
#include "app/shell/wait_cursor.h"
#include "db/reference.h"
#include "search/extended_search.h"
#include "search/index_rebuild.h"

namespace orv::app {

namespace {

QString U(const std::string& s) {
    return QString::fromStdString(s);
}

// What a search command left for the window: status, message box, the list's new result.
void ShowResult(SearchHost& host, QWidget* parent, const CommandResult& r) {
    if (r.listChanged)
        host.ListReopened();
    if (r.status)
        host.ShowStatus(U(*r.status));
    else if (r.statusBeforeCount)
        host.ShowStatus(U(*r.statusBeforeCount + std::to_string(host.Ref().qMain.RecordCount())));
    if (r.message) {
        const QString title = r.message->title.empty() ? AppTitle() : U(r.message->title);
        QMessageBox box(r.message->icon == MessageBoxText::Icon::Exclamation ? QMessageBox::Warning
                                                                             : QMessageBox::NoIcon,
                        title, U(r.message->text), QMessageBox::Ok, parent);
        box.exec();
    }
}

// A failed statement leaves qMain closed: the views must follow before the error is shown.
template <class F>
bool RunListCommand(SearchHost& host, QWidget* parent, F&& command) {
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        host.ListReopened();
        ShowErrorBox(parent, QString::fromUtf8(e.what()));
        return false;
    }
}

}  // namespace

bool RunExtendedSearch(SearchHost& host, QWidget* parent, const SearchCriteria& criteria) {
    ExtendedCriteria c;
    c.name = criteria.name.toStdString();
    c.synonyms = criteria.synonyms.toStdString();
    c.indications = criteria.indications.toStdString();
    c.action = criteria.action.toStdString();
    CommandResult result;
    const bool ok = RunListCommand(host, parent, [&] {
        std::optional<WaitCursor> wait;
        result = ExtendedSearch(host.Ref(), c, [&](const std::string& text) {
            if (!wait)
                wait.emplace();
            host.ShowStatus(U(text));
        });
    });
    if (!ok)
        return false;
    ShowResult(host, parent, result);
    return result.listChanged;
}

void RunPacketFilter(SearchHost& host, QWidget* parent, int selectedIndex,
                     const QString& selectedText) {
    std::optional<std::string> entry;
    if (selectedIndex >= 0)
        entry = selectedText.toStdString();
    CommandResult result;
    if (RunListCommand(host, parent, [&] { result = PacketFilter(host.Ref(), entry); }))
        ShowResult(host, parent, result);
}

void OpenExtendedSearchDialog(SearchHost& host, ExtendedSearchDialog& dialog) {
    dialog.exec();
    host.SetHighlightSearchWords(false);
    host.ShowCurrentDescription();
}

void RunIndexRebuild(SearchHost& host, QWidget* parent) {
    Reference& ref = host.Ref();
    DataSet& list = ref.qMain;
    // The walk leaves the list past its end while the grid and the page stay on their row:
    // the list goes back to that row, also after a failed rebuild.
    std::optional<Value> id;
    if (list.Active() && !list.Eof())
        id = list.Field("id");
    OnExit back([&] {
        if (id)
            list.Locate("id", *id);
    });
    RunReported(parent, [&] {
        RebuildIndexTable(list, ref.FilePath("source.bin"),
                          [&](const std::string& text) { host.ShowStatus(U(text)); });
    });
}

}  // namespace orv::app
