#pragma once

#include "document/PageRecord.h"
#include "document/PrinterSetting.h"
#include "printing/ports/PieceSink.h"
#include "printing/ports/PortStatus.h"

#include <QByteArray>
#include <QImage>
#include <QList>

#include <cstdint>

namespace korvel {

/// The process-wide facts the printer commands depend on, besides their own arguments.
struct CommandContext {
    /// Command set selector of the document's printer settings: 0 full set, 1 no printer
    /// fonts, label start or printer barcodes, anything else sends nothing.
    std::uint8_t PrinterID = 0;
    /// Drawing mode of the design surface: 0 transparent, 1 XOR.
    int DrawingMode = 0;
    /// Current printer model index (1 = VTX-M1).
    int PrinterIndex = 1;
    /// Bit n set: the select-printer menu entry of model VTX-Mn is down (n = 1 … 8).
    std::uint32_t ModelButtonsDown = 0;

    bool modelButtonDown(int model) const { return model >= 0 && model < 32 && (ModelButtonsDown >> model) & 1u; }
};

/// The pieces of one command or command group, in sending order. The status fails only for
/// a value the command cannot express (a multiplier outside 1-24, an unusable bitmap); then
/// there are no pieces.
struct CommandPieces {
    QList<QByteArray> pieces;
    PortStatus status;

    bool ok() const { return status.ok(); }
    /// All pieces joined: the bytes the printer receives.
    QByteArray stream() const;
};

/// PDF417 settings of a barcode object, as the printer command takes them.
struct Pdf417Params {
    int PDFBaseWidth = 1;
    int PDFBaseHeight = 1;
    bool PDF417Trunct = false;
    int PDF417ECClevel = 0;
    bool PDF417RowCol = false;
    int PDF417Rols = 0;
    int PDF417Cels = 0;
    int PDF417HeightScale = 0;
    int PDF417WidthScale = 0;
};

/// The three feed-mode commands the variable print loop sends around pages.
enum class FeedModeCommand : int {
    LastPagePeelOff = 50, ///< STX "j23050" CR
    LastPageTearOff = 60, ///< STX "j23060" CR
    MorePages = 70, ///< STX "j23070" CR
};

// Builders: bytes only, no port. Values are in printer units (dots; page geometry in 0.1 mm).
CommandPieces BuildJobSetup(const CommandContext& ctx, const TPrinterSetting& setting, std::int32_t positionAdjustment);
CommandPieces BuildGraphicsClear(const CommandContext& ctx);
CommandPieces BuildGraphicDownload(const CommandContext& ctx, const QImage& bitmap, int graphicNumber);
CommandPieces BuildLabelStart(const CommandContext& ctx, const TPrinterSetting& setting, const TPageRecord& page);
CommandPieces BuildLabelEnd(const CommandContext& ctx, int quantity, int cutCount);
/// fontNumber is the object's PrnFontIdx − 1 taken as a byte; zoomX/zoomY are 1-24.
CommandPieces BuildTextField(const CommandContext& ctx, const QByteArray& text, int angle, int row, int column,
    std::uint8_t fontNumber, int zoomX, int zoomY, int invert);
CommandPieces BuildLineField(const CommandContext& ctx, int row, int column, int width, int height);
/// A thickness of 9998 prints the filled XOR box of an inverse area.
CommandPieces BuildBoxField(const CommandContext& ctx, int row, int column, int width, int height, int thickness);
/// The data go out unchanged (Code 128 escape data included).
CommandPieces BuildBarcodeField(const CommandContext& ctx, int barCodeType, const QByteArray& data, int angle, int row,
    int column, int barHeight, int wide, int narrow, bool humanReadable);
CommandPieces BuildPdf417Field(
    const CommandContext& ctx, const QByteArray& data, int angle, int row, int column, const Pdf417Params& pdf);
CommandPieces BuildGraphicField(const CommandContext& ctx, int graphicNumber, int row, int column);
CommandPieces BuildInlineGraphic(const CommandContext& ctx, const QImage& bitmap, int row, int column);
CommandPieces BuildFeedModeCommand(FeedModeCommand command);

/// Passes the pieces to the sink in order and stops at the first refused piece.
PortStatus SendPieces(const CommandPieces& command, PieceSink& sink);

// Builders that write to a port: the pieces above plus the port-side effects (serial write
// allowance, accumulation span). Each returns the first failure.
PortStatus SendJobSetup(
    const CommandContext& ctx, const TPrinterSetting& setting, std::int32_t positionAdjustment, PieceSink& sink);
PortStatus SendGraphicsClear(const CommandContext& ctx, PieceSink& sink);
PortStatus SendGraphicDownload(const CommandContext& ctx, const QImage& bitmap, int graphicNumber, PieceSink& sink);
PortStatus SendLabelStart(
    const CommandContext& ctx, const TPrinterSetting& setting, const TPageRecord& page, PieceSink& sink);
PortStatus SendLabelEnd(const CommandContext& ctx, int quantity, int cutCount, PieceSink& sink);
PortStatus SendTextField(const CommandContext& ctx, const QByteArray& text, int angle, int row, int column,
    std::uint8_t fontNumber, int zoomX, int zoomY, int invert, PieceSink& sink);
PortStatus SendLineField(const CommandContext& ctx, int row, int column, int width, int height, PieceSink& sink);
PortStatus SendBoxField(
    const CommandContext& ctx, int row, int column, int width, int height, int thickness, PieceSink& sink);
PortStatus SendBarcodeField(const CommandContext& ctx, int barCodeType, const QByteArray& data, int angle, int row,
    int column, int barHeight, int wide, int narrow, bool humanReadable, PieceSink& sink);
PortStatus SendPdf417Field(const CommandContext& ctx, const QByteArray& data, int angle, int row, int column,
    const Pdf417Params& pdf, PieceSink& sink);
PortStatus SendGraphicField(const CommandContext& ctx, int graphicNumber, int row, int column, PieceSink& sink);
PortStatus SendInlineGraphic(const CommandContext& ctx, const QImage& bitmap, int row, int column, PieceSink& sink);
PortStatus SendFeedModeCommand(FeedModeCommand command, PieceSink& sink);

/// Longest page the label start can state: its height field holds four digits of 0.1 mm.
inline constexpr int kMaxPageHeightTenths = 9999;
/// Whether the page's height fits the label start (a longer page would go out cut to its last
/// four digits and print nothing).
inline bool PageLengthPrintable(const TPageRecord& page)
{
    return page.PaperHeight <= kMaxPageHeightTenths;
}
/// Success, or the refusal of a page too long for the label start, naming the limit.
PortStatus CheckPageLength(const TPageRecord& page);

/// Serial write allowances (milliseconds per byte) the job asks for at its stages.
inline constexpr int kJobSetupWriteTimeout = 10000;
inline constexpr int kLabelFormatWriteTimeout = 90000;

} // namespace korvel
