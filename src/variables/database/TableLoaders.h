#pragma once

#include "variables/database/MemoryTable.h"
#include "variables/database/SchemaIni.h"

#include <QSqlDatabase>
#include <QString>

#include <vector>

class QIODevice;

namespace korvel {

/// A table loaded into the in-memory database.
struct LoadedTable {
    QString name;
    std::vector<MemoryColumn> columns;
    qint64 rows = 0;
};

/// The table name under which a text data file appears: the upper-case file name with its
/// extension after "#" ("DATA#TXT" for data.txt).
QString TextTableName(const QString& fileName);

/// Loads delimited text into table `table`. `schemaFile` (the data file, may be empty) supplies
/// "ColN=… Text" hints from schema.ini.
bool LoadDelimitedText(QSqlDatabase db, QIODevice* device, const QString& table, const TextFileSettings& settings,
                       const QString& schemaFile, LoadedTable* loaded, QString* error);

/// Loads every worksheet of a .xls workbook; each becomes the table "<sheet name>$". The first
/// non-empty row holds the field names.
bool LoadXls(QSqlDatabase db, const QString& path, std::vector<LoadedTable>* tables, QString* error);

/// The same for a .xlsx workbook.
bool LoadXlsx(QSqlDatabase db, const QString& path, std::vector<LoadedTable>* tables, QString* error);

/// Text of a spreadsheet date serial number ("yyyy-MM-dd", "yyyy-MM-dd hh:mm:ss" or
/// "hh:mm:ss"), in the 1900 or the 1904 date system.
QString SpreadsheetDateText(double serial, bool date1904);

/// Text of a spreadsheet number as the sheet shows it in general format (15 significant digits).
QString SpreadsheetNumberText(double value);

} // namespace korvel
