#pragma once

#include "editor/editing/Operation.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>

#include <vector>

namespace korvel {

class LabelDocument;
class TOAControl;

/// The clipboard format of label objects: our own MIME type. Our paste reads only this one.
inline constexpr char ObjectsMimeType[] = "application/x-korvel-label-objects";

/// One object of the stream: its kind, its name and its version-100 file record with the pool
/// items the record refers to (the label file's own converters carry every property).
struct StreamObject {
    QString name;
    ObjectSnapshot snapshot;
};

/// The object stream of the objects in the given order: per object the signature "TPF0", the
/// kind byte, the name, the record and its pool; one zero byte ends the stream.
QByteArray WriteObjectStream(const std::vector<TOAControl*>& objects);
/// Reads a stream; false with a reason when it is damaged (the objects read before stay in
/// `objects`).
bool ReadObjectStream(const QByteArray& stream, std::vector<StreamObject>& objects, QString* error = nullptr);

/// Per document window: where its last copy was taken and where its next paste goes.
struct PasteState {
    QPoint copied;
    QPoint paste;
    /// A copy in this window: both positions become the first copied object's position.
    void noteCopy(const std::vector<TOAControl*>& objects);
};

/// Pastes a stream into the document in one undo group: names already used become the next free
/// name of the kind, everything moves by the window's paste offset (16 pixels more on every
/// paste), bindings to variables the document lacks are dropped, texts and barcodes take the
/// document printer's resolution. The pasted objects become the selection. Nothing is pasted
/// when the document would exceed 200 objects (`error` says so). A damaged stream pastes the
/// objects before the damage.
std::vector<TOAControl*> PasteObjectStream(
    LabelDocument& document, TOperation& history, PasteState& state, const QByteArray& stream, QString* error = nullptr);

/// The texts of the selected texts and barcodes, one per line, for other programs.
QString SelectionPlainText(const std::vector<TOAControl*>& objects);
/// The selection as drawn (transparent mode on white), cut to its bounds.
QImage SelectionPicture(const LabelDocument& document, const std::vector<TOAControl*>& objects);

} // namespace korvel
