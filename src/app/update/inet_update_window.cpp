#include "app/update/inet_update_window.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

#include "app/shell/error_box.h"
#include "app/shell/program_state.h"
#include "app/shell/wait_cursor.h"
#include "app/shell/yes_no_dialog.h"
#include "app/update/download_window.h"
#include "app/update/packet_installer.h"
#include "app/update/update_lock_holder.h"
#include "app/update/update_texts.h"
#include "db/reference.h"
#include "net/download.h"
#include "net/list_request.h"
#include "net/net_texts.h"
#include "net/packet_list.h"
#include "net/proxy.h"
#include "net/server_address.h"
#include "settings/settings_target.h"
#include "update/local_packets.h"
#include "update/packet_engine.h"
#include "update/packet_file.h"
#include "util/paths.h"
#include "util/stop_signal.h"
#include "util/text.h"

namespace orv::app {

namespace {

QString Q(const char* s) {
    return QString::fromUtf8(s);
}
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// An installation failure the installer has already shown: the command just ends.
struct AlreadyReported {};

}  // namespace

ProxySettings ProxyFromSettings(const SettingsTarget& settings) {
    ProxySettings p;
    p.use = settings.Flag(FlagControl::UseProxy);
    p.host = settings.Text(TextControl::ProxyHost);
    p.port = settings.Text(TextControl::ProxyPort);
    p.login = settings.Text(TextControl::ProxyLogin);
    p.pass = settings.Text(TextControl::ProxyPassword);
    return p;
}

InetUpdateWindow::InetUpdateWindow(ProgramState& state, const SettingsTarget& settings,
                                   DownloadWindow& download, YesNoDialog& yon,
                                   PacketInstaller& installer, QWidget* parent)
    // Not "stay on top": the download, yes/no and engine windows it opens must come above it.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      state_(state),
      settings_(settings),
      download_(download),
      yon_(yon),
      installer_(installer) {
    setObjectName(QStringLiteral("frmInetUpd"));
    setWindowTitle(Q(kInetUpdateCaption));
    setMinimumSize(402, 186);
    resize(480, 300);

    lv = new QTreeWidget(this);
    lv->setObjectName(QStringLiteral("lv"));
    lv->setColumnCount(3);
    lv->setHeaderLabels(
        {QStringLiteral("№ пакета"), QStringLiteral("Размер, байт"), QStringLiteral("Статус")});
    lv->setRootIsDecorated(false);
    lv->setSelectionBehavior(QAbstractItemView::SelectRows);
    lv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv->header()->setStretchLastSection(true);

    Button1 = new QPushButton(QStringLiteral("Пометить все"), this);
    Button4 = new QPushButton(QStringLiteral("Скачать и обновить..."), this);
    Button5 = new QPushButton(QStringLiteral("Закрыть"), this);
    for (QPushButton* b : {Button1, Button4, Button5})
        b->setAutoDefault(false);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button4->setObjectName(QStringLiteral("Button4"));
    Button5->setObjectName(QStringLiteral("Button5"));
    auto* right = new QVBoxLayout;
    right->addWidget(Button1);
    right->addWidget(Button4);
    right->addStretch(1);
    right->addWidget(Button5);
    auto* top = new QHBoxLayout;
    top->addWidget(lv, 1);
    top->addLayout(right);

    sb = new QStatusBar(this);
    sb->setSizeGripEnabled(false);
    sbPanel0 = new QLabel(sb);
    sbPanel1 = new QLabel(sb);
    sbPanel1->setFixedWidth(100);
    sb->addWidget(sbPanel0, 1);
    sb->addPermanentWidget(sbPanel1);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 0);
    v->addLayout(top, 1);
    v->addWidget(sb);

    // N1: Esc sets the abort flag (a list request still running stops at its next report).
    auto* N1 = new QAction(this);
    N1->setShortcut(Qt::Key_Escape);
    addAction(N1);
    connect(N1, &QAction::triggered, this, [this] { reject(); });

    Timer1.setInterval(100);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { QDialog::reject(); });

    reportError = [this](const QString& text) { ShowErrorBox(isVisible() ? this : nullptr, text); };
    reportConnectionError = [this](const QString& text) {
        QMessageBox::critical(isVisible() ? this : nullptr, QStringLiteral("Внимание"), text,
                              QMessageBox::Ok);
    };
}

bool InetUpdateWindow::RunUnseen() {
    if (session_ || !BeginSession(true))
        return false;
    FormShow();
    return true;
}

bool InetUpdateWindow::BeginSession(bool unseen) {
    if (session_)
        return false;
    session_ = true;
    unseen_ = unseen;
    try {
        // Another process updating the same reference (orvanta-cli update) goes first.
        lock_ = HoldUpdateLock(state_.Ref().Dir());
    } catch (const std::exception& e) {
        session_ = false;
        reportError(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

void InetUpdateWindow::EndSession() {
    lock_.reset();
    session_ = false;
}

void InetUpdateWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Once the window is up: the packets on disk are offered over it.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible())
            return;
        if (!BeginSession(false)) {
            QDialog::reject();
            return;
        }
        FormShow();
    });
}

void InetUpdateWindow::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    if (session_ && !unseen_)
        EndSession();
}

void InetUpdateWindow::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    sbPanel0->setFixedWidth(std::max(sb->width() - 100, 0));
}

void InetUpdateWindow::FormShow() {
    installer_.CheckUpdateFiles();
    abort_ = false;
    Timer1.start();
    Button1->setEnabled(true);
    Button4->setEnabled(true);
    Button5->setText(QStringLiteral("Закрыть"));
    lv->clear();
}

void InetUpdateWindow::reject() {
    abort_ = true;
    QDialog::reject();
}

void InetUpdateWindow::Status(const QString& text) {
    sbPanel0->setText(text);
    sb->repaint();
    if (progressLine)
        progressLine(text);
}

bool InetUpdateWindow::Marked(QTreeWidgetItem* item) const {
    return item->checkState(0) == Qt::Checked;
}

void InetUpdateWindow::Timer1Timer() {
    Timer1.stop();
    if (UpdateServerAddress().empty()) {
        // Nobody named a server: say so where the list would be, and ask nobody.
        Status(Q(kNoServerStatus));
        sbPanel0->setToolTip(Q(kNoServerSet));
        Button1->setEnabled(false);
        Button4->setEnabled(false);
        return;
    }
    sbPanel0->setToolTip(QString());
    Status(Q(kStatusChecking));
    WaitCursor wait;
    requesting_ = true;
    Button1->setEnabled(false);
    Button4->setEnabled(false);
    Button5->setEnabled(false);
    bool failed = false;
    QString badAnswer;
    try {
        Reference& ref = state_.Ref();
        ListRequest request;
        request.url = UpdateServerAddress() + ListRequestPath(ClientIdentifier(ref.Db()));
        request.proxy = ProxyFromSettings(settings_);
        request.onProgress = [this](std::int64_t received) {
            sbPanel1->setText(Q(ListProgressText(received, expectedSize_)));
            // Keeps the window painted and lets Esc set the abort flag.
            QApplication::processEvents();
            if (abort_ || StopSignal() != 0) {
                abort_ = false;
                return false;
            }
            return true;
        };
        const std::string answer = FetchList(request);
        std::set<int> installed;
        for (const PacketListItem& p : InitUpd(ref).packets)
            installed.insert(p.id);
        if (!Trim(answer).empty()) {
            // An answer that lists nothing is the server's fault, not "nothing new".
            const std::vector<ServerPacket> list = RequirePacketList(answer, installed);
            lv->clear();
            for (const ServerPacket& p : list) {
                auto* item = new QTreeWidgetItem(lv);
                item->setText(0, QString::number(p.number));
                item->setText(1, Q(p.sizeText));
                item->setText(2, p.installed ? Q(kStatusInstalled) : QString());
                item->setData(1, Qt::UserRole, p.size);
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(0, p.marked ? Qt::Checked : Qt::Unchecked);
            }
        }
        Status(Q(kStatusReady));
    } catch (const ListRequestError&) {
        failed = true;
    } catch (const std::exception& e) {
        badAnswer = QString::fromUtf8(e.what());
    }
    requesting_ = false;
    sbPanel1->clear();
    Button1->setEnabled(true);
    Button4->setEnabled(true);
    Button5->setEnabled(true);
    if ((failed || !badAnswer.isEmpty()) && unseen_)
        EndSession();
    if (failed) {
        Status(Q(kServerConnectionFailed));
        reportConnectionError(Q(kServerConnectionFailed));
        if (isVisible())
            QDialog::reject();
        return;
    }
    if (!badAnswer.isEmpty()) {
        Status(badAnswer);
        reportError(badAnswer);
        if (isVisible())
            QDialog::reject();
        return;
    }
    if (state_.background)
        Button4Click();
}

bool InetUpdateWindow::Installed(QTreeWidgetItem* item) const {
    return item->text(2) == Q(kStatusInstalled);
}

void InetUpdateWindow::Button1Click() {
    // An installed packet would end the run at "уже установлен" before the new ones.
    std::vector<int> passed;
    for (int i = 0; i < lv->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lv->topLevelItem(i);
        const bool installed = Installed(item);
        item->setCheckState(0, installed ? Qt::Unchecked : Qt::Checked);
        if (installed)
            passed.push_back(item->text(0).toInt());
    }
    if (!passed.empty())
        Status(Q(PassedOverNote(passed)));
}

void InetUpdateWindow::InstallFromDisk(QTreeWidgetItem* item, int number) {
    Status(Q(InstallingStatus(number)));
    if (!installer_.Install(PacketFilePath(state_.Ref().Dir(), number)))
        throw AlreadyReported{};
    item->setCheckState(0, Qt::Unchecked);
}

void InetUpdateWindow::Button4Click() {
    try {
        if (lv->topLevelItemCount() == 0)
            throw Error(kNoPackets);
        WaitCursor wait;
        download_.ClearCancelled();
        Reference& ref = state_.Ref();
        const std::string server = UpdateServerAddress();
        const std::string client = ClientIdentifier(ref.Db());
        std::vector<int> passed;
        for (int i = 0; i < lv->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = lv->topLevelItem(i);
            const int number = item->text(0).toInt();
            if (download_.Cancelled()) {
                Status(Q(kStatusStopped));
                throw Error(kUpdateStopped);
            }
            if (Marked(item) && Installed(item)) {
                // Marked by hand: installing it again would refuse, and stop the run there.
                item->setCheckState(0, Qt::Unchecked);
                passed.push_back(number);
                Status(Q(PassedOverNote(passed)));
            }
            if (!Marked(item))
                continue;
            repaint();
            expectedSize_ = item->data(1, Qt::UserRole).toLongLong();
            const std::string path = PacketFilePath(ref.Dir(), number);
            if (FileExists(path)) {
                // A damaged copy would fail on every run: kept aside, the packet is fetched again.
                const std::string damage = PacketFileDamage(path, number);
                if (!damage.empty()) {
                    SetDamagedPacketAside(path);
                    const QString damaged = Q(DamagedPacketNote(number, damage));
                    Status(damaged);
                    if (!state_.background)
                        QMessageBox::warning(this, Q(kInetUpdateCaption), damaged);
                }
            }
            if (FileExists(path)) {
                bool install = state_.background;
                if (!install) {
                    yon_.SetMessage(Q(AlreadyDownloadedText(number)), Q(kInstallNowQuestion));
                    install = yon_.Ask() == 1;
                }
                if (install)
                    InstallFromDisk(item, number);
            }
            if (Marked(item)) {
                Status(Q(DownloadingStatus(number)));
                DownloadRequest request;
                request.object = PacketRequestPath(client, number);
                request.url = server + request.object;
                request.tempFile = ref.FilePath("upd.pckt");
                request.finalFile = path;
                request.expectedSize = expectedSize_;
                request.packet = number;
                request.proxy = ProxyFromSettings(settings_);
                // With no proxy the download takes the system's configured access.
                download_.setWindowTitle(Q(DownloadWindowCaption(number)));
                try {
                    download_.DownloadFile(request);
                    download_.Wait(state_.background);
                } catch (const std::exception&) {
                    // The packets fetched before the failing one are still installed.
                    for (int k = i; k < lv->topLevelItemCount(); ++k)
                        lv->topLevelItem(k)->setCheckState(0, Qt::Unchecked);
                    ApplyPackets();
                    throw;
                }
                if (download_.Cancelled()) {
                    Status(Q(kStatusStopped));
                    throw Error(kUpdateStopped);
                }
                if (progressLine)
                    progressLine(download_.ProgressText());
                if (note && download_.Last() != nullptr)
                    note(DownloadedNote(*download_.Last()));
            }
        }
        ApplyPackets();
    } catch (const AlreadyReported&) {
        if (unseen_)
            EndSession();
        return;
    } catch (const std::exception& e) {
        if (unseen_)
            EndSession();
        reportError(QString::fromUtf8(e.what()));
        return;
    }
    if (unseen_)
        EndSession();
    if (state_.background) {
        if (endProgram)
            endProgram();
        return;
    }
    Timer1.start();
    repaint();
}

void InetUpdateWindow::ApplyPackets() {
    const std::string dir = state_.Ref().Dir();
    for (int i = 0; i < lv->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lv->topLevelItem(i);
        if (!Marked(item))
            continue;
        const int number = item->text(0).toInt();
        Status(Q(InstallingStatus(number)));
        if (!installer_.Install(PacketFilePath(dir, number)))
            throw AlreadyReported{};
        Status(Q(InstalledStatus(number)));
    }
    if (showStatus)
        showStatus(Q(kStatusReady));
}

}  // namespace orv::app
