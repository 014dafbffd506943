#pragma once

#include "variables/VariableEntries.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace korvel {

/// Source of the current local date and time; tests inject a fixed one.
using Clock = std::function<QDateTime()>;
/// The computer's clock.
QDateTime SystemNow();
/// The clock's time, or the system's when the clock is empty.
QDateTime Now(const Clock& clock);

/// The display patterns in use: the date patterns 0-6 and time patterns 0-7 from the language
/// file (sections "Common1" and "Common2", keys "message1"…). An empty or missing pattern
/// formats as the system's short date followed by the long time.
struct DateTimePatterns {
    QStringList date;
    QStringList time;

    /// The built-in lists.
    static DateTimePatterns builtIn();
    QString datePattern(int index) const;
    QString timePattern(int index) const;
};
QString BuiltInDatePattern(int index);
QString BuiltInTimePattern(int index);

/// Formats a date and time with a display pattern: yyyy, yy, mm/m (month), dd/d, hh/h, nn/n,
/// AM/PM (12-hour clock for every hour of the pattern), quoted literals. An empty pattern gives
/// the system's short date and long time.
QString FormatDateTimePattern(const QString& pattern, const QDateTime& t);

/// Date-time as days since 30 December 1899 with the time of day as the fraction.
double ToDateTimeValue(const QDateTime& t);
QDateTime FromDateTimeValue(double value);

/// The current time moved by the offsets of a date entry: days, then months, then years.
QDateTime OffsetDate(const QDateTime& now, int dayOffset, int monthOffset, int yearOffset);
/// The current time moved by minutes and hours; the hour wraps past midnight.
QDateTime OffsetTime(const QDateTime& now, int minuteOffset, int hourOffset);

/// The date entry's text in the document code page.
QByteArray EvaluateDate(
    ConstDateEntry entry, const QDateTime& now, const DateTimePatterns& patterns = DateTimePatterns::builtIn());
QByteArray EvaluateTime(
    ConstTimeEntry entry, const QDateTime& now, const DateTimePatterns& patterns = DateTimePatterns::builtIn());

// --- TDateForm and TTimeForm ----------------------------------------------------------------

/// The fields of the date dialog as typed.
struct DateFormFields {
    int patternIndex = 0;
    QString dayOffset = QStringLiteral("0");
    QString monthOffset = QStringLiteral("0");
    QString yearOffset = QStringLiteral("0");
};
inline constexpr int DayOffsetMin = -31, DayOffsetMax = 31;
inline constexpr int MonthOffsetMin = -11, MonthOffsetMax = 11;
inline constexpr int YearOffsetMin = -100, YearOffsetMax = 100;

/// The pattern list: every date pattern applied to the current date.
QStringList DatePatternList(const QDateTime& now, const DateTimePatterns& patterns);
/// The preview for the fields; nullopt when an offset is not an integer (the preview stays).
std::optional<QString> DateFormPreview(
    const DateFormFields& fields, const QDateTime& now, const DateTimePatterns& patterns);
/// OK: stores the name, pattern index, offsets (kept to the spin ranges; not an integer is 0),
/// the hidden unit index and the previewed value.
void StoreDateForm(DateEntry entry, const QByteArray& name, const DateFormFields& fields, const QDateTime& now);

struct TimeFormFields {
    int patternIndex = 0;
    QString minuteOffset = QStringLiteral("0");
    QString hourOffset = QStringLiteral("0");
};
inline constexpr int MinuteOffsetMin = -60, MinuteOffsetMax = 60;
inline constexpr int HourOffsetMin = -24, HourOffsetMax = 24;
inline constexpr int TimeOffsetTypedMax = 999999;

QStringList TimePatternList(const QDateTime& now, const DateTimePatterns& patterns);
/// A typed offset above 999999 is set to 999999.
QString NormalizeTimeOffsetText(const QString& text);
/// While an offset field is empty the preview shows the current time in the built-in pattern of
/// the index; nullopt when an offset is not an integer.
std::optional<QString> TimeFormPreview(
    const TimeFormFields& fields, const QDateTime& now, const DateTimePatterns& patterns);
/// OK: an empty offset is stored as 0; then the name, pattern index, offsets, the hidden unit
/// index and the previewed value.
void StoreTimeForm(TimeEntry entry, const QByteArray& name, const TimeFormFields& fields, const QDateTime& now);

} // namespace korvel
