#pragma once

#include "document/PrinterFontFile.h"
#include "printing/ports/PieceSink.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace korvel {

// The virtual printer reads the command stream this program sends to a label printer and prints
// it into pictures, so that a user without a printer sees what the printer would print and tests
// can check emission from the printer's side.
//
// How it reads the stream (the printer's side of the command language):
// - Outside a label format: the job setup commands (STX m, u, j, JY, r/e, f, Kf, A0/A1), the
//   graphics memory clear (STX qA), graphic downloads (STX IAf name CR, four size bytes, rows),
//   the page height (STX c, 0.1 mm), the page width (STX Kw, 0.1 mm), STX JA and the feed-mode
//   commands; SOH D is accepted as framing. STX L CR starts a label format.
// - Inside a label format, CR-terminated lines: "A1" (XOR) and "A2" (transparent) set the drawing
//   mode of every later field of the format (a format starts transparent); "C" and "R" shift every
//   later field right and down by a distance in 0.1 mm; "N", "g", "P" (speed), "H" (heat); fields
//   (a rotation digit, then the field kind); ":" cut count, "Q" quantity, "E" ends the format.
// - A field's row counts upward from the bottom of the page, its column rightward from the left;
//   (row, column) is the bottom-left corner of the unrotated field, and the field turns clockwise
//   about that point by 90° per rotation step (so at 90° it is the top-left corner of what
//   prints, at 180° the top-right, at 270° the bottom-right).
// - The human-readable line of a printer barcode (upper-case letter) is printer font 3 centred
//   below the bars, inside the field: the field's row is the bottom of the text.
// Anything else becomes a warning and is skipped; damaged or hostile streams never crash and never
// make the printer hold more than the limits of VirtualPrinterOptions.

struct VirtualPrinterOptions {
    /// Dots per inch of the printer (the stream does not carry it): 203 or 300.
    int dpi = 203;
    /// Largest page printed; larger page sizes are cut to it (with a warning).
    int maxPageWidth = 4096;
    int maxPageHeight = 16384;
    /// Bytes of stored graphics the printer holds at most; later downloads are refused.
    qint64 maxGraphicsBytes = 64LL << 20;
    /// Bytes of printed pictures kept over the whole stream; later formats keep no picture.
    qint64 maxKeptImageBytes = 256LL << 20;
    /// Warnings kept; later ones are only counted.
    int maxWarnings = 256;
    /// Page size used by a label format that comes without STX c or STX Kw (0.1 mm).
    int defaultPageWidthTenths = 1080;
    int defaultPageHeightTenths = 1000;
    /// The printer fonts; the glyph file of the data folder when not given.
    std::optional<PrinterFontFile> fonts;
};

struct VirtualPrinterWarning {
    qint64 offset = 0; ///< byte offset in the stream of the command concerned
    QString message;
};

/// One label format as the printer printed it.
struct VirtualLabelFormat {
    /// Format_Mono in printer dots, the top row the top of the page; colour index 1 (black) is a
    /// printed dot, index 0 white. Null when the pictures kept so far exceed the limit.
    QImage image;
    int quantity = 0; ///< "Q"; 0 when the format carried none
    int cutCount = 0; ///< ":"
    bool ended = false; ///< "E" arrived (a stream that stops inside a format leaves it false)
    int pageWidthTenths = 0;
    int pageHeightTenths = 0;
    int columnOffsetTenths = 0; ///< "C"
    int rowOffsetTenths = 0; ///< "R"
    char speed = 0; ///< "P" character
    int heat = -1; ///< "H"
    int fields = 0; ///< fields drawn
};

/// The job-wide settings the stream set (−1 or 0 where nothing was sent).
struct VirtualJobState {
    bool metric = false; ///< STX m
    int direction = -1; ///< STX u
    int mediaFlags = -1; ///< STX j2F0 HH
    int positionAdjust = 0; ///< STX JY
    char sensor = 0; ///< 'r' or 'e'
    int stopValue = -1; ///< STX f
    int outDistance = 0; ///< STX Kf
    int led = -1; ///< STX A0 / A1
    QList<int> feedModes; ///< STX j23nnn, in order
    int graphicsClears = 0; ///< STX qA
    int downloads = 0; ///< graphics stored
};

class VirtualPrinter {
public:
    explicit VirtualPrinter(VirtualPrinterOptions options = {});
    ~VirtualPrinter();
    VirtualPrinter(const VirtualPrinter&) = delete;
    VirtualPrinter& operator=(const VirtualPrinter&) = delete;

    /// Reads more of the stream; commands may be split anywhere between calls.
    void feed(QByteArrayView bytes);
    /// The stream has ended: a command cut short is reported and a format left open is kept
    /// as printed so far.
    void finish();

    const QList<VirtualLabelFormat>& formats() const;
    const QList<VirtualPrinterWarning>& warnings() const;
    /// Warnings beyond the kept ones.
    int droppedWarnings() const;
    /// Byte offset of the first bytes that do not read as a command (unknown commands, bytes
    /// outside any command, a stream cut short); −1 when every byte read.
    qint64 unreadableAt() const;
    const VirtualJobState& job() const;
    /// Whether a graphic of this name (e.g. "F0000012") is stored.
    bool hasGraphic(const QByteArray& name) const;
    int dpi() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

/// A piece sink that prints every piece on a virtual printer; it never refuses a piece.
class VirtualPrinterSink : public PieceSink {
public:
    explicit VirtualPrinterSink(VirtualPrinter& printer)
        : printer_(printer)
    {
    }
    PortStatus SendPiece(const QByteArray& piece) override
    {
        printer_.feed(piece);
        return PortStatus::success();
    }

private:
    VirtualPrinter& printer_;
};

/// Everything a whole stream printed.
struct VirtualPrintout {
    QList<VirtualLabelFormat> formats;
    QList<VirtualPrinterWarning> warnings;
    int droppedWarnings = 0;
    VirtualJobState job;
    qint64 unreadableAt = -1; ///< see VirtualPrinter::unreadableAt
};

/// Prints a complete stream.
VirtualPrintout PrintVirtually(QByteArrayView stream, const VirtualPrinterOptions& options = {});

/// Whether the dot at column x, row y (top row 0) of a virtual printer picture is printed.
bool VirtualDot(const QImage& image, int x, int y);

} // namespace korvel
