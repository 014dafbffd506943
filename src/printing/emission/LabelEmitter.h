#pragma once

#include "document/PrinterFontFile.h"
#include "printing/commands/QcmlCommands.h"
#include "printing/emission/EmissionGeometry.h"
#include "printing/ports/PieceSink.h"
#include "printing/ports/PortStatus.h"
#include "variables/Evaluation.h"

#include <QHash>
#include <QImage>

#include <functional>
#include <vector>

namespace korvel {

class LabelDocument;
class TOABarCode;
class TOAControl;
class TOAText;

/// Everything emission reads besides the document.
struct EmissionContext {
    /// Command set selector, drawing mode and printer model for the command builders.
    CommandContext commands;
    /// The current record, the clock and the display patterns for bound objects.
    EvaluationContext evaluation;
    /// The data set of the data source holds no record (or no source is open): texts bound to
    /// a database variable then print their own text.
    bool dataSetEmpty = true;
    /// Screen pixels per inch of the design surface.
    int ppi = ScreenPPI;
    /// The 1-bit picture a free line, rectangle, ellipse or image stores in the printer. Empty:
    /// the object's own printer copy at the printer's resolution.
    std::function<QImage(const TOAControl& object, int dpi)> storedPicture;
};

/// Turns the objects of a document into printer fields, one label at a time. One emitter serves
/// one print job: the pictures of stored graphics and their download commands are built once
/// and reused for every download of the job.
class LabelEmitter {
public:
    LabelEmitter(LabelDocument& document, const EmissionContext& context, PieceSink& sink);
    ~LabelEmitter();
    LabelEmitter(const LabelEmitter&) = delete;
    LabelEmitter& operator=(const LabelEmitter&) = delete;

    /// Sends the fields of every printable object for the label whose column offset is x and
    /// row offset y (in dots): free lines first, then texts, ellipses, lines, rectangles,
    /// barcodes and images, then inverse areas. Stops at the first object that fails.
    PortStatus EmitLabel(int x, int y);
    /// Clears the printer's graphics memory and stores the picture of every free line,
    /// rectangle, ellipse and image under its index in the object list.
    PortStatus DownloadGraphics();
    /// The lean form of the download: the graphics memory clear and only the pictures the labels
    /// place (a free line, a filled rectangle, an ellipse or an image that is printed and inside
    /// the label). The pictures never change within a job, so one such download serves it all.
    PortStatus DownloadPlacedGraphics();
    /// Bytes of printer memory the pictures the labels place take, one bit a dot.
    qint64 PlacedGraphicsBytes();

    /// Rebuilds the design-surface images of barcodes whose text a variable replaced while
    /// printing (done once at the end instead of after every label).
    void finish();

    /// Whether a text's database binding was set aside for this job (no record to print from).
    bool setAside(const TOAControl& object) const;

    const DotScale& scale() const { return scale_; }
    /// The bottom of the page in dots: dotsPx of the paper height at 100 %.
    int pageBottom() const { return pageBottom_; }

private:
    PortStatus emitObject(int index, TOAControl& object, int x, int y);
    PortStatus emitText(TOAText& text, const QRect& r, int x, int y);
    PortStatus emitBarcode(TOABarCode& barcode, const QRect& r, int x, int y);
    PortStatus emitStoredGraphic(int index, int row, int column);
    QImage pictureOf(int index, const TOAControl& object);
    /// Whether a stored picture of the object has at least one dot.
    bool hasDots(const TOAControl& object) const;
    /// Why a picture with dots came out null.
    static QString noMemoryToDraw()
    {
        return QStringLiteral("there is not enough memory to draw it at the printer's resolution");
    }
    PortStatus download(bool placedOnly);
    bool placesPicture(const TOAControl& object) const;
    bool boundForJob(const TOAControl& object) const;
    QByteArray valueOf(const TOAControl& object) const;

    /// Held first: the glyph file stays the same for the whole job.
    PinnedStandardFont glyphFile_;
    LabelDocument& document_;
    EmissionContext context_;
    PieceSink& sink_;
    DotScale scale_;
    int pageBottom_ = 0;
    int labelWidth_ = 0;
    int labelHeight_ = 0;
    int pagePixels_ = 0;
    /// Texts whose database binding is set aside for this job (no record to print from).
    std::vector<const TOAControl*> unboundTexts_;
    /// Stored pictures by object, built once per job; a null picture stores and places nothing.
    QHash<const TOAControl*, QImage> pictures_;
    /// Set when a picture with dots came out null: the memory for it could not be had, and the
    /// label must not go out without the object.
    PortStatus drawFailure_;
    /// Their download commands, built once: a variable job repeats them on every page.
    QHash<const TOAControl*, CommandPieces> downloads_;
    std::vector<TOABarCode*> staleBarcodes_;
    /// The last picture of each bound screen-font text with the value it shows: copies of a
    /// record, and records repeating a value, print it without drawing it again.
    struct DrawnText {
        QByteArray value;
        QImage picture;
    };
    QHash<const TOAControl*, DrawnText> drawnTexts_;
};

} // namespace korvel
