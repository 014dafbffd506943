#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <utility>
#include <vector>

namespace korvel::test {

/// One worksheet for the writers below: rows of cells; a QString becomes a text cell, an int or
/// a double a number cell, a QDate a date-formatted number, an invalid QVariant no cell.
struct TestSheet {
    QString name;
    std::vector<std::vector<QVariant>> rows;
};

/// A minimal Excel 97-2003 workbook (BIFF8 in a compound file), written from scratch.
QByteArray MakeXls(const std::vector<TestSheet>& sheets);

/// A minimal .xlsx workbook (shared strings, an inline string, a date style). `deflate` chooses
/// compressed or stored zip entries.
QByteArray MakeXlsx(const std::vector<TestSheet>& sheets, bool deflate = true);

/// A zip archive of the given entries (stored or deflated).
QByteArray MakeZip(const std::vector<std::pair<QString, QByteArray>>& entries, bool deflate);

} // namespace korvel::test
