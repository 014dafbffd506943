#include "DataTestSupport.h"

#include "editor/data/DataSourceForm.h"
#include "editor/data/DataSourcePanel.h"
#include "editor/data/LocateForm.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/SourceBlock.h"
#include "variables/database/TestWorkbooks.h"

#include "ui_DataSourceForm.h"

#include <QCryptographicHash>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace korvel::test {
namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString topText(TMainForm& form, int index)
{
    auto* tree = qobject_cast<TDataSourcePanel*>(form.dataSourcePanel()->widget());
    return tree && tree->topLevelItem(index) ? tree->topLevelItem(index)->text(0) : QString();
}

/// An SQLite file made with its own connection, closed again before the test goes on.
bool makeSQLite(const QString& path, const QStringList& statements)
{
    const QString name = QStringLiteral("make-") + path;
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        for (const QString& s : statements) {
            if (!q.exec(s)) {
                ADD_FAILURE() << q.lastError().text().toStdString();
                ok = false;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

class DataSourceDialog : public ::testing::Test {
protected:
    void SetUp() override { SetPrompts(&prompts); }
    void TearDown() override { SetPrompts(nullptr); }
    QString file(const char* name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(QLatin1String(name));
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
    QTemporaryDir dir;
    FakePrompts prompts;
};

TEST_F(DataSourceDialog, TextFileWritesItsSchemaAndRereadsTheFieldsWhenTheSeparatorChanges)
{
    const QString path = file("data.txt", "Name,Code,Qty\nAlice,A1,5\nBob,B2,12.5\nCarol,C3,7\n");
    TDataSourceForm d(DatabaseBinding {}, false);
    d.chooseFile(DataFileType::Text, path);
    const QByteArray schema = readAll(dir.filePath(QStringLiteral("schema.ini")));
    EXPECT_TRUE(schema.contains("[data.txt]"));
    EXPECT_TRUE(schema.contains("ColNameHeader=true"));
    EXPECT_TRUE(schema.contains("Format=TabDelimited"));
    EXPECT_TRUE(schema.contains("MaxScanRows=25"));
    ASSERT_EQ(d.draft().block.tables, std::vector<QByteArray>({ "DATA#TXT" }));
    EXPECT_EQ(d.draft().block.tableIndex, 0);
    EXPECT_EQ(d.draft().block.fields.size(), 1u); // read with tabs, the line is one field

    d.setTextOptions(TextSeparator::Comma, QString(), true);
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("schema.ini"))).contains("Format=Delimited(,)"));
    EXPECT_EQ(d.draft().block.fields, std::vector<QByteArray>({ "Name", "Code", "Qty" }));
    EXPECT_EQ(d.ui().GridFields->rowCount(), 3);
    EXPECT_EQ(d.ui().GridFields->item(0, 0)->text(), QStringLiteral("Name"));
    EXPECT_TRUE(d.ui().GridFields->item(2, 2)->text().endsWith(QStringLiteral("字节")));
    EXPECT_TRUE(d.ui().GroupBoxTxt->isEnabled());

    // Without a header the fields are F1, F2, ….
    d.setTextOptions(TextSeparator::Other, QStringLiteral(","), false);
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("schema.ini"))).contains("ColNameHeader=false"));
    EXPECT_EQ(d.draft().block.fields.front(), "F1");
}

TEST_F(DataSourceDialog, FiltersSortAndHandEditedQuery)
{
    const QString path = file("data.csv", "Name,Code,Qty\nAlice,A1,5\nBob,B2,12.5\nCarol,C3,7\n");
    TDataSourceForm empty(DatabaseBinding {}, false);
    EXPECT_FALSE(empty.addFilter(FilterJoin::And, QString(), 0, QStringLiteral("1")));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("请先选择数据表和字段名称!"));

    TDataSourceForm d(DatabaseBinding {}, false);
    d.chooseFile(DataFileType::Text, path);
    d.setTextOptions(TextSeparator::Comma, QString(), true);
    EXPECT_FALSE(d.addFilter(FilterJoin::And, QStringLiteral("Qty"), 3, QString()));
    EXPECT_EQ(prompts.messages.back().text, QStringLiteral("必须输入操作值, 请重新输入!"));
    ASSERT_TRUE(d.addFilter(FilterJoin::And, QStringLiteral("Qty"), 3, QStringLiteral("6")));
    ASSERT_TRUE(d.addFilter(FilterJoin::Or, QStringLiteral("Code"), 0, QStringLiteral("A1")));
    d.setFieldSelected(1, false);
    ASSERT_TRUE(d.addSort(QStringLiteral("Name"), true));
    EXPECT_EQ(d.draft().block.filters[0].value, "6");
    EXPECT_EQ(d.draft().block.filters[1].value, "\"A1\"");
    EXPECT_EQ(d.draft().composedSql(),
        "Select [Name],[Qty]\r\nFrom [DATA#CSV]\r\nWhere (Qty > 6) or (Code = \"A1\")\r\nOrder By Name Desc");
    EXPECT_EQ(d.ui().MemoSql->toPlainText(),
        QStringLiteral("Select [Name],[Qty]\nFrom [DATA#CSV]\nWhere (Qty > 6) or (Code = \"A1\")\nOrder By Name Desc"));
    EXPECT_EQ(d.ui().ListBoxFilters->item(1)->text(), QStringLiteral("or (Code = \"A1\")"));

    ASSERT_TRUE(d.showResult());
    EXPECT_EQ(d.resultRowsFetched(), 3); // Carol 7, Bob 12.5 and Alice by her code

    d.setHandSql(true, QStringLiteral("Select [Name] From [DATA#CSV] Where [Code] = \"B2\""));
    EXPECT_FALSE(d.ui().MemoSql->isReadOnly());
    ASSERT_TRUE(d.showResult());
    EXPECT_EQ(d.resultRowsFetched(), 1);

    d.setHandSql(true, QStringLiteral("Select [Nothing] From [DATA#CSV]"));
    EXPECT_FALSE(d.showResult());
    EXPECT_EQ(prompts.messages.back().title, QStringLiteral("error"));
}

TEST_F(DataSourceDialog, VanishedFileMissingDriverAndServerDownEndInAMessage)
{
    TDataSourceForm d(DatabaseBinding {}, false);
    d.chooseFile(DataFileType::SQLite, dir.filePath(QStringLiteral("gone.db")));
    EXPECT_TRUE(d.draft().block.tables.empty());
    EXPECT_TRUE(d.lastError().contains(QStringLiteral("does not exist"))) << d.lastError().toStdString();

    const QString ini = file("odbc.ini", "[ODBC Data Sources]\nGhost=Ghost driver\n\n[Ghost]\nDriver=/nonexistent/libghost.so\n");
    ScopedEnv odbcIni("ODBCINI", ini.toLocal8Bit());
    d.chooseOdbc(QStringLiteral("Ghost"));
    EXPECT_TRUE(d.draft().block.tables.empty());
    EXPECT_FALSE(d.lastError().isEmpty());

    // Nobody listens on port 1 of the loopback: refused at once, well within the timeout.
    QElapsedTimer clock;
    clock.start();
    d.chooseConnection(QStringLiteral("postgresql://korvel@127.0.0.1:1/labels?connect_timeout=3"));
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(d.draft().block.tables.empty());
    EXPECT_FALSE(d.lastError().isEmpty());
    EXPECT_FALSE(d.showResult());
}

TEST_F(DataSourceDialog, LargeSQLiteTableShowsItsFirstPageWithoutReadingItAllAndIsNeverWritten)
{
    const QString path = dir.filePath(QStringLiteral("big.db"));
    ASSERT_TRUE(makeSQLite(path,
        { QStringLiteral("CREATE TABLE items (id INTEGER PRIMARY KEY, code TEXT, qty INTEGER)"),
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
                           "INSERT INTO items SELECT i, printf('C%07d', i), i % 100 FROM n") }));
    const QByteArray before = QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha1);

    TDataSourceForm d(DatabaseBinding {}, false);
    d.chooseFile(DataFileType::SQLite, path);
    ASSERT_EQ(d.draft().block.tables, std::vector<QByteArray>({ "items" }));
    EXPECT_EQ(d.draft().block.fields, std::vector<QByteArray>({ "id", "code", "qty" }));
    ASSERT_TRUE(d.showResult());
    EXPECT_GT(d.resultRowsFetched(), 0);
    EXPECT_LT(d.resultRowsFetched(), 10000);

    // A statement that would write is refused by the read-only connection.
    d.setHandSql(true, QStringLiteral("DELETE FROM items"));
    EXPECT_FALSE(d.showResult());
    d.setHandSql(true, QStringLiteral("Select [code] From [items] Where [id] = 999999"));
    ASSERT_TRUE(d.showResult());
    EXPECT_EQ(d.resultRowsFetched(), 1);
    EXPECT_EQ(QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha1), before);
}

TEST_F(DataSourceDialog, OdbcDataSourceNameListsTablesAndNeverWrites)
{
    QString driver;
    for (const char* p : { "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so", "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so",
             "/usr/lib/odbc/libsqlite3odbc.so" })
        if (QFileInfo::exists(QLatin1String(p)))
            driver = QLatin1String(p);
    if (driver.isEmpty() || !QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        GTEST_SKIP() << "the SQLite ODBC driver or the ODBC driver of Qt is not installed";
    const QString db = dir.filePath(QStringLiteral("odbc.db"));
    ASSERT_TRUE(makeSQLite(db,
        { QStringLiteral("CREATE TABLE boxes (label TEXT, qty INTEGER)"),
            QStringLiteral("INSERT INTO boxes VALUES ('small', 1), ('large', 3)") }));
    const QByteArray before = readAll(db);
    const QString ini = file("user-odbc.ini", "[ODBC Data Sources]\nKorvelDsn=SQLite3\n\n[KorvelDsn]\nDriver=" + driver.toUtf8()
        + "\nDatabase=" + db.toUtf8() + "\n");
    file("odbc.ini", "");
    file("odbcinst.ini", "");
    ScopedEnv user("ODBCINI", ini.toLocal8Bit());
    ScopedEnv system("ODBCSYSINI", dir.path().toLocal8Bit());

    TDataSourceForm d(DatabaseBinding {}, false);
    EXPECT_NE(d.ui().ComboBoxOdbc->findText(QStringLiteral("KorvelDsn")), -1);
    d.chooseOdbc(QStringLiteral("KorvelDsn"));
    ASSERT_TRUE(d.lastError().isEmpty()) << d.lastError().toStdString();
    ASSERT_EQ(d.draft().block.tables, std::vector<QByteArray>({ "boxes" }));
    d.chooseTable(0);
    ASSERT_TRUE(d.showResult());
    EXPECT_EQ(d.resultRowsFetched(), 2);
    EXPECT_EQ(d.draft().choice().block.text, "KorvelDsn");
    EXPECT_FALSE(d.draft().choice().block.isFile);
    d.setHandSql(true, QStringLiteral("Delete From [boxes]"));
    EXPECT_FALSE(d.showResult());
    EXPECT_EQ(readAll(db), before);
}

TEST_F(DataSourceDialog, WorkbooksListTheirSheetsAsTables)
{
    const std::vector<TestSheet> sheets = {
        { QStringLiteral("Stock"), { { QStringLiteral("Sku"), QStringLiteral("Qty") }, { QStringLiteral("X-1"), 4 }, { QStringLiteral("X-2"), 9 } } },
        { QStringLiteral("Towns"), { { QStringLiteral("Town") }, { QStringLiteral("Oslo") } } },
    };
    for (const bool xlsx : { false, true }) {
        const QString path = file(xlsx ? "book.xlsx" : "book.xls", xlsx ? MakeXlsx(sheets) : MakeXls(sheets));
        TDataSourceForm d(DatabaseBinding {}, false);
        d.chooseFile(DataFileType::Excel, path);
        ASSERT_TRUE(d.lastError().isEmpty()) << d.lastError().toStdString();
        EXPECT_EQ(d.draft().block.tables, std::vector<QByteArray>({ "Stock$", "Towns$" })) << xlsx;
        EXPECT_EQ(d.draft().block.fields, std::vector<QByteArray>({ "Sku", "Qty" }));
        d.chooseTable(1);
        EXPECT_EQ(d.draft().block.fields, std::vector<QByteArray>({ "Town" }));
        ASSERT_TRUE(d.showResult());
        EXPECT_EQ(d.resultRowsFetched(), 1);
        EXPECT_TRUE(d.draft().choice().block.isFile);
        EXPECT_TRUE(d.draft().choice().connectionString.contains("Excel 8.0"));
    }
}

// --- through the document window --------------------------------------------------------------

class DataSourceCommands : public DesignerTest {
protected:
    QString csv()
    {
        const QString path = QDir(home.path()).filePath(QStringLiteral("people.csv"));
        EXPECT_TRUE(writeFile(path, "Name,Code\nAlice,A1\nBob,B2\nCarol,C3\n"));
        return path;
    }
    /// Binds the active label to a file through the data-source dialog.
    int bind(const QString& path, DataFileType type = DataFileType::Text)
    {
        prompts.onDialog = onOk<TDataSourceForm>([path, type](TDataSourceForm& d) {
            d.chooseFile(type, path);
            if (type == DataFileType::Text)
                d.setTextOptions(TextSeparator::Comma, QString(), true);
        });
        return form->sendCommand(Command::SetDatabase);
    }
    bool enabled(const char* action) { return form->action(QLatin1String(action))->isEnabled(); }
};

TEST_F(DataSourceCommands, BindStepLocateRefuseCloseAndDisconnect)
{
    TChildForm* child = form->newEmptyLabel(TPageRecord::defaultRecord());
    LabelDocument& doc = child->document();
    const QString path = csv();
    EXPECT_FALSE(enabled("ToolButtonNext"));
    ASSERT_EQ(bind(path), 1);
    EXPECT_TRUE(doc.database.active);
    const auto block = TDataSourceBlock::fromBytes(doc.database.sourceBlock);
    ASSERT_TRUE(block);
    EXPECT_TRUE(block->isFile);
    EXPECT_EQ(block->filePath, gbk(path));
    EXPECT_EQ(block->tables, std::vector<QByteArray>({ "PEOPLE#CSV" }));
    EXPECT_EQ(block->selected, std::vector<bool>({ true, true }));
    EXPECT_EQ(doc.database.sql, "Select [Name],[Code]\r\nFrom [PEOPLE#CSV]");
    EXPECT_EQ(EntryCount(doc.variables, VariableKind::Database), 2);
    EXPECT_EQ(topText(*form, 0), QStringLiteral("数据库变量(2)"));

    TOAText* text = addBoundText(doc, VariableKind::Database, "Name");
    TOABarCode* bar = addBoundBarcode(doc, VariableKind::Database, "Code");
    child->dataCommands()->refreshObjects();
    EXPECT_EQ(text->Text(), "Alice");

    // At the first record First and Prior are off; at the last, Next and Last.
    EXPECT_FALSE(enabled("ToolButtonFirst"));
    EXPECT_FALSE(enabled("ToolButtonPrior"));
    EXPECT_TRUE(enabled("ToolButtonNext"));
    EXPECT_TRUE(enabled("ToolButtonLocate"));
    form->action(QStringLiteral("ToolButtonNext"))->trigger();
    EXPECT_EQ(text->Text(), "Bob");
    EXPECT_EQ(bar->Text(), "B2");
    EXPECT_TRUE(enabled("ToolButtonFirst"));
    form->action(QStringLiteral("ToolButtonLast"))->trigger();
    EXPECT_EQ(text->Text(), "Carol");
    EXPECT_FALSE(enabled("ToolButtonNext"));
    EXPECT_FALSE(enabled("ToolButtonLast"));
    EXPECT_EQ(form->sendCommand(Command::MoveRecord, 2), 0);
    EXPECT_EQ(doc.database.recordNumber, 3);
    form->action(QStringLiteral("ToolButtonPrior"))->trigger();
    EXPECT_EQ(text->Text(), "Bob");

    prompts.onDialog = onOk<TFormShowDataBase>([](TFormShowDataBase& d) {
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("LabelCount"))->text(), QStringLiteral("共有记录: 3 条"));
        d.chooseRecord(1);
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("LabelCurrent"))->text(), QStringLiteral("当前记录: 1 条"));
    });
    form->action(QStringLiteral("ToolButtonLocate"))->trigger();
    EXPECT_EQ(text->Text(), "Alice");
    EXPECT_EQ(doc.database.recordNumber, 1);

    // In use: closing is refused and changes nothing.
    const DatabaseBinding stored = doc.database;
    EXPECT_EQ(form->sendCommand(Command::CloseQuery), 0);
    EXPECT_EQ(prompts.messages.back().text, QStringLiteral("该数据源已经使用,不能关闭!"));
    EXPECT_EQ(doc.database, stored);
    EXPECT_TRUE(child->dataCommands()->isConnected());

    EXPECT_TRUE(enabled("ToolButtonDisconnect"));
    form->action(QStringLiteral("ToolButtonDisconnect"))->trigger();
    EXPECT_FALSE(doc.database.active);
    EXPECT_TRUE(doc.database.sourceBlock.isEmpty());
    EXPECT_FALSE(enabled("ToolButtonLocate"));
    EXPECT_FALSE(enabled("ToolButtonDisconnect"));
    EXPECT_EQ(topText(*form, 0), QStringLiteral("数据库变量(0)"));
}

TEST_F(DataSourceCommands, SavedBindingReopensAndAVanishedFileLeavesItAsStored)
{
    TChildForm* child = form->newEmptyLabel(TPageRecord::defaultRecord());
    const QString path = csv();
    ASSERT_EQ(bind(path), 1);
    addBoundText(child->document(), VariableKind::Database, "Name");
    form->sendCommand(Command::MoveRecord, 2);
    const QString label = QDir(home.path()).filePath(QStringLiteral("bound.kvl"));
    prompts.saveNames.push_back(label);
    ASSERT_EQ(form->sendCommand(Command::Save), 1);
    const DatabaseBinding stored = child->document().database;
    ASSERT_TRUE(form->closeAll());

    TChildForm* again = form->openLabel(label);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->dataCommands()->isConnected());
    EXPECT_EQ(static_cast<TOAText*>(again->document().objects()[0].get())->Text(), "Bob");
    EXPECT_FALSE(again->document().modified);
    EXPECT_EQ(topText(*form, 0), QStringLiteral("数据库变量(2)"));
    ASSERT_TRUE(form->closeAll());

    ASSERT_TRUE(QFile::remove(path));
    const size_t told = prompts.messages.size();
    TChildForm* orphan = form->openLabel(label);
    ASSERT_NE(orphan, nullptr);
    ASSERT_EQ(prompts.messages.size(), told + 1);
    EXPECT_EQ(prompts.messages.back().title, QStringLiteral("HINT"));
    EXPECT_FALSE(orphan->dataCommands()->isConnected());
    EXPECT_EQ(orphan->document().database, stored);
    EXPECT_FALSE(orphan->document().modified);

    // "Set database" without an open source starts afresh, but a cancelled dialog forgets
    // nothing.
    int shown = 0;
    prompts.onDialog = [&](QDialog* dialog) {
        auto* d = dynamic_cast<TDataSourceForm*>(dialog);
        shown += d && d->draft().block.tables.empty() && d->draft().filePath.isEmpty();
        return false;
    };
    form->action(QStringLiteral("ToolButtonSetDatabase"))->trigger();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(orphan->document().database, stored);
    // Create › Database is the same step.
    form->updateCommandStates();
    QAction* createDatabase = form->action(QStringLiteral("mnuCreateDatabase"));
    EXPECT_TRUE(createDatabase->isEnabled());
    createDatabase->trigger();
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(orphan->document().database, stored);

    // A choice that cannot be opened is told in the dialog, which stays open; the stored one
    // stays as it was.
    prompts.onDialog = [&](QDialog* dialog) {
        auto* d = dynamic_cast<TDataSourceForm*>(dialog);
        d->chooseFile(DataFileType::Text, path);
        d->accept();
        return d->result() == QDialog::Accepted;
    };
    EXPECT_EQ(form->sendCommand(Command::SetDatabase), 0);
    EXPECT_EQ(orphan->document().database, stored);
}

TEST_F(DataSourceCommands, SpreadsheetAndSQLiteSources)
{
    const QString db = QDir(home.path()).filePath(QStringLiteral("stock.sqlite"));
    ASSERT_TRUE(makeSQLite(db,
        { QStringLiteral("CREATE TABLE stock (sku TEXT, qty INTEGER)"),
            QStringLiteral("INSERT INTO stock VALUES ('X-1', 4), ('X-2', 9)") }));
    TChildForm* child = form->newEmptyLabel(TPageRecord::defaultRecord());
    ASSERT_EQ(bind(db, DataFileType::SQLite), 1);
    EXPECT_EQ(EntryName(child->document().variables, VariableKind::Database, 1), "sku");
    TOAText* text = addBoundText(child->document(), VariableKind::Database, "sku");
    form->sendCommand(Command::MoveRecord, 3);
    EXPECT_EQ(text->Text(), "X-2");
    const auto block = TDataSourceBlock::fromBytes(child->document().database.sourceBlock);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->chosenTable(), "stock");
}

} // namespace
} // namespace korvel::test
