#pragma once

#include "barcode/BarcodeTypes.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace korvel {

class TOABarCode;

/// Whether a barcode as the printer gets it can be read: the symbol is drawn at the printer's
/// resolution and decoded by an independent reader.
struct SymbolVerdict {
    enum class State {
        Reads, ///< decoded; text says what it reads as
        Fails, ///< refused data, a symbol that cannot be drawn, too narrow, or unreadable
        Unchecked, ///< the reader does not know this symbology
    };
    State state = State::Unchecked;
    QString text;
};

/// Looks a text up by key ("ReadsAs", "TooNarrow" …) with its fallback; the dialog passes its
/// language section.
using VerdictTextLookup = std::function<QString(const char* key, const QString& fallback)>;

/// The verdict on a barcode object whose dialog values are applied. `text` is the content the
/// data check sees (the fixed data or the variable's present value), `code128Subset`,
/// `codabarStart` and `codabarStop` the dialog's lists.
SymbolVerdict ReadBackSymbol(const TOABarCode& barcode, const QByteArray& text, int code128Subset, int codabarStart,
                             int codabarStop, const VerdictTextLookup& lookup = {});

/// True when the independent reader knows the symbology.
bool ReaderKnows(TBarCodeType type);
/// The GS1 check digit of a digit string (EAN, UPC); -1 when a character is not a digit.
int Gs1CheckDigit(const QByteArray& digits);

} // namespace korvel
