#include "app/display/description_controller.h"

#include <QMessageBox>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>

#include "app/display/description_view.h"
#include "app/display/full_description_window.h"
#include "app/lists/lists_controller.h"
#include "app/shell/error_box.h"
#include "app/shell/program_state.h"
#include "db/inn_keys.h"
#include "db/reference.h"
#include "display/description.h"
#include "display/picture.h"
#include "display/tree_row.h"
#include "settings/settings_keys.h"
#include "util/error.h"

namespace orv::app {

DescriptionController::DescriptionController(ProgramState& state, QTabWidget* pc2,
                                             DescriptionView* view, FieldPanes* panes,
                                             FullDescriptionWindow* reading, ListsController* lists,
                                             QWidget* window)
    : QObject(window),
      state_(state),
      pc2_(pc2),
      view_(view),
      panes_(panes),
      reading_(reading),
      lists_(lists),
      window_(window) {
    connect(pc2_, &QTabWidget::currentChanged, this, [this] {
        if (!commandTabChange_)
            pc2Change();
    });
    connect(view_, &DescriptionView::navigateComplete, this,
            &DescriptionController::wbNavigateComplete2);
    connect(view_->wb, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() != QLatin1String(kPageLinkScheme))
            return;
        bool ok = false;
        const long long id = url.path().toLongLong(&ok);
        if (ok && openPreparation)
            openPreparation(id);
    });
    connect(panes_, &FieldPanes::paneDoubleClicked, this, [this](const QString& text) {
        if (reading_)
            reading_->ShowFullDescription(text);
    });
}

QString DescriptionController::PageFile() const {
    return QString::fromStdString(state_.programDir + "source.nvg");
}

QString DescriptionController::PrintFile() const {
    return QString::fromStdString(state_.programDir + "NorvelSoftWare.html");
}

DataSet* DescriptionController::CurrentSource(bool& fromWork) {
    fromWork = false;
    Reference& ref = state_.Ref();
    if (!lists_->TreeActive())
        return ref.qMain.Active() && !ref.qMain.IsEmpty() ? &ref.qMain : nullptr;
    const long long id = lists_->CurrentTreeId();
    if (id <= 0)
        return nullptr;  // a group node, or no node at all
    DataSet* data =
        LocateTreePreparation(ref, id, lists_->CurrentTreeName().toStdString(), fromWork);
    if (data == &ref.qMain)
        lists_->FollowList();
    return data;
}

void DescriptionController::gbAllClick() {
    if (!state_.HasReference())
        return;
    Guarded(window_, [&] {
        bool fromWork = false;
        DataSet* data = CurrentSource(fromWork);
        if (!data && lists_->TreeActive())
            return;  // nothing on screen changes
        Reference& ref = state_.Ref();
        TDisplayRec rec;
        if (data)
            rec = FillDisplayRec(*data, ref.qIzg, ref.NameColumn());
        if (!fromWork && showStatus)
            showStatus(QString::fromStdString(rec.Name));
        switch (pc2_->currentIndex()) {
            case 0: {
                PageOptions options = Options();
                if (data) {
                    options.picturePath = PicturePath(state_.pictDir, data->AsInteger("id"));
                    AddAnalogues(options, data->AsInteger("id"));
                }
                WriteDescriptionPage(PageFile().toStdString(), rec, options);
                view_->Navigate(PageFile());
                panes_->ShowByItems(rec);
                if (data && pageShown)
                    pageShown(data->AsInteger("id"));
                break;
            }
            case 1:
                panes_->ShowByItems(rec);
                if (data && pageShown)
                    pageShown(data->AsInteger("id"));
                break;
            default:
                break;
        }
    });
}

void DescriptionController::pc2Change() {
    gbAllClick();
}

void DescriptionController::ShowDescriptionTab() {
    commandTabChange_ = true;
    pc2_->setCurrentIndex(0);
    commandTabChange_ = false;
    view_->wb->setFocus();
}

void DescriptionController::ShowPanesTab() {
    commandTabChange_ = true;
    pc2_->setCurrentIndex(1);
    commandTabChange_ = false;
}

void DescriptionController::ShowExtSearchTab() {
    commandTabChange_ = true;
    pc2_->setCurrentIndex(2);
    commandTabChange_ = false;
    if (QWidget* page = pc2_->currentWidget())
        page->setFocus();
}

void DescriptionController::OpenPane(Pane pane) {
    if (reading_)
        reading_->ShowFullDescription(panes_->PaneText(pane));
}

void DescriptionController::ScrollBy(int dy) {
    view_->ScrollBy(dy);
}

long long DescriptionController::PreparePrint() {
    // With the tree active, a preparation node prints that preparation; a group node prints
    // nothing (there is no description to print).
    bool fromWork = false;
    DataSet* data = CurrentSource(fromWork);
    if (!data)
        throw Error("nothing to print");
    Reference& ref = state_.Ref();
    PageOptions options = Options();
    AddAnalogues(options, data->AsInteger("id"));
    WritePageForCurrentRow(*data, ref.qIzg, ref.NameColumn(), state_.pictDir, options,
                           PrintFile().toStdString());
    view_->Navigate(PrintFile());
    return data->AsInteger("id");
}

void DescriptionController::AddAnalogues(PageOptions& options, std::int64_t id) {
    // A look-up of the page: a failure leaves the line out and the page is still shown.
    Quietly([&] {
        Reference& ref = state_.Ref();
        AnalogueList list = AnaloguesOf(ref.Db(), id, ref.NameColumn(), kPageAnalogues);
        options.analoguesTotal = list.total;
        for (Analogue& a : list.items)
            options.analogues.push_back({a.id, std::move(a.name)});
    });
}

PageOptions DescriptionController::Options() const {
    PageOptions options;
    options.sections = sections ? sections() : DesignSectionList();
    options.highlightSearchWords = state_.highlightSearchWords;
    if (filterText)
        options.filterText = filterText().toStdString();
    return options;
}

void DescriptionController::miPrintClick() {
    if (!state_.HasReference())
        return;
    Quietly([&] {
        const long long id = PreparePrint();
        state_.printRequest = PrintRequest::Preview;
        if (printed)
            printed(id);
    });
}

void DescriptionController::tbPrintClick() {
    if (!state_.HasReference())
        return;
    const bool yes =
        confirmQuickPrint
            ? confirmQuickPrint()
            : QMessageBox::question(window_, QStringLiteral("Подтверждение печати"),
                                    QStringLiteral("Распечатать информацию по текущему препарату?"),
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    if (!yes)
        return;
    Quietly([&] {
        const long long id = PreparePrint();
        state_.printRequest = PrintRequest::Quick;
        if (printed)
            printed(id);
    });
}

void DescriptionController::wbNavigateComplete2() {
    const PrintRequest request = state_.printRequest;
    if (request == PrintRequest::None)
        return;
    state_.printRequest = PrintRequest::None;
    bool noPrinter = false;
    Quietly([&] {
        if (request == PrintRequest::Preview)
            printer_.Preview(*view_->wb->document(), window_);
        else
            noPrinter = !printer_.QuickPrint(*view_->wb->document());
    });
    gbAllClick();  // writes the preparation's name to the status line
    if (noPrinter && showStatus)
        showStatus(QStringLiteral("Принтер не найден"));
}

}  // namespace orv::app
