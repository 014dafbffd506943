#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "support/TestSupport.h"
#include "variables/database/DataSourceBinding.h"
#include "variables/database/RecordRefresh.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;
using T = TBarCodeType;

TEST(RecordRefresh, ValueMadeFitForEachSymbology)
{
    struct Case {
        T type;
        QByteArray value;
        const char* expected;
    };
    const Case cases[] = {
        {T::bcCodeQR, "\xD6\xD0 any text", "\xD6\xD0 any text"}, // two-dimensional: unchanged
        {T::bcCodePDF417, "  ", "<NULL>"},
        {T::bcCode128, "", " "},                                  // blank becomes a space
        {T::bcCode128, "ab\xD6\xD0", "ab00"},                      // bytes from 0x80 become "0"
        {T::bcCode39Ex, "a*b", "a*b"},
        {T::bcCodeEAN13, "12345", "123450000000"},                 // padded to 12
        {T::bcCodeEAN13, "12345678901234", "123456789012"},        // cut to 12
        {T::bcCodeEAN13, "12A4", "120400000000"},
        {T::bcCodeEAN8, "1234567890", "1234567"},
        {T::bcCodeUPCA, "1", "10000000000"},
        {T::bcCodeUPCE, "12", "120000"},
        {T::bcCodeUccEan, "1", "1000000000000000000"},
        {T::bcCodeUPC2, "123", "12"},
        {T::bcCodeUPC5, "x", "00000"},
        {T::bcCodePost25, "1", "10000000000"},
        {T::bcCodePostnet, "123", "12300"},                        // shorter than 5: padded
        {T::bcCodePostnet, "12345", "12345"},
        {T::bcCodePostnet, "123456", "12345"},                     // 6: cut to 5
        {T::bcCodePostnet, "123456789", "123456789"},              // 9 and 11 stay
        {T::bcCodePostnet, "12345678901", "12345678901"},
        {T::bcCodePostnet, "1234567890", "12345"},
        {T::bcCodeCYM, "12345678901234567", "1234567890123"},
        {T::bcCodeInter25, "12-34", "12034"},
        {T::bcCode39, "ab-C $%+./*", "00-C $%+./0"},
        {T::bcCodeHBIC, "HB:1", "HB01"},
        {T::bcCodeCodabar, "ABCDE-1", "ABCD0-1"},
        {T::bcCode93, "AZ*az", "AZ*00"},
        {T::bcCodeUCCEAN128DZJG, "12ab", "2112000000000000000000"}, // 20 digits after "21"
    };
    for (const Case& c : cases)
        EXPECT_EQ(DatabaseValueForBarcode(c.value, c.type), QByteArray(c.expected)) << static_cast<int>(c.type) << " " << c.value.constData();
}

TEST(RecordRefresh, BoundObjectsFollowTheRecord)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("codes.csv"));
    ASSERT_TRUE(test::writeFile(path, "Name,Ean\nfirst,590123412345\n,12A\n"));
    LabelDocument doc;
    std::unique_ptr<DatabaseSource> live;
    DataSourceChoice choice;
    choice.sourceSpec = ParseDataArgument(path).sourceSpec.value();
    choice.block.tables = {"CODES#CSV"};
    choice.block.tableIndex = 0;
    ASSERT_TRUE(ApplyDataSource(doc, live, choice).ok);

    auto* text = static_cast<TOAText*>(doc.addObject(std::make_unique<TOAText>()));
    text->VarName = "Name";
    text->VarType = static_cast<std::int32_t>(VariableKind::Database);
    auto* ean = static_cast<TOABarCode*>(doc.addObject(std::make_unique<TOABarCode>()));
    ean->SetBarCodeType(T::bcCodeEAN13);
    ean->VarName = "Ean";
    ean->VarType = static_cast<std::int32_t>(VariableKind::Database);
    auto* qr = static_cast<TOABarCode*>(doc.addObject(std::make_unique<TOABarCode>()));
    qr->SetBarCodeType(T::bcCodeQR);
    qr->VarName = "Name";
    qr->VarType = static_cast<std::int32_t>(VariableKind::Database);
    auto* fixed = static_cast<TOAText*>(doc.addObject(std::make_unique<TOAText>()));
    fixed->SetText("as typed");
    doc.modified = false;

    EvaluationContext context;
    context.fields = live.get();
    RefreshFromRecord(doc, context);
    EXPECT_EQ(text->Text(), "first");
    EXPECT_EQ(ean->Text(), "590123412345");
    EXPECT_EQ(qr->Data(), "first");
    EXPECT_EQ(fixed->Text(), "as typed");
    EXPECT_TRUE(doc.modified);

    live->next();
    RefreshFromRecord(doc, context);
    EXPECT_EQ(text->Text(), "<NULL>");
    EXPECT_EQ(ean->Text(), "120000000000");
    EXPECT_EQ(qr->Data(), "<NULL>");

    // A closed source leaves bound objects blank.
    RefreshFromRecord(doc, {});
    EXPECT_EQ(text->Text(), "<NULL>");
    EXPECT_EQ(ean->Text(), "000000000000");
}
