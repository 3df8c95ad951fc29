#include "app/shell/local_windows.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include "app/display/description_controller.h"
#include "app/lists/list_views.h"
#include "app/lists/lists_controller.h"
#include "app/lists/record_counter.h"
#include "app/search/extended_search_dialog.h"
#include "app/search/extended_search_page.h"
#include "app/search/quick_filter_controller.h"
#include "app/search/search_commands.h"
#include "app/settings/dialog_settings_target.h"
#include "app/shell/error_box.h"
#include "app/shell/main_window.h"
#include "app/shell/own_windows.h"
#include "app/shell/program_state.h"
#include "app/update/packet_core.h"
#include "app/update/packet_run_window.h"
#include "app/update/packet_stats_window.h"
#include "app/update/update_window.h"
#include "settings/settings_store.h"
#include "update/local_packets.h"

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
    PublishPackets(*this, CollectPacketStatistics(Ref()).upd);
}

Reference& LocalWindows::Ref() {
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

QWidget* LocalWindows::Window() {
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
