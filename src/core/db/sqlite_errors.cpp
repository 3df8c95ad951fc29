#include "db/sqlite_errors.h"

#include <sqlite3.h>

#include "util/message_text.h"

namespace orv {

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool Contains(std::string_view s, std::string_view part) {
    return s.find(part) != std::string_view::npos;
}

std::string Named(std::string_view message, std::string_view prefix) {
    return "«" + CutForMessage(message.substr(prefix.size())) + "»";
}

}  // namespace

std::string SqliteErrorText(int code, std::string_view message) {
    switch (code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "База данных справочника занята другой программой или другой копией "
                   "справочника. Закройте их и повторите команду";
        case SQLITE_NOTADB:
            return "Файл базы данных справочника повреждён или не является базой данных. "
                   "Восстановите source.bin из резервной копии или установите справочник заново";
        case SQLITE_CORRUPT:
            return "База данных справочника повреждена. Восстановите source.bin из резервной "
                   "копии или установите справочник заново";
        case SQLITE_READONLY:
            return "База данных справочника открыта только для чтения: нет права записи в файл "
                   "source.bin или в его папку. Проверьте права доступа к папке программы";
        case SQLITE_FULL:
            return "На диске не осталось места для базы данных справочника. Освободите место и "
                   "повторите команду";
        case SQLITE_IOERR:
            return "Не удалось прочитать или записать файл базы данных справочника. Проверьте "
                   "диск и повторите команду";
        case SQLITE_CANTOPEN:
            return "Не удалось открыть файл базы данных справочника. Проверьте, что файл на "
                   "месте и доступен";
        case SQLITE_NOMEM:
            return "Недостаточно памяти для работы с базой данных. Закройте другие программы и "
                   "повторите команду";
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return "Нет доступа к базе данных справочника. Проверьте права доступа к папке "
                   "программы";
        case SQLITE_TOOBIG:
            return "Данные слишком велики для базы данных справочника";
        case SQLITE_CONSTRAINT:
            return "Запись нарушает правила базы данных справочника (повтор ключа или пустое "
                   "обязательное поле)";
        case SQLITE_INTERRUPT:
            return "Запрос к базе данных прерван";
        default:
            break;
    }
    if (Contains(message, "Expression tree is too large") || Contains(message, "too many terms") ||
        Contains(message, "too many SQL variables") || Contains(message, "pattern too complex") ||
        Contains(message, "parser stack overflow"))
        return "Условие поиска слишком сложное: в нём слишком много слов. Сократите текст "
               "поиска";
    if (StartsWith(message, "no such table: "))
        return "В базе данных справочника нет таблицы " + Named(message, "no such table: ") +
               ". База повреждена или от другой программы";
    if (StartsWith(message, "no such column: "))
        return "В базе данных справочника нет столбца " + Named(message, "no such column: ") +
               ". База повреждена или от другой программы";
    if (Contains(message, "syntax error"))
        return "Ошибка в тексте запроса к базе данных";
    return "Ошибка базы данных (код SQLite " + std::to_string(code) + ")";
}

}  // namespace orv
