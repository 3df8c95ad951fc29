#pragma once
// Printing the page shown in the browser pane: a preview with the printer dialog, or straight
// to the default printer. A PDF file can stand in for the printer (tests, machines without one).
#include <QString>

class QTextDocument;
class QWidget;

namespace orv::app {

class PagePrinter {
  public:
    void Preview(const QTextDocument& page, QWidget* parent);
    // False when there is no printer to print on.
    bool QuickPrint(const QTextDocument& page);

    QString pdfFile;  // when set, quick print writes this PDF file instead of printing
};

}  // namespace orv::app
