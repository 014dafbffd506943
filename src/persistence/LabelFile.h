#pragma once

#include "document/PageRecord.h"
#include "document/PrinterSetting.h"
#include "document/SafeFile.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace korvel {

class LabelDocument;

/// The version every label file is written in.
inline constexpr int CurrentLabelVersion = 100;

struct LabelFileResult {
    enum class Status {
        Ok,
        /// Read partly: the document holds what was read before the damage (see message).
        Damaged,
        /// Neither the header text, nor version 300, nor the legacy layout mark.
        NotLabelFile,
        /// A valid header with a version this program does not know.
        UnsupportedVersion,
        CannotOpen,
        CannotWrite,
    };
    Status status = Status::Ok;
    QString message;

    /// Whether the document may be shown (a damaged file opens partially).
    bool opened() const { return status == Status::Ok || status == Status::Damaged; }
};

/// The printer choice a legacy file (which stores none) takes.
struct LabelReadOptions {
    std::uint8_t currentModel = 1;
    TPrinterSetting currentPrinter;
};

/// No label file is larger (a larger file is refused before it is read).
inline constexpr qint64 MaxLabelFileSize = 256LL * 1024 * 1024;

/// Whether the first bytes of a file (at least the 48-byte header, 56 for the legacy layout)
/// can start a label file.
bool LooksLikeLabelFile(const QByteArray& head);

/// Reads a label file into an empty document: header, printer, page, zoom, objects, variable
/// tables and database binding. Every read is bounds-checked.
LabelFileResult ReadLabelFile(const QString& path, LabelDocument& document, const LabelReadOptions& options = {});
LabelFileResult ReadLabelBytes(const QByteArray& bytes, LabelDocument& document, const LabelReadOptions& options = {});

/// Builds the version-100 file image of a document and updates the document's header area.
/// Returns an empty array and sets the reason when an object cannot be written.
QByteArray WriteLabelBytes(LabelDocument& document, QString* error);
/// Writes the file safely: into a temporary file beside the target, flushed, then renamed over
/// the old file, so a failed write leaves the previous file as it was.
LabelFileResult WriteLabelFile(const QString& path, LabelDocument& document);

/// The new-label dialog's probes.
bool IsLabelFile(const QString& path);
std::optional<TPageRecord> ReadSamplePageRecord(const QString& path);

} // namespace korvel
