#include "support/TestSupport.h"
#include "variables/database/ConnectionString.h"
#include "variables/database/SchemaIni.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

TEST(ConnectionString, TemplatesCharacterForCharacter)
{
    ConnectionValues v;
    v.path = "C:\\Labels\\data\\goods.xls";
    v.name = "Sales";
    v.server = "srv01";
    v.database = "stock";
    struct Case {
        int number;
        const char* expected;
    };
    const Case cases[] = {
        {790, "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=C:\\Labels\\data\\goods.xls;"
              "Mode=Share Deny None;Extended Properties=\"Excel 8.0;HDR=Yes;\";"},
        {25, "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Labels\\data\\goods.xls;User Id=admin;Password=;"},
        {27, "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Labels\\data\\;Extended Properties=\"text;FMT=Delimited;\";"},
        {111, "Provider=SQLOLEDB;Data Source=srv01;Initial Catalog=stock;Userid=sa;Integrated Security=SSPI;"},
        {277, "Driver=Sales;Data ID=277;Dbq=C:\\Labels\\data;"},
        {0, "Provider=MSDASQL.1;Persist Security Info=False;Data Source=Sales;"},
        {533, "Provider=MSDASQL.1;Persist Security Info=False;Data Source=Sales;"},
        {1001, "Provider=SQLite;Data Source=C:\\Labels\\data\\goods.xls;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComposeConnectionString(c.number, v), QByteArray(c.expected)) << c.number;

    // Paths of this system use "/"; the fixed pieces stay as they are.
    v.path = "/srv/labels/list.txt";
    EXPECT_EQ(ComposeConnectionString(27, v), "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/srv/labels\\;Extended Properties=\"text;FMT=Delimited;\";");
    EXPECT_EQ(ComposeConnectionString(277, v), "Driver=Sales;Data ID=277;Dbq=/srv/labels;");
    v.path.clear();
    EXPECT_EQ(ComposeConnectionString(277, v), "Driver=Sales;Data ID=277;Dbq;"); // the rule cuts the "="
}

TEST(ConnectionString, TemplateNumberOfAnOdbcSource)
{
    EXPECT_EQ(OdbcTemplateNumber("SQL Server", 0), 111);
    EXPECT_EQ(OdbcTemplateNumber("Microsoft Excel Driver (*.xls)", 790), 790);
    EXPECT_EQ(OdbcTemplateNumber("SQLite3", 0), 0);
}

TEST(ConnectionString, EntriesAndCredentials)
{
    const QByteArray excel = ComposeConnectionString(790, {"/d/a.xls", {}, {}, {}});
    EXPECT_EQ(ConnectionEntry(excel, "data source"), QByteArray("/d/a.xls"));
    EXPECT_EQ(ConnectionEntry(excel, "Extended Properties"), QByteArray("Excel 8.0;HDR=Yes;"));
    const auto credentials = ExplicitCredentials(excel);
    ASSERT_TRUE(credentials);
    EXPECT_EQ(credentials->user, "Admin");
    EXPECT_EQ(credentials->password, "");

    EXPECT_FALSE(ExplicitCredentials(ComposeConnectionString(0, {{}, "Sales", {}, {}})));
    const auto typed = ExplicitCredentials("DSN=x; User ID = clerk ;Password=\"a;b\"\"c\"");
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->user, "clerk");
    EXPECT_EQ(typed->password, "a;b\"c");
    EXPECT_FALSE(ConnectionEntry("garbage without entries", "Provider"));
}

TEST(SchemaIni, WrittenAndReadBack)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("goods.txt"));
    // Another file's section and its keys must survive.
    ASSERT_TRUE(test::writeFile(dir.filePath(QStringLiteral("schema.ini")), "[other.txt]\r\nFormat=Delimited(;)\r\n"));

    struct Case {
        TextFileSettings settings;
        const char* format;
        TextSeparator readSeparator;
        const char* readOther;
    };
    const Case cases[] = {
        {{true, TextSeparator::Tab, {}, 0, {}, 0}, "TabDelimited", TextSeparator::Tab, ""},
        {{false, TextSeparator::Comma, {}, 0, {}, 0}, "Delimited(,)", TextSeparator::Comma, ""},
        {{true, TextSeparator::Other, "|", 0, {}, 0}, "Delimited(|)", TextSeparator::Other, "|"},
        {{true, TextSeparator::Other, {}, 0, {}, 0}, "TabDelimited", TextSeparator::Tab, ""}, // empty falls back
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteSchemaIni(file, c.settings));
        const QByteArray ini = test::readFile(dir.filePath(QStringLiteral("schema.ini")));
        EXPECT_TRUE(ini.contains("[goods.txt]\r\nColNameHeader=" + QByteArray(c.settings.header ? "true" : "false") + "\r\nFormat="
                                 + c.format + "\r\nMaxScanRows=25\r\nCharacterSet=OEM\r\nCol1=F1 Text\r\n"))
            << ini.constData();
        EXPECT_TRUE(ini.contains("[other.txt]\r\nFormat=Delimited(;)"));
        const TextFileSettings back = ReadSchemaIni(file);
        EXPECT_EQ(back.header, c.settings.header);
        EXPECT_EQ(back.separator, c.readSeparator);
        EXPECT_EQ(back.otherCharacter, QByteArray(c.readOther));
        EXPECT_EQ(SchemaTextColumns(file), std::vector<int>{1});
    }
}

TEST(SchemaIni, DefaultsWithoutAnEntry)
{
    QTemporaryDir dir;
    const TextFileSettings s = ReadSchemaIni(dir.filePath(QStringLiteral("nothing.txt")));
    EXPECT_TRUE(s.header);
    EXPECT_EQ(s.separator, TextSeparator::Tab);
    EXPECT_EQ(s.codePage, 0);
    ASSERT_TRUE(test::writeFile(dir.filePath(QStringLiteral("schema.ini")),
                                "[x.csv]\nColNameHeader=False\nFormat=Delimited(;)\nCharacterSet=65001\nCol2=\"Part No\" Text\nCol3=Qty Long\n"));
    const TextFileSettings x = ReadSchemaIni(dir.filePath(QStringLiteral("x.csv")));
    EXPECT_FALSE(x.header);
    EXPECT_EQ(x.separator, TextSeparator::Other);
    EXPECT_EQ(x.separatorChar(), ';');
    EXPECT_EQ(x.codePage, 65001);
    EXPECT_EQ(SchemaTextColumns(dir.filePath(QStringLiteral("x.csv"))), std::vector<int>{2});
}
