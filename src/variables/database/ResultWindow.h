#pragma once

#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <QVariantList>

#include <vector>

class QSqlQuery;

namespace korvel {

/// Runs `text` on `q`, binding `values` in order when `prepared`; true when it ran.
bool ExecQueryText(QSqlQuery& q, const QString& text, const QVariantList& values, bool prepared);

/// The result of a large query on an SQLite engine, kept in a temporary table of that engine
/// and numbered by row, of which only a window of rows is held in memory. Moving to any record
/// reads at most one window; a million records cost the engine's pages, not the program's
/// memory.
class ResultWindow {
public:
    /// Rows read at a time.
    static constexpr int WindowRows = 256;

    ResultWindow() = default;
    ~ResultWindow();
    ResultWindow(const ResultWindow&) = delete;
    ResultWindow& operator=(const ResultWindow&) = delete;

    /// Runs the query into the temporary table `name`. False, with the engine's message in
    /// `error`, when it fails.
    bool create(QSqlDatabase db, const QString& name, const QString& select, const QVariantList& values, bool prepared,
        QString* error);

    int rowCount() const { return rows_; }
    /// The result's columns (names and the engine's types).
    const QSqlRecord& record() const { return record_; }
    /// The widest value of each column in bytes (as the engine stores text).
    std::vector<int> widestValues() const;

    /// A cell as the engine gives it (null for NULL and outside the result); row and column
    /// from 0.
    QVariant value(int row, int column) const;

private:
    bool load(int row) const;

    QSqlDatabase db_;
    QString name_;
    QSqlRecord record_;
    int rows_ = 0;
    int columns_ = 0;
    mutable int windowStart_ = -1;
    mutable int windowRows_ = 0;
    mutable std::vector<QVariant> cells_;
};

} // namespace korvel
