#include "variables/DateTimeVariables.h"

#include "document/CodePage.h"
#include "variables/OutputFormat.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace korvel {

QDateTime SystemNow()
{
    return QDateTime::currentDateTime();
}

QDateTime Now(const Clock& clock)
{
    return clock ? clock() : SystemNow();
}

namespace {

const QString kDatePatterns[] = {
    QStringLiteral("yyyy'年'mm'月'dd'日'"),
    QStringLiteral("yyyy'年'm'月'd'日'"),
    QStringLiteral("yy'年'm'月'd'日'"),
    QStringLiteral("yy'年'mm'月'dd'日'"),
    QStringLiteral("yy.mm.dd"),
    QStringLiteral("yyyy-mm-dd"),
    QStringLiteral("yyyy-m-d"),
};

const QString kTimePatterns[] = {
    QStringLiteral("h'时'n'分'"),
    QStringLiteral("hh'时'nn'分'"),
    QStringLiteral("AM/PM h'时'n'分'"),
    QStringLiteral("AM/PM hh'时'nn'分'"),
    QStringLiteral("h':'n"),
    QStringLiteral("hh':'nn"),
    QStringLiteral("AM/PM h':'n"),
    QStringLiteral("AM/PM hh':'nn"),
};

QString at(const QStringList& list, int index)
{
    return index >= 0 && index < list.size() ? list[index] : QString();
}

// Dates are kept where the four-digit year patterns can show them.
const QDate kFirstDate(1, 1, 1);
const QDate kLastDate(9999, 12, 31);

QDate clampDate(const QDate& d)
{
    if (!d.isValid())
        return kFirstDate;
    return std::clamp(d, kFirstDate, kLastDate);
}

QDate makeDate(std::int64_t year, int month, int day)
{
    if (year < 1)
        return kFirstDate;
    if (year > 9999)
        return kLastDate;
    const int y = static_cast<int>(year);
    const int days = QDate(y, month, 1).daysInMonth();
    return QDate(y, month, std::min(day, days));
}

/// A date and time without any time zone: offsets move the fields, never a daylight-saving
/// transition.
QDateTime naive(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, Qt::UTC);
}

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

bool startsWithCI(const QString& s, qsizetype pos, QLatin1String what)
{
    return s.mid(pos, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

bool hasAmPm(const QString& p)
{
    QChar quote;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            quote = c;
        else if (startsWithCI(p, i, QLatin1String("AM/PM")))
            return true;
    }
    return false;
}

qsizetype runLength(const QString& p, qsizetype pos)
{
    const QChar c = p[pos].toLower();
    qsizetype n = 1;
    while (pos + n < p.size() && p[pos + n].toLower() == c)
        ++n;
    return n;
}

QString fallbackFormat(const QDateTime& t)
{
    const QLocale locale;
    return locale.toString(t.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + t.time().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

QString BuiltInDatePattern(int index)
{
    return index >= 0 && index < 7 ? kDatePatterns[index] : QString();
}

QString BuiltInTimePattern(int index)
{
    return index >= 0 && index < 8 ? kTimePatterns[index] : QString();
}

DateTimePatterns DateTimePatterns::builtIn()
{
    DateTimePatterns p;
    for (const QString& s : kDatePatterns)
        p.date << s;
    for (const QString& s : kTimePatterns)
        p.time << s;
    return p;
}

QString DateTimePatterns::datePattern(int index) const
{
    return at(date, index);
}

QString DateTimePatterns::timePattern(int index) const
{
    return at(time, index);
}

QString FormatDateTimePattern(const QString& p, const QDateTime& t)
{
    if (p.isEmpty())
        return fallbackFormat(t);
    const QDate date = t.date();
    const QTime time = t.time();
    const bool twelve = hasAmPm(p);
    int hour = time.hour();
    if (twelve) {
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }

    QString out;
    qsizetype i = 0;
    while (i < p.size()) {
        const QChar c = p[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = p.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? p.size() : end;
            out += p.mid(i + 1, stop - i - 1);
            i = end < 0 ? p.size() : end + 1;
            continue;
        }
        if (startsWithCI(p, i, QLatin1String("AM/PM"))) {
            out += time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            i += 5;
            continue;
        }
        const qsizetype n = runLength(p, i);
        switch (c.toLower().unicode()) {
        case 'y':
            out += n <= 2 ? twoDigits(date.year() % 100)
                          : QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            break;
        case 'm':
            if (n == 1)
                out += QString::number(date.month());
            else if (n == 2)
                out += twoDigits(date.month());
            else
                out += QLocale().monthName(date.month(), n == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            break;
        case 'd':
            if (n == 1)
                out += QString::number(date.day());
            else if (n == 2)
                out += twoDigits(date.day());
            else
                out += QLocale().dayName(date.dayOfWeek(), n == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            break;
        case 'h': out += n == 1 ? QString::number(hour) : twoDigits(hour); break;
        case 'n': out += n == 1 ? QString::number(time.minute()) : twoDigits(time.minute()); break;
        case 's': out += n == 1 ? QString::number(time.second()) : twoDigits(time.second()); break;
        default: out += p.mid(i, n); break;
        }
        i += n;
    }
    return out;
}

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
} // namespace

double ToDateTimeValue(const QDateTime& t)
{
    const double days = static_cast<double>(kEpoch.daysTo(t.date()));
    const double fraction = t.time().msecsSinceStartOfDay() / kMsPerDay;
    // Before the epoch the whole part counts back while the fraction still counts forward.
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime FromDateTimeValue(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6)
        return naive(kEpoch, QTime(0, 0));
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    const int ms
        = static_cast<int>(std::min(std::llround(fraction * kMsPerDay), static_cast<long long>(kMsPerDay) - 1));
    return naive(clampDate(kEpoch.addDays(static_cast<qint64>(whole))), QTime::fromMSecsSinceStartOfDay(ms));
}

QDateTime OffsetDate(const QDateTime& now, int dayOffset, int monthOffset, int yearOffset)
{
    QDate d = clampDate(now.date());
    if (dayOffset != 0)
        d = clampDate(d.addDays(dayOffset));
    if (monthOffset != 0) {
        // Counted in whole months, so that offsets of a year or more stay valid dates too.
        const std::int64_t months = std::int64_t(d.year()) * 12 + (d.month() - 1) + monthOffset;
        const std::int64_t year = months >= 0 ? months / 12 : -((-months + 11) / 12);
        const int month = static_cast<int>(months - year * 12) + 1;
        d = makeDate(year, month, d.day());
    }
    if (yearOffset != 0)
        d = makeDate(std::int64_t(d.year()) + yearOffset, d.month(), d.day());
    return naive(d, now.time());
}

QDateTime OffsetTime(const QDateTime& now, int minuteOffset, int hourOffset)
{
    QDateTime t = naive(clampDate(now.date()), now.time());
    if (minuteOffset != 0)
        t = t.addSecs(std::int64_t(minuteOffset) * 60);
    if (hourOffset != 0)
        t = t.addSecs(std::int64_t(hourOffset) * 3600);
    return naive(clampDate(t.date()), t.time());
}

QByteArray EvaluateDate(ConstDateEntry entry, const QDateTime& now, const DateTimePatterns& patterns)
{
    const QDateTime t = OffsetDate(now, entry.dayOffset(), entry.monthOffset(), entry.yearOffset());
    return CodePage::document().fromUnicode(FormatDateTimePattern(patterns.datePattern(entry.patternIndex()), t));
}

QByteArray EvaluateTime(ConstTimeEntry entry, const QDateTime& now, const DateTimePatterns& patterns)
{
    const QDateTime t = OffsetTime(now, entry.minuteOffset(), entry.hourOffset());
    return CodePage::document().fromUnicode(FormatDateTimePattern(patterns.timePattern(entry.patternIndex()), t));
}

// --- dialogs -----------------------------------------------------------------------------

namespace {

bool offsetValue(const QString& text, int lo, int hi, int* out)
{
    int v = 0;
    if (!ParseInt(text, &v))
        return false;
    *out = std::clamp(v, lo, hi);
    return true;
}

int offsetOrZero(const QString& text, int lo, int hi)
{
    int v = 0;
    return offsetValue(text, lo, hi, &v) ? v : 0;
}

} // namespace

QStringList DatePatternList(const QDateTime& now, const DateTimePatterns& patterns)
{
    QStringList out;
    for (int i = 0; i < BasicDateEntry<false>::PatternCount; ++i)
        out << FormatDateTimePattern(patterns.datePattern(i), now);
    return out;
}

std::optional<QString> DateFormPreview(const DateFormFields& f, const QDateTime& now, const DateTimePatterns& patterns)
{
    int d = 0, m = 0, y = 0;
    if (!offsetValue(f.dayOffset, DayOffsetMin, DayOffsetMax, &d)
        || !offsetValue(f.monthOffset, MonthOffsetMin, MonthOffsetMax, &m)
        || !offsetValue(f.yearOffset, YearOffsetMin, YearOffsetMax, &y))
        return std::nullopt;
    return FormatDateTimePattern(patterns.datePattern(f.patternIndex), OffsetDate(now, d, m, y));
}

void StoreDateForm(DateEntry entry, const QByteArray& name, const DateFormFields& f, const QDateTime& now)
{
    const int d = offsetOrZero(f.dayOffset, DayOffsetMin, DayOffsetMax);
    const int m = offsetOrZero(f.monthOffset, MonthOffsetMin, MonthOffsetMax);
    const int y = offsetOrZero(f.yearOffset, YearOffsetMin, YearOffsetMax);
    entry.setName(name);
    entry.setPatternIndex(std::clamp(f.patternIndex, 0, ConstDateEntry::PatternCount - 1));
    entry.setDayOffset(d);
    entry.setMonthOffset(m);
    entry.setYearOffset(y);
    entry.setUnitIndex(0);
    entry.setEditedValue(ToDateTimeValue(OffsetDate(now, d, m, y)));
}

QStringList TimePatternList(const QDateTime& now, const DateTimePatterns& patterns)
{
    QStringList out;
    for (int i = 0; i < BasicTimeEntry<false>::PatternCount; ++i)
        out << FormatDateTimePattern(patterns.timePattern(i), now);
    return out;
}

QString NormalizeTimeOffsetText(const QString& text)
{
    QString digits = text.trimmed();
    if (digits.startsWith(QLatin1Char('+')))
        digits.remove(0, 1);
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
        return text;
    // Compared by significant digits, so a number beyond the range of int is caught too.
    while (digits.size() > 1 && digits[0] == QLatin1Char('0'))
        digits.remove(0, 1);
    return digits.size() > 6 ? QString::number(TimeOffsetTypedMax) : text;
}

std::optional<QString> TimeFormPreview(const TimeFormFields& f, const QDateTime& now, const DateTimePatterns& patterns)
{
    if (f.minuteOffset.trimmed().isEmpty() || f.hourOffset.trimmed().isEmpty())
        return FormatDateTimePattern(BuiltInTimePattern(f.patternIndex), now);
    int n = 0, h = 0;
    if (!offsetValue(f.minuteOffset, MinuteOffsetMin, MinuteOffsetMax, &n)
        || !offsetValue(f.hourOffset, HourOffsetMin, HourOffsetMax, &h))
        return std::nullopt;
    return FormatDateTimePattern(patterns.timePattern(f.patternIndex), OffsetTime(now, n, h));
}

void StoreTimeForm(TimeEntry entry, const QByteArray& name, const TimeFormFields& f, const QDateTime& now)
{
    // An empty offset field means no offset (the spin editor would otherwise report its minimum).
    const int n = offsetOrZero(f.minuteOffset, MinuteOffsetMin, MinuteOffsetMax);
    const int h = offsetOrZero(f.hourOffset, HourOffsetMin, HourOffsetMax);
    entry.setName(name);
    entry.setPatternIndex(std::clamp(f.patternIndex, 0, ConstTimeEntry::PatternCount - 1));
    entry.setMinuteOffset(n);
    entry.setHourOffset(h);
    entry.setUnitIndex(0);
    entry.setEditedValue(ToDateTimeValue(OffsetTime(now, n, h)));
}

} // namespace korvel
