#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"
#include "support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {
QString samplePath(const char* name)
{
    return QDir(test::dataDir()).filePath(QStringLiteral("Samples/") + QString::fromLatin1(name));
}
} // namespace

TEST(Samples, EveryShippedSampleOpensWholeAndSavesUnchanged)
{
    struct Expect {
        const char* file;
        int objects;
        int labelWidth;
        int columns;
    };
    const Expect samples[] = {
        {"Starter.kvl", 3, 600, 1},          {"Shipping-100x150.kvl", 15, 1000, 1}, {"Shelf-EAN13.kvl", 5, 600, 1},
        {"Asset-Tag.kvl", 5, 500, 1},        {"Address-3-across.kvl", 4, 635, 3},  {"Jewellery-Tag.kvl", 3, 300, 1},
        {"Every-Barcode.kvl", 23, 1040, 1},  {"Every-Kind.kvl", 10, 800, 1},
    };
    for (const Expect& e : samples) {
        const QString path = samplePath(e.file);
        ASSERT_TRUE(IsLabelFile(path)) << e.file;
        ASSERT_TRUE(ReadSamplePageRecord(path).has_value()) << e.file;
        EXPECT_EQ(ReadSamplePageRecord(path)->LabelWidth, e.labelWidth) << e.file;
        LabelDocument doc;
        const LabelFileResult r = ReadLabelFile(path, doc);
        ASSERT_EQ(r.status, LabelFileResult::Status::Ok) << e.file << ": " << r.message.toStdString();
        EXPECT_EQ(doc.objectCount(), e.objects) << e.file;
        EXPECT_EQ(doc.page().LabelColumn, e.columns) << e.file;
        QString error;
        EXPECT_EQ(WriteLabelBytes(doc, &error), test::readFile(path)) << e.file;
    }
}
