#include "app/update/packet_stats_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/shell/error_box.h"
#include "app/shell/run_reported.h"
#include "app/shell/wait_cursor.h"
#include "app/update/packet_core.h"
#include "app/update/update_host.h"
#include "app/update/update_texts.h"
#include "db/reference.h"
#include "update/local_packets.h"
#include "update/packet_engine.h"

namespace orv::app {

namespace {
QString Q(const char* s) {
    return QString::fromUtf8(s);
}
}  // namespace

PacketStatsWindow::PacketStatsWindow(UpdateHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), host_(host) {
    setWindowTitle(Q(kPacketsWindowCaption));
    resize(420, 360);
    auto* info = new QGroupBox(Q("Информация"), this);
    Label1 = new QLabel(info);
    auto* il = new QVBoxLayout(info);
    il->addWidget(Label1);

    ListView1 = new QTreeWidget(this);
    ListView1->setRootIsDecorated(false);
    ListView1->setHeaderLabels({Q("№ пакета"), Q("Дата/время обновления"), Q("Записей")});
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    Button1 = new QPushButton(Q("Показать"), this);
    Button1->setToolTip(Q("Показать выделенный пакет обновления"));
    Button2 = new QPushButton(Q("Закрыть"), this);
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* v = new QVBoxLayout(this);
    v->addWidget(info);
    v->addWidget(ListView1, 1);
    v->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { reject(); });  // also Esc
}

void PacketStatsWindow::Open() {
    host_.ShowStatus(Q(kCollectingStatus));
    {
        WaitCursor wait;
        if (QWidget* w = host_.Window())
            w->repaint();
    }
    exec();
}

void PacketStatsWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void PacketStatsWindow::FormShow() {
    WaitCursor wait;
    ListView1->clear();
    RunReported(this, [this] {
        const PacketHistory history = CollectPacketStatistics(host_.Ref());
        for (const PacketHistoryRow& p : history.rows) {
            auto* it = new QTreeWidgetItem(ListView1);
            it->setText(0, QString::number(p.id));
            it->setText(1, QString::fromStdString(p.dtText));
            it->setText(2, QString::number(p.preparations));
        }
        PublishPackets(host_, history.upd);
    });
    Label1->setText(QString::fromStdString(TotalRecordsText(host_.TotalPreparations())));
    host_.ShowStatus(Q(kPacketsWindowCaption));
    if (ListView1->topLevelItemCount() > 0) {
        ListView1->setCurrentItem(ListView1->topLevelItem(0));
        ListView1->setFocus();
    }
}

void PacketStatsWindow::Button1Click() {
    if (ListView1->topLevelItemCount() == 0)
        return;
    QTreeWidgetItem* it = ListView1->currentItem();
    const QString n = it != nullptr ? it->text(0) : QString();
    const auto answer = QMessageBox::question(this, Q("Подтверждение"),
                                              Q("Показать пакет обновления №") + n + Q("?"),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes || n.isEmpty())
        return;
    const bool opened = RunReported(this, [&] {
        struct Notify {
            UpdateHost& h;
            ~Notify() { h.ListReopened(); }
        } notify{host_};
        DataSet& q = host_.Ref().qMain;
        q.SetSql(PacketListSql(n.toInt()));
        q.Open();
    });
    if (!opened)
        return;
    host_.ShowCurrentDescription();
    accept();
}

}  // namespace orv::app
