#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace korvel {

/// Printer fonts offered by the dialogs (1-based numbers 1..22).
inline constexpr int PrinterFontCount = 22;
/// Slots in the glyph file's offset table; slot 23 is not offered by any dialog.
inline constexpr int PrinterFontSlots = 23;
/// Start offset in "ASCIIPrnZK.fon" of fonts 1..23 (index 0 holds font 1).
inline constexpr std::array<std::int32_t, PrinterFontSlots> PrinterFontOffsets = {
    0,
    1589,
    4359,
    10279,
    14587,
    22032,
    32104,
    47972,
    52862,
    54438,
    60107,
    70854,
    80560,
    93258,
    110219,
    135103,
    136007,
    136915,
    137947,
    138979,
    140011,
    140407,
    141439,
};
/// The glyph file's name in the data folder.
inline constexpr char PrinterFontFileName[] = "ASCIIPrnZK.fon";
/// Size of a font header and of one index entry.
inline constexpr int PrinterFontHeaderSize = 16;
inline constexpr int PrinterFontIndexEntrySize = 4;
/// Character codes below this limit can have glyphs.
inline constexpr int PrinterFontCodeLimit = 129;

/// Names of fonts 1..22 as the dialogs list them.
QStringList PrinterFontNames();

/// Baseline row of a font in its cell: the cell bottom for fonts 5, 6, 7 and 9 (capitals and
/// digits only), five sixths of the cell for the others.
int PrinterFontBaseline(int fontIndex, int cellHeight);

enum class PrinterFontError : int {
    None = 0,
    FileMissing = 1, ///< the glyph file does not exist
    FileUnreadable = 2, ///< it exists but cannot be read, or is empty
    NoSuchFont = 3, ///< font number outside 1..23
    FontDamaged = 4, ///< the font's header lies outside the file or is unusable
};

/// One line of English describing an error (for messages and logs).
QString describePrinterFontError(PrinterFontError error);

struct PrinterFontHeader {
    int firstChar = 0; ///< byte 8: code of the first indexed character
    int defaultAdvance = 0; ///< byte 10: advance of the space and of glyphs with a 6-byte header
    int cellHeight = 0; ///< byte 11: height of the cell, the preview's height
};

struct PrinterGlyph {
    int ascent = 0; ///< rows above the baseline (glyph header byte 1)
    int rows = 0; ///< glyph header byte 4
    int width = 0; ///< width in bits (glyph header byte 5)
    int advance = 0; ///< default advance (6-byte header) or glyph header byte 7
    QByteArray bits; ///< rows × ((width + 7) div 8) bytes, most significant bit leftmost, 1 = black

    int bytesPerRow() const { return (width + 7) / 8; }
    bool pixel(int x, int y) const;
};

/// The printer-font glyph file, read byte-addressed and bounds-checked everywhere: a damaged
/// file gives missing glyphs or an error value, never a read outside the buffer.
class PrinterFontFile {
public:
    PrinterFontFile() = default;
    static PrinterFontFile fromBytes(QByteArray bytes);
    static PrinterFontFile load(const QString& path);
    /// The glyph file of the data folder; kept in memory while the file is unchanged.
    static PrinterFontFile standard();
    static QString standardPath();

    PrinterFontError error() const { return error_; }
    bool isValid() const { return error_ == PrinterFontError::None; }
    QString path() const { return path_; }
    const QByteArray& bytes() const { return bytes_; }

    /// The header of font k (1..23); an error when the file or the font is unusable.
    PrinterFontError header(int fontIndex, PrinterFontHeader* out) const;
    /// The glyph of a byte code in font k; none outside first char .. 128, for an index entry of
    /// four zero bytes, and for glyph data that does not lie wholly inside the file.
    /// Without bits only the sizes are read (measuring a text).
    std::optional<PrinterGlyph> glyph(int fontIndex, int code, bool withBits = true) const;

private:
    QByteArray bytes_;
    QString path_;
    PrinterFontError error_ = PrinterFontError::FileMissing;
};

/// While one lives on a thread, PrinterFontFile::standard() there returns the file as it was
/// when pinned without asking the disk again: a print job reads the file for every label.
class PinnedStandardFont {
public:
    PinnedStandardFont();
    ~PinnedStandardFont();
    PinnedStandardFont(const PinnedStandardFont&) = delete;
    PinnedStandardFont& operator=(const PinnedStandardFont&) = delete;

private:
    PrinterFontFile file_;
    const PrinterFontFile* previous_;
};

/// A printer-font text laid out in printer dots.
struct PrinterFontPicture {
    QImage image; ///< Format_RGB888, white with black glyphs; null on error
    PrinterFontError error = PrinterFontError::None;
    bool ok() const { return error == PrinterFontError::None; }
};

/// Lays out the bytes of a text in font k, one dot per pixel, unrotated: bytes from the first
/// character to 128 that have a glyph are drawn, the space takes the default advance, every
/// other byte is skipped and takes no room. The picture is the cell height tall; an empty
/// result is 10 dots wide. Very long texts stop at PrinterFontMaxPictureWidth dots.
PrinterFontPicture RenderPrinterFontText(const PrinterFontFile& file, int fontIndex, const QByteArray& text);

inline constexpr int PrinterFontMaxPictureWidth = 32000;

} // namespace korvel
