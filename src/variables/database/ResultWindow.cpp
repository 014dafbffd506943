#include "variables/database/ResultWindow.h"

#include "variables/database/MemoryTable.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

namespace korvel {

bool ExecQueryText(QSqlQuery& q, const QString& text, const QVariantList& values, bool prepared)
{
    if (!prepared)
        return q.exec(text);
    bool ok = q.prepare(text);
    for (const QVariant& v : values)
        q.addBindValue(v);
    return ok && q.exec();
}

ResultWindow::~ResultWindow()
{
    if (!name_.isEmpty() && db_.isOpen()) {
        QSqlQuery drop(db_);
        drop.exec(QStringLiteral("DROP TABLE IF EXISTS temp.") + QuoteIdentifier(name_));
    }
}

bool ResultWindow::create(
    QSqlDatabase db, const QString& name, const QString& select, const QVariantList& values, bool prepared, QString* error)
{
    db_ = db;
    const QString table = QStringLiteral("temp.") + QuoteIdentifier(name);
    QSqlQuery q(db_);
    const QString create = QStringLiteral("CREATE TEMP TABLE ") + QuoteIdentifier(name) + QStringLiteral(" AS SELECT * FROM (")
        + select + QStringLiteral(")");
    if (!ExecQueryText(q, create, values, prepared)) {
        *error = q.lastError().text().trimmed();
        return false;
    }
    name_ = name;
    QSqlQuery count(db_);
    if (!count.exec(QStringLiteral("SELECT count(*) FROM ") + table) || !count.next()) {
        *error = count.lastError().text().trimmed();
        return false;
    }
    rows_ = count.value(0).toInt();
    QSqlQuery shape(db_);
    if (!shape.exec(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE 0"))) {
        *error = shape.lastError().text().trimmed();
        return false;
    }
    record_ = shape.record();
    columns_ = record_.count();
    return true;
}

std::vector<int> ResultWindow::widestValues() const
{
    std::vector<int> widths(static_cast<size_t>(columns_), 0);
    if (columns_ == 0)
        return widths;
    QStringList parts;
    for (int c = 0; c < columns_; ++c)
        parts << QStringLiteral("max(length(CAST(") + QuoteIdentifier(record_.fieldName(c)) + QStringLiteral(" AS BLOB)))");
    QSqlQuery q(db_);
    if (q.exec(QStringLiteral("SELECT ") + parts.join(QLatin1Char(',')) + QStringLiteral(" FROM temp.") + QuoteIdentifier(name_))
        && q.next()) {
        for (int c = 0; c < columns_; ++c)
            widths[static_cast<size_t>(c)] = q.value(c).toInt();
    }
    return widths;
}

bool ResultWindow::load(int row) const
{
    if (row < 0 || row >= rows_)
        return false;
    if (windowStart_ >= 0 && row >= windowStart_ && row < windowStart_ + windowRows_)
        return true;
    // Windows are aligned, so stepping forward or back reads each one once.
    const int start = row / WindowRows * WindowRows;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT * FROM temp.") + QuoteIdentifier(name_)
        + QStringLiteral(" WHERE rowid BETWEEN ? AND ? ORDER BY rowid"));
    // The table's rows are numbered from 1 in the order the query gave them.
    q.addBindValue(start + 1);
    q.addBindValue(start + WindowRows);
    cells_.clear();
    windowStart_ = -1;
    windowRows_ = 0;
    if (!q.exec())
        return false;
    while (q.next()) {
        for (int c = 0; c < columns_; ++c)
            cells_.push_back(q.value(c));
        ++windowRows_;
    }
    windowStart_ = start;
    return row < windowStart_ + windowRows_;
}

QVariant ResultWindow::value(int row, int column) const
{
    if (column < 0 || column >= columns_ || !load(row))
        return {};
    return cells_[static_cast<size_t>(row - windowStart_) * static_cast<size_t>(columns_) + static_cast<size_t>(column)];
}

} // namespace korvel
