#pragma once
// The description tab: the browser pane showing the page file, and the warning under it.
#include <QWidget>

class QTextBrowser;
class QLabel;

namespace orv::app {

// The page as the text browser can show it (the file itself stays as written).
QString ForTextBrowser(QString html);

QLabel* MakeWarningLabel(QWidget* parent, const QString& name);

class DescriptionView : public QWidget {
    Q_OBJECT
  public:
    explicit DescriptionView(QWidget* parent = nullptr);

    // Shows the page file (windows-1251 HTML); its folder is the base for the picture.
    // "Navigation complete" follows from the event loop.
    void Navigate(const QString& path);
    void ScrollBy(int dy);

    QTextBrowser* wb;
    QLabel* lbWarning;

  signals:
    void navigateComplete(const QString& path);
};

}  // namespace orv::app
