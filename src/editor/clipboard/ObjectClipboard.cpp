#include "editor/clipboard/ObjectClipboard.h"

#include "barcode/OABarCode.h"
#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "document/OALine.h"
#include "editor/editing/ObjectMotion.h"
#include "printing/job/BoundObjects.h"
#include "variables/VariableModel.h"

#include <QDataStream>
#include <QIODevice>
#include <QPainter>

#include <algorithm>
#include <set>

namespace korvel {

namespace {
constexpr char Signature[] = "TPF0";
constexpr int MaxNameBytes = 1024;
} // namespace

QByteArray WriteObjectStream(const std::vector<TOAControl*>& objects)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    for (const TOAControl* o : objects) {
        const ObjectSnapshot snap = TOperation::TakeSnapshot(*o);
        if (snap.record.isEmpty())
            continue;
        s.writeRawData(Signature, 4);
        s << static_cast<quint8>(snap.fileKind);
        const QByteArray name = o->Name.toUtf8();
        s << static_cast<quint16>(name.size());
        s.writeRawData(name.constData(), static_cast<int>(name.size()));
        s << static_cast<quint32>(snap.record.size());
        s.writeRawData(snap.record.constData(), static_cast<int>(snap.record.size()));
        s << static_cast<quint32>(snap.pool.size());
        s.writeRawData(snap.pool.constData(), static_cast<int>(snap.pool.size()));
    }
    s << static_cast<quint8>(0);
    return out;
}

bool ReadObjectStream(const QByteArray& stream, std::vector<StreamObject>& objects, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    qsizetype at = 0;
    const auto left = [&] { return stream.size() - at; };
    const auto u32 = [&](quint32& v) {
        if (left() < 4)
            return false;
        const auto* p = reinterpret_cast<const unsigned char*>(stream.constData() + at);
        v = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<quint32>(p[3]) << 24);
        at += 4;
        return true;
    };
    while (true) {
        if (left() < 1)
            return fail(QStringLiteral("the object stream ends without its end mark"));
        if (stream.at(at) == '\0' && left() == 1)
            return true;
        if (left() < 4 || stream.mid(at, 4) != Signature)
            return fail(QStringLiteral("object %1 of the stream has no signature").arg(objects.size() + 1));
        at += 4;
        if (left() < 3)
            return fail(QStringLiteral("object %1 of the stream is cut short").arg(objects.size() + 1));
        StreamObject o;
        o.snapshot.fileKind = static_cast<unsigned char>(stream.at(at++));
        const int nameLength = static_cast<unsigned char>(stream.at(at)) | (static_cast<unsigned char>(stream.at(at + 1)) << 8);
        at += 2;
        if (o.snapshot.fileKind < 1 || o.snapshot.fileKind > 8 || nameLength > MaxNameBytes || left() < nameLength)
            return fail(QStringLiteral("object %1 of the stream is damaged").arg(objects.size() + 1));
        o.name = QString::fromUtf8(stream.mid(at, nameLength));
        at += nameLength;
        quint32 length = 0;
        if (!u32(length) || length > static_cast<quint32>(left()))
            return fail(QStringLiteral("object %1 of the stream is cut short").arg(objects.size() + 1));
        o.snapshot.record = stream.mid(at, length);
        at += length;
        if (!u32(length) || length > static_cast<quint32>(left()))
            return fail(QStringLiteral("object %1 of the stream is cut short").arg(objects.size() + 1));
        o.snapshot.pool = stream.mid(at, length);
        at += length;
        objects.push_back(std::move(o));
    }
}

void PasteState::noteCopy(const std::vector<TOAControl*>& objects)
{
    if (objects.empty())
        return;
    copied = objects.front()->geometry().topLeft();
    paste = copied;
}

namespace {

void moveBy(TOAControl& object, QPoint offset)
{
    if (auto* line = dynamic_cast<TOALineShape*>(&object)) {
        const auto clamp0 = [](QPoint p) { return QPoint(std::max(p.x(), 0), std::max(p.y(), 0)); };
        line->setPoints(clamp0(LineStart(object) + offset), clamp0(LineEnd(object) + offset));
        return;
    }
    MoveByPixels(object, offset.x(), offset.y());
}

/// A text or barcode bound to a variable the document lacks shows fixed content.
bool dropMissingBinding(const LabelDocument& document, TOAControl& object)
{
    if (object.kind() != ObjectKind::Text && object.kind() != ObjectKind::BarCode)
        return false;
    if (object.VarType <= 0 || object.VarType > 5)
        return false;
    if (FindVariable(document, static_cast<VariableKind>(object.VarType), object.VarName) > 0)
        return true;
    object.VarName.clear();
    object.VarType = 0;
    return false;
}

} // namespace

std::vector<TOAControl*> PasteObjectStream(
    LabelDocument& document, TOperation& history, PasteState& state, const QByteArray& stream, QString* error)
{
    std::vector<StreamObject> read;
    QString readError;
    const bool whole = ReadObjectStream(stream, read, &readError);
    if (!whole && error)
        *error = readError;
    std::vector<TOAControl*> pasted;
    if (read.empty())
        return pasted;
    if (document.objectCount() + static_cast<int>(read.size()) > LabelDocument::MaxObjects) {
        if (error)
            *error = QStringLiteral("a label holds at most %1 objects").arg(LabelDocument::MaxObjects);
        return pasted;
    }
    const int zoom = document.zoom();
    const int dpi = document.printer.dpi();
    const QPoint offset = state.paste - state.copied + QPoint(16, 16);
    std::set<const TOAControl*> bound;
    document.clearSelection();
    for (const StreamObject& item : read) {
        std::unique_ptr<TOAControl> object = TOperation::MakeFromSnapshot(item.snapshot, zoom, dpi);
        if (!object)
            continue;
        object->Name = item.name;
        if (object->Name.isEmpty() || document.findByName(object->Name))
            object->Name = document.nextFreeName(object->kind());
        if (auto* text = dynamic_cast<TOAText*>(object.get()); text && text->PrnDPI() != dpi)
            text->ConvertResolution(document.printer.DPI, dpi == 300 ? 1 : 2);
        if (auto* barcode = dynamic_cast<TOABarCode*>(object.get())) {
            if (barcode->PrnDPI() != dpi)
                barcode->ConvertResolution(document.printer.DPI, dpi == 300 ? 1 : 2);
            barcode->SetErrFlag(0);
            barcode->SetCopyFlag(1);
        }
        TOAControl* added = document.addObject(std::move(object));
        if (!added)
            break;
        moveBy(*added, offset);
        if (dropMissingBinding(document, *added))
            bound.insert(added);
        pasted.push_back(added);
    }
    if (!bound.empty())
        RefreshBoundObjects(document, {}, [&bound](const TOAControl& o) { return bound.count(&o) == 0; });
    document.clearSelection();
    for (TOAControl* o : pasted) {
        document.addToSelection(o);
        document.refreshContainment(o);
    }
    history.recordCreated(pasted);
    state.paste += QPoint(16, 16);
    document.markModified();
    return pasted;
}

QString SelectionPlainText(const std::vector<TOAControl*>& objects)
{
    QStringList lines;
    for (const TOAControl* o : objects) {
        if (auto* text = dynamic_cast<const TOAText*>(o))
            lines << CodePage::document().toUnicode(text->Text());
        else if (auto* barcode = dynamic_cast<const TOABarCode*>(o))
            lines << CodePage::document().toUnicode(barcode->Text());
    }
    return lines.join(QLatin1Char('\n'));
}

QImage SelectionPicture(const LabelDocument& document, const std::vector<TOAControl*>& objects)
{
    const QRect bounds = BoundsOf(objects);
    if (bounds.isEmpty())
        return {};
    QImage picture(bounds.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.translate(-bounds.topLeft());
    // In the document's order, so what lies on top is drawn on top.
    for (const auto& o : document.objects())
        if (std::find(objects.begin(), objects.end(), o.get()) != objects.end())
            o->Paint(painter, 0);
    return picture;
}

} // namespace korvel
