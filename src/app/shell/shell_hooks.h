#pragma once
// Commands of the main window that open windows of other parts of the program (updates,
// settings dialog, extended search dialog, partner replies). Each part fills its hook; an
// empty hook makes the command do nothing.
#include <functional>

namespace orv::app {

struct ShellHooks {
    std::function<void()> openUpdateWindow;  // "Обновление"
    std::function<void()> openPacketList;    // "Пакеты обновления"
    std::function<void(int page)> openSettings;  // "Настройки" (0), "Отображение" (1)
    std::function<void()> openExtSearchDialog;  // "Расширенный поиск" (Shift+F2)
    std::function<void(const char* code)> partnerReply;  // "00" search, "01" selection
    std::function<void()> armUpdateCheck;  // one second after the window is first shown
    std::function<int()> checkup;          // the newest packet on the server; 0 on failure
};

}  // namespace orv::app
