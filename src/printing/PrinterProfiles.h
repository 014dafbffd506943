#pragma once

#include "document/PrinterSetting.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace korvel {

class LabelDocument;

/// Looks a user-visible text up by section and key, falling back to the given default.
using TextLookup = std::function<QString(const char* section, const char* key, const QString& fallback)>;
/// The built-in texts (used until a language file is loaded).
QString BuiltInText(const char* section, const char* key, const QString& fallback);

/// One printer model of the model table.
struct PrinterModel {
    int index;
    QString name;
    bool resolutionFixed203;
    bool usbOffered;
    bool printTypeSelectable;
    bool ledEnabled;
    bool positionAdjustEnabled;
    /// Highest speed code offered ('B' … 'L').
    char maxSpeedCode;
    /// Stop value in the job setup.
    int stopValue;
};

/// The models of this configuration; index 5 is never used.
const std::vector<PrinterModel>& PrinterModels();
const PrinterModel* FindPrinterModel(int index);
/// Model name shown in captions and the status bar ("VTX-M1"); empty for an unknown index.
QString PrinterModelName(int index);
/// Dialog box position <-> model index (position + 1 below 4, position + 2 from 4 on).
int ModelIndexOfPosition(int position);
int PositionOfModelIndex(int index);

/// Speed table: code characters 'B' … 'L' and their names ("25mm/s" …).
struct PrintSpeed {
    char code;
    const char* name;
};
const std::array<PrintSpeed, 11>& PrintSpeeds();
/// Position of a speed code in the table, -1 when unknown.
int SpeedPosition(std::uint8_t code);

/// Resets the fields the default profile fixes; PrintType and PageType keep their values.
void ApplyDefaultProfile(TPrinterSetting& setting);

/// Port kind ranges of ComPort.
enum class PortKind { Parallel, None, Serial, UsbFirst, UsbSecond, Queue, Unknown };
PortKind PortKindOf(std::uint8_t comPort);

/// The four status-bar texts of a document: label size, printer, port, zoom.
struct DocumentStatus {
    QString label;
    QString printer;
    /// Empty when the port kind has no text (the panel keeps what it showed).
    QString port;
    QString zoom;
};
DocumentStatus ShowDocumentStatus(const LabelDocument& document, const TextLookup& lookup = BuiltInText);
/// The printer and port texts alone, for a printer record without a document.
DocumentStatus PrinterStatus(const TPrinterSetting& setting, const TextLookup& lookup = BuiltInText);

/// Converts every text and barcode of the document to the other resolution
/// (direction 1: 203 -> 300 dpi, 2: 300 -> 203 dpi) and stores the new index in the document.
void ConvertResolution(LabelDocument& document, int newIndex, int direction);

} // namespace korvel
