#pragma once
// The main window as the partner link sees it.
#include "app/partner/partner_controller.h"

namespace orv::app {

class MainWindow;

class MainPartnerHost : public PartnerHost {
  public:
    explicit MainPartnerHost(class MainWindow& window) : w_(window) {}

    void SwitchToList() override;
    void ResetSelection() override;
    void SetFilterText(const QString& text) override;
    void FilterByName(const QString& text) override;
    DataSet& ListDataSet() override;
    QString NameColumn() const override;
    void ShowCurrentDescription() override;
    void ShowStatus(const QString& text) override;
    QString ReplyPayload() const override;
    QWidget* Window() override;
    void FocusFilterBox() override;
    const NameMatcher* Names() override;

  private:
    class MainWindow& w_;
};

}  // namespace orv::app
