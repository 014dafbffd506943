#include "document/Binary.h"
#include "document/CodePage.h"
#include "document/IniFile.h"

#include <gtest/gtest.h>

using namespace korvel;

TEST(ByteReader, FailsStickilyPastTheEnd)
{
    const QByteArray data("\x01\x02\x03\x04\x05", 5);
    ByteReader in(data);
    EXPECT_EQ(in.i32(), 0x04030201);
    EXPECT_EQ(in.u16(), 0); // only one byte left
    EXPECT_FALSE(in.ok());
    EXPECT_EQ(in.u8(), 0);
    EXPECT_TRUE(in.bytes(1).isEmpty());
    ByteReader neg(data);
    EXPECT_TRUE(neg.bytes(-1).isEmpty());
    EXPECT_FALSE(neg.ok());
}

TEST(FixedRecord, FieldsAndStrings)
{
    FixedRecord r(32);
    r.setI32(0, -5);
    r.setF64(8, 1.25);
    r.setStr(16, 5, "abcdefgh");
    EXPECT_EQ(r.i32(0), -5);
    EXPECT_DOUBLE_EQ(r.f64(8), 1.25);
    EXPECT_EQ(r.str(16, 5), QByteArray("abcde"));
    // Out-of-record access reads zero and writes nothing.
    r.setI32(30, 7);
    EXPECT_EQ(r.i32(30), 0);
    EXPECT_EQ(r.size(), 32);
    // A length byte larger than the field is clamped.
    r.setU8(16, 200);
    EXPECT_EQ(r.str(16, 5).size(), 5);
}

TEST(CodePage, LeadByteRule)
{
    const CodePage cp936(936);
    const QByteArray mixed = cp936.fromUnicode(QStringLiteral("A中B文"));
    EXPECT_EQ(mixed.size(), 6);
    EXPECT_EQ(cp936.CharNum(mixed), 4);
    EXPECT_EQ(cp936.toUnicode(mixed), QStringLiteral("A中B文"));
    // Cutting never splits a double-byte character.
    EXPECT_EQ(cp936.cutBytes(mixed, 2), QByteArray("A"));
    EXPECT_EQ(cp936.cutBytes(mixed, 3), mixed.left(3));
    EXPECT_EQ(cp936.leftChars(mixed, 2), mixed.left(3));
    // 0x80 is a single-byte character; a lone lead byte at the end counts as one.
    EXPECT_EQ(cp936.CharNum(QByteArray("\x80\x41", 2)), 2);
    EXPECT_EQ(cp936.CharNum(QByteArray("\xB0", 1)), 1);
    const CodePage cp1252(1252);
    EXPECT_EQ(cp1252.CharNum(QByteArray("\xE9\xE9", 2)), 2);
    EXPECT_EQ(cp1252.toUnicode(QByteArray("\xE9", 1)), QStringLiteral("é"));
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks)
{
    const CodePage cp936(936);
    EXPECT_EQ(cp936.fromUnicode(QStringLiteral("a\u20A9b")), QByteArray("a?b")); // won sign is not in GBK
}

TEST(IniFile, ParsesWindowsStyleFiles)
{
    const IniFile ini = IniFile::parse("; comment\r\n[Generalization]\r\nCurrentPrnIndex = 3\r\n1=VTX-M1\r\n"
                                       "garbage line\r\n[vtx-m1]\nBaudRate=9600\nBaudRate=1\n");
    EXPECT_EQ(ini.intValue("generalization", "currentprnindex", 1), 3);
    EXPECT_EQ(ini.value("Generalization", "1", "x"), QByteArray("VTX-M1"));
    EXPECT_EQ(ini.intValue("VTX-M1", "BaudRate", 0), 9600); // the first occurrence wins
    EXPECT_EQ(ini.intValue("VTX-M1", "Missing", 42), 42);
    IniFile copy = IniFile::parse(ini.serialize());
    EXPECT_EQ(copy.serialize(), ini.serialize());
}
