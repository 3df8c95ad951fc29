#pragma once
// What the main window's commands need of the other parts of the program: the windows of the
// updates, the settings, the extended search and the partner link. The program's windows
// (ProgramWindows) implement it; the main window asserts in debug builds when it has none.
namespace orv::app {

class ShellHost {
  public:
    virtual ~ShellHost() = default;
    virtual void OpenUpdateWindow() = 0;      // "Обновление"
    virtual void OpenPacketList() = 0;        // "Пакеты обновления"
    virtual void OpenSettings(int page) = 0;  // "Настройки" (0), "Отображение" (1)
    virtual void OpenExtSearchDialog() = 0;  // "Расширенный поиск" (Shift+F2)
    virtual void PartnerReply(const char* code) = 0;  // "00" search, "01" selection
    virtual void ArmUpdateCheck() = 0;                // one second after the window is first shown
    virtual int Checkup() = 0;        // the newest packet on the server; 0 on failure
    virtual void SaveSettings() = 0;  // closing saves the settings (may throw)
};

}  // namespace orv::app
