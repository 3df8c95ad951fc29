#pragma once
// A command step whose error is shown in the error box and tells the caller it failed.
#include <QString>
#include <exception>

#include "app/shell/error_box.h"

namespace orv::app {

template <class F>
bool RunReported(QWidget* parent, F&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        ShowErrorBox(parent, QString::fromUtf8(e.what()));
        return false;
    }
}

}  // namespace orv::app
