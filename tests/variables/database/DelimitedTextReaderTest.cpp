#include "variables/database/DelimitedTextReader.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

struct ReadResult {
    std::vector<QStringList> rows;
    QString error;
    int codePage = 0;
};

ReadResult readAll(const QByteArray& bytes, TextFileSettings settings,
                   qsizetype chunkSize = DelimitedTextReader::DefaultChunkSize)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    DelimitedTextReader reader(&buffer, settings, chunkSize);
    ReadResult r;
    QStringList fields;
    for (;;) {
        const auto status = reader.next(fields);
        if (status == DelimitedTextReader::Status::Row) {
            r.rows.push_back(fields);
            continue;
        }
        if (status == DelimitedTextReader::Status::Error)
            r.error = reader.errorString();
        break;
    }
    r.codePage = reader.codePage();
    return r;
}

TextFileSettings comma()
{
    TextFileSettings s;
    s.separator = TextSeparator::Comma;
    return s;
}

} // namespace

TEST(DelimitedTextReader, RecordsAndQuoting)
{
    struct Case {
        const char* what;
        QByteArray text;
        std::vector<QStringList> rows;
    };
    const QString null;
    const Case cases[] = {
        {"plain, LF and CRLF", "a,b\r\nc,d\n", {{"a", "b"}, {"c", "d"}}},
        {"no final line break", "a,b", {{"a", "b"}}},
        {"blank lines hold no record", "a\n\n\r\nb\n", {{"a"}, {"b"}}},
        {"empty fields are null, quoted empty is empty", "a,,\"\"\n", {{"a", null, ""}}},
        {"quotes, separators and line breaks inside quotes", "\"x,y\",\"he said \"\"hi\"\"\",\"two\nlines\"\n",
         {{"x,y", "he said \"hi\"", "two\nlines"}}},
        {"a quote inside an unquoted field is a character", "5\" disk,b\n", {{"5\" disk", "b"}}},
        {"spaces are kept", " a , b \n", {{" a ", " b "}}},
    };
    for (const Case& c : cases) {
        const ReadResult r = readAll(c.text, comma());
        EXPECT_TRUE(r.error.isEmpty()) << c.what << ": " << r.error.toStdString();
        ASSERT_EQ(r.rows.size(), c.rows.size()) << c.what;
        for (size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(r.rows[i], c.rows[i]) << c.what;
            for (qsizetype k = 0; k < c.rows[i].size(); ++k)
                EXPECT_EQ(r.rows[i][k].isNull(), c.rows[i][k].isNull()) << c.what;
        }
    }
}

TEST(DelimitedTextReader, SeparatorChoices)
{
    TextFileSettings tab;
    EXPECT_EQ(readAll("a,b\tc\n", tab).rows[0], (QStringList{"a,b", "c"}));
    TextFileSettings other;
    other.separator = TextSeparator::Other;
    other.otherCharacter = "|";
    EXPECT_EQ(readAll("a|b,c\n", other).rows[0], (QStringList{"a", "b,c"}));
    TextFileSettings detect;
    detect.separator = TextSeparator::Detect;
    EXPECT_EQ(readAll("a\tb\nc,d\te\n", detect).rows[1], (QStringList{"c,d", "e"}));
    EXPECT_EQ(readAll("a,b\nc\td,e\n", detect).rows[1], (QStringList{"c\td", "e"}));
}

TEST(DelimitedTextReader, EncodingsByMarkCodePageAndContent)
{
    const QString chinese = QString::fromUtf8("中文,名称");
    const QByteArray gbk("\xD6\xD0\xCE\xC4,\xC3\xFB\xB3\xC6\n");
    const QByteArray utf8 = chinese.toUtf8() + '\n';
    struct Case {
        const char* what;
        QByteArray bytes;
        int declared;
        int used;
    };
    QByteArray utf16le("\xFF\xFE", 2);
    for (QChar c : chinese + QLatin1Char('\n'))
        utf16le.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
    const Case cases[] = {
        {"code page 936 text", gbk, 0, 936},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + utf8, 936, 65001},
        {"UTF-8 without a mark", utf8, 0, 65001},
        {"UTF-16 with a mark", utf16le, 0, 1200},
        {"declared code page wins over content", gbk, 936, 936},
    };
    for (const Case& c : cases) {
        TextFileSettings s = comma();
        s.codePage = c.declared;
        const ReadResult r = readAll(c.bytes, s);
        ASSERT_EQ(r.rows.size(), 1u) << c.what;
        EXPECT_EQ(r.rows[0], chinese.split(QLatin1Char(','))) << c.what;
        EXPECT_EQ(r.codePage, c.used) << c.what;
    }
}

TEST(DelimitedTextReader, LongTextAcrossChunksKeepsDoubleByteCharacters)
{
    // Lines of Chinese text long enough to cross many read chunks; no character may be split.
    QByteArray text;
    const QByteArray row("\xD6\xD0\xCE\xC4,\xB2\xE2\xCA\xD4\xB2\xE2\xCA\xD4\n");
    for (int i = 0; i < 20000; ++i)
        text += row;
    const ReadResult r = readAll(text, comma());
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    ASSERT_EQ(r.rows.size(), 20000u);
    for (const QStringList& fields : r.rows)
        ASSERT_EQ(fields, (QStringList{QString::fromUtf8("中文"), QString::fromUtf8("测试测试")}));
}

TEST(DelimitedTextReader, MalformedInputNamesTheLine)
{
    struct Case {
        const char* what;
        QByteArray text;
        const char* message;
    };
    const Case cases[] = {
        {"a quote that never closes", "a,b\n\"open,c\nd,e\n", "line 2: a quoted field is not closed"},
        {"text after a closing quote", "a,b\nc,d\n\"x\"y,z\n", "line 3: unexpected character 'y' after a closing quote"},
    };
    for (const Case& c : cases) {
        const ReadResult r = readAll(c.text, comma());
        EXPECT_EQ(r.error, QString::fromLatin1(c.message)) << c.what;
    }
}

TEST(DelimitedTextReader, BrokenUtf8AtAChunkEndLosesNothingAfterIt)
{
    // Found by fuzzing: when a read chunk ended inside a broken UTF-8 sequence, Qt's stateful
    // decoder swallowed the byte after it, here the line break, merging two records.
    QByteArray text("\xEF\xBB\xBF");
    text += QByteArray(65536 - 3 - 7, '\n');
    text += "a,\xE6\xA0\x87\xE7\xAD"; // the chunk ends two bytes into a three-byte sequence
    ASSERT_EQ(text.size(), DelimitedTextReader::DefaultChunkSize);
    text += "\nc,d\n";
    const ReadResult r = readAll(text, comma());
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    ASSERT_EQ(r.rows.size(), 2u);
    ASSERT_EQ(r.rows[0].size(), 2);
    EXPECT_EQ(r.rows[0][0], QStringLiteral("a"));
    // The broken bytes become replacement characters (how many is the decoder's choice).
    EXPECT_EQ(r.rows[0][1].left(2), QString::fromUtf8("标\xEF\xBF\xBD"));
    EXPECT_FALSE(r.rows[0][1].contains(QLatin1Char('c')));
    EXPECT_EQ(r.rows[1], (QStringList{QStringLiteral("c"), QStringLiteral("d")}));
}

TEST(DelimitedTextReader, LongLinesAreCutBetweenCharacters)
{
    // Found by fuzzing: a line longer than four chunks is decoded in pieces, cut at a character
    // boundary. Shift-JIS has single-byte characters above 0x80 (half-width katakana), which the
    // general lead-byte rule took for the first byte of a pair, shifting every later pair.
    struct Case {
        int codePage;
        QByteArray unit; ///< a few characters, repeated to a long line
        const char* text; ///< the unit as UTF-8
    };
    const Case cases[] = {
        {932, "\xB1\x8A\xBF\xB2 ", "ｱ漢ｲ "},
        {936, "\xD6\xD0" "a\xCE\xC4", "中a文"},
        {950, "\xA4\xA4\xA4\xE5" "b", "中文b"},
        {65001, "\xE6\xA0\x87\xF0\x9F\x98\x80x", "标😀x"},
    };
    for (const Case& c : cases) {
        TextFileSettings settings = comma();
        settings.codePage = c.codePage;
        const ReadResult r = readAll(c.unit.repeated(40) + "\n", settings, 8);
        ASSERT_TRUE(r.error.isEmpty()) << c.codePage;
        ASSERT_EQ(r.rows.size(), 1u) << c.codePage;
        EXPECT_EQ(r.rows[0].value(0), QString::fromUtf8(c.text).repeated(40)) << c.codePage;
    }
}

TEST(DelimitedTextReader, AMarkInsideTheTextIsACharacter)
{
    // Only the file's own byte-order mark goes; one at the start of a later line (decoded as a
    // piece of its own) is a character of the field, whatever the chunk size.
    const QByteArray text("\xEF\xBB\xBF" "a\n\xEF\xBB\xBF" "b\n");
    for (const qsizetype chunk : {qsizetype(4), DelimitedTextReader::DefaultChunkSize}) {
        const ReadResult r = readAll(text, comma(), chunk);
        ASSERT_EQ(r.rows.size(), 2u) << chunk;
        EXPECT_EQ(r.rows[0], QStringList{QStringLiteral("a")}) << chunk;
        EXPECT_EQ(r.rows[1], QStringList{QString(QChar(0xFEFF)) + QLatin1Char('b')}) << chunk;
    }
}
