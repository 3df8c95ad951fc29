#pragma once
// The reading window: one field's whole text, full screen, with its own font and colour.
#include <QDialog>

class QPlainTextEdit;
class QMenu;
class QAction;

namespace orv::app {

class FullDescriptionWindow : public QDialog {
    Q_OBJECT
  public:
    explicit FullDescriptionWindow(QWidget* parent = nullptr);

    // Opens the window modally with the text; a blank text opens nothing. False when nothing
    // opened.
    bool ShowFullDescription(const QString& text);
    // Sets the text and shows the window without waiting (for tests and for callers that wait
    // otherwise); false for a blank text.
    bool Present(const QString& text);

    QFont TextFont() const;
    void SetTextFont(const QFont& f);
    QColor TextColour() const;  // background of the text
    void SetTextColour(const QColor& c);

    QPlainTextEdit* Memo1;
    QMenu* PopupMenu1;
    QAction* N7;  // copy

    void N3Click();   // font + 1 point
    void N4Click();   // font - 1 point
    void N5Click();   // font dialog
    void N11Click();  // colour dialog

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace orv::app
