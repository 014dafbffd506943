#pragma once

#include "document/Binary.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace korvel {

/// The 111-byte output format shared by database, counter and formula entries.
struct TOutputFormat {
    static constexpr int Size = 111;

    static constexpr int MaxLengthOffset = 0;
    static constexpr int PrefixOffset = 1;
    static constexpr int SuffixOffset = 52;
    static constexpr int NumberFormatOffset = 103;
    static constexpr int DecimalPlacesOffset = 104;
    static constexpr int DecimalSignOffset = 105;
    static constexpr int ThousandsSeparatorOffset = 106;
    static constexpr int FillOffset = 107;
    static constexpr int FillCharOffset = 108;
    static constexpr int FillWidthOffset = 110;
    static constexpr int AffixCapacity = 50;

    std::uint8_t maxLength = 200;
    QByteArray prefix;
    QByteArray suffix;
    bool numberFormat = false; ///< "显示小数"
    std::uint8_t decimalPlaces = 2;
    char decimalSign = '.';
    char thousandsSeparator = ',';
    bool fill = false;
    /// The stored fill string (at most one character) ...
    QByteArray fillString;
    /// ... and the stored character byte behind it, which fill uses even when the string's
    /// length byte says empty.
    char fillChar = '\0';
    std::uint8_t fillWidth = 0;

    /// Reads the format at `offset` of a record.
    static TOutputFormat read(const FixedRecord& record, qsizetype offset);
    static TOutputFormat fromBytes(const QByteArray& bytes);
    /// Writes every field at `offset`; the fill character byte follows fillString when it has one.
    void write(FixedRecord& record, qsizetype offset) const;
    QByteArray toBytes() const;

    bool operator==(const TOutputFormat&) const = default;
};

/// Applies number formatting, fill, prefix and suffix and the maximum length, in this order.
QByteArray FormatOutput(const QByteArray& value, const TOutputFormat& format);

// --- editing rules shared by the database, counter and formula dialogs ----------------------

/// Result of a dialog's OK: ok, or the message (section, key) and the field to focus.
struct FormCheck {
    bool ok = true;
    QString section;
    QString messageKey;
    int field = 0;
};

/// The output-format fields as the dialogs hold them (texts as typed).
struct OutputFormatFields {
    QString maxLength = QStringLiteral("25");
    QString prefix;
    QString suffix;
    bool numberFormat = false;
    QString decimalPlaces = QStringLiteral("2");
    QString decimalSign = QStringLiteral(".");
    QString thousandsSeparator = QStringLiteral(",");
    bool fill = false;
    QString fillChar;
    QString fillWidth = QStringLiteral("0");
};

/// The dialog fields showing a stored format.
OutputFormatFields FieldsFromFormat(const TOutputFormat& format);
/// While typing the maximum length: "-", a negative number or more than 1000 becomes "200".
QString NormalizeMaxLengthText(const QString& text);
/// The fill width shows "0" while the fill character is empty.
QString NormalizeFillWidthText(const QString& fillWidth, const QString& fillChar);
/// Decimal places that are not an integer from 0 to 20 become `replacement`.
QString NormalizeDecimalPlacesText(const QString& text, const QString& replacement);
/// An integer typed into a field; false when the text is not one.
bool ParseInt(const QString& text, int* value);

/// How an empty fill character is stored on OK.
enum class EmptyFillChar : int {
    None = 0, ///< database and formula dialogs keep only a non-empty fill character
    Space = 1, ///< the counter dialog stores a space
};

/// The format stored on OK: decimal places as entered (0 when empty) with number formatting on,
/// 2 with it off; an empty decimal sign or separator stored as "." or ","; the fill width only
/// with fill on; then the fill width lowered to the maximum length and the decimal places to
/// the maximum length - 2 (0 below 2). Unparsable numbers count as 0.
TOutputFormat StoreOutputFormat(const OutputFormatFields& fields, EmptyFillChar emptyFill);

/// Maximum length < prefix + suffix + `body` (characters, as the dialogs count them).
bool MaxLengthTooShort(const OutputFormatFields& fields, int body);

/// Database-variable dialog (`TDataPropertyForm`): leaving the maximum length empty or "0" gives
/// "200".
QString DataPropertyMaxLengthOnLeave(const QString& text);

/// Warnings of the database-variable dialog's OK (section "DataPropertyFormInside"); the values
/// are stored nonetheless.
struct DataPropertyWarnings {
    bool maxLengthTooShort = false; ///< "message1"
    bool decimalPlacesNotInteger = false; ///< "message2"
    bool fillWidthNotInteger = false; ///< "message3"
};
DataPropertyWarnings CheckDataPropertyForm(const OutputFormatFields& fields);

} // namespace korvel
