#pragma once
// The settings dialog. Its controls are where the proxy, update-check and section-list
// settings live in memory: the store loads into them and saves from them through the host.
#include <QColor>
#include <QDialog>
#include <QFont>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "util/stored_forms.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace orv::app {

// What the dialog needs of the rest of the program.
class SettingsDialogHost {
  public:
    virtual ~SettingsDialogHost() = default;
    virtual void LoadSettings() = 0;  // every stored value back into its target
    virtual void SaveSettings() = 0;  // every target into the store; throws orv::Error
    virtual QFont ListFont() const = 0;
    virtual void SetListFont(const QFont& font) = 0;
    virtual QColor ListColor() const = 0;
    virtual void SetListColor(const QColor& color) = 0;
};

class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    enum Page { kSettingsPage = 0, kDisplayPage = 1, kMorePage = 2 };

    explicit SettingsDialog(QWidget* parent = nullptr);
    SettingsDialog(SettingsDialogHost& host, QWidget* parent = nullptr);
    // The host can come later: the settings target is built over the dialog's controls.
    void SetHost(SettingsDialogHost& host) { host_ = &host; }

    // Shows the dialog modally on the given page.
    int Open(Page page);

    // The section list as the description page reads it.
    std::vector<CheckEntry> Items() const;
    void SetItems(const std::vector<CheckEntry>& items);
    static std::vector<CheckEntry> DesignItems();

    bool ProxyEnabled() const;
    void SetProxyEnabled(bool on);
    QString ProxyHost() const;
    void SetProxyHost(const QString& s);
    QString ProxyPort() const;
    void SetProxyPort(const QString& s);
    QString ProxyUser() const;
    void SetProxyUser(const QString& s);
    QString ProxyPassword() const;
    void SetProxyPassword(const QString& s);
    bool CheckUpdatesAtStart() const;
    void SetCheckUpdatesAtStart(bool on);

    bool SettingsChanged() const { return settingsChanged_; }

    // Drop of the dragged (selected) entry at a point of the list's viewport: it moves onto the
    // entry there, or to the end below the last one, keeping its tick.
    void DropSelectedAt(const QPoint& pos);

    // The font and colour choosers (the standard dialogs unless replaced, e.g. by tests).
    using FontChooser = std::function<std::optional<QFont>(const QFont&, QWidget*)>;
    using ColorChooser = std::function<std::optional<QColor>(const QColor&, QWidget*)>;
    void SetFontChooser(FontChooser f) { fontChooser_ = std::move(f); }
    void SetColorChooser(ColorChooser f) { colorChooser_ = std::move(f); }

    // Controls, named as the program names them, for the host and the tests.
    QTabWidget* pc = nullptr;
    QPushButton* Button1 = nullptr;  // ОК
    QPushButton* Button2 = nullptr;  // Отмена
    QPushButton* Button3 = nullptr;  // Применить
    QPushButton* Button5 = nullptr;  // list font
    QPushButton* Button6 = nullptr;  // list colour
    QCheckBox* CB1 = nullptr;
    QLineEdit* proxy = nullptr;
    QLineEdit* port = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QListWidget* clboxItems = nullptr;
    QToolButton* ToolButton1 = nullptr;  // up
    QToolButton* ToolButton2 = nullptr;  // down
    QToolButton* ToolButton3 = nullptr;  // to the beginning
    QToolButton* ToolButton7 = nullptr;  // to the end
    QCheckBox* tCheckUp = nullptr;

  public slots:
    void reject() override;  // "Отмена", Esc and any other close request

  protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void FormShow();
    void wchanged();
    void CB1Click();
    void EnableProxyControls();
    void Button1Click();
    void Button3Click();
    void Button5Click();
    void Button6Click();
    void MoveSelected(int to);

    // What "Отмена" → "Да" returns to: the controls as the dialog opened or last applied them.
    struct Snapshot {
        bool proxyOn = false;
        QString proxy, port, user, password;
        bool checkUp = false;
        std::vector<CheckEntry> items;
        QColor listColor;
        QFont listFont;
    };
    void TakeSnapshot();
    void RestoreSnapshot();

    SettingsDialogHost* host_ = nullptr;
    bool settingsChanged_ = false;
    bool loadingItems_ = false;
    Snapshot saved_;
    FontChooser fontChooser_;
    ColorChooser colorChooser_;
};

}  // namespace orv::app
