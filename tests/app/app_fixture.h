#pragma once
// The whole program on the sample reference in a temporary folder, windows created and the
// start-up loader run, as the program does before its message loop.
#include <QTest>
#include <functional>
#include <memory>

#include "app/sample_reference.h"
#include "app/shell/main_window.h"
#include "app/shell/program.h"
#include "app/shell/program_state.h"
#include "app/shell/splash_window.h"
#include "db/reference.h"
#include "support/temp_dir.h"

namespace orv::test {

// The program's windows behind the main window's commands, with a test's own answer in place
// of any of them.
struct ShellSpy : app::ShellHost {
    explicit ShellSpy(app::ShellHost& windows) : program(windows) {}
    void OpenUpdateWindow() override { program.OpenUpdateWindow(); }
    void OpenPacketList() override { program.OpenPacketList(); }
    void OpenSettings(int page) override { program.OpenSettings(page); }
    void OpenExtSearchDialog() override {
        openExtSearchDialog ? openExtSearchDialog() : program.OpenExtSearchDialog();
    }
    void PartnerReply(const char* code) override {
        partnerReply ? partnerReply(code) : program.PartnerReply(code);
    }
    void ArmUpdateCheck() override {
        if (armUpdateCheck)
            program.ArmUpdateCheck();
    }
    int Checkup() override { return program.Checkup(); }
    void SaveSettings() override { program.SaveSettings(); }

    app::ShellHost& program;
    std::function<void()> openExtSearchDialog;
    std::function<void(const char*)> partnerReply;
    bool armUpdateCheck = true;
};

struct AppFixture {
    AppFixture() {
        FillSampleReference(dir.file("source.bin"));
        windows = std::make_unique<app::ProgramWindows>(state);
        app::LoadReferenceData(state, *windows, splash, dir.str());
        main().confirmClose = [] { return true; };
        // No update offer (or failed-check question) a second after the window is shown.
        shell = std::make_unique<ShellSpy>(*windows);
        shell->armUpdateCheck = false;
        main().SetShellHost(shell.get());
    }
    ~AppFixture() {
        if (windows)
            main().SetShellHost(windows.get());  // before the spy goes
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
    std::unique_ptr<ShellSpy> shell;
};

}  // namespace orv::test
