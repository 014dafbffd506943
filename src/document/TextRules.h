#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace korvel {

class TOAText;

/// The three kinds of text the property dialog offers.
enum class TextKind : int { SingleLine = 0, Paragraph = 1, Ring = 2 };

TextKind TextKindOf(int textAlign, int roundText);

struct TextLayoutChoice {
    int TextAlign = 0;
    int RoundText = 0;
};
/// TextAlign and RoundText for a kind; alignment 1..4 (left, centre, right, distributed) only
/// counts for paragraphs and falls back to left outside that range.
TextLayoutChoice LayoutForKind(TextKind kind, int alignment);

/// Font sizes in points offered by the list.
inline constexpr std::array<int, 14> TextFontSizeList = { 8, 9, 10, 12, 14, 16, 18, 20, 24, 28, 32, 36, 48, 72 };
/// Typed entries (size, extras, ring width) hold at most this many characters.
inline constexpr int TextEntryMaxChars = 3;

struct FontSizeEntry {
    QString text; ///< the entry as the field shows it after the correction
    int points = 8; ///< its value
    bool accepted = false; ///< only sizes below 200 are taken
};
/// A typed font size: anything that is not a positive integer becomes "8".
FontSizeEntry CheckFontSizeEntry(const QString& entry);
/// Pixel size of the dialog's preview for a size in points: round(size × 40 / 30).
int PreviewPixelSize(int points);

inline constexpr int WidthRateMin = 1;
inline constexpr int WidthRateMax = 999;
inline constexpr int WidthRateLeastOnOk = 10;

struct WidthRateCheck {
    bool ok = true; ///< false: the field shows "100", takes the focus and the dialog stays open
    int value = 100;
    QString text;
};
/// The width rate on OK: an entry that is not an integer from 10 to 999 is reset to "100".
WidthRateCheck CheckWidthRateOnOk(const QString& entry);

/// Character and line extras offered by the lists (0 .. 6).
inline constexpr int ExtraListMax = 6;
/// A typed character or line extra: a non-integer becomes "0".
QString CorrectExtraEntry(const QString& entry);

/// A typed ring width: not an integer, negative, 0 or 1000 and more becomes "200".
QString CorrectRingWidthEntry(const QString& entry);
/// The ring width field opens with DragWidth, or TextOrgWidth when DragWidth is 0.
int RingWidthInitial(const TOAText& text);
/// The hidden height field opens with DragHeight, or TextOrgWidth div 2 when DragWidth is 0.
int RingHeightInitial(const TOAText& text);

/// PrnFontIdx of a position in the printer font list, and back (both clamped to the list).
int PrnFontIdxOfListPosition(int position);
int ListPositionOfPrnFontIdx(int prnFontIdx);
/// Printer-font magnifications are 1..8.
int ClampMagnification(int value);
/// Magnification after the user dragged a printer-font text from oldLength to newLength pixels.
int ResizedMagnification(int oldMagnification, int newLength, int oldLength);

/// Fixed content ("屏幕数据") holds at most this many characters.
inline constexpr int FixedTextMaxChars = 255;
/// The length label beside the fixed text: its CharNum followed by the word for bytes.
QString FixedTextLengthLabel(const QByteArray& text, const QString& byteWord = QStringLiteral("Byte"));
/// OK with fixed content and an empty text closes the dialog without touching the object.
bool OkLeavesTextUnchanged(bool fixedContent, const QByteArray& text);

/// Preview texts of the dialog.
QString WindowsFontPreviewText(const QString& wenbenzifu = QStringLiteral("Text"));
QString PrinterFontPreviewText();
/// The two sample lines of an alignment (1..4); distributed alignment spaces them out.
QStringList AlignmentSampleLines(int alignment);
inline constexpr int RingPreviewSize = 200;

/// Everything the text dialog applies on OK.
struct TextDialogValues {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int OutlineTextout = 0;
    int TextCharExtra = 0;
    int TextLineExtra = 0;
    QString FontName = QStringLiteral("Arial");
    int FontSizePt = 12;
    bool Invert = false;
    int TextWidthRate = 100;
    int TextAlign = 0;
    int RoundText = 0;
    int DragWidth = 0;
    int DragHeight = 0;
    int PrnFontIdx = 1;
    int PrnFntZoomX = 1;
    int PrnFntZoomY = 1;
    std::int32_t VarType = 0;
    QByteArray VarName;
    /// The fixed text, or the bound variable's present value (also when empty).
    QByteArray Text;
    int UsePrnFont = 0;
};

/// The dialog's fields as they open on an object.
TextDialogValues TextDialogValuesOf(const TOAText& text);
/// Applies the values in the dialog's order (style, outline, extras, face, size, invert, rate,
/// alignment, ring, box, printer font, variable, text, and the printer-font switch last),
/// rendering once at the end.
void ApplyTextDialogValues(TOAText& text, const TextDialogValues& values);

} // namespace korvel
