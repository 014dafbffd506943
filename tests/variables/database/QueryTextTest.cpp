#include "variables/database/EngineQuery.h"
#include "variables/database/QueryText.h"

#include <gtest/gtest.h>

using namespace korvel;

TEST(QueryText, NumberRuleDecidesTheQuotes)
{
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"12.5", "12.5"},        // digits with one point
        {"A12", "\"A12\""},      // a letter
        {"1.2.3", "\"1.2.3\""},  // two points
        {"42", "42"},
        {"-42", "-42"},          // a leading minus with digits only
        {"-4.2", "\"-4.2\""},    // a minus allows no point
        {"-", "\"-\""},
        {".", "\".\""},
        {"5.", "5."},
        {"1e5", "\"1e5\""},
        {" 7", "\" 7\""},
        {"", "\"\""},
        {"\xD6\xD0\xCE\xC4", "\"\xD6\xD0\xCE\xC4\""}, // Chinese text in code page 936
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StoredFilterValue(c.typed), QByteArray(c.stored)) << c.typed;
        EXPECT_EQ(UnquotedFilterValue(c.stored), QByteArray(c.typed)) << c.typed;
    }
}

TEST(QueryText, LinesAsStoredInTheLabelFile)
{
    QueryParts p;
    p.fields = {"Code", "Name"};
    p.table = "Sheet1$";
    p.filters = {{FilterJoin::Or, "Qty", 5, "12.5"}, {FilterJoin::Or, "Name", 6, "\"A%\""}, {FilterJoin::And, "Code", 1, "\"1.2.3\""}};
    p.sort = {{"Name", false}, {"Qty", true}};
    const QList<QByteArray> lines = BuildSqlLines(p);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "Select [Code],[Name]");
    EXPECT_EQ(lines[1], "From [Sheet1$]");
    // The join flag of the first row is ignored.
    EXPECT_EQ(lines[2], "Where (Qty >= 12.5) or (Name LIKE \"A%\") and (Code <> \"1.2.3\")");
    EXPECT_EQ(lines[3], "Order By Name Asc,Qty Desc");
    EXPECT_EQ(JoinSqlLines(lines), "Select [Code],[Name]\r\nFrom [Sheet1$]\r\nWhere (Qty >= 12.5) or (Name LIKE \"A%\") and "
                                   "(Code <> \"1.2.3\")\r\nOrder By Name Asc,Qty Desc");

    // Empty parts leave their line out.
    QueryParts only;
    only.table = "DATA#TXT";
    EXPECT_EQ(BuildSqlLines(only), QList<QByteArray>{"From [DATA#TXT]"});
    EXPECT_TRUE(BuildSqlLines({}).isEmpty());
}

TEST(QueryText, SameTextIgnoresLineBreaksAndTrailingSpaces)
{
    EXPECT_TRUE(SameSqlText("Select [a]\r\nFrom [t]\r\n", "Select [a]  \nFrom [t]"));
    EXPECT_FALSE(SameSqlText("Select [a]\r\nFrom [t]", "Select [b]\r\nFrom [t]"));
    EXPECT_FALSE(SameSqlText("Select [a]", "Select [a]\r\nFrom [t]"));
}

TEST(EngineQuery, ValuesNeverReachTheSqlText)
{
    struct Case {
        const char* stored; // the filter value as the block stores it
        const char* sql;    // what the engine gets
        QVariant bound;     // what is bound to the placeholder (invalid: nothing)
    };
    const Case cases[] = {
        {"12.5", "SELECT \"Name\" FROM \"T\" WHERE (\"Qty\" = 12.5)", QVariant()},
        {"-3", "SELECT \"Name\" FROM \"T\" WHERE (\"Qty\" = -3)", QVariant()},
        {"\"A12\"", "SELECT \"Name\" FROM \"T\" WHERE (\"Qty\" = ?)", QStringLiteral("A12")},
        {"\"O'Brien\"", "SELECT \"Name\" FROM \"T\" WHERE (\"Qty\" = ?)", QStringLiteral("O'Brien")},
        {"\"\" OR 1=1 --\"", "SELECT \"Name\" FROM \"T\" WHERE (\"Qty\" = ?)", QStringLiteral("\" OR 1=1 --")},
        {"\"x\"; DROP TABLE T; --\"", "SELECT \"Name\" FROM \"T\" WHERE (\"Qty\" = ?)", QStringLiteral("x\"; DROP TABLE T; --")},
        {"1 OR 1=1", "SELECT \"Name\" FROM \"T\" WHERE (\"Qty\" = ?)", QStringLiteral("1 OR 1=1")},
        {"\"", "SELECT \"Name\" FROM \"T\" WHERE (\"Qty\" = ?)", QStringLiteral("\"")},
    };
    for (const Case& c : cases) {
        QueryParts p;
        p.fields = {"Name"};
        p.table = "T";
        p.filters = {{FilterJoin::And, "Qty", 0, c.stored}};
        EngineQuery q;
        QString error;
        ASSERT_TRUE(ComposeEngineQuery(p, {}, &q, &error)) << c.stored;
        EXPECT_EQ(q.text, QString::fromLatin1(c.sql)) << c.stored;
        if (c.bound.isValid())
            EXPECT_EQ(q.values, QVariantList{c.bound}) << c.stored;
        else
            EXPECT_TRUE(q.values.isEmpty()) << c.stored;
    }
}

TEST(EngineQuery, NamesAreQuotedIdentifiers)
{
    QueryParts p;
    p.fields = {"we\"ird", "Name"};
    p.table = "DATA#TXT";
    p.filters = {{FilterJoin::And, "a", 2, "1"}, {FilterJoin::Or, "b", 6, "\"%x%\""}, {FilterJoin::And, "c", 4, "\"z\""}};
    p.sort = {{"Name", true}, {"a", false}};
    EngineQuery q;
    QString error;
    ASSERT_TRUE(ComposeEngineQuery(p, {}, &q, &error));
    EXPECT_EQ(q.text, QStringLiteral("SELECT \"we\"\"ird\", \"Name\" FROM \"DATA#TXT\" WHERE (\"a\" < 1) OR (\"b\" LIKE ?) AND (\"c\" <= ?) "
                                     "ORDER BY \"Name\" DESC, \"a\" ASC"));
    EXPECT_EQ(q.values, (QVariantList{QStringLiteral("%x%"), QStringLiteral("z")}));

    IdentifierQuoting server;
    server.splitTableSchema = true;
    p = {};
    p.table = "sales.orders";
    ASSERT_TRUE(ComposeEngineQuery(p, server, &q, &error));
    EXPECT_EQ(q.text, QStringLiteral("SELECT * FROM \"sales\".\"orders\""));
}

TEST(EngineQuery, RefusesWhatCannotBeComposed)
{
    EngineQuery q;
    QString error;
    EXPECT_FALSE(ComposeEngineQuery({}, {}, &q, &error));
    EXPECT_FALSE(error.isEmpty());
    QueryParts p;
    p.table = "T";
    p.filters = {{FilterJoin::And, "a", 7, "1"}};
    error.clear();
    EXPECT_FALSE(ComposeEngineQuery(p, {}, &q, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("operator")));
}

TEST(EngineQuery, HandWrittenTextIsTranslated)
{
    struct Case {
        const char* typed;
        const char* engine;
    };
    const Case cases[] = {
        {"Select [Code],[Name] From [DATA#TXT]", "Select \"Code\",\"Name\" From \"DATA#TXT\""},
        {"Select * From [T] Where (Name = \"O'Brien\")", "Select * From \"T\" Where (Name = 'O''Brien')"},
        {"Select * From [T] Where (Name = \"a\"\"b\")", "Select * From \"T\" Where (Name = 'a\"b')"},
        {"Select * From [T] Where (Name = 'it''s')", "Select * From \"T\" Where (Name = 'it''s')"},
        {"Select * From [T] -- [not] \"touched\"", "Select * From \"T\" -- [not] \"touched\""},
        {"Select * From [T] Where Name = 'open", "Select * From \"T\" Where Name = 'open'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TranslateSqlText(QString::fromLatin1(c.typed), {}), QString::fromLatin1(c.engine)) << c.typed;
}
