#pragma once
// The extended-search dialog: the same search as the page, opened blank each time; it closes
// itself after a search.
#include <QDialog>

#include "app/search/search_host.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orv::app {

class ExtendedSearchDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ExtendedSearchDialog(SearchHost& host, QWidget* parent = nullptr);

    SearchCriteria Criteria() const;
    void btnFindExClick();
    void Button1Click();

    QLineEdit* edfName = nullptr;
    QLineEdit* edfSyn = nullptr;
    QPlainTextEdit* mmfPrim = nullptr;
    QPlainTextEdit* mmfAction = nullptr;
    QPushButton* btnFindEx = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    SearchHost& host_;
};

}  // namespace orv::app
