#pragma once
// Dates as the reference stores them: a day number, days since 30 December 1899 with the time
// of day as the fraction, in local time.
#include <ctime>
#include <string>

namespace orv {

double DayNumberFromTime(std::time_t t);
double DayNumberNow();

// The day number as SQL text: up to 15 significant digits, "." as the decimal separator.
std::string DayNumberSqlText(double day);
// As a Russian desktop shows a date and time: "09.12.2026 7:05:03"; the date alone at midnight.
std::string FormatDayNumber(double day);

}  // namespace orv
