#pragma once

// The label the file and design-view benchmarks share: 200 objects (the document's limit) in a
// realistic mix on a 100 x 150 mm label, one of them a picture stored as a 1 MB bitmap.

#include "barcode/OABarCode.h"
#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "document/OAEllipse.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OAInvertArea.h"
#include "document/OALabel.h"
#include "document/OALine.h"
#include "document/OARectangle.h"

#include <QImage>

#include <memory>

namespace korvel::bench {

/// A 592 x 592 photograph-like picture: as a 24-bit bitmap file it is 1,051,446 bytes.
inline QImage MegabytePicture()
{
    QImage picture(592, 592, QImage::Format_RGB888);
    std::uint32_t noise = 12345;
    for (int y = 0; y < picture.height(); ++y) {
        uchar* line = picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int n = static_cast<int>(noise >> 28);
            line[3 * x] = static_cast<uchar>((x * 255 / 591 + n) & 0xFF);
            line[3 * x + 1] = static_cast<uchar>((y * 255 / 591 + n) & 0xFF);
            line[3 * x + 2] = static_cast<uchar>(((x + y) * 127 / 591 + n) & 0xFF);
        }
    }
    return picture;
}

template <class T>
T* AppendObject(LabelDocument& doc, std::unique_ptr<T> object)
{
    T* raw = object.get();
    object->setZoom(doc.zoom() / 100.0);
    doc.appendObject(std::move(object));
    return raw;
}

/// 100 texts, 40 barcodes, 30 lines, 15 rectangles, 10 ellipses, 4 inverse areas and the picture.
inline void BuildBenchLabel(LabelDocument& doc)
{
    TPageRecord page = doc.page();
    page.LabelWidth = 1000;
    page.LabelHeight = 1500;
    page.PaperWidth = 1040;
    page.PaperHeight = 1500;
    doc.setPage(page);

    const QByteArray chinese = CodePage::document().fromUnicode(QStringLiteral("产品名称 标签"));
    for (int i = 0; i < 100; ++i) {
        auto t = std::make_unique<TOAText>(QStringLiteral("Text%1").arg(i + 1));
        t->setUpdatesBlocked(true);
        TTextFont font;
        font.Name = i % 3 == 0 ? QStringLiteral("Liberation Serif") : QStringLiteral("Liberation Sans");
        font.set(TextFontStyle::Bold, i % 4 == 0);
        t->SetTextFont(font);
        t->SetFontSizePt(8 + i % 7);
        t->SetText(i % 5 == 0 ? chinese : "Item " + QByteArray::number(1000 + i) + " - batch A" + QByteArray::number(i % 9));
        TOAText* raw = AppendObject(doc, std::move(t));
        raw->SetAbsLeft(2 + (i % 4) * 24);
        raw->SetAbsTop(2 + (i / 4) * 5.5);
        raw->setUpdatesBlocked(false);
    }

    const TBarCodeType kinds[] = {TBarCodeType::bcCode128, TBarCodeType::bcCodeEAN13, TBarCodeType::bcCode39,
                                  TBarCodeType::bcCodeQR, TBarCodeType::bcCodePDF417};
    const QByteArray data[] = {"KORVEL-000123", "590123412345", "LABEL 42", "https://example.com/item/123456", "LOT 2024-06 / 000123"};
    for (int i = 0; i < 40; ++i) {
        auto b = std::make_unique<TOABarCode>();
        b->Name = QStringLiteral("BarCode%1").arg(i + 1);
        b->SetIsRefresh(0);
        b->SetBarCodeType(kinds[i % 5]);
        b->SetBarNarrow(2);
        b->SetBarWide(5);
        b->SetBarHeight(60);
        b->SetText(data[i % 5]);
        b->SetIsRefresh(1);
        b->RebuildImage();
        TOABarCode* raw = AppendObject(doc, std::move(b));
        raw->SetAbsLeft(2 + (i % 4) * 24);
        raw->SetAbsTop(2 + (i / 4) * 14.5);
    }

    for (int i = 0; i < 20; ++i) {
        auto l = std::make_unique<TOAHVLine>();
        l->setMMLineWidth(0.25 * (1 + i % 3));
        TOAHVLine* raw = AppendObject(doc, std::move(l));
        raw->setAbsStartX(1);
        raw->setAbsStartY(3 + i * 7.0);
        raw->setAbsEndX(99);
        raw->setAbsEndY(3 + i * 7.0);
    }
    for (int i = 0; i < 10; ++i) {
        auto l = std::make_unique<TOALine>();
        TOALine* raw = AppendObject(doc, std::move(l));
        raw->setAbsStartX(5 + i * 9.0);
        raw->setAbsStartY(120);
        raw->setAbsEndX(12 + i * 9.0);
        raw->setAbsEndY(140);
    }
    for (int i = 0; i < 15; ++i) {
        auto r = std::make_unique<TOARectangle>();
        r->setFill(i % 4 == 0 ? 1 : 0);
        r->setMMLineWidth(0.3);
        TOARectangle* raw = AppendObject(doc, std::move(r));
        raw->setAbsLeft(1 + (i % 5) * 19.5);
        raw->setAbsTop(1 + (i / 5) * 45.0);
        raw->setAbsWidth(18);
        raw->setAbsHeight(40);
    }
    for (int i = 0; i < 10; ++i) {
        auto e = std::make_unique<TOAEllipse>();
        TOAEllipse* raw = AppendObject(doc, std::move(e));
        raw->setAbsLeft(3 + (i % 5) * 19.0);
        raw->setAbsTop(100 + (i / 5) * 12.0);
        raw->setAbsWidth(15);
        raw->setAbsHeight(10);
    }
    for (int i = 0; i < 4; ++i) {
        auto v = std::make_unique<TOAInvertArea>();
        TOAInvertArea* raw = AppendObject(doc, std::move(v));
        raw->setAbsLeft(2 + i * 24.0);
        raw->setAbsTop(144);
        raw->setAbsWidth(20);
        raw->setAbsHeight(5);
    }

    auto image = std::make_unique<TOAImage>();
    image->SetOrgPicture(MegabytePicture());
    TOAImage* raw = AppendObject(doc, std::move(image));
    raw->setAbsLeft(55);
    raw->setAbsTop(95);
    raw->setAbsWidth(40);
    raw->setAbsHeight(40);
}

} // namespace korvel::bench
