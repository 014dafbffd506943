#include "document/CodePage.h"
#include "support/PostgresTestServer.h"
#include "variables/database/DatabaseSource.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace korvel;

namespace {

QByteArray gbk(const QString& s)
{
    return CodePage(936).fromUnicode(s);
}

using korvel::test::TestServer;
using korvel::test::freePort;

class PostgreSqlSource : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server_ = new TestServer;
        server_->startFilled(
            {
                "CREATE TABLE goods (code varchar(8), name text, qty integer, price numeric(10,2), made date, fragile boolean)",
                "INSERT INTO goods SELECT lpad(i::text, 5, '0'), CASE WHEN i = 100 THEN 'O''Brien \"Q\"; --' ELSE '商品' || i END, "
                "i % 17, i * 0.5, date '2024-01-01' + i, i % 2 = 0 FROM generate_series(1, 3000) AS i",
                "CREATE SCHEMA sales",
                "CREATE TABLE sales.orders (\"Order No\" integer, customer text)",
                "INSERT INTO sales.orders VALUES (1, '甲'), (2, '乙')",
            },
            &skipReason_);
    }

    static void TearDownTestSuite()
    {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override
    {
        if (!skipReason_.isEmpty())
            GTEST_SKIP() << skipReason_.toStdString();
    }

    static TestServer* server_;
    static QString skipReason_;
};

TestServer* PostgreSqlSource::server_ = nullptr;
QString PostgreSqlSource::skipReason_;

} // namespace

TEST_F(PostgreSqlSource, TableStepsThroughEveryRecord)
{
    const SpecResult parsed = ParseDataArgument(server_->uri() + QStringLiteral("#goods"));
    ASSERT_TRUE(parsed.sourceSpec);
    DatabaseSource s;
    ASSERT_TRUE(s.open(*parsed.sourceSpec)) << s.errorString().toStdString();
    EXPECT_TRUE(s.tables().contains(QStringLiteral("goods")));
    ASSERT_TRUE(s.openTable()) << s.errorString().toStdString();
    ASSERT_EQ(s.recordCount(), 3000);
    ASSERT_EQ(s.fieldCount(), 6);
    EXPECT_EQ(FieldTypeName(s.fields()[2].typeNumber), u"longint");
    EXPECT_EQ(FieldTypeName(s.fields()[4].typeNumber), u"date");
    EXPECT_EQ(FieldTypeName(s.fields()[5].typeNumber), u"Bool");
    EXPECT_EQ(s.fields()[0].size, 8);

    // The server returns the rows in insertion order for a freshly filled table.
    s.first();
    for (int i = 1; i <= 3000; ++i) {
        ASSERT_EQ(s.valueAt(0), QByteArray::number(i).rightJustified(5, '0')) << i;
        ASSERT_EQ(s.valueAt(1), i == 100 ? QByteArray("O'Brien \"Q\"; --") : gbk(QStringLiteral("商品%1").arg(i))) << i;
        ASSERT_EQ(s.valueAt(2), QByteArray::number(i % 17)) << i;
        ASSERT_EQ(s.valueAt(3), QString::number(i * 0.5, 'f', 2).toLatin1()) << i; // numeric keeps its scale
        ASSERT_EQ(s.valueAt(4), QDate(2024, 1, 1).addDays(i).toString(Qt::ISODate).toLatin1()) << i;
        ASSERT_EQ(s.valueAt(5), i % 2 == 0 ? QByteArray("True") : QByteArray("False")) << i;
        s.next();
    }
    EXPECT_TRUE(s.eof());
}

TEST_F(PostgreSqlSource, QueriesWithFiltersSortAndSchemas)
{
    DatabaseSource s;
    ASSERT_TRUE(s.open(ParseDataArgument(server_->uri()).sourceSpec.value())) << s.errorString().toStdString();

    QueryParts p;
    p.table = "goods";
    p.fields = {"code", "price"};
    p.filters = {{FilterJoin::And, "qty", 5, "15"}, {FilterJoin::And, "price", 2, "100.5"}};
    p.sort = {{"price", true}};
    ASSERT_TRUE(s.openQuery(p)) << s.errorString().toStdString();
    int expected = 0;
    int largest = 0;
    for (int i = 1; i <= 3000; ++i)
        if (i % 17 >= 15 && i * 0.5 < 100.5) {
            ++expected;
            largest = i;
        }
    ASSERT_EQ(s.recordCount(), expected);
    EXPECT_EQ(s.valueAt(1, 1), QString::number(largest * 0.5, 'f', 2).toLatin1()); // sorted descending

    // Hostile values are bound: each finds its own row or nothing.
    p.fields = {"code"};
    p.sort.clear();
    p.filters = {{FilterJoin::And, "name", 0, StoredFilterValue("O'Brien \"Q\"; --")}};
    ASSERT_TRUE(s.openQuery(p)) << s.errorString().toStdString();
    ASSERT_EQ(s.recordCount(), 1);
    EXPECT_EQ(s.valueAt(0), "00100");
    for (const char* hostile : {"\" OR 1=1 --", "x'; DROP TABLE goods; --", "\\'; SELECT 1; --"}) {
        p.filters = {{FilterJoin::And, "name", 0, StoredFilterValue(hostile)}};
        ASSERT_TRUE(s.openQuery(p)) << hostile << ": " << s.errorString().toStdString();
        EXPECT_EQ(s.recordCount(), 0) << hostile;
    }
    ASSERT_TRUE(s.openTable(QStringLiteral("goods")));
    EXPECT_EQ(s.recordCount(), 3000);

    // A table in another schema, a name with a space, and a column that is not there.
    p = {};
    p.table = "sales.orders";
    p.fields = {"Order No", "customer"};
    p.sort = {{"Order No", true}};
    ASSERT_TRUE(s.openQuery(p)) << s.errorString().toStdString();
    ASSERT_EQ(s.recordCount(), 2);
    EXPECT_EQ(s.valueAt(1), gbk(QStringLiteral("乙")));
    p.fields = {"Order No", "amount"};
    EXPECT_FALSE(s.openQuery(p));
    EXPECT_TRUE(s.errorString().contains(QStringLiteral("\"amount\""))) << s.errorString().toStdString();

    // Hand-written text in the stored dialect.
    ASSERT_TRUE(s.openSql("Select [customer] From [sales.orders] Where (customer = \"" + gbk(QStringLiteral("甲")) + "\")"))
        << s.errorString().toStdString();
    EXPECT_EQ(s.recordCount(), 1);
}

TEST_F(PostgreSqlSource, ServerThatRefusesIsReported)
{
    struct Case {
        const char* what;
        QString uri;
        const char* message;
    };
    const int closed = freePort();
    const Case cases[] = {
        {"no such database", server_->uri(QStringLiteral("nosuchdb")), "nosuchdb"},
        {"no such role", QStringLiteral("postgresql://nobody@127.0.0.1:%1/postgres").arg(server_->port()), "nobody"},
        {"nothing listens", QStringLiteral("postgresql://korvel@127.0.0.1:%1/postgres").arg(closed), "cannot connect to"},
    };
    for (const Case& c : cases) {
        DatabaseSource s;
        EXPECT_FALSE(s.open(ParseDataArgument(c.uri).sourceSpec.value())) << c.what;
        EXPECT_TRUE(s.errorString().startsWith(QStringLiteral("cannot connect to postgresql://"))) << c.what << ": " << s.errorString().toStdString();
        EXPECT_TRUE(s.errorString().contains(QString::fromLatin1(c.message))) << c.what << ": " << s.errorString().toStdString();
        EXPECT_FALSE(s.isConnected());
    }
}
