#include "update/day_number.h"

#include <cmath>
#include <cstdio>

namespace orv {

namespace {
// Day number of 1970-01-01 in the 1899-12-30 count.
constexpr double kUnixEpochDay = 25569.0;

// Days between the civil date and 1970-01-01 (proleptic Gregorian calendar).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}
}  // namespace

double DayNumberFromTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    long long days = DaysFromCivil(tm.tm_year + 1900LL, static_cast<unsigned>(tm.tm_mon + 1),
                                   static_cast<unsigned>(tm.tm_mday));
    double seconds = tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec;
    return kUnixEpochDay + static_cast<double>(days) + seconds / 86400.0;
}

double DayNumberNow() {
    return DayNumberFromTime(std::time(nullptr));
}

std::string DayNumberSqlText(double day) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", day);
    std::string s = buf;
    // A locale with a decimal comma writes one; SQL wants the point.
    if (auto at = s.find(','); at != std::string::npos)
        s[at] = '.';
    return s;
}

std::string FormatDayNumber(double day) {
    double whole = std::floor(day);
    int y, m, d;
    CivilFromDays(static_cast<long long>(whole - kUnixEpochDay), y, m, d);
    long secs = std::lround((day - whole) * 86400.0);
    if (secs >= 86400)
        secs = 86399;
    char buf[64];
    if (secs == 0) {
        std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d, m, y);
    } else {
        std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %ld:%02ld:%02ld", d, m, y, secs / 3600,
                      secs / 60 % 60, secs % 60);
    }
    return buf;
}

}  // namespace orv
