#include "variables/database/MemoryTable.h"

#include <QSqlError>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace korvel {

namespace {

bool isCanonicalInteger(const QString& t, qint64* value)
{
    if (t.isEmpty() || t.size() > 20)
        return false;
    qsizetype i = t.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (i == t.size())
        return false;
    if (t[i] == QLatin1Char('0') && (t.size() > i + 1 || i == 1))
        return false; // leading zeros and "-0" would not read back as written
    for (qsizetype k = i; k < t.size(); ++k)
        if (t[k].unicode() < '0' || t[k].unicode() > '9')
            return false;
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (ok && value)
        *value = v;
    return ok;
}

bool isCanonicalFloat(const QString& t, double* value)
{
    if (t.isEmpty() || t.size() > 40)
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v) || QString::number(v, 'g', 15) != t)
        return false;
    if (value)
        *value = v;
    return true;
}

QVariant nullText()
{
    return QVariant(QMetaType::fromType<QString>());
}

} // namespace

QString QuoteIdentifier(const QString& name, QChar quote)
{
    QString q = name;
    q.replace(quote, QString(2, quote));
    return quote + q + quote;
}

int AnsiByteLength(const QString& text)
{
    int n = 0;
    for (QChar c : text)
        n += c.unicode() < 0x80 ? 1 : (c.isLowSurrogate() ? 0 : 2);
    return n;
}

QStringList MemoryTableWriter::uniqueNames(const QStringList& names)
{
    QStringList out;
    for (qsizetype i = 0; i < names.size(); ++i) {
        QString n = names[i].trimmed();
        if (n.isEmpty())
            n = QStringLiteral("F%1").arg(i + 1);
        QString candidate = n;
        for (int k = 2; out.contains(candidate, Qt::CaseInsensitive); ++k)
            candidate = n + QString::number(k);
        out << candidate;
    }
    return out;
}

MemoryTableWriter::MemoryTableWriter(QSqlDatabase db, const QString& table, const QStringList& names, int scanRows)
    : db_(std::move(db)), table_(table), names_(uniqueNames(names)), scanRows_(std::max(scanRows, 1))
{
}

MemoryTableWriter::~MemoryTableWriter()
{
    insert_.reset();
    if (inTransaction_)
        db_.rollback();
}

void MemoryTableWriter::forceText(int column)
{
    forcedText_.push_back(column);
}

bool MemoryTableWriter::fail(const QString& message)
{
    error_ = message;
    insert_.reset();
    if (inTransaction_) {
        db_.rollback();
        inTransaction_ = false;
    }
    return false;
}

bool MemoryTableWriter::addRow(const std::vector<SourceCell>& cells, const QString& where)
{
    if (!error_.isEmpty())
        return false;
    if (!created_) {
        heldBack_.push_back(cells);
        heldBackWhere_.push_back(where);
        if (static_cast<int>(heldBack_.size()) < scanRows_)
            return true;
        return createTable();
    }
    return insert(cells, where);
}

bool MemoryTableWriter::finish()
{
    if (!error_.isEmpty())
        return false;
    if (!created_ && !createTable())
        return false;
    insert_.reset();
    if (inTransaction_ && !db_.commit())
        return fail(QStringLiteral("cannot store the data: %1").arg(db_.lastError().text()));
    inTransaction_ = false;
    return true;
}

bool MemoryTableWriter::createTable()
{
    created_ = true;
    qsizetype count = names_.size();
    if (count == 0) {
        for (const auto& row : heldBack_)
            count = std::max<qsizetype>(count, static_cast<qsizetype>(row.size()));
        QStringList generated;
        for (qsizetype i = 0; i < count; ++i)
            generated << QString();
        names_ = uniqueNames(generated);
    }
    if (count == 0)
        return fail(QStringLiteral("the table \"%1\" has no columns").arg(table_));

    columns_.assign(static_cast<size_t>(count), MemoryColumn());
    for (qsizetype c = 0; c < count; ++c) {
        MemoryColumn& col = columns_[static_cast<size_t>(c)];
        col.name = names_[c];
        bool anyValue = false;
        bool allInt = true;
        bool allNumber = true;
        for (const auto& row : heldBack_) {
            if (static_cast<qsizetype>(row.size()) <= c || row[static_cast<size_t>(c)].type == SourceCell::Type::Null)
                continue;
            const SourceCell& cell = row[static_cast<size_t>(c)];
            anyValue = true;
            if (cell.type == SourceCell::Type::Text) {
                allInt = allNumber = false;
                break;
            }
            if (!isCanonicalInteger(cell.text, nullptr)) {
                allInt = false;
                if (!isCanonicalFloat(cell.text, nullptr))
                    allNumber = false;
            }
        }
        const bool forced = std::find(forcedText_.begin(), forcedText_.end(), c) != forcedText_.end();
        if (anyValue && !forced)
            col.kind = allInt ? ColumnKind::Integer : (allNumber ? ColumnKind::Float : ColumnKind::Text);
    }

    QStringList defs;
    QStringList marks;
    for (const MemoryColumn& col : columns_) {
        // Number columns get no declared type, hence no affinity: SQLite keeps each value as
        // it was bound.
        defs << QuoteIdentifier(col.name) + (col.kind == ColumnKind::Text ? QStringLiteral(" TEXT") : QString());
        marks << QStringLiteral("?");
    }
    QSqlQuery create(db_);
    if (!create.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(QuoteIdentifier(table_), defs.join(QLatin1Char(',')))))
        return fail(QStringLiteral("cannot create the table \"%1\": %2").arg(table_, create.lastError().text()));
    if (!db_.transaction())
        return fail(QStringLiteral("cannot start loading \"%1\": %2").arg(table_, db_.lastError().text()));
    inTransaction_ = true;
    insert_ = std::make_unique<QSqlQuery>(db_);
    if (!insert_->prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(QuoteIdentifier(table_), marks.join(QLatin1Char(',')))))
        return fail(QStringLiteral("cannot prepare loading \"%1\": %2").arg(table_, insert_->lastError().text()));

    auto held = std::exchange(heldBack_, {});
    auto where = std::exchange(heldBackWhere_, {});
    for (size_t i = 0; i < held.size(); ++i)
        if (!insert(held[i], where[i]))
            return false;
    return true;
}

bool MemoryTableWriter::insert(const std::vector<SourceCell>& cells, const QString& where)
{
    const size_t count = columns_.size();
    for (size_t c = count; c < cells.size(); ++c)
        if (cells[c].type != SourceCell::Type::Null && !cells[c].text.isEmpty())
            return fail(QStringLiteral("%1: %2 values where the table \"%3\" has %4 columns")
                            .arg(where)
                            .arg(cells.size())
                            .arg(table_)
                            .arg(count));
    for (size_t c = 0; c < count; ++c) {
        MemoryColumn& col = columns_[c];
        const SourceCell cell = c < cells.size() ? cells[c] : SourceCell::null();
        QVariant v;
        if (cell.type == SourceCell::Type::Null) {
            v = nullText();
        } else {
            col.maxBytes = std::max(col.maxBytes, AnsiByteLength(cell.text));
            qint64 i = 0;
            double d = 0;
            if (col.kind != ColumnKind::Text && cell.type != SourceCell::Type::Text && isCanonicalInteger(cell.text, &i)) {
                v = i;
                if (i < INT32_MIN || i > INT32_MAX)
                    col.fits32 = false;
            } else if (col.kind != ColumnKind::Text && cell.type != SourceCell::Type::Text && isCanonicalFloat(cell.text, &d)) {
                v = d;
            } else {
                v = cell.text;
            }
        }
        insert_->bindValue(static_cast<int>(c), v);
    }
    if (!insert_->exec())
        return fail(QStringLiteral("%1: cannot store the row: %2").arg(where, insert_->lastError().text()));
    ++rows_;
    return true;
}

} // namespace korvel
