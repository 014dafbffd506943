#pragma once

#include "document/IniFile.h"
#include "document/PageRecord.h"
#include "document/PrinterSetting.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace korvel {

class RegistryStore;

/// The process-wide settings kept in "Label.dat" and "Printer.ini".
struct SystemSettings {
    static constexpr int HeaderSize = 312;

    /// The "Label.dat" header as read; bytes the program does not interpret survive a save.
    QByteArray header = QByteArray(HeaderSize, '\0');
    std::uint8_t currentModel = 1;
    TPrinterSetting current;
    /// Model profile table, model 1 first.
    std::vector<TPrinterSetting> profiles{TPrinterSetting{}};
    TPageRecord defaultPage = TPageRecord::defaultRecord();
    /// The Windows font name new text objects get ("winfont"/"fontname").
    QByteArray defaultFontName = "Arial";

    int languageIndex() const;
    void setLanguageIndex(int index);
    /// 0 open the most recent label, 1 run the new-label dialog, 2 create an empty label.
    int startOption() const;
    void setStartOption(int option);
    /// 0 transparent, 1 XOR.
    int drawingMode() const;
    void setDrawingMode(int mode);
    /// 1: show the start page at start.
    bool showStartPage() const;
    void setShowStartPage(bool show);
    int modelCount() const;

    /// The profile of a 1-based model index (the current record when the table has no slot).
    TPrinterSetting profile(int model) const;
    void setProfile(int model, const TPrinterSetting& setting);
};

struct SettingsResult {
    bool ok = true;
    /// The message the user sees when ok is false.
    QString message;
    QString title;
};

/// The settings a first start writes: model 1 with the default profile, XOR drawing, the start
/// page shown, Simplified Chinese.
SystemSettings DefaultSystemSettings();

/// Parses the bytes of "Label.dat" (the checks of the start-up read).
SettingsResult ParseLabelDat(const QByteArray& bytes, SystemSettings& settings);
QByteArray SerializeLabelDat(const SystemSettings& settings, int modelCount);

/// Applies "Printer.ini": the current model index and its section's seventeen keys.
void ApplyPrinterIni(const IniFile& ini, SystemSettings& settings);
/// Writes the current model index and every model's section into "Printer.ini".
void UpdatePrinterIni(IniFile& ini, const SystemSettings& settings);
/// Reads/writes the seventeen keys of one model section.
TPrinterSetting ReadPrinterSection(const IniFile& ini, const QByteArray& section);
void WritePrinterSection(IniFile& ini, const QByteArray& section, const TPrinterSetting& setting);

/// The start-up read of "Label.dat", "Printer.ini" and the one-shot registry language choice.
SettingsResult LoadSystemSettings(const QString& directory, RegistryStore* registry, SystemSettings& settings);
/// The exit write of "Printer.ini" and "Label.dat". Both are written safely (temporary file and
/// rename), so a failure leaves the old files intact.
SettingsResult SaveSystemSettings(const QString& directory, const SystemSettings& settings);

/// Makes sure the settings directory holds usable settings: writes the defaults when
/// "Label.dat" is missing, and when it is damaged moves it aside (".damaged") and writes the
/// defaults. Returns a message for the user when something had to be repaired, else empty.
QString EnsureSettingsDirectory(const QString& directory);

} // namespace korvel
