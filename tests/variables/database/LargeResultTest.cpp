#include "variables/database/DatabaseSource.h"

#include "support/TestSupport.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

bool makeSQLite(const QString& path, int rows)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("large-make"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        ok = db.open() && q.exec(QStringLiteral("CREATE TABLE items (id INTEGER PRIMARY KEY, code TEXT, note TEXT)"))
            && q.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                     "INSERT INTO items SELECT i, printf('C%07d', i), CASE WHEN i % 1000 = 0 THEN NULL ELSE 'n' || i END FROM n")
                          .arg(rows));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("large-make"));
    return ok;
}

// Above the large-result mark the records stay in the engine; every move reads the right row,
// forwards, backwards and by number, and the order of the query is kept.
TEST(LargeResult, RecordsOfALargeQueryAreReadAsTheyAreReached)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.db"));
    const int rows = DatabaseSource::LargeResultRows + 5000;
    ASSERT_TRUE(makeSQLite(path, rows));
    SourceSpec spec;
    spec.kind = SourceKind::SQLiteFile;
    spec.path = path;
    DatabaseSource s;
    ASSERT_TRUE(s.open(spec)) << s.errorString().toStdString();
    QueryParts parts;
    parts.table = "items";
    parts.sort = { { "id", true } };
    ASSERT_TRUE(s.openQuery(parts)) << s.errorString().toStdString();
    ASSERT_EQ(s.recordCount(), rows);
    EXPECT_EQ(s.fieldCount(), 3);
    EXPECT_EQ(s.value("code"), QByteArray("C0105000"));
    s.next();
    EXPECT_EQ(s.value("ID"), QByteArray("104999"));
    s.last();
    EXPECT_TRUE(s.eof());
    EXPECT_EQ(s.value("code"), QByteArray("C0000001"));
    s.prior();
    EXPECT_EQ(s.value("code"), QByteArray("C0000002"));
    ASSERT_TRUE(s.locate(rows - 999)); // id 1000: its note is NULL
    EXPECT_TRUE(s.isNull(2));
    EXPECT_EQ(s.value("note"), QByteArray(""));
    EXPECT_EQ(s.valueAt(257, 0), QByteArray("104744"));
    EXPECT_FALSE(s.locate(rows + 1));
    EXPECT_GE(s.fields()[1].size, 8);

    // A small result is read whole, as before.
    QueryParts few = parts;
    few.filters = { { FilterJoin::And, "id", 2, "4" } };
    ASSERT_TRUE(s.openQuery(few));
    EXPECT_EQ(s.recordCount(), 3);
    EXPECT_EQ(s.value("code"), QByteArray("C0000003"));
}

TEST(LargeResult, LargeDelimitedTextFileStepsToItsLastRecord)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("many.csv"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Code,Qty\n");
    const int rows = DatabaseSource::LargeResultRows + 10;
    QByteArray chunk;
    for (int i = 1; i <= rows; ++i) {
        chunk += "K" + QByteArray::number(i) + "," + QByteArray::number(i % 50) + "\n";
        if (chunk.size() > 65536) {
            f.write(chunk);
            chunk.clear();
        }
    }
    f.write(chunk);
    f.close();
    const SpecResult spec = ParseDataArgument(path);
    ASSERT_TRUE(spec.sourceSpec);
    DatabaseSource s;
    ASSERT_TRUE(s.open(*spec.sourceSpec)) << s.errorString().toStdString();
    ASSERT_TRUE(s.openTable()) << s.errorString().toStdString();
    EXPECT_EQ(s.recordCount(), rows);
    s.last();
    EXPECT_EQ(s.value("Code"), "K" + QByteArray::number(rows));
    s.first();
    EXPECT_EQ(s.value("Qty"), QByteArray("1"));
}

} // namespace
