#pragma once

#include "variables/OutputFormat.h"
#include "variables/VariableEntries.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace korvel {

class LabelDocument;

/// Whether a character belongs to the counter type's alphabet.
bool InCounterAlphabet(CounterType type, char c);
/// Counter order: the longer value is greater; at equal length characters compare by code.
/// Negative, zero or positive like strcmp.
int CompareCounterValues(const QByteArray& a, const QByteArray& b);
/// True when value is greater than limit in counter order (equal values do not exceed).
bool Exceeds(const QByteArray& value, const QByteArray& limit);

/// value + k (k > 0) by character arithmetic: the value keeps its width unless a carry runs
/// past its first character (99 + 1 = 100); a letter counter wraps instead (ZZ + 1 = AA).
QByteArray AddToCounterValue(CounterType type, const QByteArray& value, std::int64_t k);
/// value - k (k > 0): the width stays and an underflow wraps (000 - 1 = 999).
QByteArray SubtractFromCounterValue(CounterType type, const QByteArray& value, std::int64_t k);

/// One step of the counter: reset when already past the limit, else step, cut to 20
/// characters, and reset when the new value is past the limit.
void StepCounter(CounterEntry entry);
/// Whether the counter steps at running number n of a job that started at s: when (n + s - 1)
/// is a multiple of its labels per step (taken as 1 when the stored number is below 1).
bool CounterStepsAt(ConstCounterEntry entry, std::int64_t n, std::int64_t s);
/// Steps every counter that an object or a formula uses and whose labels per step allow it.
void StepCountersInUse(LabelDocument& document, std::int64_t n, std::int64_t s);

/// The counter's current value through its output format; never steps.
QByteArray EvaluateCounter(ConstCounterEntry entry);

// --- TCounterForm ---------------------------------------------------------------------------

/// The counter dialog's fields as typed.
struct CounterFormFields {
    CounterType type = CounterType::Decimal;
    QString initialValue = QStringLiteral("0");
    QString step = QStringLiteral("+1");
    QString limit = QStringLiteral("9");
    QString resetValue = QStringLiteral("0");
    QString labelsPerStep = QStringLiteral("1");
    OutputFormatFields format;
};
inline constexpr int CounterInitialValueMax = 15;
inline constexpr int CounterLabelsPerStepMin = 1;
inline constexpr int CounterLabelsPerStepMax = 9999;

/// The fields showing a stored entry.
CounterFormFields CounterFieldsFromEntry(ConstCounterEntry entry);
/// Choosing a type sets value, limit and reset to the type's defaults; returns the key of the
/// type's hint (section "All": "message1".."message3").
QString ChooseCounterType(CounterFormFields& fields, CounterType type);
/// After the initial value changed: upper-cased and cut to 15 characters; the limit keeps the
/// value's width; the fill width becomes the value's length + 1.
void CounterInitialValueChanged(CounterFormFields& fields);
/// Characters the step field admits: 5 for a step beginning with "-", else 4.
int CounterStepMaxLength(const QString& step);
/// After the step changed: a negative step sets the limit to the lowest value of the initial
/// value's width.
void CounterStepChanged(CounterFormFields& fields);
/// A field left empty gets a value and a message (section "CounterFormInside").
struct FieldOnLeave {
    QString text;
    QString messageKey; ///< empty: no message
};
/// Leaving the maximum length empty shows "message7" and sets "20".
FieldOnLeave CounterMaxLengthOnLeave(const QString& text);
/// Leaving the fill width empty shows "message8" and sets "2".
FieldOnLeave CounterFillWidthOnLeave(const QString& text);
/// Decimal places that are not an integer from 0 to 20 become "1".
QString CounterDecimalPlacesText(const QString& text);

enum class CounterField : int {
    None = 0,
    Limit,
    Step,
    InitialValue,
    MaxLength,
    LabelsPerStep,
    ResetValue,
};

/// The counter dialog's OK: runs the checks in order and stores the entry. A failed check
/// after the entry was stored leaves it stored, as the dialog works on a copy.
FormCheck AcceptCounterForm(const CounterFormFields& fields, const QByteArray& name, CounterEntry entry);

} // namespace korvel
