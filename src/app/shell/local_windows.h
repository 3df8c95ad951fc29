#pragma once
// The windows of the extended search, the settings and the local packets, created once with
// the main window, and what they need of it (the hosts).
#include <functional>
#include <memory>

#include "app/search/search_host.h"
#include "app/settings/settings_dialog.h"
#include "app/update/update_host.h"

namespace orv {
class SettingsTarget;
}

namespace orv::app {

struct ProgramState;
class MainWindow;
class ExtendedSearchPage;
class ExtendedSearchDialog;
class PacketRunWindow;
class UpdateWindow;
class PacketStatsWindow;
class DialogSettingsTarget;

class LocalWindows : public SearchHost, public UpdateHost, public SettingsDialogHost {
  public:
    // `look` holds the list's and the reading window's look; the dialog holds the rest.
    LocalWindows(ProgramState& state, MainWindow& main, SettingsTarget& look);
    ~LocalWindows() override;

    // Every setting, as the store loads and saves it.
    SettingsTarget& Target();
    // The packet statistics routine of start-up: packet list and last installed number.
    void PacketStatistics();
    // The internet update window; a placeholder until it exists.
    std::function<void()> openInternetUpdate;

    ExtendedSearchPage* page = nullptr;
    ExtendedSearchDialog* searchDialog = nullptr;
    SettingsDialog* settingsDialog = nullptr;
    PacketRunWindow* engine = nullptr;
    UpdateWindow* updateWindow = nullptr;
    PacketStatsWindow* statsWindow = nullptr;

    // SearchHost and UpdateHost.
    Reference& Ref() override;
    void ShowStatus(const QString& text) override;
    void ListReopened() override;
    void RowsChanged() override;
    void SetHighlightSearchWords(bool on) override;
    void ShowCurrentDescription() override;
    QWidget* Window() override;
    void SetListAttached(bool attached) override;
    void SetRecordCounterPaused(bool paused) override;
    void PacketsChanged(const QStringList& entries, int lastInstalled) override;
    void SetTotalPreparations(int total) override;
    int TotalPreparations() const override;
    int LastInstalledPacket() const override;
    int NewestAvailablePacket() const override;
    bool BackgroundMode() const override;
    void OpenInternetUpdate() override;

    // SettingsDialogHost.
    void LoadSettings() override;
    void SaveSettings() override;
    QFont ListFont() const override;
    void SetListFont(const QFont& font) override;
    QColor ListColor() const override;
    void SetListColor(const QColor& color) override;

  private:
    ProgramState& state_;
    MainWindow& main_;
    std::unique_ptr<DialogSettingsTarget> target_;
};

}  // namespace orv::app
