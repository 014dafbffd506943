#pragma once

#include "document/Binary.h"
#include "variables/OutputFormat.h"

#include <QByteArray>

#include <cstdint>
#include <type_traits>
#include <utility>

namespace korvel {

/// Typed access to one raw entry of a variable table without copying it. A view made from a
/// null pointer reads as zeros and ignores writes, and so does any field that lies outside a
/// short (damaged) entry. Setters exist only on mutable views. A view points into its table:
/// adding or removing entries of that table invalidates it.
template <bool Mutable> class EntryView {
public:
    using Bytes = std::conditional_t<Mutable, QByteArray, const QByteArray>;

    EntryView() = default;
    explicit EntryView(Bytes* bytes)
        : bytes_(bytes)
    {
    }
    explicit EntryView(Bytes& bytes)
        : bytes_(&bytes)
    {
    }
    /// A mutable view reads as a const one.
    template <bool OtherMutable>
    requires(OtherMutable && !Mutable) EntryView(const EntryView<OtherMutable>& other)
        : bytes_(other.bytes())
    {
    }

    explicit operator bool() const { return bytes_ != nullptr; }
    Bytes* bytes() const { return bytes_; }

protected:
    /// The entry as a record; shares the bytes (implicit sharing), no copy is made.
    FixedRecord record() const { return bytes_ ? FixedRecord(*bytes_) : FixedRecord(); }

    /// Runs `edit` on the entry's bytes in place (moved in and out, never copied).
    template <class Edit> void modify(Edit&& edit) const requires Mutable
    {
        if (!bytes_)
            return;
        FixedRecord r(std::move(*bytes_));
        std::forward<Edit>(edit)(r);
        *bytes_ = std::move(r.bytes());
    }
    void setI32(int off, std::int32_t v) const requires Mutable
    {
        modify([&](FixedRecord& r) { r.setI32(off, v); });
    }
    void setF64(int off, double v) const requires Mutable
    {
        modify([&](FixedRecord& r) { r.setF64(off, v); });
    }
    void setStr(int off, int n, const QByteArray& v) const requires Mutable
    {
        modify([&](FixedRecord& r) { r.setStr(off, n, v); });
    }

    Bytes* bytes_ = nullptr;
};

/// Database-field entry (352 bytes): one column of the document's query.
template <bool Mutable> class BasicDatabaseFieldEntry : public EntryView<Mutable> {
    using Base = EntryView<Mutable>;

public:
    using Base::Base;
    static constexpr int Size = 352;
    static constexpr int NameOffset = 0, NameCapacity = 30;
    static constexpr int ValueOffset = 31, ValueCapacity = 200;
    static constexpr int TrimOffset = 232;
    static constexpr int ReservedOffset = 236;
    static constexpr int FormatOffset = 240;

    /// The column name.
    QByteArray name() const { return this->record().str(NameOffset, NameCapacity); }
    /// The value of the first record when the query was opened.
    QByteArray value() const { return this->record().str(ValueOffset, ValueCapacity); }
    /// Leading and trailing spaces of the value are removed when set.
    bool trim() const { return this->record().u8(TrimOffset) != 0; }
    /// Kept as read; converted older entries carry 1.
    std::int32_t reserved() const { return this->record().i32(ReservedOffset); }
    TOutputFormat outputFormat() const { return TOutputFormat::read(this->record(), FormatOffset); }

    void setName(const QByteArray& v) const requires Mutable { this->setStr(NameOffset, NameCapacity, v); }
    void setValue(const QByteArray& v) const requires Mutable { this->setStr(ValueOffset, ValueCapacity, v); }
    void setTrim(bool v) const requires Mutable
    {
        this->modify([&](FixedRecord& r) { r.setU8(TrimOffset, v ? 1 : 0); });
    }
    void setOutputFormat(const TOutputFormat& f) const requires Mutable
    {
        this->modify([&](FixedRecord& r) { f.write(r, FormatOffset); });
    }
};

/// Date entry (152 bytes).
template <bool Mutable> class BasicDateEntry : public EntryView<Mutable> {
    using Base = EntryView<Mutable>;

public:
    using Base::Base;
    static constexpr int Size = 152;
    static constexpr int NameOffset = 0, NameCapacity = 16;
    static constexpr int PatternOffset = 20;
    static constexpr int LegacyTextOffset = 24, LegacyTextCapacity = 100;
    static constexpr int DayOffsetOffset = 128;
    static constexpr int MonthOffsetOffset = 132;
    static constexpr int YearOffsetOffset = 136;
    static constexpr int UnitIndexOffset = 140;
    static constexpr int EditedValueOffset = 144;
    static constexpr int PatternCount = 7;

    QByteArray name() const { return this->record().str(NameOffset, NameCapacity); }
    std::int32_t patternIndex() const { return this->record().i32(PatternOffset); }
    /// Carried over from older files; not used.
    QByteArray legacyText() const { return this->record().str(LegacyTextOffset, LegacyTextCapacity); }
    std::int32_t dayOffset() const { return this->record().i32(DayOffsetOffset); }
    std::int32_t monthOffset() const { return this->record().i32(MonthOffsetOffset); }
    std::int32_t yearOffset() const { return this->record().i32(YearOffsetOffset); }
    /// Index of a hidden unit selector, always 0.
    std::int32_t unitIndex() const { return this->record().i32(UnitIndexOffset); }
    /// Date-time computed when the entry was last edited (days since 30 December 1899).
    double editedValue() const { return this->record().f64(EditedValueOffset); }

    void setName(const QByteArray& v) const requires Mutable { this->setStr(NameOffset, NameCapacity, v); }
    void setPatternIndex(std::int32_t v) const requires Mutable { this->setI32(PatternOffset, v); }
    void setDayOffset(std::int32_t v) const requires Mutable { this->setI32(DayOffsetOffset, v); }
    void setMonthOffset(std::int32_t v) const requires Mutable { this->setI32(MonthOffsetOffset, v); }
    void setYearOffset(std::int32_t v) const requires Mutable { this->setI32(YearOffsetOffset, v); }
    void setUnitIndex(std::int32_t v) const requires Mutable { this->setI32(UnitIndexOffset, v); }
    void setEditedValue(double v) const requires Mutable { this->setF64(EditedValueOffset, v); }
};

/// Time entry (152 bytes).
template <bool Mutable> class BasicTimeEntry : public EntryView<Mutable> {
    using Base = EntryView<Mutable>;

public:
    using Base::Base;
    static constexpr int Size = 152;
    static constexpr int NameOffset = 0, NameCapacity = 16;
    static constexpr int PatternOffset = 20;
    static constexpr int MinuteOffsetOffset = 128;
    static constexpr int HourOffsetOffset = 132;
    static constexpr int UnitIndexOffset = 136;
    static constexpr int EditedValueOffset = 144;
    static constexpr int PatternCount = 8;

    QByteArray name() const { return this->record().str(NameOffset, NameCapacity); }
    std::int32_t patternIndex() const { return this->record().i32(PatternOffset); }
    std::int32_t minuteOffset() const { return this->record().i32(MinuteOffsetOffset); }
    std::int32_t hourOffset() const { return this->record().i32(HourOffsetOffset); }
    std::int32_t unitIndex() const { return this->record().i32(UnitIndexOffset); }
    double editedValue() const { return this->record().f64(EditedValueOffset); }

    void setName(const QByteArray& v) const requires Mutable { this->setStr(NameOffset, NameCapacity, v); }
    void setPatternIndex(std::int32_t v) const requires Mutable { this->setI32(PatternOffset, v); }
    void setMinuteOffset(std::int32_t v) const requires Mutable { this->setI32(MinuteOffsetOffset, v); }
    void setHourOffset(std::int32_t v) const requires Mutable { this->setI32(HourOffsetOffset, v); }
    void setUnitIndex(std::int32_t v) const requires Mutable { this->setI32(UnitIndexOffset, v); }
    void setEditedValue(double v) const requires Mutable { this->setF64(EditedValueOffset, v); }
};

/// Counter alphabets (the entry's type byte).
enum class CounterType : std::uint8_t {
    Decimal = 0, ///< "0"-"9"
    Letters = 1, ///< "A"-"Z"
    Alphanumeric = 2, ///< "0"-"9" then "A"-"Z"
};

/// Counter entry (204 bytes).
template <bool Mutable> class BasicCounterEntry : public EntryView<Mutable> {
    using Base = EntryView<Mutable>;

public:
    using Base::Base;
    static constexpr int Size = 204;
    static constexpr int NameOffset = 0, NameCapacity = 16;
    static constexpr int TypeOffset = 17;
    static constexpr int ValueOffset = 18;
    static constexpr int StepOffset = 40;
    static constexpr int LimitOffset = 44;
    static constexpr int ResetOffset = 65;
    static constexpr int LabelsPerStepOffset = 88;
    static constexpr int FormatOffset = 92;
    /// Capacity of the value, the limit and the reset value.
    static constexpr int ValueCapacity = 20;

    QByteArray name() const { return this->record().str(NameOffset, NameCapacity); }
    CounterType type() const { return static_cast<CounterType>(this->record().u8(TypeOffset)); }
    /// The current value.
    QByteArray value() const { return this->record().str(ValueOffset, ValueCapacity); }
    std::int32_t step() const { return this->record().i32(StepOffset); }
    QByteArray limit() const { return this->record().str(LimitOffset, ValueCapacity); }
    QByteArray resetValue() const { return this->record().str(ResetOffset, ValueCapacity); }
    std::int32_t labelsPerStep() const { return this->record().i32(LabelsPerStepOffset); }
    TOutputFormat outputFormat() const { return TOutputFormat::read(this->record(), FormatOffset); }

    void setName(const QByteArray& v) const requires Mutable { this->setStr(NameOffset, NameCapacity, v); }
    void setType(CounterType t) const requires Mutable
    {
        this->modify([&](FixedRecord& r) { r.setU8(TypeOffset, static_cast<std::uint8_t>(t)); });
    }
    void setValue(const QByteArray& v) const requires Mutable { this->setStr(ValueOffset, ValueCapacity, v); }
    void setStep(std::int32_t v) const requires Mutable { this->setI32(StepOffset, v); }
    void setLimit(const QByteArray& v) const requires Mutable { this->setStr(LimitOffset, ValueCapacity, v); }
    void setResetValue(const QByteArray& v) const requires Mutable { this->setStr(ResetOffset, ValueCapacity, v); }
    void setLabelsPerStep(std::int32_t v) const requires Mutable { this->setI32(LabelsPerStepOffset, v); }
    void setOutputFormat(const TOutputFormat& f) const requires Mutable
    {
        this->modify([&](FixedRecord& r) { f.write(r, FormatOffset); });
    }
};

/// How a formula cuts the values of its database parts.
enum class SubstringDirection : std::int32_t {
    LeftToRight = 0,
    RightToLeft = 1,
};

/// Formula entry (344 bytes).
template <bool Mutable> class BasicFormulaEntry : public EntryView<Mutable> {
    using Base = EntryView<Mutable>;

public:
    using Base::Base;
    static constexpr int Size = 344;
    static constexpr int NameOffset = 0, NameCapacity = 16;
    static constexpr int ExpressionOffset = 17, ExpressionCapacity = 200;
    static constexpr int FormatOffset = 218;
    static constexpr int SubstringStartOffset = 332;
    static constexpr int SubstringLengthOffset = 336;
    static constexpr int SubstringDirectionOffset = 340;

    QByteArray name() const { return this->record().str(NameOffset, NameCapacity); }
    QByteArray expression() const { return this->record().str(ExpressionOffset, ExpressionCapacity); }
    TOutputFormat outputFormat() const { return TOutputFormat::read(this->record(), FormatOffset); }
    std::int32_t substringStart() const { return this->record().i32(SubstringStartOffset); }
    std::int32_t substringLength() const { return this->record().i32(SubstringLengthOffset); }
    SubstringDirection substringDirection() const
    {
        return static_cast<SubstringDirection>(this->record().i32(SubstringDirectionOffset));
    }

    void setName(const QByteArray& v) const requires Mutable { this->setStr(NameOffset, NameCapacity, v); }
    void setExpression(const QByteArray& v) const requires Mutable
    {
        this->setStr(ExpressionOffset, ExpressionCapacity, v);
    }
    void setOutputFormat(const TOutputFormat& f) const requires Mutable
    {
        this->modify([&](FixedRecord& r) { f.write(r, FormatOffset); });
    }
    void setSubstring(std::int32_t start, std::int32_t length, SubstringDirection d) const requires Mutable
    {
        this->modify([&](FixedRecord& r) {
            r.setI32(SubstringStartOffset, start);
            r.setI32(SubstringLengthOffset, length);
            r.setI32(SubstringDirectionOffset, static_cast<std::int32_t>(d));
        });
    }
};

using DatabaseFieldEntry = BasicDatabaseFieldEntry<true>;
using ConstDatabaseFieldEntry = BasicDatabaseFieldEntry<false>;
using DateEntry = BasicDateEntry<true>;
using ConstDateEntry = BasicDateEntry<false>;
using TimeEntry = BasicTimeEntry<true>;
using ConstTimeEntry = BasicTimeEntry<false>;
using CounterEntry = BasicCounterEntry<true>;
using ConstCounterEntry = BasicCounterEntry<false>;
using FormulaEntry = BasicFormulaEntry<true>;
using ConstFormulaEntry = BasicFormulaEntry<false>;

/// A database-field entry for a column: name, first value, trim flag set, default format.
QByteArray NewDatabaseFieldEntry(const QByteArray& column, const QByteArray& firstValue);

} // namespace korvel
