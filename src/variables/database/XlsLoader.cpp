#include "variables/database/TableLoaders.h"

#include <QFile>

#include <freexl.h>

namespace korvel {

namespace {

QString freexlMessage(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("the file cannot be opened");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("not enough memory");
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_CFBF_INVALID_SECTOR_SIZE:
        return QStringLiteral("not an Excel 97-2003 workbook");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("the file holds no workbook");
    case FREEXL_BIFF_PASSWORD:
        return QStringLiteral("the workbook is protected by a password");
    case FREEXL_CRAFTED_FILE:
        return QStringLiteral("the workbook is damaged beyond reading");
    default:
        return QStringLiteral("the workbook is damaged or unreadable (error %1)").arg(code);
    }
}

/// Closes the workbook handle on every way out.
struct Workbook {
    const void* handle = nullptr;
    ~Workbook()
    {
        if (handle)
            freexl_close(handle);
    }
};

SourceCell cellOf(const FreeXL_CellValue& v)
{
    switch (v.type) {
    case FREEXL_CELL_INT:
        return SourceCell::number(QString::number(v.value.int_value));
    case FREEXL_CELL_DOUBLE:
        return SourceCell::number(SpreadsheetNumberText(v.value.double_value));
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: {
        const QString t = v.value.text_value ? QString::fromUtf8(v.value.text_value) : QString();
        return t.isEmpty() ? SourceCell::null() : SourceCell::textCell(t);
    }
    default:
        return SourceCell::null();
    }
}

bool allNull(const std::vector<SourceCell>& cells)
{
    for (const SourceCell& c : cells)
        if (c.type != SourceCell::Type::Null)
            return false;
    return true;
}

} // namespace

bool LoadXls(QSqlDatabase db, const QString& path, std::vector<LoadedTable>* tables, QString* error)
{
    if (!QFile::exists(path)) {
        *error = QStringLiteral("%1: the file does not exist").arg(path);
        return false;
    }
    {
        // Checked here because the library reports a file that is no compound file at all as a
        // read error.
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("%1: %2").arg(path, f.errorString());
            return false;
        }
        if (f.read(8) != QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
            *error = QStringLiteral("%1: %2").arg(path, freexlMessage(FREEXL_INVALID_CFBF_HEADER));
            return false;
        }
    }
    Workbook book;
    const QByteArray local = QFile::encodeName(path);
    int r = freexl_open(local.constData(), &book.handle);
    if (r != FREEXL_OK) {
        *error = QStringLiteral("%1: %2").arg(path, freexlMessage(r));
        return false;
    }
    unsigned int password = 0;
    if (freexl_get_info(book.handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED) {
        *error = QStringLiteral("%1: %2").arg(path, freexlMessage(FREEXL_BIFF_PASSWORD));
        return false;
    }
    unsigned int sheetCount = 0;
    r = freexl_get_info(book.handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount);
    if (r != FREEXL_OK || sheetCount == 0) {
        *error = QStringLiteral("%1: the workbook holds no worksheet").arg(path);
        return false;
    }
    for (unsigned short sheet = 0; sheet < sheetCount; ++sheet) {
        const char* utf8Name = nullptr;
        if (freexl_get_worksheet_name(book.handle, sheet, &utf8Name) != FREEXL_OK || !utf8Name)
            continue;
        const QString table = QString::fromUtf8(utf8Name) + QLatin1Char('$');
        if (freexl_select_active_worksheet(book.handle, sheet) != FREEXL_OK)
            continue;
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_worksheet_dimensions(book.handle, &rows, &columns) != FREEXL_OK)
            continue;

        std::vector<SourceCell> cells;
        auto readRow = [&](unsigned int row) -> bool {
            cells.assign(columns, SourceCell::null());
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue v{};
                const int rc = freexl_get_cell_value(book.handle, row, c, &v);
                if (rc != FREEXL_OK) {
                    *error = QStringLiteral("%1: sheet %2, row %3: %4").arg(path, table).arg(row + 1).arg(freexlMessage(rc));
                    return false;
                }
                cells[c] = cellOf(v);
            }
            return true;
        };

        unsigned int row = 0;
        QStringList names;
        for (; row < rows; ++row) {
            if (!readRow(row))
                return false;
            if (!allNull(cells))
                break;
        }
        if (row >= rows || columns == 0)
            continue; // an empty sheet is no table
        for (const SourceCell& c : cells)
            names << c.text;
        ++row;

        MemoryTableWriter writer(db, table, names);
        for (; row < rows; ++row) {
            if (!readRow(row))
                return false;
            if (allNull(cells))
                continue;
            if (!writer.addRow(cells, QStringLiteral("sheet %1, row %2").arg(table, QString::number(row + 1)))) {
                *error = QStringLiteral("%1: %2").arg(path, writer.errorString());
                return false;
            }
        }
        if (!writer.finish()) {
            *error = QStringLiteral("%1: %2").arg(path, writer.errorString());
            return false;
        }
        tables->push_back({table, writer.columns(), writer.rowCount()});
    }
    if (tables->empty()) {
        *error = QStringLiteral("%1: the workbook holds no data").arg(path);
        return false;
    }
    return true;
}

} // namespace korvel
