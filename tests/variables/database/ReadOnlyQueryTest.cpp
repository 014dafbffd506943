#include "variables/database/ReadOnlyQuery.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

struct Row {
    const char* text;
    bool reads;
    const char* note;
};

TEST(ReadOnlyQuery, OnlyOneStatementThatReadsPasses)
{
    const Row rows[] = {
        { "Select [Name] From [T]", true, "the usual" },
        { "select * from t where a = 'DELETE FROM t'", true, "a write in a literal is text" },
        { "Select [insert] From [update]", true, "bracketed names are names" },
        { "SELECT \"into\" FROM t -- DROP TABLE t", true, "quoted name and comment" },
        { "Select a From t /* ; delete */ ;", true, "a trailing semicolon and a comment" },
        { "WITH x AS (SELECT 1) SELECT * FROM x", true, "a common table expression" },
        { "(SELECT 1) UNION (SELECT 2)", true, "a parenthesised query" },
        { "Delete From [T]", false, "deletes" },
        { "  update t set a = 1", false, "updates" },
        { "Select 1; Drop Table t", false, "a second statement" },
        { "select 1;\nselect 2", false, "a second statement on the next line" },
        { "SELECT * INTO copy FROM t", false, "creates a table" },
        { "WITH gone AS (DELETE FROM t RETURNING *) SELECT * FROM gone", false, "a writing table expression" },
        { "PRAGMA writable_schema = 1", false, "a pragma" },
        { "SELECT * FROM t FOR UPDATE", false, "locks rows: refused rather than guessed" },
        { "", false, "empty" },
        { "select 'unclosed; drop table t", true, "an unclosed quote swallows the rest" },
    };
    for (const Row& r : rows) {
        QString why;
        EXPECT_EQ(IsReadOnlySqlText(QString::fromUtf8(r.text), &why), r.reads) << r.note << ": " << r.text;
        if (!r.reads) {
            EXPECT_FALSE(why.isEmpty()) << r.note;
        }
    }
}

} // namespace
