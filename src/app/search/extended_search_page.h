#pragma once
// The extended-search page of the main window's right-hand tabs: four criteria, search and
// clear, and the filter by update packet.
#include <QWidget>

#include "app/search/search_host.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orv::app {

class ExtendedSearchPage : public QWidget {
    Q_OBJECT
  public:
    explicit ExtendedSearchPage(SearchHost& host, QWidget* parent = nullptr);

    SearchCriteria Criteria() const;
    // The entries of the packet list ("N (date time)"), rebuilt whenever packets change.
    void SetPacketEntries(const QStringList& entries);
    // Puts the focus in the name criterion (the tab command).
    void FocusName();

    void btnFindExClick();
    void Button1Click();
    void Button2Click();

    QWidget* pnFindEx = nullptr;
    QLineEdit* edfName = nullptr;
    QLineEdit* edfSyn = nullptr;
    QPlainTextEdit* mmfPrim = nullptr;
    QPlainTextEdit* mmfAction = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* btnFindEx = nullptr;
    QComboBox* cbPckt = nullptr;
    QPushButton* Button2 = nullptr;

  protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    SearchHost& host_;
};

}  // namespace orv::app
