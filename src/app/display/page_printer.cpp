#include "app/display/page_printer.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <memory>

namespace orv::app {

void PagePrinter::Preview(const QTextDocument& page, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, parent);
    std::unique_ptr<QTextDocument> copy(page.clone());
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                     [&copy](QPrinter* p) { copy->print(p); });
    dialog.exec();
}

bool PagePrinter::QuickPrint(const QTextDocument& page) {
    QPrinter printer(QPrinter::HighResolution);
    if (!pdfFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFile);
    } else if (!printer.isValid()) {
        return false;
    }
    page.print(&printer);
    return true;
}

}  // namespace orv::app
