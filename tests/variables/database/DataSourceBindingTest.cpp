#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "document/OAControl.h"
#include "support/TestSupport.h"
#include "variables/Evaluation.h"
#include "variables/VariableEntries.h"
#include "variables/VariableModel.h"
#include "variables/database/ConnectionString.h"
#include "variables/database/DataSourceBinding.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

/// A label object that only carries a variable binding.
class Bound : public TOAControl {
public:
    Bound(const QByteArray& name, VariableKind kind) : TOAControl(ObjectKind::Text)
    {
        VarName = name;
        VarType = static_cast<std::int32_t>(kind);
    }
    std::unique_ptr<TOAControl> clone() const override { return std::make_unique<Bound>(*this); }
    void Rotate90() override {}
};

QByteArray gbk(const char* utf8)
{
    return CodePage(936).fromUnicode(QString::fromUtf8(utf8));
}

/// A tab-separated goods list with a schema.ini entry, chosen as the dialog would choose it.
struct GoodsFile {
    QTemporaryDir dir;
    QString path;

    GoodsFile()
    {
        path = dir.filePath(QStringLiteral("goods.txt"));
        QByteArray text = "Code\t" + gbk("品名") + "\tQty\n";
        for (int i = 1; i <= 40; ++i)
            text += QByteArray::number(i).rightJustified(4, '0') + '\t' + gbk("货") + QByteArray::number(i) + '\t' + QByteArray::number(i % 5) + '\n';
        test::writeFile(path, text);
        WriteSchemaIni(path, TextFileSettings{});
    }

    DataSourceChoice choice(std::vector<TFilterRow> filters = {}) const
    {
        DataSourceChoice c;
        c.sourceSpec = SpecFromBinding({true, 0, {}, ComposeConnectionString(27, {path.toLocal8Bit(), {}, {}, {}}), {}}, block()).sourceSpec.value();
        c.block = block();
        c.block.filters = std::move(filters);
        return c;
    }

    TDataSourceBlock block() const
    {
        TDataSourceBlock b;
        b.tables = {"GOODS#TXT"};
        b.tableIndex = 0;
        b.fields = {"Code", gbk("品名"), "Qty"};
        b.selected = {true, true, true};
        b.sort = {{"Qty", true}, {"Code", false}};
        b.isFile = true;
        b.filePath = path.toLocal8Bit();
        b.text = ComposeConnectionString(27, {path.toLocal8Bit(), {}, {}, {}});
        return b;
    }
};

} // namespace

TEST(DataSourceBinding, ApplyStoresTheChoiceAndCreatesVariables)
{
    GoodsFile file;
    LabelDocument doc;
    std::unique_ptr<DatabaseSource> live;
    const BindingResult r = ApplyDataSource(doc, live, file.choice({{FilterJoin::And, "Qty", 5, "3"}}));
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    ASSERT_TRUE(live && live->isOpen());
    EXPECT_TRUE(doc.modified);

    const DatabaseBinding& b = doc.database;
    EXPECT_TRUE(b.active);
    EXPECT_EQ(b.recordNumber, 1);
    EXPECT_EQ(b.sql, "Select [Code],[" + gbk("品名") + "],[Qty]\r\nFrom [GOODS#TXT]\r\nWhere (Qty >= 3)\r\nOrder By Qty Desc,Code Asc");
    EXPECT_TRUE(b.connectionString.startsWith("Provider=Microsoft.Jet.OLEDB.4.0;Data Source="));
    EXPECT_EQ(TDataSourceBlock::fromBytes(b.sourceBlock)->filters.size(), 1u);

    // Qty 4 first, then by code: 0004 leads.
    EXPECT_EQ(live->recordCount(), 16);
    ASSERT_EQ(doc.variables.database.size(), 3u);
    const ConstDatabaseFieldEntry name(doc.variables.database[1]);
    EXPECT_EQ(name.name(), gbk("品名"));
    EXPECT_EQ(name.value(), gbk("货4"));
    EXPECT_TRUE(name.trim());
    EXPECT_EQ(name.outputFormat().maxLength, 200);

    // Evaluation reads the live record through the FieldValues interface.
    EvaluationContext context;
    context.fields = live.get();
    live->locate(2);
    EXPECT_EQ(EvaluateVariable(doc, gbk("品名"), VariableKind::Database, context), gbk("货9"));
}

TEST(DataSourceBinding, FailuresLeaveTheDocumentAsItWas)
{
    GoodsFile file;
    LabelDocument doc;
    std::unique_ptr<DatabaseSource> live;
    ASSERT_TRUE(ApplyDataSource(doc, live, file.choice()).ok);
    doc.modified = false;
    const DatabaseBinding binding = doc.database;
    const VariableTables tables = doc.variables;
    DatabaseSource* const before = live.get();

    struct Case {
        const char* what;
        DataSourceChoice choice;
        const char* message;
    };
    DataSourceChoice missing = file.choice();
    missing.sourceSpec.path = file.dir.filePath(QStringLiteral("gone.txt"));
    DataSourceChoice vanished = file.choice();
    vanished.block.fields.push_back("Price");
    vanished.block.selected.push_back(true);
    DataSourceChoice badSql = file.choice();
    badSql.sql = "Select [Code] From [GOODS#TXT] Where";
    DataSourceChoice refused = file.choice();
    refused.sourceSpec = ParseDataArgument(QStringLiteral("postgresql://nobody@127.0.0.1:1/none")).sourceSpec.value();
    const Case cases[] = {
        {"missing file", missing, "does not exist"},
        {"column that vanished", vanished, "\"Price\""},
        {"broken hand-written query", badSql, "the query failed"},
        {"server that refuses", refused, "cannot connect to"},
    };
    for (const Case& c : cases) {
        const BindingResult r = ApplyDataSource(doc, live, c.choice);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_TRUE(r.message.contains(QString::fromLatin1(c.message))) << c.what << ": " << r.message.toStdString();
        EXPECT_EQ(doc.database, binding) << c.what;
        EXPECT_EQ(doc.variables, tables) << c.what;
        EXPECT_FALSE(doc.modified) << c.what;
        EXPECT_EQ(live.get(), before) << c.what;
        EXPECT_TRUE(live->isOpen()) << c.what;
    }
}

TEST(DataSourceBinding, CloseIsRefusedWhileInUse)
{
    GoodsFile file;
    LabelDocument doc;
    std::unique_ptr<DatabaseSource> live;
    ASSERT_TRUE(ApplyDataSource(doc, live, file.choice()).ok);
    TOAControl* text = doc.addObject(std::make_unique<Bound>("Code", VariableKind::Database));
    ASSERT_TRUE(text);
    doc.modified = false;
    const DatabaseBinding binding = doc.database;

    const BindingResult refused = CloseDataSource(doc, live);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, QString::fromUtf8("该数据源已经使用,不能关闭!"));
    EXPECT_EQ(doc.database, binding);
    EXPECT_FALSE(doc.modified);
    EXPECT_TRUE(live && live->isOpen());

    text->VarType = static_cast<std::int32_t>(VariableKind::Counter);
    const BindingResult closed = CloseDataSource(doc, live);
    EXPECT_TRUE(closed.ok);
    EXPECT_FALSE(live);
    EXPECT_EQ(doc.database, DatabaseBinding{});
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(doc.variables.database.size(), 3u); // the variables stay, named by column

    // Disconnect does not ask.
    ASSERT_TRUE(ApplyDataSource(doc, live, file.choice()).ok);
    text->VarType = static_cast<std::int32_t>(VariableKind::Database);
    DisconnectDataSource(doc, live);
    EXPECT_FALSE(live);
    EXPECT_FALSE(doc.database.active);
}

TEST(DataSourceBinding, RestoreReopensTheStoredQueryAtItsRecord)
{
    GoodsFile file;
    LabelDocument doc;
    std::unique_ptr<DatabaseSource> live;
    // A hostile filter value goes into the stored text as the dialog writes it, and still only
    // reaches the engine as a bound value.
    ASSERT_TRUE(ApplyDataSource(doc, live, file.choice({{FilterJoin::And, gbk("品名"), 1, StoredFilterValue("\" OR 1=1 --")}})).ok);
    EXPECT_TRUE(doc.database.sql.contains("Where (" + gbk("品名") + " <> \"\" OR 1=1 --\")"));
    live->locate(7);
    StoreRecordNumber(doc, *live);
    EXPECT_EQ(doc.database.recordNumber, 7);
    const QByteArray seventh = live->valueAt(0);

    std::unique_ptr<DatabaseSource> reopened;
    const BindingResult r = RestoreDataSource(doc, reopened);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(reopened->recordCount(), 40);
    EXPECT_EQ(reopened->recordNumber(), 7);
    EXPECT_EQ(reopened->valueAt(0), seventh);

    // Edited by hand: the stored text no longer matches the block and runs as it stands.
    doc.database.sql = "Select [Code] From [GOODS#TXT] Where Code = \"0003\"";
    ASSERT_TRUE(RestoreDataSource(doc, reopened).ok);
    EXPECT_EQ(reopened->recordCount(), 1);
    EXPECT_EQ(reopened->valueAt(0), "0003");

    // The file is gone: a clear message, the live source untouched.
    QFile::remove(file.path);
    DatabaseSource* const kept = reopened.get();
    const BindingResult gone = RestoreDataSource(doc, reopened);
    EXPECT_FALSE(gone.ok);
    EXPECT_TRUE(gone.message.contains(QStringLiteral("does not exist"))) << gone.message.toStdString();
    EXPECT_EQ(reopened.get(), kept);

    // A damaged block is reported, not half-read.
    doc.database.sourceBlock = doc.database.sourceBlock.left(30);
    EXPECT_FALSE(RestoreDataSource(doc, reopened).ok);
}

TEST(DataSourceBinding, OverrideBindsByColumnName)
{
    GoodsFile file;
    LabelDocument doc;
    std::unique_ptr<DatabaseSource> live;
    ASSERT_TRUE(ApplyDataSource(doc, live, file.choice()).ok);
    doc.addObject(std::make_unique<Bound>("Qty", VariableKind::Database));
    const DatabaseBinding binding = doc.database;

    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("run.csv"));
    ASSERT_TRUE(test::writeFile(other, "qty,extra\n7,x\n8,y\n"));
    std::unique_ptr<DatabaseSource> run;
    const BindingResult ok = OverrideDataSource(doc, run, ParseDataArgument(other).sourceSpec.value());
    ASSERT_TRUE(ok.ok) << ok.message.toStdString();
    EXPECT_EQ(run->recordCount(), 2);
    EXPECT_EQ(run->value("Qty"), std::optional<QByteArray>("7"));
    EXPECT_EQ(doc.database, binding);

    const QString lacking = dir.filePath(QStringLiteral("lacking.csv"));
    ASSERT_TRUE(test::writeFile(lacking, "Code\n1\n"));
    const BindingResult refused = OverrideDataSource(doc, run, ParseDataArgument(lacking).sourceSpec.value());
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.message.contains(QStringLiteral("\"Qty\""))) << refused.message.toStdString();
    EXPECT_EQ(run->recordCount(), 2); // the earlier override stays
}
