#pragma once
// From the current row to the description on screen: the selection handler gbAllClick, the
// view tabs, the field keys and printing.
#include <QObject>
#include <cstdint>
#include <functional>

#include "app/display/field_panes.h"
#include "app/display/page_printer.h"
#include "util/stored_forms.h"

class QTabWidget;

namespace orv {
class DataSet;
struct PageOptions;
}  // namespace orv

namespace orv::app {

struct ProgramState;
class DescriptionView;
class FullDescriptionWindow;
class ListsController;

class DescriptionController : public QObject {
    Q_OBJECT
  public:
    DescriptionController(ProgramState& state, QTabWidget* pc2, DescriptionView* view,
                          FieldPanes* panes, FullDescriptionWindow* reading, ListsController* lists,
                          QWidget* window);

    void SetReadingWindow(FullDescriptionWindow* reading) { reading_ = reading; }

    void gbAllClick();
    // The view tab commands change the tab without redrawing it.
    void ShowDescriptionTab();
    void ShowPanesTab();
    void ShowExtSearchTab();
    // F2...F8, Shift+F3...Shift+F8: one pane in the reading window.
    void OpenPane(Pane pane);
    void ScrollBy(int dy);

    void miPrintClick();  // preview
    void tbPrintClick();  // quick print after confirmation
    void wbNavigateComplete2();

    PagePrinter& Printer() { return printer_; }
    QString PageFile() const;   // source.nvg
    QString PrintFile() const;  // NorvelSoftWare.html

    std::function<QString()> filterText;                // the filter box, for highlighting
    std::function<std::vector<CheckEntry>()> sections;  // the section list of the settings
    std::function<void(const QString&)> showStatus;
    std::function<bool()> confirmQuickPrint;            // default: a Yes/No message box
    std::function<void(long long id)> openPreparation;  // a link on the page was clicked
    std::function<void(long long id)> pageShown;        // a preparation's description is shown
    std::function<void(long long id)> printed;          // a preparation went to the printer

    static constexpr int kPageAnalogues = 50;  // names the "Аналоги" line lists at most

  private:
    void pc2Change();
    // The data set whose current row is the preparation to show or print; null for nothing.
    DataSet* CurrentSource(bool& fromWork);
    long long PreparePrint();  // the id of the preparation printed
    PageOptions Options() const;
    void AddAnalogues(PageOptions& options, std::int64_t id);

    ProgramState& state_;
    QTabWidget* pc2_;
    DescriptionView* view_;
    FieldPanes* panes_;
    FullDescriptionWindow* reading_;
    ListsController* lists_;
    QWidget* window_;
    PagePrinter printer_;
    bool commandTabChange_ = false;
};

}  // namespace orv::app
