#include "persistence/LabelFileBuilder.h"

#include "document/LabelDocument.h"
#include "document/OAEllipse.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OAInvertArea.h"
#include "document/OALabel.h"
#include "document/OALine.h"
#include "document/OARectangle.h"
#include "persistence/LabelFile.h"
#include "persistence/ObjectProperties.h"
#include "document/Units.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

using namespace korvel;
using korvel::test::LabelFileBuilder;

namespace {

std::unique_ptr<TOAText> makeText()
{
    auto t = std::make_unique<TOAText>(QStringLiteral("Text1"));
    t->SetText("Hello");
    t->SetAbsLeft(3.5);
    t->SetAbsTop(4.25);
    t->SetFontSizePt(12);
    t->VarName = "Date1";
    t->VarType = 2;
    return t;
}

QByteArray smallBitmap()
{
    QImage img(8, 4, QImage::Format_RGB888);
    img.fill(Qt::white);
    img.setPixel(1, 1, qRgb(0, 0, 0));
    return EncodeBitmapFile(img);
}

/// Saves a document and reads it back; returns the properties of every object.
std::vector<PropertyMap> roundTrip(LabelDocument& doc, QByteArray* bytesOut = nullptr)
{
    QString error;
    const QByteArray bytes = WriteLabelBytes(doc, &error);
    EXPECT_FALSE(bytes.isEmpty()) << error.toStdString();
    if (bytesOut)
        *bytesOut = bytes;
    LabelDocument again;
    const LabelFileResult r = ReadLabelBytes(bytes, again);
    EXPECT_EQ(r.status, LabelFileResult::Status::Ok) << r.message.toStdString();
    std::vector<PropertyMap> out;
    for (const auto& o : again.objects())
        out.push_back(PropertiesOf(*o));
    return out;
}

} // namespace

TEST(ObjectRecords, EveryKindRoundTripsThroughVersion100)
{
    LabelDocument doc;
    doc.addObject(makeText());
    auto image = std::make_unique<TOAImage>();
    ASSERT_EQ(image->SetOrgPicture(smallBitmap()), PictureError::None);
    image->setAbsLeft(10);
    image->setAbsTop(11);
    image->setBW(1);
    doc.addObject(std::move(image));
    auto line = std::make_unique<TOALine>();
    line->setAbsStartX(1);
    line->setAbsStartY(2);
    line->setAbsEndX(20);
    line->setAbsEndY(12);
    doc.addObject(std::move(line));
    auto hv = std::make_unique<TOAHVLine>();
    hv->setStyle(2);
    hv->setAbsStartX(1);
    hv->setAbsStartY(5);
    hv->setAbsEndX(30);
    hv->setAbsEndY(5);
    hv->setMMLineWidth(0.5);
    doc.addObject(std::move(hv));
    auto rect = std::make_unique<TOARectangle>();
    rect->setAbsLeft(2);
    rect->setAbsTop(3);
    rect->setAbsWidth(20);
    rect->setAbsHeight(10);
    rect->setFill(1);
    doc.addObject(std::move(rect));
    auto ellipse = std::make_unique<TOAEllipse>();
    ellipse->setAbsLeft(5);
    ellipse->setAbsTop(6);
    ellipse->setAbsWidth(7);
    ellipse->setAbsHeight(8);
    ellipse->setColor(QColor(255, 0, 0));
    doc.addObject(std::move(ellipse));
    auto inv = std::make_unique<TOAInvertArea>();
    inv->setAbsLeft(1);
    inv->setAbsTop(1);
    inv->setAbsWidth(9);
    inv->setAbsHeight(4);
    doc.addObject(std::move(inv));
    doc.object(0)->setVirReadPr(1);

    std::vector<PropertyMap> before;
    for (const auto& o : doc.objects())
        before.push_back(PropertiesOf(*o));
    QByteArray first;
    const std::vector<PropertyMap> after = roundTrip(doc, &first);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        for (auto it = before[i].constBegin(); it != before[i].constEnd(); ++it)
            EXPECT_EQ(after[i].value(it.key()), it.value()) << i << " " << it.key().toStdString();

    // A version-100 file written twice is byte-identical.
    LabelDocument again;
    ASSERT_TRUE(ReadLabelBytes(first, again).opened());
    QString error;
    EXPECT_EQ(WriteLabelBytes(again, &error), first);
}

TEST(ObjectRecords, NamesAndVariableNamesAreCut)
{
    LabelDocument doc;
    auto t = makeText();
    t->Name = QStringLiteral("AVeryLongObjectName");
    t->VarName = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    doc.addObject(std::move(t));
    const auto after = roundTrip(doc);
    EXPECT_EQ(after[0].value("Name").toByteArray(), QByteArray("AVeryLongObject"));
    EXPECT_EQ(after[0].value("VarName").toByteArray(), QByteArray("ABCDEFGHIJKLMNOPQRST"));
}

TEST(ObjectRecords, TextOf2048BytesRoundTrips)
{
    LabelDocument doc;
    auto t = makeText();
    t->SetText(QByteArray(2048, 'x'));
    doc.addObject(std::move(t));
    EXPECT_EQ(roundTrip(doc)[0].value("Text").toByteArray().size(), 2048);
}

TEST(ObjectRecords, OlderVersionsReadToTheSameProperties)
{
    // A rectangle in version 310 (80 bytes): pen colour at 8, millimetres, no fill, no not-print.
    FixedRecord rect310(80);
    rect310.setI32(8, 0x0000FF);
    rect310.setStr(12, 15, "Rectangle1");
    rect310.setI32(28, 2);
    rect310.setF64(32, 0.3);
    rect310.setF64(40, 5);
    rect310.setF64(48, 6);
    rect310.setF64(56, 20);
    rect310.setF64(64, 10);
    rect310.setF64(72, 2.0);
    // A version-300 text (200 bytes) at pixel position (38, 19) at 100 %.
    FixedRecord text300(200);
    text300.setStr(9, 15, "Text1");
    text300.setI32(28, 38);
    text300.setI32(32, 19);
    text300.setI32(44, 203);
    text300.setI32(48, 1);
    text300.setI32(56, 3);
    text300.setI32(60, 0);
    text300.setI32(136, 100);
    text300.setI32(164, 24);
    text300.setF64(192, 2.0);
    LabelFileBuilder b;
    b.version = 300;
    b.pool = "ABC";
    b.objects = {{5, QByteArray(64, '\0')}, {1, text300.bytes()}};
    b.variableSection = QByteArray(5, '\0');
    LabelDocument doc;
    const LabelFileResult r = ReadLabelBytes(b.build(), doc);
    ASSERT_EQ(r.status, LabelFileResult::Status::Ok) << r.message.toStdString();
    ASSERT_EQ(doc.objectCount(), 2);
    const auto* text = static_cast<const TOAText*>(doc.object(1));
    EXPECT_EQ(text->Text(), QByteArray("ABC"));
    EXPECT_DOUBLE_EQ(text->AbsLeft(), PixelsToMM(76, 2.0)); // 38 px at 100 % read at zoom 200 %
    for (const auto& o : doc.objects())
        EXPECT_FALSE(o->notPrint()); // version-300 objects are all printable

    LabelFileBuilder b310;
    b310.version = 310;
    b310.objects = {{5, rect310.bytes()}};
    LabelDocument doc310;
    ASSERT_EQ(ReadLabelBytes(b310.build(), doc310).status, LabelFileResult::Status::Ok);
    const auto* rect = static_cast<const TOARectangle*>(doc310.object(0));
    EXPECT_EQ(rect->Pen.color(), QColor(255, 0, 0));
    EXPECT_EQ(rect->Fill(), 0);
    EXPECT_DOUBLE_EQ(rect->AbsWidth(), 20.0);
    EXPECT_EQ(rect->Name, "Rectangle1");
}

TEST(ObjectRecords, BarcodeTypeByteZeroDependsOnTheVersion)
{
    FixedRecord bc320(280);
    bc320.setStr(44, 15, "BarCode1");
    bc320.setF64(272, 2.0);
    FixedRecord bc3202(296);
    bc3202.setStr(48, 15, "BarCode1");
    bc3202.setF64(280, 2.0);
    LabelFileBuilder a;
    a.version = 320;
    a.objects = {{2, bc320.bytes()}};
    a.variableSection = QByteArray(5, '\0');
    LabelFileBuilder b;
    b.version = 3202;
    b.objects = {{2, bc3202.bytes()}};
    LabelDocument da, db;
    ASSERT_TRUE(ReadLabelBytes(a.build(), da).opened());
    ASSERT_TRUE(ReadLabelBytes(b.build(), db).opened());
    EXPECT_EQ(PropertiesOf(*da.object(0)).value("BarCodeType").toInt(), 4); // bcCode39
    EXPECT_EQ(PropertiesOf(*db.object(0)).value("BarCodeType").toInt(), 0); // bcCodeIndustrial25
}

TEST(ObjectRecords, LabelDistanceUnitsOfVersion320And3202)
{
    FixedRecord bc320(280);
    bc320.setI32(32, 16);   // printer dots
    bc320.setI32(128, 203); // PrnDPI
    bc320.setF64(272, 2.0);
    FixedRecord bc3202(296);
    bc3202.setF64(32, 2.5); // millimetres
    bc3202.setF64(280, 2.0);
    LabelFileBuilder a;
    a.version = 320;
    a.zoom = 100;
    a.objects = {{2, bc320.bytes()}};
    LabelFileBuilder b;
    b.version = 3202;
    b.objects = {{2, bc3202.bytes()}};
    LabelDocument da, db;
    ASSERT_TRUE(ReadLabelBytes(a.build(), da).opened());
    ASSERT_TRUE(ReadLabelBytes(b.build(), db).opened());
    EXPECT_NEAR(PropertiesOf(*da.object(0)).value("LabelDistance").toDouble(), 16 * 25.4 / 203, 1e-9);
    EXPECT_DOUBLE_EQ(PropertiesOf(*db.object(0)).value("LabelDistance").toDouble(), 2.5);
}

#include "barcode/OABarCode.h"

TEST(ObjectRecords, BarcodesRoundTripWithEveryStoredProperty)
{
    LabelDocument doc;
    auto b = std::make_unique<TOABarCode>();
    b->SetBarCodeType(TBarCodeType::bcCode128);
    b->SetText("KORVEL-128");
    b->SetData("KORVEL-128");
    b->SetAbsLeft(4.5);
    b->SetAbsTop(7.25);
    b->SetBarNarrow(2);
    b->SetBarWide(4);
    b->SetShowText(true);
    b->SetHowmany(3);
    b->SetFenGeFu(" ");
    b->VarName = "Counter1";
    b->VarType = 4;
    doc.addObject(std::move(b));
    auto qr = std::make_unique<TOABarCode>();
    qr->SetBarCodeType(TBarCodeType::bcCodeQR);
    qr->SetText("https://example.org/asset/42");
    qr->SetData("https://example.org/asset/42");
    qr->SetQRErrLevel("M");
    doc.addObject(std::move(qr));
    std::vector<PropertyMap> before;
    for (const auto& o : doc.objects())
        before.push_back(PropertiesOf(*o));
    const auto after = roundTrip(doc);
    ASSERT_EQ(after.size(), 2u);
    for (size_t i = 0; i < before.size(); ++i)
        for (auto it = before[i].constBegin(); it != before[i].constEnd(); ++it)
            EXPECT_EQ(after[i].value(it.key()), it.value()) << i << " " << it.key().toStdString();
}
