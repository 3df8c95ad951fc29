#pragma once
// The texts of the update windows: the packet run, the update and packet list windows, the
// internet update and its download. The texts the command line shares stay in the core.
#include <string>

namespace orv::app {

// Texts of the engine window.
inline constexpr const char* kEngineCaption = "Обновление";
inline constexpr const char* kEngineGroupCaption = "Прогресс";
inline constexpr const char* kEngineStopButton = "Остановить";
inline constexpr const char* kEngineStopQuestion = "Остановить обновление?";
inline constexpr const char* kPacketAlreadyRunning =
    "Уже устанавливается другой пакет обновления; дождитесь его окончания.";
inline constexpr const char* kConfirmCaption = "Подтверждение";
inline constexpr int kEngineTimerMs = 20;

inline constexpr const char* kUpdateWindowCaption = "Обновление";
inline constexpr const char* kDiskPacketsQuestion =
    "На диске найдены, ещё неустановленные, пакеты обновления, обновить сейчас?";
inline constexpr const char* kPacketFileFilter = "Пакет обновления (*.pckt)|*.pckt|Все файлы|*.*";
inline constexpr const char* kPacketsWindowCaption = "Пакеты обновления";
inline constexpr const char* kCollectingStatus = "Сбор данных, подождите пожалуйста ...";
// Texts of the update window.
inline constexpr const char* kUpdateBand = "Пакеты обновлений";
inline constexpr const char* kUpdateColumnNumber = "Номер";
inline constexpr const char* kUpdateColumnDate = "Дата/время обновления";
inline constexpr const char* kUpdateFromInternet = "Обновить из Интернета...";
inline constexpr const char* kUpdateFromFile = "Обновить из файла...";
inline constexpr const char* kCloseButton = "Закрыть";
// Texts of the packet statistics window.
inline constexpr const char* kPacketsInfoGroup = "Информация";
inline constexpr const char* kPacketsColumnNumber = "№ пакета";
inline constexpr const char* kPacketsColumnDate = "Дата/время обновления";
inline constexpr const char* kPacketsColumnCount = "Записей";
inline constexpr const char* kPacketsShowButton = "Показать";
inline constexpr const char* kPacketsShowHint = "Показать выделенный пакет обновления";

inline constexpr const char* kNoPackets = "Нет пакетов обновлений.";
inline constexpr const char* kUpdateStopped = "Обновление остановлено.";
inline constexpr const char* kUpdateRunningHere =
    "Обновление из Интернета уже идёт; второе не начато.";
inline constexpr const char* kStatusStopped = "Остановлено.";
inline constexpr const char* kStatusInstalled = "подгружен";
inline constexpr const char* kDownloadCaption = "Загрузка";
inline constexpr const char* kCancelDownloadQuestion = "Отменить загрузку?";
inline constexpr const char* kInetUpdateCaption = "Обновление из Интернета";
inline constexpr const char* kNewPacketsQuestion =
    "Доступны новые пакеты обновления, обновить сейчас?";
inline constexpr const char* kCheckFailedQuestion =
    "Ошибка подключения, вы можете отключить проверку обновлений, настроить проверку "
    "обновлений сейчас?";
inline constexpr const char* kInstallNowQuestion = "Установить обновление сейчас?";
inline std::string DownloadWindowCaption(int n) {
    return "Загрузка пакета №" + std::to_string(n);
}
// The yes/no window's text when N.pckt is already on disk.
inline std::string AlreadyDownloadedText(int n) {
    return "Файл " + std::to_string(n) +
           ".pckt уже загружен. Вы можете установить обновление из файла. Если вы хотите "
           "заново скачать обновление нажмите \"Нет\".";
}

}  // namespace orv::app
