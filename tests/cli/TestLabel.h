#pragma once

#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "document/OARectangle.h"
#include "persistence/LabelFile.h"
#include "variables/VariableModel.h"

#include <gtest/gtest.h>

namespace korvel::test {

/// A label with a printer-font text (bound to the column NAME when `bound`) and a box.
inline void WriteTestLabel(const QString& path, bool bound)
{
    LabelDocument doc;
    doc.printerModel = 1;
    doc.printer.FeedType = 2; // no feed-mode commands around pages
    TPageRecord page;
    page.LabelWidth = 400;
    page.LabelHeight = 300;
    page.LabelColumn = 1;
    page.LabelRow = 1;
    page.PaperWidth = 400;
    page.PaperHeight = 300;
    doc.setPage(page);
    doc.setZoom(100);
    auto text = std::make_unique<TOAText>(QStringLiteral("Text1"));
    text->SetUsePrnFont(1);
    text->SetText("HELLO");
    if (bound) {
        text->VarName = "NAME";
        text->VarType = int(VariableKind::Database);
        doc.variables.database.push_back(NewEntry(VariableKind::Database, "NAME"));
    }
    text->setZoom(1.0);
    text->SetAbsLeft(2);
    text->SetAbsTop(2);
    doc.appendObject(std::move(text));
    auto rect = std::make_unique<TOARectangle>();
    rect->setZoom(1.0);
    rect->setAbsLeft(5);
    rect->setAbsTop(10);
    rect->setAbsWidth(20);
    rect->setAbsHeight(10);
    doc.appendObject(std::move(rect));
    ASSERT_EQ(WriteLabelFile(path, doc).status, LabelFileResult::Status::Ok);
}

} // namespace korvel::test
