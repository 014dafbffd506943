#include "DataTestSupport.h"

#include "editor/data/DataSourceForm.h"
#include "support/PostgresTestServer.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/SourceBlock.h"

#include <QSqlError>
#include <QSqlQuery>

namespace korvel::test {
namespace {

/// The data-source dialog and the record commands against a real PostgreSQL server started for
/// the suite, and against a data source name of unixODBC (the SQLite ODBC driver).
class DatabaseServerDialog : public DesignerTest {
protected:
    static void SetUpTestSuite()
    {
        server_ = new TestServer;
        server_->startFilled({ "CREATE TABLE parcels (barcode varchar(12), town text, weight integer)",
                                 "INSERT INTO parcels SELECT lpad(i::text, 12, '0'), CASE WHEN i % 2 = 0 THEN '北京' ELSE 'Oslo' END, i "
                                 "FROM generate_series(1, 500) AS i" },
            &skip_);
    }
    static void TearDownTestSuite()
    {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override
    {
        if (!skip_.isEmpty())
            GTEST_SKIP() << skip_.toStdString();
        DesignerTest::SetUp();
    }
    static int rows()
    {
        const QVariant n = server_->scalar(QStringLiteral("SELECT count(*) FROM parcels"));
        return n.isValid() ? n.toInt() : -1;
    }

    static TestServer* server_;
    static QString skip_;
};

TestServer* DatabaseServerDialog::server_ = nullptr;
QString DatabaseServerDialog::skip_;

TEST_F(DatabaseServerDialog, ChooseTableFilterBindAndStepThroughTheServer)
{
    TChildForm* child = form->newEmptyLabel(TPageRecord::defaultRecord());
    LabelDocument& doc = child->document();
    const QString uri = server_->uri();
    prompts.onDialog = onOk<TDataSourceForm>([uri](TDataSourceForm& d) {
        d.chooseConnection(uri);
        ASSERT_TRUE(d.lastError().isEmpty()) << d.lastError().toStdString();
        const auto& tables = d.draft().block.tables;
        const auto it = std::find(tables.begin(), tables.end(), QByteArray("parcels"));
        ASSERT_NE(it, tables.end());
        d.chooseTable(static_cast<int>(it - tables.begin()));
        EXPECT_EQ(d.draft().block.fields, std::vector<QByteArray>({ "barcode", "town", "weight" }));
        ASSERT_TRUE(d.addFilter(FilterJoin::And, QStringLiteral("town"), 0, QStringLiteral("北京")));
        ASSERT_TRUE(d.addSort(QStringLiteral("weight"), true));
        ASSERT_TRUE(d.showResult());
        EXPECT_EQ(d.resultRowsFetched(), 250);
    });
    ASSERT_EQ(form->sendCommand(Command::SetDatabase), 1);
    EXPECT_EQ(doc.database.connectionString, gbk(uri));
    const auto block = TDataSourceBlock::fromBytes(doc.database.sourceBlock);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->filters.at(0).value, "\"" + gbk(QStringLiteral("北京")) + "\"");

    TOAText* town = addBoundText(doc, VariableKind::Database, "town");
    TOABarCode* code = addBoundBarcode(doc, VariableKind::Database, "barcode");
    EXPECT_EQ(form->sendCommand(Command::MoveRecord, 0), 0); // already at the first record
    child->dataCommands()->refreshObjects();
    EXPECT_EQ(town->Text(), gbk(QStringLiteral("北京")));
    EXPECT_EQ(code->Text(), "000000000500");
    form->sendCommand(Command::MoveRecord, 3);
    EXPECT_EQ(code->Text(), "000000000002");
    EXPECT_EQ(child->dataCommands()->source()->recordCount(), 250);
}

TEST_F(DatabaseServerDialog, HandWrittenWritesNeverReachTheServer)
{
    TDataSourceForm d(DatabaseBinding {}, false);
    d.chooseConnection(server_->uri());
    ASSERT_TRUE(d.lastError().isEmpty()) << d.lastError().toStdString();
    for (const char* sql : { "DELETE FROM parcels", "Select 1; Delete From parcels",
             "WITH gone AS (DELETE FROM parcels RETURNING *) SELECT * FROM gone", "SELECT * INTO copied FROM parcels" }) {
        d.setHandSql(true, QString::fromUtf8(sql));
        EXPECT_FALSE(d.showResult()) << sql;
    }
    EXPECT_EQ(rows(), 500);
    // The session itself refuses writes, also those hidden in a function call.
    DatabaseSource s;
    SourceSpec spec;
    spec.kind = SourceKind::PostgreSql;
    spec.uri = server_->uri();
    ASSERT_TRUE(s.open(spec));
    QSqlQuery q(QSqlDatabase::database(s.connectionName()));
    EXPECT_FALSE(q.exec(QStringLiteral("CREATE TABLE sneaky (a int)")));
}

TEST_F(DatabaseServerDialog, ServerThatIsDownLeavesTheStoredChoice)
{
    TChildForm* child = form->newEmptyLabel(TPageRecord::defaultRecord());
    const QString down = QStringLiteral("postgresql://korvel@127.0.0.1:%1/postgres?connect_timeout=3").arg(freePort());
    const DatabaseBinding before = child->document().database;
    prompts.onDialog = [&](QDialog* dialog) {
        auto* d = dynamic_cast<TDataSourceForm*>(dialog);
        d->chooseConnection(down);
        EXPECT_FALSE(d->lastError().isEmpty());
        d->accept();
        return d->result() == QDialog::Accepted;
    };
    EXPECT_EQ(form->sendCommand(Command::SetDatabase), 0);
    EXPECT_EQ(child->document().database, before);
    EXPECT_FALSE(child->document().modified);
}

} // namespace
} // namespace korvel::test
