#pragma once
// The user's texts of the internet update and the packet download.
#include <string>

namespace orv {

inline constexpr const char* kProxyUserRefused = "Неверный пользователь Proxy";
inline constexpr const char* kFileNotFound = "Файл не найден ";  // + the request path
inline constexpr const char* kProxyFailure = "Ошибка прокси-сервера, проверьте настройки.";
inline constexpr const char* kServerConnectionFailed = "Ошибка соединения с сервером.";
inline constexpr const char* kAbortedByUser = "Прервано пользователем";
inline constexpr const char* kStatusChecking = "Проверка обновлений...";
inline constexpr const char* kStatusReady = "Готово";

inline std::string DownloadingStatus(int n) {
    return "Скачиваем пакет №" + std::to_string(n) + "...";
}
inline std::string InstallingStatus(int n) {
    return "Подгружаем пакет №" + std::to_string(n) + "...";
}
inline std::string InstalledStatus(int n) {
    return "Пакет №" + std::to_string(n) + " - OK";
}

}  // namespace orv
