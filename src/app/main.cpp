// The desktop program. For now: opens the reference beside the executable and shows its size.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>

#include "db/reference.h"
#include "util/error.h"
#include "util/paths.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString title = QStringLiteral("Справочная система лекарственных препаратов");
    try {
        orv::Reference ref(orv::ExecutableDir());
        const int total = ref.TotalPreparations();
        QLabel label(QStringLiteral("Препаратов в справочнике: %1").arg(total));
        label.setWindowTitle(title + QStringLiteral(" - Norvel"));
        label.setMargin(24);
        label.show();
        return QApplication::exec();
    } catch (const orv::Error& e) {
        QMessageBox::critical(nullptr, title, QString::fromUtf8(e.what()));
        return 1;
    }
}
