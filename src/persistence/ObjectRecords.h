#pragma once

#include "document/Binary.h"
#include "document/OAControl.h"
#include "persistence/StringPool.h"

#include <QString>

#include <memory>

namespace korvel {

class LabelDocument;

/// Record layouts: the label file versions whose object records differ, plus the legacy layout.
enum class RecordLayout : int { V300 = 300, V310 = 310, V320 = 320, V3202 = 3202, V100 = 100, Legacy = 0 };

/// The record layout a file version uses (3221 and 3330 share version 100's records).
RecordLayout LayoutOfVersion(int version);
/// Size of one object record of a kind in a layout; 0 when the kind does not exist there.
int RecordSize(RecordLayout layout, int kind);

/// What a converter needs to know besides the record.
struct RecordContext {
    RecordLayout layout = RecordLayout::V100;
    /// Set while a label file is being read (decides the two-zoom rule and the barcode dpi).
    bool fileReading = true;
    /// Document zoom in percent.
    int documentZoom = 200;
    /// Printer resolution of the document in dots per inch.
    int documentDpi = 203;
};

struct RecordResult {
    std::unique_ptr<TOAControl> object;
    /// Why the record could not become an object (damaged pool reference, unknown kind …).
    QString error;
};

/// Record -> object for one kind byte. Also used by undo and redo on a record and its pool.
RecordResult MakeObject(int kind, const FixedRecord& record, const PoolReader& pool, const RecordContext& context);

/// Object -> version-100 record; appends the object's variable-length items to the pool.
/// Returns false with a reason when the object cannot be written.
bool BuildRecord(const TOAControl& object, FixedRecord& record, PoolWriter& pool, QString* error);

} // namespace korvel
