#include "variables/database/TableLoaders.h"
#include "variables/database/ZipArchive.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

#include <functional>
#include <set>

namespace korvel {

namespace {

/// Feeds a zip entry to an XML reader piece by piece, so a sheet is parsed while it is being
/// decompressed.
class XmlPart {
public:
    XmlPart(ZipArchive& zip, const ZipArchive::Entry& entry) : stream_(zip.openEntry(entry)), name_(entry.name)
    {
        if (!stream_)
            error_ = zip.errorString();
    }

    /// The next token; false at the end of the document or on an error (see error()).
    bool next()
    {
        if (!error_.isEmpty())
            return false;
        for (;;) {
            const QXmlStreamReader::TokenType t = xml_.readNext();
            if (t == QXmlStreamReader::EndDocument)
                return false;
            if (!xml_.hasError())
                return true;
            if (xml_.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
                error_ = QStringLiteral("%1, line %2: %3").arg(name_, QString::number(xml_.lineNumber()), xml_.errorString());
                return false;
            }
            if (stream_->atEnd()) {
                error_ = QStringLiteral("%1: the document ends too early").arg(name_);
                return false;
            }
            const QByteArray piece = stream_->read();
            if (stream_->failed()) {
                error_ = stream_->errorString();
                return false;
            }
            xml_.addData(piece);
        }
    }

    QXmlStreamReader& xml() { return xml_; }
    QString error() const { return error_; }

private:
    std::unique_ptr<ZipEntryStream> stream_;
    QString name_;
    QXmlStreamReader xml_;
    QString error_;
};

QString attribute(const QXmlStreamReader& xml, QStringView name)
{
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == name)
            return a.value().toString();
    return {};
}

/// The relationship id of a <sheet>: the attribute "id" in the relationships namespace.
QString relationshipId(const QXmlStreamReader& xml)
{
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == u"id" && a.namespaceUri().contains(u"relationships"))
            return a.value().toString();
    return {};
}

/// Resolves a relationship target against the folder of the part that holds the relationship.
QString resolveTarget(const QString& baseFolder, const QString& target)
{
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    if (baseFolder.isEmpty())
        return QDir::cleanPath(target);
    return QDir::cleanPath(baseFolder + QLatin1Char('/') + target);
}

/// 0-based column of a cell reference such as "AB12"; -1 when it has no letters.
int columnOf(QStringView ref)
{
    int col = 0;
    int letters = 0;
    for (QChar c : ref) {
        const char16_t u = c.toUpper().unicode();
        if (u < 'A' || u > 'Z')
            break;
        col = col * 26 + (u - 'A' + 1);
        if (++letters > 3)
            return -1;
    }
    return letters == 0 ? -1 : col - 1;
}

bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

/// Whether a custom number format shows a date or a time: a y, m, d, h or s outside quoted text,
/// escapes and bracketed parts (colours, conditions).
bool isDateFormatCode(const QString& code)
{
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (quoted) {
            quoted = c != QLatin1Char('"');
            continue;
        }
        if (bracket) {
            // [h], [mm] and [ss] are elapsed-time formats.
            if (c == QLatin1Char(']'))
                bracket = false;
            else if (QStringLiteral("hHmMsS").contains(c) && code[i - 1] == QLatin1Char('['))
                return true;
            continue;
        }
        if (c == QLatin1Char('"'))
            quoted = true;
        else if (c == QLatin1Char('['))
            bracket = true;
        else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*'))
            ++i;
        else if (QStringLiteral("yYmMdDhHsS").contains(c))
            return true;
    }
    return false;
}

struct Workbook {
    struct Sheet {
        QString name;
        QString part;
    };
    std::vector<Sheet> sheets;
    QString sharedStringsPart;
    QString stylesPart;
    bool date1904 = false;
};

class XlsxReader {
public:
    XlsxReader(QSqlDatabase db, const QString& path) : db_(std::move(db)), path_(path) {}

    bool load(std::vector<LoadedTable>* tables, QString* error);

private:
    bool fail(const QString& message)
    {
        error_ = QStringLiteral("%1: %2").arg(path_, message);
        return false;
    }
    const ZipArchive::Entry* entry(const QString& part)
    {
        return zip_.find(part);
    }
    bool readRelationships(const QString& part, const QString& baseFolder, QHash<QString, std::pair<QString, QString>>* out);
    bool readWorkbook();
    bool readSharedStrings();
    bool readStyles();
    bool readSheet(const Workbook::Sheet& sheet, const std::function<bool(int row, std::vector<SourceCell>&)>& onRow);
    bool loadSheet(const Workbook::Sheet& sheet, std::vector<LoadedTable>* tables);

    QSqlDatabase db_;
    QString path_;
    ZipArchive zip_;
    Workbook book_;
    QStringList sharedStrings_;
    std::vector<bool> dateStyles_;
    QString error_;
};

bool XlsxReader::readRelationships(const QString& part, const QString& baseFolder,
                                   QHash<QString, std::pair<QString, QString>>* out)
{
    const ZipArchive::Entry* e = entry(part);
    if (!e)
        return true;
    XmlPart xml(zip_, *e);
    while (xml.next()) {
        if (xml.xml().isStartElement() && xml.xml().name() == u"Relationship") {
            if (attribute(xml.xml(), u"TargetMode") == u"External")
                continue;
            out->insert(attribute(xml.xml(), u"Id"),
                        {attribute(xml.xml(), u"Type"), resolveTarget(baseFolder, attribute(xml.xml(), u"Target"))});
        }
    }
    return xml.error().isEmpty() || fail(xml.error());
}

bool XlsxReader::readWorkbook()
{
    QHash<QString, std::pair<QString, QString>> root;
    if (!readRelationships(QStringLiteral("_rels/.rels"), QString(), &root))
        return false;
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    for (const auto& [type, target] : root)
        if (type.endsWith(u"/officeDocument"))
            workbookPart = target;
    const ZipArchive::Entry* e = entry(workbookPart);
    if (!e)
        return fail(QStringLiteral("not an Excel workbook (no %1)").arg(workbookPart));
    const QString folder = workbookPart.contains(QLatin1Char('/')) ? workbookPart.section(QLatin1Char('/'), 0, -2) : QString();
    const QString relsPart = (folder.isEmpty() ? QString() : folder + QLatin1Char('/')) + QStringLiteral("_rels/")
        + workbookPart.section(QLatin1Char('/'), -1) + QStringLiteral(".rels");
    QHash<QString, std::pair<QString, QString>> rels;
    if (!readRelationships(relsPart, folder, &rels))
        return false;
    for (const auto& [type, target] : rels) {
        if (type.endsWith(u"/sharedStrings"))
            book_.sharedStringsPart = target;
        else if (type.endsWith(u"/styles"))
            book_.stylesPart = target;
    }

    XmlPart xml(zip_, *e);
    while (xml.next()) {
        QXmlStreamReader& x = xml.xml();
        if (!x.isStartElement())
            continue;
        if (x.name() == u"workbookPr") {
            const QString v = attribute(x, u"date1904");
            book_.date1904 = v == u"1" || v.compare(u"true", Qt::CaseInsensitive) == 0;
        } else if (x.name() == u"sheet") {
            const auto rel = rels.constFind(relationshipId(x));
            if (rel == rels.constEnd() || !rel->first.endsWith(u"/worksheet"))
                continue; // chart sheets and dialog sheets hold no table
            book_.sheets.push_back({attribute(x, u"name"), rel->second});
        }
    }
    if (!xml.error().isEmpty())
        return fail(xml.error());
    if (book_.sheets.empty())
        return fail(QStringLiteral("the workbook holds no worksheet"));
    return true;
}

bool XlsxReader::readSharedStrings()
{
    if (book_.sharedStringsPart.isEmpty())
        return true;
    const ZipArchive::Entry* e = entry(book_.sharedStringsPart);
    if (!e)
        return true;
    XmlPart xml(zip_, *e);
    QString current;
    bool inText = false;
    int phonetic = 0;
    while (xml.next()) {
        QXmlStreamReader& x = xml.xml();
        if (x.isStartElement()) {
            if (x.name() == u"si")
                current.clear();
            else if (x.name() == u"rPh")
                ++phonetic;
            else if (x.name() == u"t")
                inText = phonetic == 0;
        } else if (x.isEndElement()) {
            if (x.name() == u"si")
                sharedStrings_ << current;
            else if (x.name() == u"rPh")
                --phonetic;
            else if (x.name() == u"t")
                inText = false;
        } else if (x.isCharacters() && inText) {
            current += x.text();
        }
    }
    return xml.error().isEmpty() || fail(xml.error());
}

bool XlsxReader::readStyles()
{
    if (book_.stylesPart.isEmpty())
        return true;
    const ZipArchive::Entry* e = entry(book_.stylesPart);
    if (!e)
        return true;
    QHash<int, bool> customDate;
    XmlPart xml(zip_, *e);
    bool inCellXfs = false;
    while (xml.next()) {
        QXmlStreamReader& x = xml.xml();
        if (x.isStartElement()) {
            if (x.name() == u"numFmt") {
                customDate.insert(attribute(x, u"numFmtId").toInt(), isDateFormatCode(attribute(x, u"formatCode")));
            } else if (x.name() == u"cellXfs") {
                inCellXfs = true;
            } else if (x.name() == u"xf" && inCellXfs) {
                const int id = attribute(x, u"numFmtId").toInt();
                dateStyles_.push_back(customDate.contains(id) ? customDate.value(id) : isBuiltInDateFormat(id));
            }
        } else if (x.isEndElement() && x.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    return xml.error().isEmpty() || fail(xml.error());
}

bool XlsxReader::readSheet(const Workbook::Sheet& sheet, const std::function<bool(int, std::vector<SourceCell>&)>& onRow)
{
    const ZipArchive::Entry* e = entry(sheet.part);
    if (!e)
        return fail(QStringLiteral("the sheet \"%1\" is missing (%2)").arg(sheet.name, sheet.part));
    XmlPart xml(zip_, *e);
    std::vector<SourceCell> cells;
    int rowNumber = 0;
    int column = -1;
    QString type;
    int style = 0;
    QString value;
    bool inValue = false;
    bool inInline = false;
    int phonetic = 0;
    bool inData = false;

    while (xml.next()) {
        QXmlStreamReader& x = xml.xml();
        if (x.isStartElement()) {
            const QStringView n = x.name();
            if (n == u"sheetData") {
                inData = true;
            } else if (!inData) {
                continue;
            } else if (n == u"row") {
                const int r = attribute(x, u"r").toInt();
                rowNumber = r > 0 ? r : rowNumber + 1;
                cells.clear();
                column = -1;
            } else if (n == u"c") {
                const int c = columnOf(attribute(x, u"r"));
                column = c >= 0 ? c : column + 1;
                type = attribute(x, u"t");
                style = attribute(x, u"s").toInt();
                value.clear();
                inValue = inInline = false;
            } else if (n == u"v") {
                inValue = true;
            } else if (n == u"is") {
                inInline = true;
            } else if (n == u"rPh") {
                ++phonetic;
            } else if (n == u"t" && inInline) {
                inValue = phonetic == 0;
            }
        } else if (x.isEndElement()) {
            const QStringView n = x.name();
            if (n == u"v" || n == u"t") {
                inValue = false;
            } else if (n == u"rPh") {
                --phonetic;
            } else if (n == u"is") {
                inInline = false;
            } else if (n == u"c" && inData) {
                if (column < 0 || column > 16383)
                    return fail(QStringLiteral("sheet \"%1\", row %2: a cell lies outside the sheet").arg(sheet.name, QString::number(rowNumber)));
                SourceCell cell;
                if (type == u"s") {
                    bool ok = false;
                    const int index = value.trimmed().toInt(&ok);
                    if (!ok || index < 0 || index >= sharedStrings_.size())
                        return fail(QStringLiteral("sheet \"%1\", row %2: a cell refers to a missing shared string").arg(sheet.name, QString::number(rowNumber)));
                    cell = SourceCell::textCell(sharedStrings_[index]);
                } else if (type == u"inlineStr" || type == u"str" || type == u"e") {
                    cell = SourceCell::textCell(value);
                } else if (type == u"b") {
                    cell = SourceCell::textCell(value.trimmed() == u"1" ? QStringLiteral("True") : QStringLiteral("False"));
                } else if (type == u"d") {
                    QDateTime dt = QDateTime::fromString(value.trimmed(), Qt::ISODate);
                    cell = SourceCell::textCell(!dt.isValid() ? value
                                                    : dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("yyyy-MM-dd"))
                                                                               : dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
                } else if (!value.trimmed().isEmpty()) {
                    bool ok = false;
                    const double d = value.trimmed().toDouble(&ok);
                    const bool isDate = style >= 0 && static_cast<size_t>(style) < dateStyles_.size() && dateStyles_[static_cast<size_t>(style)];
                    if (!ok)
                        cell = SourceCell::textCell(value);
                    else if (isDate)
                        cell = SourceCell::textCell(SpreadsheetDateText(d, book_.date1904));
                    else
                        cell = SourceCell::number(SpreadsheetNumberText(d));
                }
                if (cell.type != SourceCell::Type::Null && cell.text.isEmpty())
                    cell = SourceCell::null();
                if (static_cast<int>(cells.size()) <= column)
                    cells.resize(static_cast<size_t>(column) + 1);
                cells[static_cast<size_t>(column)] = cell;
            } else if (n == u"row" && inData) {
                if (!onRow(rowNumber, cells))
                    return false;
            } else if (n == u"sheetData") {
                inData = false;
            }
        } else if (x.isCharacters() && inValue) {
            value += x.text();
        }
    }
    return xml.error().isEmpty() || fail(xml.error());
}

bool XlsxReader::loadSheet(const Workbook::Sheet& sheet, std::vector<LoadedTable>* tables)
{
    // A first pass finds the width of the sheet: the stored dimension is optional and not
    // always right, and the table must have all its columns before the first row goes in.
    size_t width = 0;
    bool any = false;
    auto measure = [&](int, std::vector<SourceCell>& cells) {
        for (size_t c = cells.size(); c > width; --c)
            if (cells[c - 1].type != SourceCell::Type::Null) {
                width = c;
                break;
            }
        any = any || width > 0;
        return true;
    };
    if (!readSheet(sheet, measure))
        return false;
    if (!any)
        return true; // an empty sheet is no table

    const QString table = sheet.name + QLatin1Char('$');
    std::unique_ptr<MemoryTableWriter> writer;
    auto store = [&](int row, std::vector<SourceCell>& cells) {
        cells.resize(width);
        bool blank = true;
        for (const SourceCell& c : cells)
            blank = blank && c.type == SourceCell::Type::Null;
        if (blank)
            return true;
        if (!writer) {
            QStringList names;
            for (const SourceCell& c : cells)
                names << c.text;
            writer = std::make_unique<MemoryTableWriter>(db_, table, names);
            return true;
        }
        return writer->addRow(cells, QStringLiteral("sheet %1, row %2").arg(table, QString::number(row))) || fail(writer->errorString());
    };
    if (!readSheet(sheet, store))
        return false;
    if (!writer)
        return true;
    if (!writer->finish())
        return fail(writer->errorString());
    tables->push_back({table, writer->columns(), writer->rowCount()});
    return true;
}

bool XlsxReader::load(std::vector<LoadedTable>* tables, QString* error)
{
    auto done = [&](bool ok) {
        if (!ok)
            *error = error_;
        return ok;
    };
    if (!QFile::exists(path_))
        return done(fail(QStringLiteral("the file does not exist")));
    if (!zip_.open(path_)) {
        error_ = zip_.errorString();
        return done(false);
    }
    if (!readWorkbook() || !readSharedStrings() || !readStyles())
        return done(false);
    std::set<QString> seen;
    for (const Workbook::Sheet& sheet : book_.sheets) {
        if (!seen.insert(sheet.name.toLower()).second)
            continue;
        if (!loadSheet(sheet, tables))
            return done(false);
    }
    if (tables->empty())
        return done(fail(QStringLiteral("the workbook holds no data")));
    return done(true);
}

} // namespace

bool LoadXlsx(QSqlDatabase db, const QString& path, std::vector<LoadedTable>* tables, QString* error)
{
    XlsxReader reader(std::move(db), path);
    return reader.load(tables, error);
}

} // namespace korvel
