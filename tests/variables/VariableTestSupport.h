#pragma once

#include "document/CodePage.h"
#include "document/OAControl.h"
#include "variables/FieldValues.h"
#include "variables/VariableEntries.h"
#include "variables/VariableModel.h"

#include <QDateTime>
#include <QMap>

#include <memory>

namespace korvel::test {

/// A fixed clock: Tuesday 5 March 2024, 14:07:09.
inline QDateTime fixedNow()
{
    return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
}

inline QByteArray gbk(const QString& s)
{
    return CodePage::document().fromUnicode(s);
}

/// A record source with one current record.
class FakeFields : public FieldValues {
public:
    bool open = true;
    QMap<QByteArray, QByteArray> values;

    bool isOpen() const override { return open; }
    std::optional<QByteArray> value(const QByteArray& fieldName) const override
    {
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (SameName(it.key(), fieldName))
                return it.value();
        }
        return std::nullopt;
    }
};

/// A minimal label object that only carries a variable binding.
class BoundObject : public TOAControl {
public:
    BoundObject(ObjectKind kind, const QByteArray& varName, VariableKind varType)
        : TOAControl(kind)
    {
        VarName = varName;
        VarType = static_cast<std::int32_t>(varType);
    }
    std::unique_ptr<TOAControl> clone() const override { return std::make_unique<BoundObject>(*this); }
    void Rotate90() override { }
};

inline DateEntry addDate(
    VariableTables& t, const QByteArray& name, int pattern = 0, int days = 0, int months = 0, int years = 0)
{
    t.dates.push_back(NewEntry(VariableKind::Date, name));
    DateEntry e(t.dates.back());
    e.setPatternIndex(pattern);
    e.setDayOffset(days);
    e.setMonthOffset(months);
    e.setYearOffset(years);
    return e;
}

inline TimeEntry addTime(VariableTables& t, const QByteArray& name, int pattern = 0, int minutes = 0, int hours = 0)
{
    t.times.push_back(NewEntry(VariableKind::Time, name));
    TimeEntry e(t.times.back());
    e.setPatternIndex(pattern);
    e.setMinuteOffset(minutes);
    e.setHourOffset(hours);
    return e;
}

inline CounterEntry addCounter(VariableTables& t, const QByteArray& name, CounterType type, const QByteArray& value,
    int step, const QByteArray& limit, const QByteArray& reset)
{
    t.counters.push_back(NewEntry(VariableKind::Counter, name));
    CounterEntry e(t.counters.back());
    e.setType(type);
    e.setValue(value);
    e.setStep(step);
    e.setLimit(limit);
    e.setResetValue(reset);
    return e;
}

inline FormulaEntry addFormula(VariableTables& t, const QByteArray& name, const QByteArray& expression)
{
    t.formulas.push_back(NewEntry(VariableKind::Formula, name));
    FormulaEntry e(t.formulas.back());
    e.setExpression(expression);
    return e;
}

inline DatabaseFieldEntry addDatabase(VariableTables& t, const QByteArray& column, const QByteArray& firstValue = {})
{
    t.database.push_back(NewDatabaseFieldEntry(column, firstValue));
    return DatabaseFieldEntry(t.database.back());
}

} // namespace korvel::test
