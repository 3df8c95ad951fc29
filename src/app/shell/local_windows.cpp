#include "shell/local_windows.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include "display/description_controller.h"
#include "lists/list_views.h"
#include "lists/lists_controller.h"
#include "lists/record_counter.h"
#include "search/extended_search_dialog.h"
#include "search/extended_search_page.h"
#include "search/filter_controller.h"
#include "search/search_commands.h"
#include "settings/dialog_settings_target.h"
#include "settings/settings_store.h"
#include "shell/error_box.h"
#include "shell/main_window.h"
#include "shell/own_windows.h"
#include "shell/program_state.h"
#include "update/local_packets.h"
#include "update/packet_core.h"
#include "update/packet_run_window.h"
#include "update/packet_stats_window.h"
#include "update/update_window.h"

namespace orv::app {

LocalWindows::LocalWindows(ProgramState& state, MainWindow& main, SettingsTarget& look)
    : state_(state), main_(main) {
    settingsDialog = new SettingsDialog(*this, &main);
    target_ = std::make_unique<DialogSettingsTarget>(*settingsDialog, look);
    engine = new PacketRunWindow(*this, &main);
    updateWindow = new UpdateWindow(*this, *engine, &main);
    statsWindow = new PacketStatsWindow(*this, &main);
    searchDialog = new ExtendedSearchDialog(*this, &main);

    page = new ExtendedSearchPage(*this, main.tsFindEx);
    auto* layout = new QVBoxLayout(main.tsFindEx);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
    // The tab command focuses the page: the name criterion takes it.
    main.tsFindEx->setFocusProxy(page->edfName);

    for (QWidget* w : std::initializer_list<QWidget*>{settingsDialog, engine, updateWindow,
                                                      statsWindow, searchDialog})
        main.ownWindows->Register(w);

    main.hooks.openSettings = [this](int pageIndex) {
        settingsDialog->Open(static_cast<SettingsDialog::Page>(pageIndex));
    };
    main.hooks.openExtSearchDialog = [this] { OpenExtendedSearchDialog(*this, *searchDialog); };
    main.hooks.openUpdateWindow = [this] {
        updateWindow->exec();
        RefreshPackets(*this);
    };
    main.hooks.openPacketList = [this] { statsWindow->Open(); };
}

LocalWindows::~LocalWindows() = default;

SettingsTarget& LocalWindows::Target() {
    return *target_;
}

void LocalWindows::PacketStatistics() {
    PublishPackets(*this, CollectPacketStatistics(reference()).upd);
}

Reference& LocalWindows::reference() {
    return state_.Ref();
}

void LocalWindows::ShowStatus(const QString& text) {
    main_.ShowStatus(text);
}

void LocalWindows::ListReopened() {
    main_.lists->ListReopened();
}

void LocalWindows::RowsChanged() {
    // Read again now, not at the next keystroke; a failure leaves a log line, and the searches
    // stay the exact ones until the names can be read.
    main_.filter->NamesChanged();
}

void LocalWindows::SetHighlightSearchWords(bool on) {
    state_.highlightSearchWords = on;
}

void LocalWindows::ShowCurrentDescription() {
    main_.description->gbAllClick();
}

QWidget* LocalWindows::mainWindow() {
    return &main_;
}

void LocalWindows::SetListAttached(bool attached) {
    main_.gbAll->setVisible(attached);
    main_.gbAll->setEnabled(attached);
}

void LocalWindows::SetRecordCounterPaused(bool paused) {
    if (paused)
        main_.counter->Timer().stop();
    else
        main_.counter->Timer().start();
}

void LocalWindows::PacketsChanged(const QStringList& entries, int lastInstalled) {
    page->SetPacketEntries(entries);
    state_.lastPacket = lastInstalled;
}

void LocalWindows::SetTotalPreparations(int total) {
    state_.totalPreparations = total;
}

int LocalWindows::TotalPreparations() const {
    return state_.totalPreparations;
}

int LocalWindows::LastInstalledPacket() const {
    return state_.lastPacket;
}

int LocalWindows::NewestAvailablePacket() const {
    return state_.newestPacket;
}

bool LocalWindows::BackgroundMode() const {
    return state_.background;
}

void LocalWindows::OpenInternetUpdate() {
    if (openInternetUpdate) {
        openInternetUpdate();
        return;
    }
    QMessageBox::information(updateWindow, QStringLiteral("Обновление"),
                             QStringLiteral("Обновление из Интернета пока недоступно."));
}

void LocalWindows::LoadSettings() {
    if (state_.settings)
        state_.settings->LoadSettings(*target_);
}

void LocalWindows::SaveSettings() {
    if (state_.settings)
        state_.settings->SaveSettings(*target_);
}

QFont LocalWindows::ListFont() const {
    return main_.gbAll->font();
}

void LocalWindows::SetListFont(const QFont& font) {
    main_.gbAll->setFont(font);
}

QColor LocalWindows::ListColor() const {
    return main_.gbAll->ListColour();
}

void LocalWindows::SetListColor(const QColor& color) {
    main_.gbAll->SetListColour(color);
}

}  // namespace orv::app
