#include "variables/DateTimeVariables.h"

#include "VariableTestSupport.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace korvel {
namespace {

using test::fixedNow;
using test::gbk;

QDateTime at(int y, int m, int d, int h = 10, int n = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, n));
}

TEST(DatePatterns, EveryBuiltInPatternWithAFixedClock)
{
    const QString expected[] = {
        QStringLiteral("2024年03月05日"),
        QStringLiteral("2024年3月5日"),
        QStringLiteral("24年3月5日"),
        QStringLiteral("24年03月05日"),
        QStringLiteral("24.03.05"),
        QStringLiteral("2024-03-05"),
        QStringLiteral("2024-3-5"),
    };
    VariableTables t;
    for (int i = 0; i < 7; ++i) {
        t.dates.clear();
        test::addDate(t, "Date1", i);
        EXPECT_EQ(EvaluateDate(ConstDateEntry(t.dates[0]), fixedNow()), gbk(expected[i])) << i;
    }
    EXPECT_EQ(DatePatternList(fixedNow(), DateTimePatterns::builtIn()),
        QStringList(std::begin(expected), std::end(expected)));
}

TEST(TimePatterns, EveryBuiltInPatternAroundTheClock)
{
    struct Case {
        QTime time;
        QString expected[8];
    };
    const Case cases[] = {
        { QTime(14, 7),
            { QStringLiteral("14时7分"), QStringLiteral("14时07分"), QStringLiteral("PM 2时7分"),
                QStringLiteral("PM 02时07分"), QStringLiteral("14:7"), QStringLiteral("14:07"),
                QStringLiteral("PM 2:7"), QStringLiteral("PM 02:07") } },
        { QTime(0, 5),
            { QStringLiteral("0时5分"), QStringLiteral("00时05分"), QStringLiteral("AM 12时5分"),
                QStringLiteral("AM 12时05分"), QStringLiteral("0:5"), QStringLiteral("00:05"),
                QStringLiteral("AM 12:5"), QStringLiteral("AM 12:05") } },
        { QTime(12, 30),
            { QStringLiteral("12时30分"), QStringLiteral("12时30分"), QStringLiteral("PM 12时30分"),
                QStringLiteral("PM 12时30分"), QStringLiteral("12:30"), QStringLiteral("12:30"),
                QStringLiteral("PM 12:30"), QStringLiteral("PM 12:30") } },
    };
    VariableTables t;
    for (const Case& c : cases) {
        const QDateTime now(QDate(2024, 3, 5), c.time);
        for (int i = 0; i < 8; ++i) {
            t.times.clear();
            test::addTime(t, "Time1", i);
            EXPECT_EQ(EvaluateTime(ConstTimeEntry(t.times[0]), now), gbk(c.expected[i]))
                << c.time.toString().toStdString() << " pattern " << i;
        }
    }
}

TEST(DatePatterns, PatternLetters)
{
    const QDateTime t(QDate(2007, 11, 9), QTime(21, 4, 3));
    EXPECT_EQ(FormatDateTimePattern(QStringLiteral("YYYY/MM/DD"), t), QStringLiteral("2007/11/09"));
    EXPECT_EQ(FormatDateTimePattern(QStringLiteral("hh:nn:ss AM/PM"), t), QStringLiteral("09:04:03 PM"));
    EXPECT_EQ(FormatDateTimePattern(QStringLiteral("'yyyy' \"mm\" d"), t), QStringLiteral("yyyy mm 9"));
    EXPECT_EQ(FormatDateTimePattern(QStringLiteral("'AM/PM' h"), t), QStringLiteral("AM/PM 21"))
        << "a quoted AM/PM is text and leaves the 24-hour clock";
    EXPECT_EQ(FormatDateTimePattern(QStringLiteral("yy'unclosed"), t), QStringLiteral("07unclosed"));
}

TEST(DatePatterns, MissingPatternGivesShortDateAndLongTime)
{
    DateTimePatterns patterns = DateTimePatterns::builtIn();
    patterns.date = QStringList { QString() };
    VariableTables t;
    test::addDate(t, "Date1", 3);
    const QString expected = QLocale().toString(QDate(2024, 3, 5), QLocale::ShortFormat) + " 14:07:09";
    EXPECT_EQ(EvaluateDate(ConstDateEntry(t.dates[0]), fixedNow(), patterns), gbk(expected));
    test::addDate(t, "Date2", 0);
    EXPECT_EQ(EvaluateDate(ConstDateEntry(t.dates[1]), fixedNow(), patterns), gbk(expected));
    // An index outside the list is a missing pattern too.
    DateEntry(t.dates[1]).setPatternIndex(-4);
    EXPECT_EQ(EvaluateDate(ConstDateEntry(t.dates[1]), fixedNow()), gbk(expected));
}

TEST(DateOffsets, DayThenMonthThenYear)
{
    struct Case {
        QDateTime now;
        int days, months, years;
        QDate expected;
        const char* what;
    };
    const Case cases[] = {
        { at(2023, 3, 31), 0, -1, 0, QDate(2023, 2, 28), "lowered to the month's length" },
        { at(2024, 3, 31), 0, -1, 0, QDate(2024, 2, 29), "leap year" },
        { at(2024, 1, 15), 0, -1, 0, QDate(2023, 12, 15), "back into the previous year" },
        { at(2024, 1, 15), 0, 11, 0, QDate(2024, 12, 15), "same year" },
        { at(2024, 11, 15), 0, 2, 0, QDate(2025, 1, 15), "into the next year" },
        { at(2024, 5, 15), 0, -5, 0, QDate(2023, 12, 15), "offset equal to the month" },
        { at(2024, 2, 29), 0, 0, 1, QDate(2025, 2, 28), "29 February in a common year" },
        { at(2024, 1, 31), 1, 1, 0, QDate(2024, 3, 1), "day first, then month" },
        { at(2024, 3, 5), 31, 0, 0, QDate(2024, 4, 5), "days" },
        { at(2024, 3, 5), -31, 0, -100, QDate(1924, 2, 3), "backwards" },
        { at(2024, 1, 15), 0, -13, 0, QDate(2022, 12, 15), "beyond the dialog's range still a date" },
        { at(2024, 1, 15), 0, 25, 0, QDate(2026, 2, 15), "two years and a month" },
        { at(9999, 12, 1), 100, 0, 0, QDate(9999, 12, 31), "kept within year 9999" },
    };
    for (const Case& c : cases) {
        const QDateTime got = OffsetDate(c.now, c.days, c.months, c.years);
        EXPECT_EQ(got.date(), c.expected) << c.what;
        EXPECT_EQ(got.time(), c.now.time()) << c.what;
    }
}

TEST(TimeOffsets, WrapPastMidnight)
{
    VariableTables t;
    test::addTime(t, "Time1", 4, 0, 1);
    EXPECT_EQ(EvaluateTime(ConstTimeEntry(t.times[0]), at(2024, 3, 5, 23, 30)), "0:30");
    const QDateTime back = OffsetTime(at(2024, 3, 5, 0, 10), -60, 0);
    EXPECT_EQ(back.date(), QDate(2024, 3, 4));
    EXPECT_EQ(back.time(), QTime(23, 10));
    const QDateTime both = OffsetTime(at(2024, 3, 5, 10, 50), 15, -24);
    EXPECT_EQ(both.date(), QDate(2024, 3, 4));
    EXPECT_EQ(both.time(), QTime(11, 5));
}

TEST(DateTimeValue, DaysSince30December1899)
{
    EXPECT_DOUBLE_EQ(ToDateTimeValue(at(1899, 12, 30, 0)), 0.0);
    EXPECT_DOUBLE_EQ(ToDateTimeValue(at(1900, 1, 1, 12)), 2.5);
    EXPECT_DOUBLE_EQ(ToDateTimeValue(at(1899, 12, 29, 6)), -1.25);
    EXPECT_DOUBLE_EQ(ToDateTimeValue(at(2024, 3, 5, 0)), 45356.0);
    for (double v : { 0.0, 2.5, -1.25, 45356.75 }) {
        EXPECT_DOUBLE_EQ(ToDateTimeValue(FromDateTimeValue(v)), v) << v;
    }
    EXPECT_EQ(FromDateTimeValue(std::numeric_limits<double>::quiet_NaN()).date(), QDate(1899, 12, 30));
}

TEST(DateForm, PreviewAndStore)
{
    const DateTimePatterns patterns = DateTimePatterns::builtIn();
    DateFormFields f;
    f.patternIndex = 5;
    f.monthOffset = "6";
    EXPECT_EQ(DateFormPreview(f, fixedNow(), patterns), QStringLiteral("2024-09-05"));
    f.dayOffset = "1x";
    EXPECT_EQ(DateFormPreview(f, fixedNow(), patterns), std::nullopt) << "the preview stays unchanged";
    f.dayOffset = "40";
    EXPECT_EQ(DateFormPreview(f, fixedNow(), patterns), QStringLiteral("2024-10-05")) << "kept to 31 days";

    QByteArray bytes = NewEntry(VariableKind::Date, "Date1");
    DateEntry e(bytes);
    f.dayOffset = "-2";
    f.yearOffset = "";
    StoreDateForm(e, "Date7", f, fixedNow());
    EXPECT_EQ(e.name(), "Date7");
    EXPECT_EQ(e.patternIndex(), 5);
    EXPECT_EQ(e.dayOffset(), -2);
    EXPECT_EQ(e.monthOffset(), 6);
    EXPECT_EQ(e.yearOffset(), 0);
    EXPECT_EQ(e.unitIndex(), 0);
    EXPECT_EQ(FromDateTimeValue(e.editedValue()).date(), QDate(2024, 9, 3));
    EXPECT_EQ(bytes.size(), 152);
}

TEST(TimeForm, PreviewAndStore)
{
    DateTimePatterns patterns = DateTimePatterns::builtIn();
    patterns.time[5] = QStringLiteral("hh'h'nn");
    TimeFormFields f;
    f.patternIndex = 5;
    f.minuteOffset = "30";
    f.hourOffset = "1";
    EXPECT_EQ(TimeFormPreview(f, fixedNow(), patterns), QStringLiteral("15h37"));
    f.minuteOffset = "";
    EXPECT_EQ(TimeFormPreview(f, fixedNow(), patterns), QStringLiteral("14:07"))
        << "an empty offset shows the current time in the built-in pattern";
    f.minuteOffset = "a";
    EXPECT_EQ(TimeFormPreview(f, fixedNow(), patterns), std::nullopt);

    EXPECT_EQ(NormalizeTimeOffsetText("1000000"), "999999");
    EXPECT_EQ(NormalizeTimeOffsetText("99999999999999999999"), "999999");
    EXPECT_EQ(NormalizeTimeOffsetText("999999"), "999999");
    EXPECT_EQ(NormalizeTimeOffsetText("-5"), "-5");

    QByteArray bytes = NewEntry(VariableKind::Time, "Time1");
    TimeEntry e(bytes);
    f.minuteOffset = "";
    f.hourOffset = "";
    StoreTimeForm(e, "Time1", f, fixedNow());
    EXPECT_EQ(e.minuteOffset(), 0);
    EXPECT_EQ(e.hourOffset(), 0) << "an empty hour offset is no offset";
    f.minuteOffset = "-90";
    f.hourOffset = "2";
    StoreTimeForm(e, "Time1", f, fixedNow());
    EXPECT_EQ(e.minuteOffset(), -60);
    EXPECT_EQ(e.hourOffset(), 2);
    EXPECT_EQ(FromDateTimeValue(e.editedValue()).time(), QTime(15, 7, 9));
}

} // namespace
} // namespace korvel
