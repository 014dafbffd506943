#include "variables/CounterVariable.h"

#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "variables/VariableModel.h"

#include <algorithm>

namespace korvel {

namespace {

/// Position of a character in the type's alphabet, or -1 outside it.
int digitOf(CounterType type, char c)
{
    const bool digit = c >= '0' && c <= '9';
    const bool letter = c >= 'A' && c <= 'Z';
    switch (type) {
    case CounterType::Decimal: return digit ? c - '0' : -1;
    case CounterType::Letters: return letter ? c - 'A' : -1;
    case CounterType::Alphanumeric: return digit ? c - '0' : letter ? 10 + (c - 'A') : -1;
    }
    return -1;
}

int baseOf(CounterType type)
{
    switch (type) {
    case CounterType::Decimal: return 10;
    case CounterType::Letters: return 26;
    case CounterType::Alphanumeric: return 36;
    }
    return 0;
}

char charOf(CounterType type, int d)
{
    if (type == CounterType::Letters)
        return static_cast<char>('A' + d);
    return d < 10 ? static_cast<char>('0' + d) : static_cast<char>('A' + d - 10);
}

/// Adds delta to the last character with carry or borrow to the left, exactly as `|delta|`
/// single increments or decrements would: a character outside the alphabet (or the start of
/// the string) ends the carry, which is then lost.
void addAtEnd(CounterType type, QByteArray& s, std::int64_t delta)
{
    const int base = baseOf(type);
    if (base == 0)
        return;
    std::int64_t carry = delta;
    for (qsizetype i = s.size() - 1; i >= 0 && carry != 0; --i) {
        const int d = digitOf(type, s[i]);
        if (d < 0)
            return;
        const std::int64_t sum = d + carry;
        std::int64_t digit = sum % base;
        if (digit < 0)
            digit += base;
        carry = (sum - digit) / base;
        s[i] = charOf(type, static_cast<int>(digit));
    }
}

int decimalDigits(std::int64_t k)
{
    int d = 1;
    while (k >= 10) {
        k /= 10;
        ++d;
    }
    return d;
}

/// Numeric comparison of two digit strings of any length.
int compareDecimal(QByteArray a, QByteArray b)
{
    auto strip = [](QByteArray& s) {
        qsizetype i = 0;
        while (i + 1 < s.size() && s[i] == '0')
            ++i;
        s = s.mid(i);
    };
    strip(a);
    strip(b);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a == b ? 0 : (a < b ? -1 : 1);
}

bool pastLimit(std::int32_t step, const QByteArray& value, const QByteArray& limit)
{
    return step < 0 ? !Exceeds(value, limit) : Exceeds(value, limit);
}

} // namespace

bool InCounterAlphabet(CounterType type, char c)
{
    return digitOf(type, c) >= 0;
}

int CompareCounterValues(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

bool Exceeds(const QByteArray& value, const QByteArray& limit)
{
    return CompareCounterValues(value, limit) > 0;
}

QByteArray AddToCounterValue(CounterType type, const QByteArray& value, std::int64_t k)
{
    if (k <= 0)
        return value;
    const int added = std::max(1, decimalDigits(k) - 1);
    QByteArray work = QByteArray(added, '0') + value;
    addAtEnd(type, work, k);
    int removed = 0;
    while (removed < added && work.startsWith('0')) {
        work.remove(0, 1);
        ++removed;
    }
    return work;
}

QByteArray SubtractFromCounterValue(CounterType type, const QByteArray& value, std::int64_t k)
{
    if (k <= 0)
        return value;
    QByteArray work = "1" + value;
    addAtEnd(type, work, -k);
    return work.mid(1);
}

void StepCounter(CounterEntry entry)
{
    const std::int32_t step = entry.step();
    const QByteArray limit = entry.limit();
    QByteArray value = entry.value();
    if (pastLimit(step, value, limit)) {
        entry.setValue(entry.resetValue());
        return;
    }
    if (step == 0)
        return;
    const CounterType type = entry.type();
    value
        = step > 0 ? AddToCounterValue(type, value, step) : SubtractFromCounterValue(type, value, -std::int64_t(step));
    value = CodePage::document().cutBytes(value, ConstCounterEntry::ValueCapacity);
    if (pastLimit(step, value, limit))
        value = entry.resetValue();
    entry.setValue(value);
}

bool CounterStepsAt(ConstCounterEntry entry, std::int64_t n, std::int64_t s)
{
    // A stored count below 1 would divide by zero; it steps on every label instead.
    const std::int64_t per = std::max<std::int32_t>(entry.labelsPerStep(), 1);
    return (n + s - 1) % per == 0;
}

void StepCountersInUse(LabelDocument& document, std::int64_t n, std::int64_t s)
{
    const int count = EntryCount(document.variables, VariableKind::Counter);
    for (int i = 1; i <= count; ++i) {
        if (!IsVariableInUse(document, VariableKind::Counter, i))
            continue;
        CounterEntry entry(Entry(document.variables, VariableKind::Counter, i));
        if (CounterStepsAt(entry, n, s))
            StepCounter(entry);
    }
}

QByteArray EvaluateCounter(ConstCounterEntry entry)
{
    return FormatOutput(entry.value(), entry.outputFormat());
}

// --- TCounterForm ------------------------------------------------------------------------

namespace {

QString text(const QByteArray& b)
{
    return CodePage::document().toUnicode(b);
}

QByteArray bytes(const QString& s)
{
    return CodePage::document().fromUnicode(s);
}

int byteLength(const QString& s)
{
    return static_cast<int>(bytes(s).size());
}

QChar lowestChar(CounterType type)
{
    return type == CounterType::Letters ? QLatin1Char('A') : QLatin1Char('0');
}

FormCheck fail(const char* key, CounterField field)
{
    return { false, QStringLiteral("CounterFormInside"), QString::fromLatin1(key), static_cast<int>(field) };
}

} // namespace

CounterFormFields CounterFieldsFromEntry(ConstCounterEntry entry)
{
    CounterFormFields f;
    f.type = entry.type();
    f.initialValue = text(entry.value());
    const std::int32_t step = entry.step();
    f.step = step >= 0 ? QStringLiteral("+%1").arg(step) : QString::number(step);
    f.limit = text(entry.limit());
    f.resetValue = text(entry.resetValue());
    f.labelsPerStep = QString::number(std::max<std::int32_t>(entry.labelsPerStep(), 1));
    f.format = FieldsFromFormat(entry.outputFormat());
    return f;
}

QString ChooseCounterType(CounterFormFields& f, CounterType type)
{
    f.type = type;
    switch (type) {
    case CounterType::Letters:
        f.initialValue = f.resetValue = QStringLiteral("A");
        f.limit = QStringLiteral("Z");
        return QStringLiteral("message2");
    case CounterType::Alphanumeric:
        f.initialValue = f.resetValue = QStringLiteral("0");
        f.limit = QStringLiteral("Z");
        return QStringLiteral("message3");
    case CounterType::Decimal:
    default:
        f.type = CounterType::Decimal;
        f.initialValue = f.resetValue = QStringLiteral("0");
        f.limit = QStringLiteral("9");
        return QStringLiteral("message1");
    }
}

void CounterInitialValueChanged(CounterFormFields& f)
{
    f.initialValue = f.initialValue.left(CounterInitialValueMax).toUpper();
    const qsizetype width = f.initialValue.size();
    const bool down = f.step.startsWith(QLatin1Char('-'));
    if (f.limit.size() < width) {
        QChar c;
        if (f.type == CounterType::Decimal)
            c = down ? QLatin1Char('0') : QLatin1Char('9');
        else
            c = down ? QLatin1Char('A') : QLatin1Char('Z');
        f.limit = QString(width, c);
    } else if (f.limit.size() > width) {
        if (f.type == CounterType::Decimal)
            f.limit = f.limit.left(width);
        else
            f.limit.chop(1);
    }
    f.format.fillWidth = NormalizeFillWidthText(QString::number(width + 1), f.format.fillChar);
}

int CounterStepMaxLength(const QString& step)
{
    return step.startsWith(QLatin1Char('-')) ? 5 : 4;
}

void CounterStepChanged(CounterFormFields& f)
{
    f.step = f.step.left(CounterStepMaxLength(f.step));
    if (f.step.startsWith(QLatin1Char('-'))) {
        // The lowest value of the alphabet: a letter counter has no "0".
        f.limit = QString(f.initialValue.size(), lowestChar(f.type));
    }
}

FieldOnLeave CounterMaxLengthOnLeave(const QString& t)
{
    if (t.trimmed().isEmpty())
        return { QStringLiteral("20"), QStringLiteral("message7") };
    return { NormalizeMaxLengthText(t), {} };
}

FieldOnLeave CounterFillWidthOnLeave(const QString& t)
{
    if (t.trimmed().isEmpty())
        return { QStringLiteral("2"), QStringLiteral("message8") };
    return { t, {} };
}

QString CounterDecimalPlacesText(const QString& t)
{
    return NormalizeDecimalPlacesText(t, QStringLiteral("1"));
}

FormCheck AcceptCounterForm(const CounterFormFields& f, const QByteArray& name, CounterEntry entry)
{
    const QString limit = f.limit.trimmed();
    const QString stepText = f.step.trimmed();
    const QString value = f.initialValue.trimmed();
    const QString reset = f.resetValue.trimmed();
    if (limit.isEmpty())
        return fail("message5", CounterField::Limit);
    int step = 0;
    // A step that is no number ("-" alone) is refused like an empty one rather than stored as 0.
    if (stepText.isEmpty() || !ParseInt(stepText, &step))
        return fail("message9", CounterField::Step);
    if (value.isEmpty())
        return fail("message1", CounterField::InitialValue);
    int fillWidth = 0;
    ParseInt(f.format.fillWidth, &fillWidth);
    const int body = f.format.fill ? fillWidth : byteLength(value);
    if (MaxLengthTooShort(f.format, body))
        return fail("message2", CounterField::MaxLength);
    int perStep = 0;
    if (!ParseInt(f.labelsPerStep, &perStep))
        return fail("message3", CounterField::LabelsPerStep);

    entry.setName(name);
    entry.setType(f.type);
    entry.setValue(bytes(value));
    entry.setStep(step);
    entry.setLimit(bytes(limit));
    entry.setResetValue(bytes(reset));
    entry.setLabelsPerStep(std::clamp(perStep, CounterLabelsPerStepMin, CounterLabelsPerStepMax));

    const QByteArray storedValue = entry.value();
    const QByteArray storedLimit = entry.limit();
    const QByteArray storedReset = entry.resetValue();
    auto allIn = [&](const QByteArray& s) {
        return std::all_of(s.begin(), s.end(), [&](char c) { return InCounterAlphabet(f.type, c); });
    };
    if (!allIn(storedValue))
        return fail("message4", CounterField::InitialValue);
    if (!allIn(storedLimit))
        return fail("message5", CounterField::Limit);
    if (!allIn(storedReset))
        return fail("message6", CounterField::ResetValue);

    bool reset_ = false;
    if (f.type == CounterType::Decimal) {
        const int cmp = compareDecimal(storedLimit, storedValue);
        reset_ = (step >= 1 && cmp < 0) || (step < 0 && cmp > 0);
    } else {
        reset_ = (step >= 1 && Exceeds(storedValue, storedLimit)) || (step <= 0 && Exceeds(storedLimit, storedValue));
    }
    if (reset_)
        entry.setValue(storedReset);

    entry.setOutputFormat(StoreOutputFormat(f.format, EmptyFillChar::Space));
    return {};
}

} // namespace korvel
