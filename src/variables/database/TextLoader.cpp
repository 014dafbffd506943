#include "variables/database/DelimitedTextReader.h"
#include "variables/database/TableLoaders.h"

#include <QDateTime>
#include <QFileInfo>

#include <cmath>

namespace korvel {

QString TextTableName(const QString& fileName)
{
    const QFileInfo info(fileName);
    const QString base = info.completeBaseName().toUpper();
    const QString suffix = info.suffix().toUpper();
    return suffix.isEmpty() ? base : base + QLatin1Char('#') + suffix;
}

bool LoadDelimitedText(QSqlDatabase db, QIODevice* device, const QString& table, const TextFileSettings& settings,
                       const QString& schemaFile, LoadedTable* loaded, QString* error)
{
    DelimitedTextReader reader(device, settings);
    QStringList fields;
    QStringList names;
    DelimitedTextReader::Status status = reader.next(fields);
    if (status == DelimitedTextReader::Status::Error) {
        *error = reader.errorString();
        return false;
    }
    if (settings.header) {
        if (status != DelimitedTextReader::Status::Row) {
            *error = QStringLiteral("the text holds no field names");
            return false;
        }
        names = fields;
        status = reader.next(fields);
    }
    MemoryTableWriter writer(db, table, names);
    if (!schemaFile.isEmpty())
        for (int column : SchemaTextColumns(schemaFile))
            writer.forceText(column - 1);
    std::vector<SourceCell> cells;
    qint64 records = 0;
    while (status == DelimitedTextReader::Status::Row) {
        cells.clear();
        cells.reserve(static_cast<size_t>(fields.size()));
        for (const QString& f : fields)
            cells.push_back(SourceCell::guess(f));
        if (!writer.addRow(cells, QStringLiteral("line %1").arg(reader.lineNumber()))) {
            *error = writer.errorString();
            return false;
        }
        if (settings.maxRecords > 0 && ++records >= settings.maxRecords)
            break;
        status = reader.next(fields);
    }
    if (status == DelimitedTextReader::Status::Error) {
        *error = reader.errorString();
        return false;
    }
    if (!writer.finish()) {
        *error = writer.errorString();
        return false;
    }
    loaded->name = table;
    loaded->columns = writer.columns();
    loaded->rows = writer.rowCount();
    return true;
}

QString SpreadsheetDateText(double serial, bool date1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466)
        return SpreadsheetNumberText(serial);
    double days = std::floor(serial);
    // Whole seconds, rounded; a value that rounds up to midnight moves to the next day.
    qint64 seconds = std::llround((serial - days) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += 1;
    }
    const QTime time = QTime(0, 0).addSecs(static_cast<int>(seconds));
    if (days == 0 && !date1904)
        return time.toString(QStringLiteral("hh:mm:ss"));
    QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    // The 1900 system counts a 29 February 1900 that never was: serials below 61 are one day
    // off against the calendar.
    if (!date1904 && days < 61)
        base = base.addDays(1);
    const QDate date = base.addDays(static_cast<qint64>(days));
    if (seconds == 0)
        return date.toString(QStringLiteral("yyyy-MM-dd"));
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') + time.toString(QStringLiteral("hh:mm:ss"));
}

QString SpreadsheetNumberText(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', 15);
}

} // namespace korvel
