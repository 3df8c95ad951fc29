#pragma once
// "Возможно, вы имели в виду:" under the filter box: the names a mistyped text probably
// meant. The box keeps the focus: Up/Down move through the names, Enter takes one, Esc closes
// the list; a click takes a name too. Typing closes it.
#include <QFrame>
#include <vector>

#include "search/command_result.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace orv::app {

class SuggestionPopup : public QFrame {
    Q_OBJECT
  public:
    SuggestionPopup(QLineEdit* box, QWidget* window);

    void Offer(const std::vector<NameSuggestion>& names);  // shown under the box, first chosen
    void Close();
    bool IsOpen() const { return isVisible(); }

    QLabel* caption;
    QListWidget* names;

  signals:
    void taken(const orv::NameSuggestion& name);

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;  // the box's keys

  private:
    void Take(int row);
    void Place();

    QLineEdit* box_;
    std::vector<NameSuggestion> offered_;
    bool swallowEnterRelease_ = false;  // the Enter that took a name is not a search
};

}  // namespace orv::app
