#pragma once
// The user's texts of the internet update and the packet download.
#include <string>

namespace orv {

inline constexpr const char* kProxyUserRefused = "Неверный пользователь Proxy";
inline constexpr const char* kFileNotFound = "Файл не найден ";  // + the request path
inline constexpr const char* kProxyFailure = "Ошибка прокси-сервера, проверьте настройки.";
inline constexpr const char* kServerConnectionFailed = "Ошибка соединения с сервером.";
inline constexpr const char* kAbortedByUser = "Прервано пользователем";
inline constexpr const char* kNoPackets = "Нет пакетов обновлений.";
inline constexpr const char* kUpdateStopped = "Обновление остановлено.";
inline constexpr const char* kUpdateRunningHere =
    "Обновление из Интернета уже идёт; второе не начато.";
inline constexpr const char* kStatusStopped = "Остановлено.";
inline constexpr const char* kStatusChecking = "Проверка обновлений...";
inline constexpr const char* kStatusReady = "Готово";
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

inline std::string DownloadingStatus(int n) {
    return "Скачиваем пакет №" + std::to_string(n) + "...";
}
inline std::string InstallingStatus(int n) {
    return "Подгружаем пакет №" + std::to_string(n) + "...";
}
inline std::string InstalledStatus(int n) {
    return "Пакет №" + std::to_string(n) + " - OK";
}
inline std::string DownloadWindowCaption(int n) {
    return "Загрузка пакета №" + std::to_string(n);
}
// The yes/no window's text when N.pckt is already on disk.
inline std::string AlreadyDownloadedText(int n) {
    return "Файл " + std::to_string(n) +
           ".pckt уже загружен. Вы можете установить обновление из файла. Если вы хотите "
           "заново скачать обновление нажмите \"Нет\".";
}

}  // namespace orv
