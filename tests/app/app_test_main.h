#pragma once
// The window tests run under the program's own application object, so that an error leaving
// a handler takes the program's error path, as it does for the user.
#include <QTest>

#include "app/shell/application.h"

#define ORVANTA_APP_TEST_MAIN(TestObject)        \
    int main(int argc, char** argv) {            \
        orv::app::Application app(argc, argv);   \
        app.setAttribute(Qt::AA_Use96Dpi, true); \
        TestObject tc;                           \
        QTEST_SET_MAIN_SOURCE_PATH               \
        return QTest::qExec(&tc, argc, argv);    \
    }
