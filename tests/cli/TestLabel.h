#pragma once

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "document/OARectangle.h"
#include "persistence/LabelFile.h"
#include "printing/JobTestSupport.h"
#include "variables/VariableModel.h"

#include <gtest/gtest.h>

namespace korvel::test {

/// A printer-font text "HELLO" at (2, 2), bound to the database field `field` when given (the
/// caller declares the field).
inline void AppendHelloText(LabelDocument& doc, const QByteArray& field = {})
{
    auto text = std::make_unique<TOAText>(QStringLiteral("Text1"));
    text->SetUsePrnFont(1);
    text->SetText("HELLO");
    if (!field.isEmpty()) {
        text->VarName = field;
        text->VarType = int(VariableKind::Database);
    }
    text->setZoom(1.0);
    text->SetAbsLeft(2);
    text->SetAbsTop(2);
    doc.appendObject(std::move(text));
}

/// A box at (5, 10) of the given size, at 100 % zoom.
inline void AppendBox(LabelDocument& doc, int width, int height)
{
    auto rect = std::make_unique<TOARectangle>();
    rect->setZoom(1.0);
    rect->setAbsLeft(5);
    rect->setAbsTop(10);
    rect->setAbsWidth(width);
    rect->setAbsHeight(height);
    doc.appendObject(std::move(rect));
}

/// A label with a printer-font text (bound to the column NAME when `bound`) and a box.
inline void WriteTestLabel(const QString& path, bool bound)
{
    LabelDocument doc;
    doc.printerModel = 1;
    doc.printer.FeedType = 2; // no feed-mode commands around pages
    doc.setPage(GridPage(400, 300, 1, 1));
    doc.setZoom(100);
    if (bound)
        doc.variables.database.push_back(NewEntry(VariableKind::Database, "NAME"));
    AppendHelloText(doc, bound ? QByteArray("NAME") : QByteArray());
    AppendBox(doc, 20, 10);
    ASSERT_EQ(WriteLabelFile(path, doc).status, LabelFileResult::Status::Ok);
}

/// A 60 × 40 mm label with one Code 128 ("Parcel", "KV-0001") at the given pixel position
/// (100 % zoom), bound to the database field `variable` when given.
inline QString WriteBarcodeLabel(const QString& path, int left, const QByteArray& variable = {})
{
    LabelDocument doc;
    doc.printer.FeedType = 2;
    doc.setPage(GridPage(600, 400, 1, 1));
    doc.setZoom(100);
    auto bar = std::make_unique<TOABarCode>();
    bar->Name = QStringLiteral("Parcel");
    bar->SetBarCodeType(TBarCodeType::bcCode128);
    bar->SetBarNarrow(2);
    bar->SetBarWide(5);
    bar->SetBarHeight(60);
    bar->SetText("KV-0001");
    if (!variable.isEmpty()) {
        bar->VarName = variable;
        bar->VarType = int(VariableKind::Database);
        doc.variables.database.push_back(NewEntry(VariableKind::Database, variable));
    }
    bar->setZoom(1.0);
    TOABarCode* b = bar.get();
    doc.appendObject(std::move(bar));
    b->SetVirLeft(left);
    b->SetVirTop(20);
    EXPECT_EQ(WriteLabelFile(path, doc).status, LabelFileResult::Status::Ok);
    return path;
}

} // namespace korvel::test
