#include "app/update/update_window.h"

#include <QAbstractFileIconProvider>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include "app/shell/error_box.h"
#include "app/shell/run_reported.h"
#include "app/shell/wait_cursor.h"
#include "app/update/check_update_files.h"
#include "app/update/list_wrap.h"
#include "app/update/packet_core.h"
#include "app/update/packet_run_window.h"
#include "app/update/update_host.h"
#include "app/update/update_texts.h"
#include "db/reference.h"
#include "update/day_number.h"
#include "update/local_packets.h"
#include "update/packet_engine.h"

namespace orv::app {

namespace {
QString Q(const char* s) {
    return QString::fromUtf8(s);
}

// Icons and type names from the file name alone: no file is opened to sniff its content.
class NameOnlyIconProvider : public QAbstractFileIconProvider {
  public:
    QIcon icon(IconType type) const override { return QAbstractFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override {
        if (info.isDir())
            return Q("Папка");
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? Q("Файл") : Q("Файл ") + suffix;
    }
};

}  // namespace

UpdateWindow::UpdateWindow(UpdateHost& host, PacketRunWindow& engine, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      host_(host),
      engine_(engine) {
    setWindowTitle(Q(kUpdateWindowCaption));
    resize(520, 320);
    auto* band = new QGroupBox(Q("Пакеты обновлений"), this);
    dxDBGrid1 = new QTreeWidget(band);
    dxDBGrid1->setRootIsDecorated(false);
    dxDBGrid1->setHeaderLabels({Q("Номер"), Q("Дата/время обновления")});
    dxDBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    dxDBGrid1->header()->setStretchLastSection(true);
    dxDBGrid1->setColumnWidth(0, 70);
    auto* b = new QVBoxLayout(band);
    b->addWidget(dxDBGrid1);

    Button1 = new QPushButton(Q("Обновить из Интернета..."), this);
    Button2 = new QPushButton(Q("Обновить из файла..."), this);
    Button3 = new QPushButton(Q("Закрыть"), this);
    for (QPushButton* p : {Button1, Button2, Button3})
        p->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch();
    buttons->addWidget(Button3);
    auto* h = new QHBoxLayout(this);
    h->addWidget(band, 1);
    h->addLayout(buttons);

    chooser_ = [icons = std::make_shared<NameOnlyIconProvider>()](QWidget* owner) {
        QFileDialog od(owner, QString(), QString(), Q("Пакет обновления (*.pckt);;Все файлы (*)"));
        // The dialog lists the program folder, where the open database lives. A dialog that
        // opens files to guess their type (as the native ones and Qt's own type column do)
        // closes them again, and closing any descriptor of a file drops every lock this
        // process holds on it: another program could then take the database's write-ahead
        // log away from under us. So: our own dialog, judging files by their names only.
        od.setOption(QFileDialog::DontUseNativeDialog);
        od.setIconProvider(icons.get());
        od.setFileMode(QFileDialog::ExistingFile);
        od.setAcceptMode(QFileDialog::AcceptOpen);
        if (od.exec() != QDialog::Accepted || od.selectedFiles().isEmpty())
            return QString();
        return od.selectedFiles().first();
    };
    connect(Button1, &QPushButton::clicked, this, [this] {
        host_.OpenInternetUpdate();
        RefreshGrid();
    });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { reject(); });  // also Esc
}

void UpdateWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous())
        return;
    RefreshGrid();
    // Packets already on disk are offered once the window is up; it stays open whatever came
    // of it.
    QTimer::singleShot(0, this, [this] {
        RunReported(this, [this] { CheckUpdateFiles(host_, engine_); });
        RefreshGrid();
    });
}

void UpdateWindow::RefreshGrid() {
    dxDBGrid1->clear();
    RunReported(this, [this] {
        const UpdInfo info = InitUpd(host_.Ref());
        for (const PacketListItem& p : info.packets) {
            auto* it = new QTreeWidgetItem(dxDBGrid1);
            it->setText(0, QString::number(p.id));
            it->setText(1, QString::fromStdString(FormatDayNumber(p.dt)));
        }
        PublishPackets(host_, info);
    });
}

void UpdateWindow::Button2Click() {
    const QString path = chooser_(this);
    if (path.isEmpty())
        return;
    repaint();
    {
        WaitCursor wait;
        ListWrap wrap(host_);
        engine_.Run(path);
        RunReported(host_.Window(), [&] { wrap.Restore(); });
    }
    host_.ShowCurrentDescription();
    RefreshGrid();
}

}  // namespace orv::app
