#pragma once
// The "Описание по группам" tab: fourteen read-only panes in seven rows of two, and the
// warning under them. Double-click on a pane asks for the reading window.
#include <QWidget>
#include <array>

class QPlainTextEdit;
class QLabel;

namespace orv {
struct TDisplayRec;
}

namespace orv::app {

// In the order of the keys F2, Shift+F2, F3, Shift+F3, ... F8, Shift+F8.
enum class Pane {
    Syn,      // F2
    FGr,      // Shift+F2
    Izg,      // F3
    Sostav,   // Shift+F3
    Pokaz,    // F4
    PPokaz,   // Shift+F4
    Action,   // F5
    VAction,  // Shift+F5
    Doza,     // F6
    Peredoz,  // Shift+F6
    Special,  // F7
    PAction,  // Shift+F7
    LekFrm,   // F8
    Stor,     // Shift+F8
};
inline constexpr int kPaneCount = 14;

class FieldPanes : public QWidget {
    Q_OBJECT
  public:
    explicit FieldPanes(QWidget* parent = nullptr);

    void ShowByItems(const TDisplayRec& rec);
    QString PaneText(Pane pane) const;
    QPlainTextEdit* Editor(Pane pane) const { return panes_[static_cast<size_t>(pane)]; }

    QLabel* lbWarning1;

  signals:
    void paneDoubleClicked(const QString& text);  // mmStorDblClick

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::array<QPlainTextEdit*, kPaneCount> panes_{};
};

}  // namespace orv::app
