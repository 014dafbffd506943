#include "document/CodePage.h"
#include "support/TestSupport.h"
#include "variables/database/DatabaseSource.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

QString sqliteOdbcDriver()
{
    for (const char* p : {"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so", "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so",
                          "/usr/lib/odbc/libsqlite3odbc.so", "/usr/local/lib/libsqlite3odbc.so"})
        if (QFileInfo::exists(QString::fromLatin1(p)))
            return QString::fromLatin1(p);
    return {};
}

QByteArray gbk(const QString& s)
{
    return CodePage(936).fromUnicode(s);
}

/// A data source name "KorvelOdbc" for the SQLite ODBC driver, written into a private odbc.ini
/// that unixODBC is pointed at through ODBCINI and ODBCSYSINI.
class OdbcSource : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver_ = sqliteOdbcDriver();
        if (driver_.isEmpty())
            GTEST_SKIP() << "the SQLite ODBC driver (package libsqliteodbc) is not installed";
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
            GTEST_SKIP() << "the ODBC driver of Qt (package libqt6sql6-odbc) is not installed";
        savedIni_ = qgetenv("ODBCINI");
        savedSysIni_ = qgetenv("ODBCSYSINI");
        database_ = dir_.filePath(QStringLiteral("goods.db"));
        makeDatabase();
        const QByteArray ini = "[KorvelOdbc]\nDescription=Korvel test\nDriver=" + driver_.toUtf8() + "\nDatabase=" + database_.toUtf8() + "\n";
        ASSERT_TRUE(test::writeFile(dir_.filePath(QStringLiteral("user-odbc.ini")), ini));
        ASSERT_TRUE(test::writeFile(dir_.filePath(QStringLiteral("odbc.ini")), ""));
        ASSERT_TRUE(test::writeFile(dir_.filePath(QStringLiteral("odbcinst.ini")), ""));
        qputenv("ODBCINI", dir_.filePath(QStringLiteral("user-odbc.ini")).toUtf8());
        qputenv("ODBCSYSINI", dir_.path().toUtf8());
    }

    void TearDown() override
    {
        if (driver_.isEmpty())
            return;
        restore("ODBCINI", savedIni_);
        restore("ODBCSYSINI", savedSysIni_);
    }

    void makeDatabase()
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make-odbc"));
            db.setDatabaseName(database_);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE goods (code VARCHAR(10), name VARCHAR(40), qty INTEGER, price DOUBLE)")));
            db.transaction();
            ASSERT_TRUE(q.prepare(QStringLiteral("INSERT INTO goods VALUES (?,?,?,?)")));
            for (int i = 1; i <= 1000; ++i) {
                q.addBindValue(QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')));
                q.addBindValue(i == 500 ? QStringLiteral("O'Brien \"Q\"") : QStringLiteral("货品%1").arg(i));
                q.addBindValue(i % 13);
                q.addBindValue(i * 0.25);
                ASSERT_TRUE(q.exec());
            }
            db.commit();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("make-odbc"));
    }

    static void restore(const char* name, const QByteArray& v)
    {
        if (v.isNull())
            qunsetenv(name);
        else
            qputenv(name, v);
    }

    QTemporaryDir dir_;
    QString driver_;
    QString database_;
    QByteArray savedIni_, savedSysIni_;
};

} // namespace

TEST_F(OdbcSource, DataSourceNameStepsThroughEveryRecord)
{
    bool listed = false;
    for (const OdbcSourceInfo& info : OdbcDataSources())
        listed = listed || (info.name == u"KorvelOdbc" && info.databasePath == database_);
    EXPECT_TRUE(listed);

    const SpecResult parsed = ParseDataArgument(QStringLiteral("odbc:KorvelOdbc#goods"));
    ASSERT_TRUE(parsed.sourceSpec);
    DatabaseSource s;
    ASSERT_TRUE(s.open(*parsed.sourceSpec)) << s.errorString().toStdString();
    EXPECT_TRUE(s.tables().contains(QStringLiteral("goods")));
    ASSERT_TRUE(s.openTable()) << s.errorString().toStdString();
    ASSERT_EQ(s.recordCount(), 1000);
    ASSERT_EQ(s.fieldCount(), 4);
    EXPECT_EQ(s.fields()[1].name, "name");

    s.first();
    for (int i = 1; i <= 1000; ++i) {
        ASSERT_EQ(s.recordNumber(), i);
        ASSERT_EQ(s.valueAt(0), QByteArray::number(i).rightJustified(4, '0'));
        ASSERT_EQ(s.valueAt(1), i == 500 ? QByteArray("O'Brien \"Q\"") : gbk(QStringLiteral("货品%1").arg(i)));
        ASSERT_EQ(s.valueAt(2), QByteArray::number(i % 13));
        ASSERT_EQ(s.valueAt(3).toDouble(), i * 0.25);
        s.next();
    }
    EXPECT_TRUE(s.eof());
}

TEST_F(OdbcSource, FiltersAreBoundNotPasted)
{
    DatabaseSource s;
    ASSERT_TRUE(s.open(ParseDataArgument(QStringLiteral("odbc:KorvelOdbc")).sourceSpec.value())) << s.errorString().toStdString();
    QueryParts p;
    p.table = "goods";
    p.fields = {"code", "name"};
    p.filters = {{FilterJoin::And, "name", 0, StoredFilterValue("O'Brien \"Q\"")}};
    ASSERT_TRUE(s.openQuery(p)) << s.errorString().toStdString();
    ASSERT_EQ(s.recordCount(), 1);
    EXPECT_EQ(s.valueAt(0), "0500");

    p.filters = {{FilterJoin::And, "name", 0, StoredFilterValue("\" OR 1=1 --")}};
    ASSERT_TRUE(s.openQuery(p)) << s.errorString().toStdString();
    EXPECT_EQ(s.recordCount(), 0);

    p.filters = {{FilterJoin::And, "qty", 3, "11"}, {FilterJoin::And, "name", 6, StoredFilterValue(gbk(QStringLiteral("货品9%")))}};
    p.sort = {{"qty", true}};
    ASSERT_TRUE(s.openQuery(p)) << s.errorString().toStdString();
    int expected = 0;
    for (int i = 1; i <= 1000; ++i)
        expected += i % 13 > 11 && QString::number(i).startsWith(QLatin1Char('9')) && i != 500;
    EXPECT_EQ(s.recordCount(), expected);
}

TEST_F(OdbcSource, UnknownNameIsReported)
{
    DatabaseSource s;
    EXPECT_FALSE(s.open(ParseDataArgument(QStringLiteral("odbc:NoSuchSource")).sourceSpec.value()));
    EXPECT_TRUE(s.errorString().startsWith(QStringLiteral("cannot connect to ODBC source NoSuchSource"))) << s.errorString().toStdString();
    EXPECT_FALSE(s.isConnected());
}
