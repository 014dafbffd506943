#include "variables/database/TestWorkbooks.h"

#include "document/Binary.h"

#include <QDate>

#include <zlib.h>

namespace korvel::test {

namespace {

// --- BIFF8 ---------------------------------------------------------------------------------

void record(ByteWriter& out, quint16 type, const QByteArray& data)
{
    out.u16(type);
    out.u16(static_cast<quint16>(data.size()));
    out.bytes(data);
}

QByteArray utf16(const QString& s)
{
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

QByteArray bof(quint16 kind)
{
    ByteWriter d;
    d.u16(0x0600);
    d.u16(kind);
    d.u16(0x0DBB);
    d.u16(0x07CC);
    d.u32(0);
    d.u32(0x0006);
    return d.take();
}

QByteArray xf(quint16 format, bool style)
{
    ByteWriter d;
    d.u16(0);          // font
    d.u16(format);     // number format
    d.u16(style ? 0xFFF5 : 0x0001);
    d.zeros(14);
    return d.take();
}

double dateSerial(const QDate& date)
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(date));
}

/// Wraps a stream named "Workbook" into a version-3 compound file with 512-byte sectors. The
/// stream is padded to 4096 bytes so that it lives in ordinary sectors, not in the mini stream.
QByteArray compoundFile(QByteArray stream)
{
    const qsizetype realSize = std::max<qsizetype>(stream.size(), 4096);
    stream.append(QByteArray(realSize - stream.size(), '\0'));
    const qsizetype streamSectors = (stream.size() + 511) / 512;
    stream.append(QByteArray(streamSectors * 512 - stream.size(), '\0'));
    // FAT sectors first, then the stream, then one directory sector.
    qsizetype fatSectors = 1;
    while (fatSectors * 128 < fatSectors + streamSectors + 1)
        ++fatSectors;
    const quint32 EndOfChain = 0xFFFFFFFE, FatSect = 0xFFFFFFFD, Free = 0xFFFFFFFF, NoStream = 0xFFFFFFFF;
    const quint32 firstStream = static_cast<quint32>(fatSectors);
    const quint32 directory = static_cast<quint32>(fatSectors + streamSectors);

    ByteWriter header;
    header.bytes(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    header.zeros(16);
    header.u16(0x003E);
    header.u16(0x0003);
    header.u16(0xFFFE);
    header.u16(9);
    header.u16(6);
    header.zeros(6);
    header.u32(0);
    header.u32(static_cast<quint32>(fatSectors));
    header.u32(directory);
    header.u32(0);
    header.u32(4096);
    header.u32(EndOfChain);
    header.u32(0);
    header.u32(EndOfChain);
    header.u32(0);
    for (int i = 0; i < 109; ++i)
        header.u32(i < fatSectors ? static_cast<quint32>(i) : Free);

    ByteWriter fat;
    for (qsizetype i = 0; i < fatSectors; ++i)
        fat.u32(FatSect);
    for (qsizetype i = 0; i < streamSectors; ++i)
        fat.u32(i + 1 < streamSectors ? firstStream + static_cast<quint32>(i) + 1 : EndOfChain);
    fat.u32(EndOfChain);
    while (fat.size() < fatSectors * 512)
        fat.u32(Free);

    auto entry = [](const QString& name, quint8 type, quint32 child, quint32 start, quint32 size) {
        FixedRecord e(128);
        const QByteArray n = utf16(name);
        e.setRaw(0, n);
        e.setU16(64, static_cast<quint16>(name.isEmpty() ? 0 : n.size() + 2));
        e.setU8(66, type);
        e.setU8(67, 1);
        e.setI32(68, -1);
        e.setI32(72, -1);
        e.setI32(76, static_cast<qint32>(child));
        e.setI32(116, static_cast<qint32>(start));
        e.setI32(120, static_cast<qint32>(size));
        return e.bytes();
    };
    ByteWriter dir;
    dir.bytes(entry(QStringLiteral("Root Entry"), 5, 1, EndOfChain, 0));
    dir.bytes(entry(QStringLiteral("Workbook"), 2, NoStream, firstStream, static_cast<quint32>(realSize)));
    dir.bytes(entry(QString(), 0, NoStream, 0, 0));
    dir.bytes(entry(QString(), 0, NoStream, 0, 0));

    QByteArray out = header.take();
    out += fat.take();
    out += stream;
    out += dir.take();
    return out;
}

// --- zip -----------------------------------------------------------------------------------

QByteArray rawDeflate(const QByteArray& in)
{
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&z, static_cast<uLong>(in.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(static_cast<qsizetype>(z.total_out));
    deflateEnd(&z);
    return out;
}

QString xmlEscaped(const QString& s)
{
    return s.toHtmlEscaped();
}

QString columnName(int c)
{
    QString s;
    for (++c; c > 0; c = (c - 1) / 26)
        s.prepend(QChar('A' + (c - 1) % 26));
    return s;
}

} // namespace

QByteArray MakeXls(const std::vector<TestSheet>& sheets)
{
    // Shared strings in order of first use.
    QStringList sst;
    int sstTotal = 0;
    for (const TestSheet& s : sheets)
        for (const auto& row : s.rows)
            for (const QVariant& v : row)
                if (v.metaType().id() == QMetaType::QString) {
                    ++sstTotal;
                    if (!sst.contains(v.toString()))
                        sst << v.toString();
                }

    ByteWriter globals;
    record(globals, 0x0809, bof(0x0005));
    {
        ByteWriter d;
        d.u16(0x04B0);
        record(globals, 0x0042, d.take());
    }
    {
        ByteWriter d;
        d.u16(0);
        record(globals, 0x0022, d.take());
    }
    for (int i = 0; i < 16; ++i)
        record(globals, 0x00E0, xf(0, true));
    record(globals, 0x00E0, xf(0, false));  // XF 16: general
    record(globals, 0x00E0, xf(14, false)); // XF 17: a date
    std::vector<qsizetype> sheetOffsetAt;
    for (const TestSheet& s : sheets) {
        ByteWriter d;
        sheetOffsetAt.push_back(globals.size() + 4);
        d.u32(0);
        d.u8(0);
        d.u8(0);
        d.u8(static_cast<quint8>(s.name.size()));
        d.u8(1);
        d.bytes(utf16(s.name));
        record(globals, 0x0085, d.take());
    }
    {
        ByteWriter d;
        d.u32(static_cast<quint32>(sstTotal));
        d.u32(static_cast<quint32>(sst.size()));
        for (const QString& s : sst) {
            d.u16(static_cast<quint16>(s.size()));
            d.u8(1);
            d.bytes(utf16(s));
        }
        record(globals, 0x00FC, d.take());
    }
    record(globals, 0x000A, {});

    QByteArray stream = globals.take();
    for (size_t i = 0; i < sheets.size(); ++i) {
        const TestSheet& s = sheets[i];
        FixedRecord patch(std::move(stream));
        patch.setI32(sheetOffsetAt[i], static_cast<qint32>(patch.size()));
        stream = std::move(patch.bytes());

        ByteWriter sheet;
        record(sheet, 0x0809, bof(0x0010));
        quint16 columns = 0;
        for (const auto& row : s.rows)
            columns = std::max<quint16>(columns, static_cast<quint16>(row.size()));
        {
            ByteWriter d;
            d.u32(0);
            d.u32(static_cast<quint32>(s.rows.size()));
            d.u16(0);
            d.u16(columns);
            d.u16(0);
            record(sheet, 0x0200, d.take());
        }
        for (size_t r = 0; r < s.rows.size(); ++r) {
            for (size_t c = 0; c < s.rows[r].size(); ++c) {
                const QVariant& v = s.rows[r][c];
                ByteWriter d;
                d.u16(static_cast<quint16>(r));
                d.u16(static_cast<quint16>(c));
                switch (v.metaType().id()) {
                case QMetaType::QString:
                    d.u16(16);
                    d.u32(static_cast<quint32>(sst.indexOf(v.toString())));
                    record(sheet, 0x00FD, d.take());
                    break;
                case QMetaType::Int:
                case QMetaType::Double:
                    d.u16(16);
                    d.f64(v.toDouble());
                    record(sheet, 0x0203, d.take());
                    break;
                case QMetaType::QDate:
                    d.u16(17);
                    d.f64(dateSerial(v.toDate()));
                    record(sheet, 0x0203, d.take());
                    break;
                default:
                    break;
                }
            }
        }
        record(sheet, 0x000A, {});
        stream += sheet.take();
    }
    return compoundFile(stream);
}

QByteArray MakeZip(const std::vector<std::pair<QString, QByteArray>>& entries, bool deflate)
{
    ByteWriter out;
    ByteWriter central;
    for (const auto& [name, data] : entries) {
        const QByteArray n = name.toUtf8();
        const QByteArray body = deflate ? rawDeflate(data) : data;
        const quint32 crc = static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef*>(data.constData()), static_cast<uInt>(data.size())));
        const quint32 offset = static_cast<quint32>(out.size());
        out.u32(0x04034b50);
        out.u16(20);
        out.u16(0x0800);
        out.u16(deflate ? 8 : 0);
        out.u16(0);
        out.u16(0x21);
        out.u32(crc);
        out.u32(static_cast<quint32>(body.size()));
        out.u32(static_cast<quint32>(data.size()));
        out.u16(static_cast<quint16>(n.size()));
        out.u16(0);
        out.bytes(n);
        out.bytes(body);

        central.u32(0x02014b50);
        central.u16(20);
        central.u16(20);
        central.u16(0x0800);
        central.u16(deflate ? 8 : 0);
        central.u16(0);
        central.u16(0x21);
        central.u32(crc);
        central.u32(static_cast<quint32>(body.size()));
        central.u32(static_cast<quint32>(data.size()));
        central.u16(static_cast<quint16>(n.size()));
        central.u16(0);
        central.u16(0);
        central.u16(0);
        central.u16(0);
        central.u32(0);
        central.u32(offset);
        central.bytes(n);
    }
    const quint32 dirOffset = static_cast<quint32>(out.size());
    const QByteArray dir = central.take();
    out.bytes(dir);
    out.u32(0x06054b50);
    out.u16(0);
    out.u16(0);
    out.u16(static_cast<quint16>(entries.size()));
    out.u16(static_cast<quint16>(entries.size()));
    out.u32(static_cast<quint32>(dir.size()));
    out.u32(dirOffset);
    out.u16(0);
    return out.take();
}

QByteArray MakeXlsx(const std::vector<TestSheet>& sheets, bool deflate)
{
    QStringList shared;
    std::vector<std::pair<QString, QByteArray>> parts;
    QString types = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
    parts.push_back({QStringLiteral("[Content_Types].xml"), types.toUtf8()});
    parts.push_back({QStringLiteral("_rels/.rels"),
                     QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
                                "</Relationships>")});
    QString workbook = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><workbookPr/><sheets>");
    QString rels = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">");
    for (size_t i = 0; i < sheets.size(); ++i) {
        workbook += QStringLiteral("<sheet name=\"%1\" sheetId=\"%2\" r:id=\"rId%2\"/>").arg(xmlEscaped(sheets[i].name)).arg(i + 1);
        rels += QStringLiteral("<Relationship Id=\"rId%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                               "Target=\"worksheets/sheet%1.xml\"/>")
                    .arg(i + 1);

        QString xml = QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
            "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>");
        const auto& rows = sheets[i].rows;
        for (size_t r = 0; r < rows.size(); ++r) {
            xml += QStringLiteral("<row r=\"%1\">").arg(r + 1);
            for (size_t c = 0; c < rows[r].size(); ++c) {
                const QVariant& v = rows[r][c];
                const QString ref = columnName(static_cast<int>(c)) + QString::number(r + 1);
                switch (v.metaType().id()) {
                case QMetaType::QString: {
                    // Every third text goes inline, the rest through the shared strings.
                    const QString s = v.toString();
                    if ((r + c) % 3 == 2) {
                        xml += QStringLiteral("<c r=\"%1\" t=\"inlineStr\"><is><t>%2</t></is></c>").arg(ref, xmlEscaped(s));
                    } else {
                        qsizetype index = shared.indexOf(s);
                        if (index < 0) {
                            index = shared.size();
                            shared << s;
                        }
                        xml += QStringLiteral("<c r=\"%1\" t=\"s\"><v>%2</v></c>").arg(ref).arg(index);
                    }
                    break;
                }
                case QMetaType::Int:
                    xml += QStringLiteral("<c r=\"%1\"><v>%2</v></c>").arg(ref).arg(v.toInt());
                    break;
                case QMetaType::Double:
                    xml += QStringLiteral("<c r=\"%1\"><v>%2</v></c>").arg(ref, QString::number(v.toDouble(), 'g', 17));
                    break;
                case QMetaType::QDate:
                    xml += QStringLiteral("<c r=\"%1\" s=\"1\"><v>%2</v></c>").arg(ref).arg(dateSerial(v.toDate()));
                    break;
                default:
                    break;
                }
            }
            xml += QStringLiteral("</row>");
        }
        xml += QStringLiteral("</sheetData></worksheet>");
        parts.push_back({QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1), xml.toUtf8()});
    }
    workbook += QStringLiteral("</sheets></workbook>");
    rels += QStringLiteral(
                "<Relationship Id=\"rIdS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
                "<Relationship Id=\"rIdT\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>")
        + QStringLiteral("</Relationships>");
    QString sst = QStringLiteral(
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                      "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"%1\" uniqueCount=\"%1\">")
                      .arg(shared.size());
    for (const QString& s : shared)
        sst += QStringLiteral("<si><t>%1</t></si>").arg(xmlEscaped(s));
    sst += QStringLiteral("</sst>");
    const QString styles = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\"/></numFmts>"
        "<cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"164\" applyNumberFormat=\"1\"/></cellXfs></styleSheet>");
    parts.push_back({QStringLiteral("xl/workbook.xml"), workbook.toUtf8()});
    parts.push_back({QStringLiteral("xl/_rels/workbook.xml.rels"), rels.toUtf8()});
    parts.push_back({QStringLiteral("xl/sharedStrings.xml"), sst.toUtf8()});
    parts.push_back({QStringLiteral("xl/styles.xml"), styles.toUtf8()});
    return MakeZip(parts, deflate);
}

} // namespace korvel::test
