#include "document/CodePage.h"
#include "support/TestSupport.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/TestWorkbooks.h"

#include <QDate>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

QByteArray gbk(const char* utf8)
{
    return CodePage(936).fromUnicode(QString::fromUtf8(utf8));
}

SourceSpec specOf(const QString& argument)
{
    const SpecResult r = ParseDataArgument(argument);
    EXPECT_TRUE(r.sourceSpec) << r.error.toStdString();
    return r.sourceSpec.value_or(SourceSpec());
}

/// Reads every value of every record by stepping with next(), as the print job does.
std::vector<std::vector<QByteArray>> stepThrough(DatabaseSource& s)
{
    std::vector<std::vector<QByteArray>> rows;
    s.first();
    while (!s.eof() || rows.size() < static_cast<size_t>(s.recordCount())) {
        std::vector<QByteArray> row;
        for (int c = 0; c < s.fieldCount(); ++c)
            row.push_back(s.valueAt(c));
        rows.push_back(row);
        const int before = s.recordNumber();
        s.next();
        if (s.recordNumber() == before)
            break;
    }
    return rows;
}

} // namespace

TEST(FileSources, TenThousandRowCsvInCodePage936)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("goods.csv"));
    const QByteArray goods = gbk("商品");
    const QByteArray red = gbk("红色");
    QByteArray csv = gbk("编号,品名,数量,单价,备注") + "\r\n";
    for (int i = 1; i <= 10000; ++i) {
        const QByteArray n = QByteArray::number(i);
        // Zero-padded codes and two-decimal prices must come back exactly as written.
        csv += n.rightJustified(6, '0') + ',' + goods + n + ',' + QByteArray::number(i % 97) + ',' + QByteArray::number(i % 50) + ".50,";
        csv += (i % 10 == 0 ? "\"" + red + ", \"\"" + n + "\"\"\"" : QByteArray()) + "\r\n";
    }
    ASSERT_TRUE(test::writeFile(path, csv));

    DatabaseSource s;
    ASSERT_TRUE(s.open(specOf(path))) << s.errorString().toStdString();
    EXPECT_EQ(s.tables(), QStringList{QStringLiteral("GOODS#CSV")});
    ASSERT_TRUE(s.openTable()) << s.errorString().toStdString();
    ASSERT_EQ(s.recordCount(), 10000);
    ASSERT_EQ(s.fieldCount(), 5);
    EXPECT_EQ(s.fields()[1].name, gbk("品名"));
    EXPECT_EQ(FieldTypeName(s.fields()[0].typeNumber), u"Text");      // leading zeros: text
    EXPECT_EQ(FieldTypeName(s.fields()[2].typeNumber), u"longint");
    EXPECT_EQ(s.fields()[1].size, 9);                                   // "商品10000" in bytes

    const auto rows = stepThrough(s);
    ASSERT_EQ(rows.size(), 10000u);
    EXPECT_TRUE(s.eof());
    EXPECT_EQ(s.recordNumber(), 10000);
    for (int i = 1; i <= 10000; ++i) {
        const auto& row = rows[static_cast<size_t>(i - 1)];
        const QByteArray n = QByteArray::number(i);
        ASSERT_EQ(row[0], n.rightJustified(6, '0')) << i;
        ASSERT_EQ(row[1], goods + n) << i;
        ASSERT_EQ(row[2], QByteArray::number(i % 97)) << i;
        ASSERT_EQ(row[3], QByteArray::number(i % 50) + ".50") << i;
        ASSERT_EQ(row[4], i % 10 == 0 ? red + ", \"" + n + "\"" : QByteArray()) << i;
    }

    // Through the evaluation interface, by name and without regard to case.
    ASSERT_TRUE(s.locate(1234));
    EXPECT_EQ(s.value(gbk("品名")), std::optional<QByteArray>(goods + "1234"));
    EXPECT_FALSE(s.value("missing"));

    // A query over the loaded table: number filters compare as numbers, sorting too.
    QueryParts parts;
    parts.table = "GOODS#CSV";
    parts.fields = {gbk("编号"), gbk("数量")};
    parts.filters = {{FilterJoin::And, gbk("数量"), 3, "90"}};
    parts.sort = {{gbk("数量"), true}, {gbk("编号"), false}};
    ASSERT_TRUE(s.openQuery(parts)) << s.errorString().toStdString();
    int expected = 0;
    for (int i = 1; i <= 10000; ++i)
        expected += i % 97 > 90;
    EXPECT_EQ(s.recordCount(), expected);
    EXPECT_EQ(s.valueAt(1, 1), "96");
    EXPECT_EQ(s.valueAt(1, 0), "000096");
}

TEST(FileSources, HostileFilterValuesFindOnlyThemselves)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("names.csv"));
    const QStringList names = {
        QStringLiteral("plain"),
        QStringLiteral("a\"b"),
        QStringLiteral("x' OR '1'='1"),
        QStringLiteral("\" OR 1=1 --"),
        QStringLiteral("semi;colon"),
        QStringLiteral("x\"; DROP TABLE \"NAMES#CSV\"; --"),
    };
    QByteArray csv = "Name,Qty\n";
    for (const QString& n : names) {
        QString quoted = n;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        csv += "\"" + quoted.toLatin1() + "\",1\n";
    }
    ASSERT_TRUE(test::writeFile(path, csv));
    DatabaseSource s;
    ASSERT_TRUE(s.open(specOf(path))) << s.errorString().toStdString();

    for (const QString& n : names) {
        QueryParts p;
        p.table = "NAMES#CSV";
        p.fields = {"Name"};
        // Stored exactly as the dialog stores it: the typed text between double quotes.
        p.filters = {{FilterJoin::And, "Name", 0, StoredFilterValue(n.toLatin1())}};
        ASSERT_TRUE(s.openQuery(p)) << n.toStdString() << ": " << s.errorString().toStdString();
        ASSERT_EQ(s.recordCount(), 1) << n.toStdString();
        EXPECT_EQ(s.valueAt(0), n.toLatin1());
    }
    // A value that would close the quotes of pasted SQL matches nothing and the table is intact.
    QueryParts p;
    p.table = "NAMES#CSV";
    p.filters = {{FilterJoin::And, "Name", 0, "\"\" OR 1=1 OR \"\"\""}};
    ASSERT_TRUE(s.openQuery(p)) << s.errorString().toStdString();
    EXPECT_EQ(s.recordCount(), 0);
    ASSERT_TRUE(s.openTable());
    EXPECT_EQ(s.recordCount(), names.size());
}

TEST(FileSources, XlsWorkbookMadeByHand)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.xls"));
    test::TestSheet goods{QStringLiteral("Goods"), {}};
    goods.rows.push_back({QStringLiteral("编号"), QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("日期")});
    for (int i = 1; i <= 300; ++i)
        goods.rows.push_back({QStringLiteral("A%1").arg(i), QStringLiteral("商品%1").arg(i), i % 2 ? QVariant(i) : QVariant(i + 0.25),
                              QVariant(QDate(2024, 1, 1).addDays(i))});
    test::TestSheet other{QStringLiteral("Other"), {{QStringLiteral("X")}, {QStringLiteral("y")}}};
    ASSERT_TRUE(test::writeFile(path, test::MakeXls({goods, other})));

    DatabaseSource s;
    ASSERT_TRUE(s.open(specOf(path))) << s.errorString().toStdString();
    EXPECT_EQ(s.tables(), (QStringList{QStringLiteral("Goods$"), QStringLiteral("Other$")}));
    ASSERT_TRUE(s.openTable()) << s.errorString().toStdString();
    ASSERT_EQ(s.recordCount(), 300);
    ASSERT_EQ(s.fieldCount(), 4);
    EXPECT_EQ(s.fields()[3].name, gbk("日期"));
    EXPECT_EQ(FieldTypeName(s.fields()[2].typeNumber), u"decimal fraction");
    const auto rows = stepThrough(s);
    ASSERT_EQ(rows.size(), 300u);
    for (int i = 1; i <= 300; ++i) {
        const auto& row = rows[static_cast<size_t>(i - 1)];
        ASSERT_EQ(row[0], "A" + QByteArray::number(i));
        ASSERT_EQ(row[1], gbk("商品") + QByteArray::number(i));
        ASSERT_EQ(row[2], i % 2 ? QByteArray::number(i) : QByteArray::number(i) + ".25");
        ASSERT_EQ(row[3], QDate(2024, 1, 1).addDays(i).toString(Qt::ISODate).toLatin1());
    }
    ASSERT_TRUE(s.openTable(QStringLiteral("Other$")));
    EXPECT_EQ(s.recordCount(), 1);
    EXPECT_EQ(s.valueAt(0), "y");
}

TEST(FileSources, XlsxWorkbookStoredAndDeflated)
{
    for (bool deflate : {true, false}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("book.xlsx"));
        test::TestSheet goods{QStringLiteral("货品"), {}};
        goods.rows.push_back({QStringLiteral("编号"), QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("日期"), QStringLiteral("备注")});
        for (int i = 1; i <= 2000; ++i)
            goods.rows.push_back({QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')), QStringLiteral("商品<%1>&").arg(i),
                                  i % 3 ? QVariant(i) : QVariant(i / 8.0), QVariant(QDate(2023, 12, 31).addDays(i)),
                                  i % 7 ? QVariant() : QVariant(QStringLiteral("第%1").arg(i))});
        ASSERT_TRUE(test::writeFile(path, test::MakeXlsx({goods, {QStringLiteral("Sheet2"), {{QStringLiteral("only a header")}}}}, deflate)));

        DatabaseSource s;
        ASSERT_TRUE(s.open(specOf(path))) << s.errorString().toStdString();
        EXPECT_EQ(s.tables(), (QStringList{QStringLiteral("货品$"), QStringLiteral("Sheet2$")}));
        ASSERT_TRUE(s.openTable()) << s.errorString().toStdString();
        ASSERT_EQ(s.recordCount(), 2000) << deflate;
        const auto rows = stepThrough(s);
        ASSERT_EQ(rows.size(), 2000u);
        for (int i = 1; i <= 2000; ++i) {
            const auto& row = rows[static_cast<size_t>(i - 1)];
            ASSERT_EQ(row[0], QByteArray::number(i).rightJustified(5, '0')) << i; // text cells stay text
            ASSERT_EQ(row[1], gbk("商品") + "<" + QByteArray::number(i) + ">&") << i;
            ASSERT_EQ(row[2], i % 3 ? QByteArray::number(i) : QString::number(i / 8.0, 'g', 15).toLatin1()) << i;
            ASSERT_EQ(row[3], QDate(2023, 12, 31).addDays(i).toString(Qt::ISODate).toLatin1()) << i;
            ASSERT_EQ(row[4], i % 7 ? QByteArray() : gbk("第") + QByteArray::number(i)) << i;
        }
        ASSERT_TRUE(s.openTable(QStringLiteral("Sheet2$")));
        EXPECT_EQ(s.recordCount(), 0);
        EXPECT_EQ(s.fields()[0].name, "only a header");
    }
}

TEST(FileSources, SQLiteFileQueriedInPlace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stock.db"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make-stock"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE first (a INTEGER)")));
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE items (code TEXT, name TEXT, qty INTEGER, price REAL)")));
        db.transaction();
        q.prepare(QStringLiteral("INSERT INTO items VALUES (?,?,?,?)"));
        for (int i = 1; i <= 500; ++i) {
            q.addBindValue(QStringLiteral("C%1").arg(i));
            q.addBindValue(QStringLiteral("物品%1").arg(i));
            q.addBindValue(i);
            q.addBindValue(i * 0.5);
            ASSERT_TRUE(q.exec());
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("make-stock"));

    DatabaseSource s;
    ASSERT_TRUE(s.open(specOf(path + QStringLiteral("#items")))) << s.errorString().toStdString();
    EXPECT_TRUE(s.tables().contains(QStringLiteral("items")));
    ASSERT_TRUE(s.openTable()) << s.errorString().toStdString();
    ASSERT_EQ(s.recordCount(), 500);
    EXPECT_EQ(FieldTypeName(s.fields()[2].typeNumber), u"longint");
    const auto rows = stepThrough(s);
    for (int i = 1; i <= 500; ++i) {
        const auto& row = rows[static_cast<size_t>(i - 1)];
        ASSERT_EQ(row[1], gbk("物品") + QByteArray::number(i));
        ASSERT_EQ(row[3], QString::number(i * 0.5, 'g', 15).toLatin1());
    }
    // Read-only: a hand-written statement that changes the file is refused by the engine.
    EXPECT_FALSE(s.openSql("Delete From [items]"));
    ASSERT_TRUE(s.openSql("Select [name] From [items] Where qty = 7"));
    EXPECT_EQ(s.valueAt(0), gbk("物品7"));
}

TEST(FileSources, BadInputGivesClearMessages)
{
    QTemporaryDir dir;
    auto file = [&dir](const char* name, const QByteArray& bytes) {
        const QString p = dir.filePath(QString::fromLatin1(name));
        test::writeFile(p, bytes);
        return p;
    };
    struct Case {
        const char* what;
        QString argument;
        const char* message; // a piece the message must hold
    };
    const QByteArray xlsx = test::MakeXlsx({{QStringLiteral("S"), {{QStringLiteral("a")}, {1}}}}, false);
    const Case cases[] = {
        {"missing csv", dir.filePath(QStringLiteral("none.csv")), "the file does not exist"},
        {"missing xls", dir.filePath(QStringLiteral("none.xls")), "the file does not exist"},
        {"missing xlsx", dir.filePath(QStringLiteral("none.xlsx")), "the file does not exist"},
        {"missing database", dir.filePath(QStringLiteral("none.db")), "the file does not exist"},
        {"unclosed quote", file("a.csv", "a,b\n1,2\n\"3,4\n"), "line 3: a quoted field is not closed"},
        {"row wider than the header", file("b.csv", "a,b\n1,2\n1,2,3\n"), "line 3: 3 values where the table \"B#CSV\" has 2 columns"},
        {"empty text file", file("c.csv", ""), "no field names"},
        {"text posing as xls", file("d.xls", "a,b\n"), "not an Excel 97-2003 workbook"},
        {"cut xlsx", file("e.xlsx", xlsx.left(xlsx.size() / 2)), "not a zip archive"},
        {"damaged xlsx part", file("f.xlsx", QByteArray(xlsx).replace("sheetData", "sheetDatX")), "checksum"},
        {"text posing as database", file("g.db", "hello, this is not a database at all......................"), "not an SQLite database"},
    };
    for (const Case& c : cases) {
        DatabaseSource s;
        EXPECT_FALSE(s.open(specOf(c.argument))) << c.what;
        EXPECT_TRUE(s.errorString().contains(QString::fromLatin1(c.message))) << c.what << ": " << s.errorString().toStdString();
        EXPECT_FALSE(s.isConnected()) << c.what;
        EXPECT_FALSE(s.isOpen()) << c.what;
    }
}

TEST(FileSources, ColumnThatVanishedIsNamed)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    ASSERT_TRUE(test::writeFile(path, "Code,Name\n1,a\n"));
    DatabaseSource s;
    ASSERT_TRUE(s.open(specOf(path)));
    QueryParts p;
    p.table = "LIST#CSV";
    p.fields = {"Code", "Qty"};
    EXPECT_FALSE(s.openQuery(p));
    EXPECT_TRUE(s.errorString().contains(QStringLiteral("\"Qty\""))) << s.errorString().toStdString();
    EXPECT_FALSE(s.isOpen());
    p.fields = {"Code"};
    p.sort = {{"Gone", false}};
    EXPECT_FALSE(s.openQuery(p));
    EXPECT_TRUE(s.errorString().contains(QStringLiteral("\"Gone\"")));
    p.sort.clear();
    p.table = "OTHER#CSV";
    EXPECT_FALSE(s.openQuery(p));
    EXPECT_TRUE(s.errorString().contains(QStringLiteral("OTHER#CSV")));
    EXPECT_FALSE(s.openSql("Select [Nope] From [LIST#CSV]"));
    EXPECT_TRUE(s.errorString().startsWith(QStringLiteral("the query failed")));
}

TEST(FileSources, RecordMovementFollowsDataSetRules)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("three.csv"));
    ASSERT_TRUE(test::writeFile(path, "n\n1\n2\n3\n"));
    DatabaseSource s;
    ASSERT_TRUE(s.open(specOf(path)));
    EXPECT_FALSE(s.isOpen());
    ASSERT_TRUE(s.openTable());
    EXPECT_EQ(s.recordNumber(), 1);
    EXPECT_TRUE(s.bof());
    EXPECT_FALSE(s.eof());
    s.prior();
    EXPECT_EQ(s.recordNumber(), 1);
    EXPECT_TRUE(s.bof());
    s.next();
    s.next();
    EXPECT_EQ(s.valueAt(0), "3");
    EXPECT_FALSE(s.eof());
    s.next(); // past the last: stays, end flag set
    EXPECT_EQ(s.recordNumber(), 3);
    EXPECT_TRUE(s.eof());
    s.first();
    EXPECT_EQ(s.recordNumber(), 1);
    EXPECT_FALSE(s.eof());
    s.last();
    EXPECT_TRUE(s.eof());
    EXPECT_FALSE(s.locate(4));
    EXPECT_EQ(s.recordNumber(), 3);
    EXPECT_TRUE(s.locate(2));
    EXPECT_EQ(s.valueAt(0), "2");

    QueryParts none;
    none.table = "THREE#CSV";
    none.filters = {{FilterJoin::And, "n", 0, "7"}};
    ASSERT_TRUE(s.openQuery(none));
    EXPECT_TRUE(s.isOpen());
    EXPECT_EQ(s.recordCount(), 0);
    EXPECT_EQ(s.recordNumber(), 0);
    EXPECT_TRUE(s.bof() && s.eof());
    EXPECT_EQ(s.value("n"), std::optional<QByteArray>(QByteArray()));
}

TEST(FileSources, StandardInputIsReadAsText)
{
    // Standard input itself cannot be fed here; the same loader reads any device, so check the
    // separator detection through a file that the "-" form would read alike.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("piped.txt"));
    ASSERT_TRUE(test::writeFile(path, "\xEF\xBB\xBFName\tQty\n\xE4\xB8\xAD\t3\n"));
    SourceSpec sourceSpec = specOf(QStringLiteral("-"));
    sourceSpec.fromStdin = false;
    sourceSpec.path = path;
    DatabaseSource s;
    ASSERT_TRUE(s.open(sourceSpec)) << s.errorString().toStdString();
    EXPECT_EQ(s.tables(), QStringList{QStringLiteral("STDIN")});
    ASSERT_TRUE(s.openTable());
    EXPECT_EQ(s.valueAt(0), gbk("中"));
    EXPECT_EQ(s.valueAt(1), "3");
}

TEST(FileSources, SchemaEntryDecidesHowATextFileIsRead)
{
    // Choosing a text file writes its schema entry before the fields are read; changing the
    // separator rewrites it and the fields are read again.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    ASSERT_TRUE(test::writeFile(path, "Code,Name\tQty\n007,a\t1\n"));
    auto fieldsWith = [&](const TextFileSettings& settings) {
        EXPECT_TRUE(WriteSchemaIni(path, settings));
        DatabaseSource s;
        EXPECT_TRUE(s.open(DataFileSpec(path).sourceSpec.value())) << s.errorString().toStdString();
        std::vector<FieldInfo> fields;
        EXPECT_TRUE(s.columns(QStringLiteral("LIST#TXT"), &fields));
        QList<QByteArray> names;
        for (const FieldInfo& f : fields)
            names << f.name;
        EXPECT_TRUE(s.openTable());
        return std::make_pair(names, s.valueAt(0));
    };
    TextFileSettings settings;
    EXPECT_EQ(fieldsWith(settings), std::make_pair(QList<QByteArray>{"Code,Name", "Qty"}, QByteArray("007,a")));
    settings.separator = TextSeparator::Comma;
    EXPECT_EQ(fieldsWith(settings), std::make_pair(QList<QByteArray>{"Code", "Name\tQty"}, QByteArray("007")));
    settings.header = false;
    EXPECT_EQ(fieldsWith(settings), std::make_pair(QList<QByteArray>{"F1", "F2"}, QByteArray("Code")));
}
