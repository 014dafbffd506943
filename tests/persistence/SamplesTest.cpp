#include "document/LabelDocument.h"
#include "document/OAControl.h"
#include "document/OALine.h"
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

// Reading lays objects out without drawing them; the picture drawn later on demand is the one
// an eager layout draws, and drawing it moves and resizes nothing.
TEST(Samples, PicturesAreDrawnWhenFirstAskedFor)
{
    int deferred = 0;
    for (const char* file : {"Shipping-100x150.kvl", "Every-Kind.kvl", "Jewellery-Tag.kvl", "Address-3-across.kvl"}) {
        LabelDocument doc;
        ASSERT_EQ(ReadLabelFile(samplePath(file), doc).status, LabelFileResult::Status::Ok) << file;
        for (int i = 0; i < doc.objectCount(); ++i) {
            const TOAControl& o = *doc.object(i);
            const QRect laidOut = o.geometry();
            deferred += o.pictureDue() ? 1 : 0;
            auto eager = o.clone();
            eager->RebuildImage();
            // A line's hit spans are traced when first asked for, like its picture.
            if (const auto* line = dynamic_cast<const TOALineShape*>(&o))
                EXPECT_EQ(line->Area(), static_cast<const TOALineShape&>(*eager).Area()) << file << " object " << i;
            EXPECT_EQ(o.DstBitmap(), eager->DstBitmap()) << file << " object " << i;
            EXPECT_FALSE(o.pictureDue());
            EXPECT_EQ(o.geometry(), laidOut) << file << " object " << i;
            EXPECT_EQ(eager->geometry(), laidOut) << file << " object " << i;
        }
        QString error;
        EXPECT_EQ(WriteLabelBytes(doc, &error), test::readFile(samplePath(file))) << file;
    }
    EXPECT_GE(deferred, 10);
}
