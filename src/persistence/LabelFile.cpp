#include "persistence/LabelFile.h"

#include "document/Binary.h"
#include "document/LabelDocument.h"
#include "document/Rounding.h"
#include "persistence/ObjectRecords.h"
#include "persistence/VariableSection.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace korvel {

namespace {

const QByteArray kHeaderText = QByteArrayLiteral("Label Document");
constexpr std::uint16_t kLegacyMark = 0x2A02;
constexpr std::int32_t kTextLimit = 2047;

bool headerTextMatches(const QByteArray& header)
{
    if (header.size() < 36)
        return false;
    const int length = std::min<int>(static_cast<unsigned char>(header[0]), 35);
    return header.mid(1, length).trimmed() == kHeaderText;
}

std::int32_t headerI32(const QByteArray& header, int offset)
{
    return FixedRecord(header.left(48).leftJustified(48, '\0', true)).i32(offset);
}

bool knownVersion(int v)
{
    return v == 300 || v == 310 || v == 320 || v == 3202 || v == 3221 || v == 3330 || v == 100;
}

/// Reads the database section; returns false (and leaves the binding empty) on damage.
bool readDatabaseSection(ByteReader& in, bool withRecordNumber, DatabaseBinding& binding, QString& damage)
{
    DatabaseBinding b;
    b.active = in.u8() == 1;
    if (!in.ok()) {
        damage = QStringLiteral("the database section is cut short");
        return false;
    }
    if (b.active) {
        if (withRecordNumber)
            b.recordNumber = in.i32();
        const std::int32_t l1 = in.i32();
        const std::int32_t l2 = in.i32();
        const std::int32_t l3 = in.i32();
        if (!in.ok() || l1 < 0 || l2 < 0 || l3 < 0) {
            damage = QStringLiteral("the database section is damaged");
            return false;
        }
        if (l1 > kTextLimit || l2 > kTextLimit) {
            damage = QStringLiteral("the database query or connection text is longer than %1 bytes").arg(kTextLimit);
            return false;
        }
        b.sql = in.bytes(l1);
        b.connectionString = in.bytes(l2);
        b.sourceBlock = in.bytes(l3);
        if (!in.ok()) {
            damage = QStringLiteral("the database section is cut short");
            return false;
        }
    }
    binding = std::move(b);
    return true;
}

struct PageBlockLegacy {
    static TPageRecord read(ByteReader& in, TPageRecord page)
    {
        auto tenths = [](double mm) {
            // A damaged file may hold any double here, also one that no integer can take.
            const double t = mm * 10;
            return t > 0 ? static_cast<std::uint16_t>(Round(std::min(t, 65535.0))) : std::uint16_t(0);
        };
        page.LabelWidth = tenths(in.f64());
        page.LabelHeight = tenths(in.f64());
        page.LabelRow = static_cast<std::uint16_t>(in.i32());
        page.LabelColumn = static_cast<std::uint16_t>(in.i32());
        page.PaperWidth = tenths(in.f64());
        page.PaperHeight = tenths(in.f64());
        page.PaperLeftMargin = tenths(in.f64());
        page.PaperTopMargin = tenths(in.f64());
        page.LabelSpace = tenths(in.f64());
        page.LabelInterval = tenths(in.f64());
        page.PaperRightMargin = 0;
        page.PaperBottomMargin = 0;
        return page;
    }
};

/// Reads the object section: count, then kind byte and record per object.
bool readObjects(ByteReader& in, LabelDocument& doc, const PoolReader& pool, RecordLayout layout, bool frontInverse,
                 QString& damage)
{
    const std::int32_t count = in.i32();
    if (!in.ok() || count < 0) {
        damage = QStringLiteral("the object section is damaged");
        return false;
    }
    RecordContext context;
    context.layout = layout;
    context.fileReading = true;
    context.documentZoom = doc.zoom();
    context.documentDpi = doc.printer.dpi();
    for (std::int32_t i = 0; i < count; ++i) {
        const int kind = in.u8();
        const int size = RecordSize(layout, kind);
        if (!in.ok() || size == 0) {
            damage = QStringLiteral("object %1 has an unknown kind (%2)").arg(i + 1).arg(kind);
            return false;
        }
        const QByteArray bytes = in.bytes(size);
        if (!in.ok()) {
            damage = QStringLiteral("object %1 is cut short").arg(i + 1);
            return false;
        }
        if (doc.objectCount() >= LabelDocument::MaxObjects) {
            damage = QStringLiteral("the file holds more than %1 objects").arg(LabelDocument::MaxObjects);
            return false;
        }
        RecordResult made = MakeObject(kind, FixedRecord(bytes), pool, context);
        if (!made.object) {
            damage = QStringLiteral("object %1: %2").arg(i + 1).arg(made.error);
            return false;
        }
        doc.appendObject(std::move(made.object));
        if (frontInverse)
            doc.bringInverseAreasToFront();
    }
    return true;
}

LabelFileResult damaged(LabelDocument& doc, const QString& why)
{
    // The objects read so far take the document's zoom, as after a complete read (each was
    // left at its record's zoom).
    doc.setZoom(doc.zoom());
    doc.damage = why;
    return {LabelFileResult::Status::Damaged, QStringLiteral("the label file is damaged: %1; it was opened partly").arg(why)};
}

LabelFileResult readVersioned(const QByteArray& bytes, LabelDocument& doc, int version)
{
    ByteReader in(bytes);
    const bool early = version == 300 || version == 310;
    in.seek(early ? 40 : 48);
    const std::int32_t poolSize = in.i32();
    const std::int32_t poolOffset = in.i32();
    PoolReader pool;
    QString poolDamage;
    if (poolSize < 0 || poolOffset < 0 || static_cast<qint64>(poolOffset) + poolSize > bytes.size())
        poolDamage = QStringLiteral("the string pool lies outside the file");
    else
        pool = PoolReader(bytes.mid(poolOffset, poolSize));

    in.seek(early ? 48 : 56);
    const std::uint8_t model = in.u8();
    const QByteArray printer = in.bytes(TPrinterSetting::Size);
    const QByteArray page = in.bytes(TPageRecord::Size);
    const std::int32_t zoom = in.i32();
    if (!in.ok())
        return damaged(doc, QStringLiteral("the document block is cut short"));
    doc.printerModel = model;
    doc.printer = TPrinterSetting::fromBytes(printer);
    doc.setPage(TPageRecord::fromBytes(page));
    if (early) {
        doc.FitMode = 0;
        doc.FitZoom = 0;
    } else {
        doc.FitMode = headerI32(doc.header, 40);
        doc.FitZoom = headerI32(doc.header, 44);
    }
    QString damage = poolDamage;
    if (zoom < LabelDocument::MinZoom || zoom > LabelDocument::MaxZoom) {
        doc.setZoom(200);
        if (damage.isEmpty())
            damage = QStringLiteral("the stored zoom %1 % is out of range").arg(zoom);
    } else {
        doc.setZoom(zoom);
    }

    const RecordLayout layout = LayoutOfVersion(version);
    QString objectDamage;
    if (!readObjects(in, doc, pool, layout, version == 3202 || version == 3221 || version == 3330 || version == 100,
                     objectDamage))
        return damaged(doc, objectDamage);

    VariableLayout varLayout = VariableLayout::V100;
    switch (version) {
    case 300: varLayout = VariableLayout::V300; break;
    case 310:
    case 320: varLayout = VariableLayout::V310; break;
    case 3202:
    case 3221: varLayout = VariableLayout::V3202; break;
    default: break;
    }
    QString varDamage;
    if (!ReadVariableSection(in, varLayout, doc.variables, varDamage))
        return damaged(doc, varDamage);
    const bool currentDb = version == 3202 || version == 3221 || version == 3330 || version == 100;
    QString dbDamage;
    if (!readDatabaseSection(in, currentDb, doc.database, dbDamage))
        return damaged(doc, dbDamage);
    doc.setZoom(doc.zoom());
    if (!damage.isEmpty())
        return damaged(doc, damage);
    return {};
}

LabelFileResult readLegacy(const QByteArray& bytes, LabelDocument& doc, const LabelReadOptions& options)
{
    ByteReader in(bytes);
    in.seek(54);
    const std::int32_t poolSize = in.i32();
    const std::int32_t poolOffset = in.i32();
    PoolReader pool;
    QString damage;
    if (poolSize < 0 || poolOffset < 0 || static_cast<qint64>(poolOffset) + poolSize > bytes.size())
        damage = QStringLiteral("the string pool lies outside the file");
    else
        pool = PoolReader(bytes.mid(poolOffset, poolSize));
    TPageRecord page = PageBlockLegacy::read(in, doc.page());
    if (!in.ok())
        return damaged(doc, QStringLiteral("the page block is cut short"));
    doc.setPage(page);
    doc.printerModel = options.currentModel;
    doc.printer = options.currentPrinter;
    doc.printPositionAdjust = 0;
    doc.setZoom(200);
    in.seek(138);
    QString objectDamage;
    if (!readObjects(in, doc, pool, RecordLayout::Legacy, false, objectDamage))
        return damaged(doc, objectDamage);
    QString varDamage;
    if (!ReadVariableSection(in, VariableLayout::Legacy, doc.variables, varDamage))
        return damaged(doc, varDamage);
    QString dbDamage;
    if (!readDatabaseSection(in, false, doc.database, dbDamage))
        return damaged(doc, dbDamage);
    doc.setZoom(doc.zoom());
    if (!damage.isEmpty())
        return damaged(doc, damage);
    return {};
}

} // namespace

bool LooksLikeLabelFile(const QByteArray& head)
{
    const QByteArray header = head.left(LabelDocument::HeaderSize);
    if (headerTextMatches(header) || headerI32(header, 36) == 300)
        return true;
    return head.size() >= 56 && FixedRecord(head.left(56)).u16(52) == kLegacyMark;
}

LabelFileResult ReadLabelBytes(const QByteArray& bytes, LabelDocument& doc, const LabelReadOptions& options)
{
    // Reading lays the objects out but draws no picture: a few kilobytes of properties can
    // declare gigabytes of pictures, and reading for information or conversion draws nothing.
    PictureDeferral drawLater;
    doc.damage.clear();
    const QByteArray header = bytes.left(LabelDocument::HeaderSize);
    const int version = headerI32(header, 36);
    LabelFileResult result;
    if (headerTextMatches(header) || version == 300) {
        if (header.size() < LabelDocument::HeaderSize)
            return {LabelFileResult::Status::NotLabelFile, QStringLiteral("the file is too short to be a label file")};
        if (!knownVersion(version))
            return {LabelFileResult::Status::UnsupportedVersion,
                    QStringLiteral("the label file has version %1, which this program cannot read").arg(version)};
        doc.header = header;
        doc.sourceVersion = version;
        doc.printPositionAdjust = headerI32(header, 32);
        result = readVersioned(bytes, doc, version);
    } else {
        if (FixedRecord(bytes.left(56)).u16(52) != kLegacyMark || bytes.size() < 138)
            return {LabelFileResult::Status::NotLabelFile, QStringLiteral("标签文件格式错误")};
        doc.header = header;
        doc.sourceVersion = 0;
        result = readLegacy(bytes, doc, options);
    }
    doc.refreshPixels();
    doc.untitled = false;
    doc.modified = false;
    return result;
}

LabelFileResult ReadLabelFile(const QString& path, LabelDocument& doc, const LabelReadOptions& options)
{
    const LabelFileResult notLabel { LabelFileResult::Status::NotLabelFile, QStringLiteral("%1 is not a label file").arg(path) };
    if (path.isEmpty())
        return {LabelFileResult::Status::CannotOpen, QStringLiteral("no label file named")};
    // Only a regular file of a label's size is read: a FIFO would wait for a writer for ever,
    // a device or a huge file would be pulled into memory before its header could refuse it.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return {LabelFileResult::Status::CannotOpen, QStringLiteral("cannot open %1: %2").arg(path,
                    info.isDir() ? QStringLiteral("it is a folder") : QStringLiteral("it is not a regular file"))};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {LabelFileResult::Status::CannotOpen, QStringLiteral("cannot open %1: %2").arg(path, file.errorString())};
    if (file.size() > MaxLabelFileSize)
        return {LabelFileResult::Status::NotLabelFile,
                QStringLiteral("%1 is not a label file (%2 MB, more than any label)").arg(path).arg(file.size() >> 20)};
    const QByteArray head = file.peek(LabelDocument::HeaderSize + 8);
    if (!LooksLikeLabelFile(head))
        return notLabel;
    const QByteArray bytes = file.readAll();
    LabelFileResult result = ReadLabelBytes(bytes, doc, options);
    if (result.status == LabelFileResult::Status::NotLabelFile)
        result.message = notLabel.message;
    if (result.opened())
        doc.fileName = QFileInfo(path).absoluteFilePath();
    return result;
}

QByteArray WriteLabelBytes(LabelDocument& doc, QString* error)
{
    QByteArray header = doc.header.left(LabelDocument::HeaderSize).leftJustified(LabelDocument::HeaderSize, '\0', true);
    FixedRecord h(header);
    h.setU8(0, static_cast<std::uint8_t>(kHeaderText.size()));
    h.setRaw(1, kHeaderText);
    h.setI32(32, doc.printPositionAdjust);
    h.setI32(36, CurrentLabelVersion);
    h.setI32(40, doc.FitMode);
    h.setI32(44, doc.FitZoom);

    ByteWriter out;
    out.bytes(h.bytes());
    out.i32(0); // pool size, patched below
    out.i32(0); // pool offset, patched below
    out.u8(doc.printerModel);
    out.bytes(doc.printer.toBytes());
    out.bytes(doc.page().toBytes());
    out.i32(doc.zoom());

    PoolWriter pool;
    out.i32(doc.objectCount());
    for (const auto& object : doc.objects()) {
        const int kind = static_cast<int>(object->kind());
        FixedRecord record(RecordSize(RecordLayout::V100, kind));
        if (!BuildRecord(*object, record, pool, error))
            return {};
        out.u8(static_cast<std::uint8_t>(kind));
        out.bytes(record.bytes().leftJustified(RecordSize(RecordLayout::V100, kind), '\0', true));
    }
    WriteVariableSection(out, doc.variables);

    const DatabaseBinding& db = doc.database;
    out.u8(db.active ? 1 : 0);
    if (db.active) {
        out.i32(db.recordNumber);
        out.i32(static_cast<std::int32_t>(db.sql.size()));
        out.i32(static_cast<std::int32_t>(db.connectionString.size()));
        out.i32(static_cast<std::int32_t>(db.sourceBlock.size()));
        out.bytes(db.sql);
        out.bytes(db.connectionString);
        out.bytes(db.sourceBlock);
    }

    const auto poolOffset = static_cast<std::int32_t>(out.size());
    out.bytes(pool.data());
    out.patchI32(48, static_cast<std::int32_t>(pool.data().size()));
    out.patchI32(52, poolOffset);
    doc.header = h.bytes();
    return out.take();
}

LabelFileResult WriteLabelFile(const QString& path, LabelDocument& doc)
{
    QString error;
    const QByteArray bytes = WriteLabelBytes(doc, &error);
    if (bytes.isEmpty())
        return {LabelFileResult::Status::CannotWrite, QStringLiteral("cannot save %1: %2").arg(path, error)};
    if (!WriteFileSafely(path, bytes, &error))
        return {LabelFileResult::Status::CannotWrite, error};
    doc.fileName = QFileInfo(path).absoluteFilePath();
    doc.modified = false;
    return {};
}

bool IsLabelFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(LabelDocument::HeaderSize);
    if (header.size() < 40)
        return false;
    const int version = headerI32(header, 36);
    return headerTextMatches(header) || version == 300 || version == 100;
}

std::optional<TPageRecord> ReadSamplePageRecord(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(40);
    if (head.size() < 40)
        return std::nullopt;
    const int version = headerI32(head, 36);
    qint64 offset = -1;
    if (version == 300 || version == 310)
        offset = 89;
    else if (version == 100 || version == 320 || version == 3202)
        offset = 97;
    if (offset < 0 || !file.seek(offset))
        return std::nullopt;
    const QByteArray page = file.read(TPageRecord::Size);
    if (page.size() < TPageRecord::Size)
        return std::nullopt;
    return TPageRecord::fromBytes(page);
}

} // namespace korvel
