#include "persistence/LabelFileBuilder.h"

#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "persistence/LabelFile.h"
#include "persistence/ObjectRecords.h"
#include "persistence/VariableSection.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <unistd.h>

using namespace korvel;
using korvel::test::LabelFileBuilder;

namespace {

QByteArray entry(int size, const QByteArray& name)
{
    FixedRecord r(size);
    r.setStr(0, 16, name);
    return r.bytes();
}

QByteArray variableSection(const std::vector<std::pair<int, std::vector<QByteArray>>>& tables)
{
    QByteArray out;
    for (const auto& t : tables)
        out.append(static_cast<char>(t.second.size()));
    for (const auto& t : tables)
        for (const QByteArray& e : t.second)
            out.append(e.leftJustified(t.first, '\0', true));
    return out;
}

} // namespace

TEST(LabelFile, EmptyLabelLayout)
{
    LabelDocument doc;
    QString error;
    const QByteArray bytes = WriteLabelBytes(doc, &error);
    // Header, pool directory, document block, zero objects, five zero counts, inactive database.
    ASSERT_EQ(bytes.size(), 48 + 8 + 1 + 40 + 60 + 4 + 4 + 5 + 1);
    const FixedRecord r(bytes);
    EXPECT_EQ(r.str(0, 35), QByteArray("Label Document"));
    EXPECT_EQ(r.i32(36), 100);
    EXPECT_EQ(r.i32(48), 0);
    EXPECT_EQ(r.i32(52), bytes.size());
    EXPECT_EQ(r.i32(157), 200);
}

TEST(LabelFile, VersionHundredRoundTripIsByteIdentical)
{
    LabelFileBuilder b;
    b.positionAdjust = -12;
    b.printer.ComPort = 99;
    b.printer.reserved37 = {1, 2, 3};
    b.page.head[5] = 0x77;
    b.zoom = 300;
    b.variableSection = variableSection({{352, {entry(352, "Name")}},
                                         {152, {entry(152, "Date1"), entry(152, "Date2")}},
                                         {152, {}},
                                         {204, {entry(204, "Counter1")}},
                                         {344, {entry(344, "Formula1")}}});
    ByteWriter db;
    db.u8(1);
    db.i32(7);
    db.i32(3);
    db.i32(4);
    db.i32(2);
    db.bytes("SQLconnXY");
    b.databaseSection = db.take();
    const QByteArray original = b.build();

    LabelDocument doc;
    const LabelFileResult r = ReadLabelBytes(original, doc);
    ASSERT_EQ(r.status, LabelFileResult::Status::Ok) << r.message.toStdString();
    EXPECT_EQ(doc.zoom(), 300);
    EXPECT_EQ(doc.FitMode, 1);
    EXPECT_EQ(doc.FitZoom, 150);
    EXPECT_EQ(doc.printPositionAdjust, -12);
    EXPECT_EQ(doc.printer.ComPort, 99);
    EXPECT_EQ(doc.variables.dates.size(), 2u);
    EXPECT_EQ(doc.database.recordNumber, 7);
    EXPECT_EQ(doc.database.sql, QByteArray("SQL"));
    EXPECT_EQ(doc.database.sourceBlock, QByteArray("XY"));

    QString error;
    EXPECT_EQ(WriteLabelBytes(doc, &error), original);
    LabelDocument again;
    ASSERT_TRUE(ReadLabelBytes(WriteLabelBytes(doc, &error), again).opened());
    EXPECT_EQ(WriteLabelBytes(again, &error), original);
}

TEST(LabelFile, VersionsAndTheirDocumentBlocks)
{
    struct Case {
        int version;
        bool headerText;
        int expectFitMode;
    };
    const Case cases[] = {{300, true, 0}, {300, false, 0}, {310, true, 0}, {320, true, 1},
                          {3202, true, 1}, {3221, true, 1}, {3330, true, 1}};
    for (const Case& c : cases) {
        LabelFileBuilder b;
        b.version = c.version;
        b.headerText = c.headerText;
        b.page.LabelWidth = 555;
        b.zoom = 400;
        if (c.version == 300 || c.version == 310 || c.version == 320)
            b.variableSection = variableSection({{344, {}}, {152, {}}, {c.version == 300 ? 144 : 152, {}}, {204, {}}, {329, {}}});
        LabelDocument doc;
        const LabelFileResult r = ReadLabelBytes(b.build(), doc);
        EXPECT_EQ(r.status, LabelFileResult::Status::Ok) << c.version << " " << r.message.toStdString();
        EXPECT_EQ(doc.page().LabelWidth, 555) << c.version;
        EXPECT_EQ(doc.zoom(), 400) << c.version;
        EXPECT_EQ(doc.FitMode, c.expectFitMode) << c.version;
        EXPECT_EQ(doc.sourceVersion, c.version);
        // Saving any of them writes version 100.
        QString error;
        EXPECT_EQ(FixedRecord(WriteLabelBytes(doc, &error)).i32(36), 100);
    }
}

TEST(LabelFile, OlderVariableEntriesAreConverted)
{
    FixedRecord db344(344);
    db344.setStr(0, 30, "Price");
    db344.setStr(31, 200, "select");
    db344.setU8(232, 9);
    db344.setU8(233, 0xAB);
    db344.setU8(343, 0xCD);
    FixedRecord formula(329);
    formula.setStr(0, 16, "Formula1");
    formula.setU8(328, 0x5A);
    LabelFileBuilder b;
    b.version = 310;
    b.variableSection = variableSection({{344, {db344.bytes()}}, {152, {}}, {152, {}}, {204, {}}, {329, {formula.bytes()}}});
    LabelDocument doc;
    ASSERT_EQ(ReadLabelBytes(b.build(), doc).status, LabelFileResult::Status::Ok);
    ASSERT_EQ(doc.variables.database.size(), 1u);
    const FixedRecord d(doc.variables.database[0]);
    EXPECT_EQ(d.size(), 352);
    EXPECT_EQ(d.str(0, 30), QByteArray("Price"));
    EXPECT_EQ(d.str(31, 200), QByteArray("select"));
    EXPECT_EQ(d.u8(232), 9);
    EXPECT_EQ(d.i32(236), 1);
    EXPECT_EQ(d.u8(240), 0xAB);
    EXPECT_EQ(d.u8(350), 0xCD);
    const FixedRecord f(doc.variables.formulas[0]);
    EXPECT_EQ(f.size(), 344);
    EXPECT_EQ(f.u8(328), 0x5A);
    EXPECT_EQ(f.i32(332), 1);
    EXPECT_EQ(f.i32(336), 200);
    EXPECT_EQ(f.i32(340), 0);
}

TEST(LabelFile, VersionThreeHundredTimesArePadded)
{
    FixedRecord time(144);
    time.setStr(0, 16, "Time1");
    time.setI32(128, 30);
    LabelFileBuilder b;
    b.version = 300;
    b.variableSection = variableSection({{344, {}}, {152, {}}, {144, {time.bytes()}}, {204, {}}, {329, {}}});
    LabelDocument doc;
    ASSERT_EQ(ReadLabelBytes(b.build(), doc).status, LabelFileResult::Status::Ok);
    ASSERT_EQ(doc.variables.times.size(), 1u);
    EXPECT_EQ(FixedRecord(doc.variables.times[0]).i32(128), 30);
}

namespace {
QByteArray legacyFile(const QByteArray& variables)
{
    ByteWriter w;
    w.zeros(52);
    w.u16(0x2A02);
    w.i32(0); // pool size, patched
    w.i32(0); // pool offset, patched
    w.f64(60.0);  // LabelWidth
    w.f64(40.25); // LabelHeight
    w.i32(2);     // rows
    w.i32(3);     // columns
    w.f64(190.0);
    w.f64(85.0);
    w.f64(1.0);
    w.f64(2.0);
    w.f64(3.0);
    w.f64(4.0);
    w.zeros(4);
    w.i32(0); // no objects
    w.bytes(variables);
    w.u8(0);
    const auto off = static_cast<std::int32_t>(w.size());
    w.patchI32(58, off);
    return w.take();
}
} // namespace

TEST(LabelFile, LegacyLayout)
{
    FixedRecord date(120);
    date.setStr(0, 16, "Date1");
    date.setStr(11, 100, "yy");
    date.setI32(112, 5);
    date.setU8(116, 1);
    FixedRecord counter(200);
    counter.setStr(0, 16, "Counter1");
    counter.setU8(11, 3);
    counter.setStr(12, 20, "0001");
    counter.setU8(198, 7);
    QByteArray vars;
    vars.append('\0').append('\x01').append('\0').append('\x01').append('\x01');
    vars.append(date.bytes());
    vars.append(QByteArray(174, '\x11'));
    vars.append(counter.bytes());
    TPrinterSetting current;
    current.ComPort = 7;
    LabelReadOptions options{3, current};
    LabelDocument doc;
    const LabelFileResult r = ReadLabelBytes(legacyFile(vars), doc, options);
    ASSERT_EQ(r.status, LabelFileResult::Status::Ok) << r.message.toStdString();
    EXPECT_EQ(doc.sourceVersion, 0);
    EXPECT_EQ(doc.page().LabelWidth, 600);
    EXPECT_EQ(doc.page().LabelHeight, 402); // 402.5 rounds half to even
    EXPECT_EQ(doc.page().LabelRow, 2);
    EXPECT_EQ(doc.page().LabelColumn, 3);
    EXPECT_EQ(doc.page().LabelInterval, 40);
    EXPECT_EQ(doc.printerModel, 3);
    EXPECT_EQ(doc.printer.ComPort, 7);
    EXPECT_EQ(doc.zoom(), 200);
    ASSERT_EQ(doc.variables.dates.size(), 1u);
    const FixedRecord d(doc.variables.dates[0]);
    EXPECT_EQ(d.str(0, 16), QByteArray("Date1"));
    EXPECT_EQ(d.i32(20), 1);
    EXPECT_EQ(d.str(24, 100), QByteArray("yy"));
    EXPECT_EQ(d.i32(128), 5);
    EXPECT_EQ(d.u8(140), 1);
    ASSERT_EQ(doc.variables.counters.size(), 1u);
    const FixedRecord c(doc.variables.counters[0]);
    EXPECT_EQ(c.u8(17), 3);
    EXPECT_EQ(c.str(18, 20), QByteArray("0001"));
    EXPECT_EQ(c.u8(202), 7);
    EXPECT_TRUE(doc.variables.times.empty());
}

TEST(LabelFile, LegacyPageLengthsBeyondAnyIntegerAreClamped)
{
    // Found by fuzzing: a length far beyond 6553.5 mm was rounded to an integer it cannot fit.
    FixedRecord file(legacyFile(QByteArray(5, '\0')));
    file.setF64(62, 1e300);                                   // LabelWidth
    file.setF64(70, std::numeric_limits<double>::quiet_NaN()); // LabelHeight
    file.setF64(86, -1e300);                                  // PaperWidth
    file.setF64(94, std::numeric_limits<double>::infinity());  // PaperHeight
    file.setF64(102, 6553.5);                                 // PaperLeftMargin
    LabelDocument doc;
    ASSERT_TRUE(ReadLabelBytes(file.bytes(), doc).opened());
    EXPECT_EQ(doc.page().LabelWidth, 65535);
    EXPECT_EQ(doc.page().LabelHeight, 0);
    EXPECT_EQ(doc.page().PaperWidth, 0);
    EXPECT_EQ(doc.page().PaperHeight, 65535);
    EXPECT_EQ(doc.page().PaperLeftMargin, 65535);
}

TEST(LabelFile, PartlyOpenedObjectsTakeTheDocumentZoom)
{
    // Found by fuzzing: objects read before the damage kept their record's zoom, so they were
    // drawn at another size than the rest and the next save wrote that zoom.
    LabelDocument written;
    auto text = std::make_unique<TOAText>(QStringLiteral("Text1"));
    text->SetText("ABC");
    written.appendObject(std::move(text));
    written.setZoom(225);
    QString error;
    QByteArray bytes = WriteLabelBytes(written, &error);
    ASSERT_FALSE(bytes.isEmpty());
    FixedRecord head(bytes.left(165));
    ASSERT_EQ(head.i32(157), 225);
    head.setI32(157, 200); // the document's zoom
    head.setI32(161, 2);   // two objects, the second of an unknown kind
    head.setI32(52, head.i32(52) + 1); // the pool moves by the inserted kind byte
    bytes.replace(0, 165, head.bytes());
    bytes.insert(165 + 1 + RecordSize(RecordLayout::V100, 1), '\xFC');

    LabelDocument doc;
    ASSERT_EQ(ReadLabelBytes(bytes, doc).status, LabelFileResult::Status::Damaged);
    ASSERT_EQ(doc.objectCount(), 1);
    EXPECT_EQ(doc.zoom(), 200);
    EXPECT_EQ(doc.object(0)->Zoom(), 2.0);
}

TEST(LabelFile, NotALabelFile)
{
    LabelDocument doc;
    EXPECT_EQ(ReadLabelBytes(QByteArray(200, 'x'), doc).status, LabelFileResult::Status::NotLabelFile);
    EXPECT_EQ(ReadLabelBytes(QByteArray(), doc).status, LabelFileResult::Status::NotLabelFile);
    LabelFileBuilder b;
    b.version = 4000;
    EXPECT_EQ(ReadLabelBytes(b.build(), doc).status, LabelFileResult::Status::UnsupportedVersion);
}

TEST(LabelFile, DamagedFilesOpenPartlyAndSaySo)
{
    LabelFileBuilder b;
    b.variableSection = variableSection({{352, {}}, {152, {entry(152, "Date1")}}, {152, {}}, {204, {}}, {344, {}}});
    const QByteArray whole = b.build();
    // Every truncation either opens (partly) or is refused; none crashes.
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        LabelDocument doc;
        const LabelFileResult r = ReadLabelBytes(whole.left(cut), doc);
        if (r.status == LabelFileResult::Status::Damaged) {
            EXPECT_FALSE(doc.damage.isEmpty());
        }
    }
    // A pool reference outside the pool.
    LabelFileBuilder withText;
    FixedRecord text(224);
    text.setI32(76, 10);
    text.setI32(80, 1000);
    withText.objects.push_back({1, text.bytes()});
    LabelDocument doc;
    const LabelFileResult r = ReadLabelBytes(withText.build(), doc);
    EXPECT_EQ(r.status, LabelFileResult::Status::Damaged);
    EXPECT_EQ(doc.objectCount(), 0);

    // Counts larger than the tables: the extra entries are not kept.
    LabelFileBuilder many;
    std::vector<QByteArray> dates(120, entry(152, "D"));
    many.variableSection = variableSection({{352, {}}, {152, dates}, {152, {}}, {204, {}}, {344, {}}});
    LabelDocument big;
    EXPECT_EQ(ReadLabelBytes(many.build(), big).status, LabelFileResult::Status::Damaged);
    EXPECT_EQ(big.variables.dates.size(), 99u);

    // A query text longer than its 2047-byte buffer is refused, not cut.
    LabelFileBuilder longSql;
    ByteWriter dbw;
    dbw.u8(1);
    dbw.i32(0);
    dbw.i32(3000);
    dbw.i32(0);
    dbw.i32(0);
    dbw.bytes(QByteArray(3000, 's'));
    longSql.databaseSection = dbw.take();
    LabelDocument sql;
    EXPECT_EQ(ReadLabelBytes(longSql.build(), sql).status, LabelFileResult::Status::Damaged);
    EXPECT_FALSE(sql.database.active);
}

TEST(LabelFile, TextItemsUpTo2048BytesCarryThrough)
{
    for (int length : {2048, 2049}) {
        LabelFileBuilder b;
        b.pool = QByteArray(length, 'a');
        FixedRecord text(224);
        text.setI32(76, length);
        text.setI32(80, 0);
        b.objects.push_back({1, text.bytes()});
        LabelDocument doc;
        const LabelFileResult r = ReadLabelBytes(b.build(), doc);
        EXPECT_EQ(r.status, length == 2048 ? LabelFileResult::Status::Ok : LabelFileResult::Status::Damaged);
    }
}

TEST(LabelFile, SafeWriteKeepsTheOldFileOnFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.kvl");
    LabelDocument doc;
    ASSERT_EQ(WriteLabelFile(path, doc).status, LabelFileResult::Status::Ok);
    const QByteArray before = test::readFile(path);
    // A folder that cannot be written: the write fails and says so, the old file stays.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    TPageRecord p = doc.page();
    p.LabelWidth = 123;
    doc.setPage(p);
    const LabelFileResult r = WriteLabelFile(path, doc);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (getuid() != 0) { // root writes anyway
        EXPECT_EQ(r.status, LabelFileResult::Status::CannotWrite);
    }
    if (r.status == LabelFileResult::Status::CannotWrite) {
        EXPECT_EQ(test::readFile(path), before);
    }
    // A target that is a directory cannot be written either, even as root.
    EXPECT_EQ(WriteLabelFile(dir.path(), doc).status, LabelFileResult::Status::CannotWrite);
}

TEST(LabelFile, Probes)
{
    QTemporaryDir dir;
    LabelFileBuilder b;
    b.page.LabelWidth = 321;
    const QString v100 = dir.filePath("a.kvl");
    test::writeFile(v100, b.build());
    EXPECT_TRUE(IsLabelFile(v100));
    ASSERT_TRUE(ReadSamplePageRecord(v100).has_value());
    EXPECT_EQ(ReadSamplePageRecord(v100)->LabelWidth, 321);

    b.version = 310;
    const QString v310 = dir.filePath("b.kvl");
    test::writeFile(v310, b.build());
    EXPECT_EQ(ReadSamplePageRecord(v310)->LabelWidth, 321);

    b.version = 3330; // the probe reads nothing for this version
    const QString v3330 = dir.filePath("c.kvl");
    test::writeFile(v3330, b.build());
    EXPECT_TRUE(IsLabelFile(v3330));
    EXPECT_FALSE(ReadSamplePageRecord(v3330).has_value());

    const QString junk = dir.filePath("d.kvl");
    test::writeFile(junk, "nothing");
    EXPECT_FALSE(IsLabelFile(junk));
    EXPECT_FALSE(IsLabelFile(dir.filePath("missing.kvl")));
}

TEST(VariableSection, LegacyFormulaAndDatabaseConversions)
{
    FixedRecord f(323);
    f.setStr(0, 16, "Formula1");
    f.setStr(11, 200, "Date1+Counter1");
    f.setU8(212, 1);
    f.setU8(319, 2);
    f.setU8(322, 3);
    const FixedRecord out(ConvertLegacyFormulaEntry(f.bytes()));
    EXPECT_EQ(out.str(17, 200), QByteArray("Date1+Counter1"));
    EXPECT_EQ(out.u8(218), 1);
    EXPECT_EQ(out.u8(325), 2);
    EXPECT_EQ(out.u8(328), 3);

    FixedRecord d(324);
    d.setStr(0, 30, "Col");
    d.setStr(11, 200, "q");
    d.setU8(212, 4);
    d.setU8(323, 6);
    const FixedRecord db(ConvertLegacyDatabaseEntry(d.bytes()));
    EXPECT_EQ(db.str(31, 200), QByteArray("q"));
    EXPECT_EQ(db.u8(232), 4);
    EXPECT_EQ(db.i32(236), 0);
    EXPECT_EQ(db.u8(350), 6);
}
