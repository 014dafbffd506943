#pragma once

#include "printing/emission/LabelEmitter.h"
#include "printing/ports/PortStatus.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

#include <optional>

namespace korvel {

class JobRecords;
class LabelDocument;
class TOABarCode;

// Reads back the barcodes of a label from the picture the printer prints (the virtual
// printer run on the job's own command stream), so that a symbol that would not scan is found
// before labels are wasted.
//
// The printed picture is read as a scanner sees a thermal print. A heated dot comes out about
// 0.1 mm across whatever the head's pitch: at 203 dpi (0.125 mm) a one-dot white gap between
// two printed dots stays open, at 300 dpi (0.085 mm) it closes. A one-dot narrow element at
// 300 dpi is thus below what the print holds, and the symbol reads as unreadable.

/// Why a barcode does not read back (None: it does).
enum class VerifyReason : int {
    None = 0,
    Unreadable = 1, ///< no symbol found where it should be
    OtherData = 2, ///< a symbol was read, but not the barcode's data
    CutOff = 3, ///< part of the symbol lies beyond the label edge
    Covered = 4, ///< another object lies over the symbol
    NotCheckable = 5, ///< a symbology the reader does not know (not counted as a failure)
};

/// The JSON and message words of a reason ("unreadable", "reads as other data", "cut off by
/// the label edge", "covered by another object", "not checkable"; empty for None).
QString VerifyReasonName(VerifyReason reason);

/// One barcode of one label.
struct BarcodeCheck {
    int record = 0; ///< 1-based data record; 0 without a data source
    int objectIndex = -1; ///< position in the document's object list
    QString name;
    int barCodeType = 0;
    QString expected; ///< the data the barcode printed
    std::optional<QString> decoded; ///< what the printout reads as; nothing when nothing read
    bool ok = true;
    VerifyReason reason = VerifyReason::None;
    QRect dots; ///< where the symbol lies on the label, in printer dots
};

struct LabelVerification {
    QList<BarcodeCheck> checks;
    /// An emission failure (the label could not be printed at all).
    PortStatus status;

    bool ok() const;
    const BarcodeCheck* firstFailure() const;
};

/// Checks every printable barcode of the label at the first grid position, printed with the
/// context's record. Emission may change the document as a print job does.
LabelVerification VerifyFirstLabel(LabelDocument& document, const EmissionContext& context);

/// The same for records of a data set: the current record only (`all` false), or every record
/// from the first. The data set is left on the record it was on.
QList<BarcodeCheck> VerifyRecords(
    LabelDocument& document, const EmissionContext& context, JobRecords* records, bool all, PortStatus* status);

/// Checks one barcode against a printed label picture (Format_Mono, colour index 1 a dot).
/// dots: where the symbol lies on the label; others: where the other printed objects lie.
/// dpi: the printer's resolution.
BarcodeCheck CheckBarcode(
    const QImage& label, const TOABarCode& barcode, const QRect& dots, const QList<QRect>& others, int dpi);
/// Whether a one-dot white gap closes in the print at this resolution.
bool OneDotGapsClose(int dpi);

/// The picture as a scanner reads the print (8-bit grey, black 0): with spread, a white dot
/// between two printed ones (across or down) fills; without, the dots as they are.
QImage ScannedPicture(const QImage& mono, const QRect& area, bool spread = true);

} // namespace korvel
