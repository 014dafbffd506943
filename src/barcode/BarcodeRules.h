#pragma once

#include "barcode/BarcodeTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace korvel {

class TOABarCode;

// The rules of the barcode property dialog, without its widgets: presets per symbology, what may
// be typed, the check made on OK with its messages, and how the choices become properties.

/// A text of the language file: section, key, and the text used when the file has none.
struct BarcodeMessageKey {
    const char* section = "";
    const char* key = "";
    const char* builtIn = "";
};

/// Looks a text up in the current language file, falling back to `fallback`.
using BarcodeTextLookup = std::function<QString(const char* section, const char* key, const QString& fallback)>;
/// The lookup used before any language file is loaded: always the fallback.
QString BuiltInBarcodeText(const char* section, const char* key, const QString& fallback);
QString LookupBarcodeText(const BarcodeMessageKey& key, const BarcodeTextLookup& lookup = BuiltInBarcodeText);

enum class BarcodeWidthChoice : int {
    ModuleOnly = 0, ///< one module width (BarWide follows nothing)
    NarrowAndRatio = 1, ///< narrow width and a wide:narrow ratio
};

enum class BarcodeCheckChoice : int {
    Free = 0, ///< the user chooses; `parity` is the preset
    Fixed = 1, ///< disabled and set to `parity`
    None = 2, ///< PDF417 and QR Code: no check choice
};

struct BarcodeTypePreset {
    TBarCodeType type;
    const char* sample;
    BarcodeWidthChoice width;
    BarcodeCheckChoice check;
    bool parity;
    const char* commentKey; ///< key of section "Common"
};

/// The type a new barcode starts with in the dialog.
inline constexpr TBarCodeType kNewBarcodeType = TBarCodeType::bcCode39;

/// The dialog's type list: the display names of types 0..21, position = value.
QStringList BarcodeTypeList();
/// Presets of types 0..22; null for any other value.
const BarcodeTypePreset* BarcodeTypePresetOf(TBarCodeType type);
/// The comment of a type (section "Common"); Code 128 with subset C chosen (subset 3) has its own.
BarcodeMessageKey BarcodeCommentKey(TBarCodeType type, int code128Subset = 0);
/// The comment as the dialog shows it twice: alone, and after the prompt word of "All"/"tishi2".
struct BarcodeComment {
    QString alone;
    QString prompted;
};
BarcodeComment BarcodeCommentTexts(TBarCodeType type, int code128Subset, const BarcodeTextLookup& lookup);
/// Label of the width field: "BarcodePropFormInside"/"message1" for module-only types, else "message2".
BarcodeMessageKey BarcodeWidthLabelKey(TBarCodeType type);

// --- data field ------------------------------------------------------------------------------

/// Most characters the data field holds.
inline constexpr int kBarcodeDataMaxChars = 500;
/// Longest separator (its str[15] record field).
inline constexpr int kBarcodeSeparatorMaxBytes = 15;
/// Largest group size offered.
inline constexpr int kBarcodeMaxGroupSize = 6;

/// Types whose data is digits only (0..3, 10..19, 22).
bool BarcodeIsDigitOnly(TBarCodeType type);
/// The length the data is cut and padded to when the type changes; 0 for none.
int BarcodeFixedLength(TBarCodeType type);
/// The length up to which typing accepts another digit; 0 for no limit.
int BarcodeTypingLimit(TBarCodeType type);

/// The fixed data made to fit a newly chosen type: bytes from 128 up and, for digit-only types,
/// every non-digit become "0"; fixed lengths are cut or padded with "0"; Postnet keeps 5, 9 or 11
/// digits, else 5; Dispatch is cut to 13. Code 128, PDF417 and QR Code keep their data.
QByteArray AdaptBarcodeDataToType(TBarCodeType type, const QByteArray& text);

/// One key typed into the data field.
struct BarcodeTypedKey {
    char ch = 0;
    bool deletion = false; ///< backspace or delete: always accepted
    bool keypad = false; ///< a key of the numeric keypad: always accepted
};
/// Whether the data field takes the key with `current` as its present text.
bool AcceptBarcodeKey(TBarCodeType type, const QByteArray& current, const BarcodeTypedKey& key);
/// The counter beside the data field: characters (a two-byte character once) and "All"/"zijie".
QString BarcodeDataCounterText(const QByteArray& text, const BarcodeTextLookup& lookup = BuiltInBarcodeText);
/// OK is offered only while the fixed data is not empty.
bool BarcodeConfirmEnabled(const QByteArray& fixedData);

/// A separator that is too long or holds a two-byte character is cleared.
QByteArray SanitizeBarcodeSeparator(const QByteArray& typed);
/// A group size that is not a number becomes 0; numbers are kept within 0..6.
int ParseBarcodeGroupSize(const QString& typed);

// --- widths and height -----------------------------------------------------------------------

/// Number of narrow widths the list offers (1..12 dots).
inline constexpr int kNarrowWidthChoices = 12;
/// The narrow-width list in millimetres, one entry per printer dot ("0.13", "0.25" … at 203 dpi).
QStringList NarrowWidthList(int dpi, int count = kNarrowWidthChoices);

struct BarcodeRatioChoice {
    QString label; ///< "1:2", "4:9" … "1:3"
    std::int32_t wide = 0;
};
/// Every wide width from 2n to 3n dots, not above 24; empty when 2n is above 24.
std::vector<BarcodeRatioChoice> WideRatioList(std::int32_t narrow);
/// BarWide for a ratio label: 2n for "1:2", 3n for "1:3", else the number after the colon; 0 for
/// a label that is not a ratio.
std::int32_t BarWideFromRatio(std::int32_t narrow, const QString& label);
/// The list position of the ratio that gives `wide`, or 0 when none does.
int RatioPositionOf(std::int32_t narrow, std::int32_t wide);

/// BarHeight from the height field: round(dpi × mm × zoom percent / 2540).
std::int32_t BarHeightFromMillimetres(int dpi, double mm, int zoomPercent);
/// The height field: BarHeight × 25.4 × 100 / (dpi × zoom percent).
double BarHeightToMillimetres(std::int32_t barHeight, int dpi, int zoomPercent);

// --- text options ----------------------------------------------------------------------------

/// Which text options the dialog offers for a type and font source.
struct BarcodeTextOptions {
    bool showText = true; ///< the text switch
    bool position = true;
    bool distance = true;
    bool alignment = true;
    bool groupSize = true;
    bool separator = true;
    bool font = true; ///< font, font source and check-in-text choices
    bool forceTextOff = false;
};
BarcodeTextOptions BarcodeTextOptionsOffered(TBarCodeType type, bool printerDefaultFont);

// --- confirmation ----------------------------------------------------------------------------

/// The data as the object will use it (Code 128 with its subset letter, Codabar with its letters,
/// the electronic supervision code behind "21"); `code128Subset` is the subset list position
/// 0..3 ("Auto", "A", "B", "C").
QByteArray BarcodeCheckedData(
    TBarCodeType type, const QByteArray& text, int code128Subset, int codabarStart, int codabarStop);

struct BarcodeDataVerdict {
    bool ok = false;
    QByteArray reason; ///< "1" a character not allowed, "2" a wrong length or structure
};
/// The check on OK. `text` is the fixed data, or the variable's present value.
BarcodeDataVerdict CheckBarcodeDialogData(
    TBarCodeType type, const QByteArray& text, int code128Subset, int codabarStart, int codabarStop);

struct BarcodeMessage {
    QString caption;
    QString text;
};
inline constexpr BarcodeMessageKey kBarcodeCaptionKey { "All", "tishi2", "提示" };
inline constexpr BarcodeMessageKey kBarcodeRejectedKey { "BarcodePropFormInside", "message3", "条码数据不正确" };
inline constexpr BarcodeMessageKey kBarcodeBadCharacterKey { "All", "message4", "数据中含有该条码不允许的字符" };
inline constexpr BarcodeMessageKey kBarcodeBadLengthKey { "All", "message5", "数据长度或格式不符合该条码的要求" };
/// The message box of a rejected value: caption, then the rejection text, two line breaks, the
/// caption and the reason's text.
BarcodeMessage BarcodeRejectionMessage(const QByteArray& reason, const BarcodeTextLookup& lookup = BuiltInBarcodeText);

// --- choices to properties -------------------------------------------------------------------

enum class BarcodeFontSource : int { Windows = 0, Printer = 1, PrinterDefault = 2 };

/// The dialog's choices, list positions where the dialog has lists.
struct BarcodeDialogValues {
    TBarCodeType type = kNewBarcodeType;
    QByteArray text; ///< the fixed data (for type 22 without its "21")
    std::int32_t narrowPosition = 1; ///< BarNarrow = position + 1
    QString ratio = QStringLiteral("1:2");
    bool parity = false;
    double heightMM = 10.0;
    double labelDistance = 0.0;
    int code128Subset = 0; ///< 0 Auto, 1..3 A..C (types 8 and 22)
    int codabarStart = 0; ///< 0..3 A..D
    int codabarStop = 0;
    int groupSize = 0;
    QByteArray separator;
    bool showText = true;
    bool showSum = false;
    int labelPosition = 0; ///< position in the position list
    int labelAlignment = 0; ///< position in the alignment list, stored unchanged in LabelAlign
    QString fontName = QStringLiteral("黑体");
    std::int32_t fontSize = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    BarcodeFontSource fontSource = BarcodeFontSource::Windows;
    int printerFontPosition = 0; ///< PrnFontIdx = position + 1
    int pdfBaseWidthPosition = 1;
    int pdfBaseHeightPosition = 6;
    int pdfRowsPosition = 4;
    int pdfColumnsPosition = 2;
    int pdfErrorLevel = 3;
    bool pdfTruncated = false;
    int qrElementPosition = 2;
    QByteArray qrErrLevel = QByteArrayLiteral("M");
    int qrModel = 2;
    int qrLanguage = 0;
    QByteArray qrMaskNo = QByteArrayLiteral("A");
    char qrInputMode = 'A';
};

/// The dialog opened on an object (zoom in percent for the height field).
BarcodeDialogValues BarcodeDialogValuesOf(const TOABarCode& o, int zoomPercent);
/// Applies confirmed choices: ErrFlag 0, CopyFlag 1, SysPrn 0, then every value; a PDF417 setting
/// or data that the encoder refuses is put back to its value before the dialog. `content`
/// replaces the fixed data when the barcode is bound to a variable (its present value).
void ApplyBarcodeDialogValues(
    TOABarCode& o, const BarcodeDialogValues& v, int zoomPercent, const QByteArray* content = nullptr);

} // namespace korvel
