#pragma once
// The user's texts of the internet update and the packet download.
namespace orv {

inline constexpr const char* kProxyUserRefused = "Неверный пользователь Proxy";
inline constexpr const char* kFileNotFound = "Файл не найден ";  // + the request path
inline constexpr const char* kProxyFailure = "Ошибка прокси-сервера, проверьте настройки.";
inline constexpr const char* kServerConnectionFailed = "Ошибка соединения с сервером.";
inline constexpr const char* kAbortedByUser = "Прервано пользователем";
inline constexpr const char* kNoPackets = "Нет пакетов обновлений.";
inline constexpr const char* kUpdateStopped = "Обновление остановлено.";
inline constexpr const char* kStatusStopped = "Остановлено.";
inline constexpr const char* kStatusChecking = "Проверка обновлений...";
inline constexpr const char* kStatusReady = "Готово";
inline constexpr const char* kStatusInstalled = "подгружен";
inline constexpr const char* kDownloadCaption = "Загрузка";
inline constexpr const char* kCancelDownloadQuestion = "Отменить загрузку?";

}  // namespace orv
