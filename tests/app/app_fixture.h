#pragma once
// The whole program on the sample reference in a temporary folder, windows created and the
// start-up loader run, as the program does before its message loop.
#include <QTest>
#include <memory>

#include "app/sample_reference.h"
#include "app/shell/main_window.h"
#include "app/shell/program.h"
#include "app/shell/program_state.h"
#include "app/shell/splash_window.h"
#include "db/reference.h"
#include "support/temp_dir.h"

namespace orv::test {

struct AppFixture {
    AppFixture() {
        FillSampleReference(dir.file("source.bin"));
        windows = std::make_unique<app::ProgramWindows>(state);
        app::LoadReferenceData(state, *windows, splash, dir.str());
        main().confirmClose = [] { return true; };
        // No update offer (or failed-check question) a second after the window is shown.
        main().hooks.armUpdateCheck = nullptr;
    }
    app::MainWindow& main() { return *windows->main; }
    Reference& ref() { return state.Ref(); }
    std::string CurrentName() { return ref().qMain.AsText("pname"); }
    void ShowMain() {
        main().resize(1000, 700);
        main().show();
        QVERIFY(QTest::qWaitForWindowExposed(&main()));
    }

    TempDir dir;
    app::ProgramState state;
    app::SplashWindow splash;
    std::unique_ptr<app::ProgramWindows> windows;
};

}  // namespace orv::test
