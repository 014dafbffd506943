// The barcode dialog's rules: presets, data adaptation and typing, width lists, the check on OK
// with its messages, and how the choices become properties.

#include "barcode/BarcodeRules.h"
#include "barcode/OABarCode.h"

#include <gtest/gtest.h>

using namespace korvel;
using T = TBarCodeType;

TEST(BarcodeRules, TypeListAndPresets)
{
    const QStringList list = BarcodeTypeList();
    ASSERT_EQ(list.size(), 22);
    EXPECT_EQ(list[4], QStringLiteral("Regular Code 39"));
    EXPECT_EQ(list[21], QStringLiteral("QR Code"));
    EXPECT_EQ(kNewBarcodeType, T::bcCode39);

    using W = BarcodeWidthChoice;
    using C = BarcodeCheckChoice;
    struct Row {
        T type;
        const char* sample;
        W width;
        C check;
        bool parity;
        const char* comment;
    };
    const Row rows[] = {
        { T::bcCodeIndustrial25, "0123456789", W::NarrowAndRatio, C::Fixed, false, "message1" },
        { T::bcCodeInter25, "0123456789", W::NarrowAndRatio, C::Free, false, "message2" },
        { T::bcCodeEurMatrix, "0123456789", W::NarrowAndRatio, C::Fixed, true, "message3" },
        { T::bcCodeHBIC, "0123456789", W::NarrowAndRatio, C::Fixed, true, "message7" },
        { T::bcCode128, "0123456789", W::ModuleOnly, C::Fixed, true, "message9" },
        { T::bcCode93, "01234567890", W::ModuleOnly, C::Fixed, true, "message10" },
        { T::bcCodeEAN13, "012345678901", W::ModuleOnly, C::Fixed, true, "message11" },
        { T::bcCodeUPCE, "012345", W::ModuleOnly, C::Fixed, true, "message14" },
        { T::bcCodeUccEan, "0123456789012345678", W::ModuleOnly, C::Fixed, true, "message15" },
        { T::bcCodeCYM, "0123456789", W::NarrowAndRatio, C::Fixed, true, "message19" },
        { T::bcCodePost25, "01234567890", W::NarrowAndRatio, C::Fixed, false, "message20" },
        { T::bcCodePDF417, "0123456789ABCDEFG", W::ModuleOnly, C::None, false, "message21" },
        { T::bcCodeQR, "0123456789ABCDEFG", W::ModuleOnly, C::None, false, "message22" },
        { T::bcCodeUCCEAN128DZJG, "01234567890123456789", W::ModuleOnly, C::Fixed, true, "message29" },
    };
    for (const Row& r : rows) {
        const BarcodeTypePreset* p = BarcodeTypePresetOf(r.type);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->type, r.type);
        EXPECT_STREQ(p->sample, r.sample);
        EXPECT_EQ(p->width, r.width) << r.sample;
        EXPECT_EQ(p->check, r.check) << r.sample;
        EXPECT_EQ(p->parity, r.parity) << r.sample;
        EXPECT_STREQ(BarcodeCommentKey(r.type).key, r.comment);
        EXPECT_STREQ(BarcodeCommentKey(r.type).section, "Common");
        // Every sample is data its type accepts.
        EXPECT_TRUE(CheckBarcodeDialogData(r.type, r.sample, 0, 0, 1).ok) << r.sample;
    }
    EXPECT_EQ(BarcodeTypePresetOf(T::bcCodeUCCEAN128), nullptr);
    EXPECT_STREQ(BarcodeCommentKey(T::bcCode128, 3).key, "message30");
    EXPECT_STREQ(BarcodeCommentKey(T::bcCode128, 2).key, "message9");
    EXPECT_STREQ(BarcodeWidthLabelKey(T::bcCode128).key, "message1");
    EXPECT_STREQ(BarcodeWidthLabelKey(T::bcCode39).key, "message2");
    EXPECT_STREQ(BarcodeWidthLabelKey(T::bcCode39).section, "BarcodePropFormInside");
}

TEST(BarcodeRules, CommentIsShownAloneAndAfterThePrompt)
{
    const BarcodeTextLookup lookup = [](const char* section, const char* key, const QString& fallback) {
        if (QByteArray(section) == "Common" && QByteArray(key) == "message11")
            return QStringLiteral("12 digits");
        if (QByteArray(section) == "All" && QByteArray(key) == "tishi2")
            return QStringLiteral("Hint: ");
        return fallback;
    };
    const BarcodeComment c = BarcodeCommentTexts(T::bcCodeEAN13, 0, lookup);
    EXPECT_EQ(c.alone, QStringLiteral("12 digits"));
    EXPECT_EQ(c.prompted, QStringLiteral("Hint: 12 digits"));
    // The comments have no text of their own without a language file.
    EXPECT_TRUE(BarcodeCommentTexts(T::bcCodeEAN13, 0, BuiltInBarcodeText).alone.isEmpty());
}

TEST(BarcodeRules, DataAdaptsToANewType)
{
    struct Row {
        T type;
        QByteArray text;
        QByteArray adapted;
    };
    const Row rows[] = {
        { T::bcCodeEAN13, "ABC123", "000123000000" },
        { T::bcCodeEAN13, "59012341234512345", "590123412345" },
        { T::bcCodeEAN8, "12", "1200000" },
        { T::bcCodeUPCE, "1234567", "123456" },
        { T::bcCodeUPC2, "A", "00" },
        { T::bcCodeUCCEAN128DZJG, "21", "21000000000000000000" },
        { T::bcCodePostnet, "123456789", "123456789" },
        { T::bcCodePostnet, "1234567", "12345" },
        { T::bcCodePostnet, "12", "12000" },
        { T::bcCodePostnet, "12345678901", "12345678901" },
        { T::bcCodeCYM, "12345678901234567", "1234567890123" },
        { T::bcCodeCYM, "12AB", "1200" },
        { T::bcCodeIndustrial25, "12-34", "12034" },
        { T::bcCode39, "AB\xd6\xd0", "AB00" },
        { T::bcCode39, "ab-1", "ab-1" }, // not digit-only: only bytes from 128 up change
        { T::bcCode128, "ab\xd6\xd0", "ab\xd6\xd0" },
        { T::bcCodeQR, "\xd6\xd0\xce\xc4", "\xd6\xd0\xce\xc4" },
    };
    for (const Row& r : rows)
        EXPECT_EQ(AdaptBarcodeDataToType(r.type, r.text), r.adapted) << r.text.constData();
}

TEST(BarcodeRules, TypingRules)
{
    struct Row {
        T type;
        QByteArray current;
        char ch;
        bool accepted;
    };
    const Row rows[] = {
        { T::bcCodeIndustrial25, "12", '3', true },
        { T::bcCodeInter25, "12", 'A', false },
        { T::bcCode39, "", 'A', true },
        { T::bcCode39, "", 'a', false },
        { T::bcCode39, "", '%', true },
        { T::bcCode39, "", ':', false },
        { T::bcCode93, "", ' ', true },
        { T::bcCodeHBIC, "", '*', false },
        { T::bcCodeCodabar, "", 'D', true },
        { T::bcCodeCodabar, "", 'E', false },
        { T::bcCodeCodabar, "", ':', true },
        { T::bcCodeCodabar, "", '%', false },
        { T::bcCodeEAN13, "12345678901", '2', true },
        { T::bcCodeEAN13, "123456789012", '3', false },
        { T::bcCodeEAN13, "1", 'x', false },
        { T::bcCodeEAN8, "1234567", '8', false },
        { T::bcCodeUPCA, "1234567890", '1', true },
        { T::bcCodeUPCA, "12345678901", '2', false },
        { T::bcCodePostnet, "12345678901", '2', false },
        { T::bcCodePost25, "1234567890", '2', true },
        { T::bcCodeCYM, "1234567890123", '4', false },
        { T::bcCodeUPC2, "12", '3', false },
        { T::bcCodeUCCEAN128DZJG, QByteArray(20, '1'), '2', true },
        { T::bcCodeUCCEAN128DZJG, QByteArray(21, '1'), '2', false },
        { T::bcCode128, "", '&', true },
        { T::bcCode39Ex, "", 'z', true },
        { T::bcCodeQR, QByteArray(499, 'x'), 'y', true },
        { T::bcCodeQR, QByteArray(500, 'x'), 'y', false },
    };
    for (const Row& r : rows) {
        BarcodeTypedKey key;
        key.ch = r.ch;
        EXPECT_EQ(AcceptBarcodeKey(r.type, r.current, key), r.accepted)
            << static_cast<int>(r.type) << " '" << r.ch << "' after " << r.current.size();
    }
    BarcodeTypedKey del;
    del.deletion = true;
    EXPECT_TRUE(AcceptBarcodeKey(T::bcCodeEAN13, "123456789012", del));
    BarcodeTypedKey keypad;
    keypad.keypad = true;
    keypad.ch = '5';
    EXPECT_TRUE(AcceptBarcodeKey(T::bcCodeEAN13, "123456789012", keypad));

    EXPECT_FALSE(BarcodeConfirmEnabled(""));
    EXPECT_TRUE(BarcodeConfirmEnabled("1"));
    EXPECT_EQ(BarcodeDataCounterText("\xd6\xd0"
                                     "AB"),
        QStringLiteral("3Byte"));
}

TEST(BarcodeRules, SeparatorAndGroupSize)
{
    EXPECT_EQ(SanitizeBarcodeSeparator("-"), "-");
    EXPECT_EQ(SanitizeBarcodeSeparator(QByteArray(15, '.')), QByteArray(15, '.'));
    EXPECT_EQ(SanitizeBarcodeSeparator(QByteArray(16, '.')), "");
    EXPECT_EQ(SanitizeBarcodeSeparator("-\xd6\xd0"), "");
    EXPECT_EQ(ParseBarcodeGroupSize(QStringLiteral("4")), 4);
    EXPECT_EQ(ParseBarcodeGroupSize(QStringLiteral("x")), 0);
    EXPECT_EQ(ParseBarcodeGroupSize(QStringLiteral("")), 0);
    EXPECT_EQ(ParseBarcodeGroupSize(QStringLiteral("99")), 6);
}

TEST(BarcodeRules, WidthLists)
{
    const QStringList at203 = NarrowWidthList(203);
    ASSERT_EQ(at203.size(), kNarrowWidthChoices);
    EXPECT_EQ(at203.mid(0, 5), (QStringList { "0.13", "0.25", "0.38", "0.50", "0.63" }));
    EXPECT_EQ(NarrowWidthList(300).mid(0, 3), (QStringList { "0.08", "0.17", "0.25" }));

    struct Row {
        int narrow;
        QStringList labels;
    };
    const Row rows[] = {
        { 1, { "1:2", "1:3" } },
        { 4, { "1:2", "4:9", "4:10", "4:11", "1:3" } },
        { 10, { "1:2", "10:21", "10:22", "10:23", "10:24" } },
        { 12, { "1:2" } },
        { 13, {} },
        { 0, {} },
    };
    for (const Row& r : rows) {
        QStringList labels;
        for (const auto& c : WideRatioList(r.narrow)) {
            labels << c.label;
            EXPECT_EQ(BarWideFromRatio(r.narrow, c.label), c.wide) << r.narrow;
        }
        EXPECT_EQ(labels, r.labels) << r.narrow;
    }
    EXPECT_EQ(BarWideFromRatio(4, QStringLiteral("1:2")), 8);
    EXPECT_EQ(BarWideFromRatio(4, QStringLiteral("1:3")), 12);
    EXPECT_EQ(BarWideFromRatio(4, QStringLiteral("4:10")), 10);
    EXPECT_EQ(BarWideFromRatio(4, QStringLiteral("junk")), 0);
    EXPECT_EQ(RatioPositionOf(4, 10), 2);

    EXPECT_EQ(BarHeightFromMillimetres(203, 10.0, 200), 160);
    EXPECT_EQ(BarHeightFromMillimetres(300, 10.0, 100), 118);
    EXPECT_NEAR(BarHeightToMillimetres(160, 203, 200), 10.0, 0.01);
}

TEST(BarcodeRules, TextOptionsOffered)
{
    struct Row {
        T type;
        bool printerDefault;
        BarcodeTextOptions expected;
    };
    const BarcodeTextOptions all;
    const Row rows[] = {
        { T::bcCode128, false, all },
        { T::bcCodePostnet, false, { false, false, false, false, false, false, false, true } },
        { T::bcCodeQR, false, { false, false, false, false, false, false, false, false } },
        { T::bcCodeEAN13, false, { true, false, true, false, false, false, true, false } },
        { T::bcCodeUPCE, false, { true, false, false, false, false, false, true, false } },
        { T::bcCodeCYM, false, { true, false, false, false, true, true, true, false } },
        { T::bcCode39Ex, false, { true, false, false, false, true, true, true, false } },
        { T::bcCode39, true, { true, false, false, false, true, true, true, false } },
    };
    for (const Row& r : rows) {
        const BarcodeTextOptions o = BarcodeTextOptionsOffered(r.type, r.printerDefault);
        const auto e = r.expected;
        EXPECT_EQ(o.showText, e.showText) << static_cast<int>(r.type);
        EXPECT_EQ(o.position, e.position) << static_cast<int>(r.type);
        EXPECT_EQ(o.distance, e.distance) << static_cast<int>(r.type);
        EXPECT_EQ(o.alignment, e.alignment) << static_cast<int>(r.type);
        EXPECT_EQ(o.groupSize, e.groupSize) << static_cast<int>(r.type);
        EXPECT_EQ(o.separator, e.separator) << static_cast<int>(r.type);
        EXPECT_EQ(o.font, e.font) << static_cast<int>(r.type);
        EXPECT_EQ(o.forceTextOff, e.forceTextOff) << static_cast<int>(r.type);
    }
}

TEST(BarcodeRules, CheckOnConfirm)
{
    struct Row {
        const char* name;
        T type;
        QByteArray text;
        int subset;
        int start;
        int stop;
        bool ok;
        char reason;
    };
    const Row rows[] = {
        { "ean13", T::bcCodeEAN13, "590123412345", 0, 0, 0, true, '0' },
        { "ean13 short", T::bcCodeEAN13, "59012341234", 0, 0, 0, false, '2' },
        { "ean13 letter", T::bcCodeEAN13, "59012341234A", 0, 0, 0, false, '1' },
        { "code128 auto", T::bcCode128, "any text & more", 0, 0, 0, true, '0' },
        { "code128 auto non-ascii", T::bcCode128, "caf\xe9", 0, 0, 0, false, '1' },
        { "code128 subset C odd", T::bcCode128, "123", 3, 0, 0, false, '1' },
        { "code128 subset C", T::bcCode128, "1234", 3, 0, 0, true, '0' },
        { "code128 subset A", T::bcCode128, "ABC", 1, 0, 0, true, '0' },
        { "codabar", T::bcCodeCodabar, "12-34", 0, 0, 1, true, '0' },
        { "codabar inner letter", T::bcCodeCodabar, "12A4", 0, 0, 1, false, '1' },
        { "supervision", T::bcCodeUCCEAN128DZJG, "12345678901234567890", 0, 0, 0, true, '0' },
        { "supervision short", T::bcCodeUCCEAN128DZJG, "1234567890123456789", 0, 0, 0, false, '2' },
        { "supervision non-ascii", T::bcCodeUCCEAN128DZJG, "1234567890123456789\xb0", 0, 0, 0, false, '1' },
        { "postnet 9", T::bcCodePostnet, "123456789", 0, 0, 0, true, '0' },
        { "postnet 7", T::bcCodePostnet, "1234567", 0, 0, 0, false, '2' },
        { "pdf417", T::bcCodePDF417, "\xd6\xd0\xce\xc4 anything", 0, 0, 0, true, '0' },
        { "qr", T::bcCodeQR, "", 0, 0, 0, true, '0' },
    };
    for (const Row& r : rows) {
        const BarcodeDataVerdict v = CheckBarcodeDialogData(r.type, r.text, r.subset, r.start, r.stop);
        EXPECT_EQ(v.ok, r.ok) << r.name;
        EXPECT_EQ(v.reason, QByteArray(1, r.reason)) << r.name;
        if (r.ok && !IsTwoDimensional(r.type) && r.type != T::bcCode128) {
            // What the dialog accepts, the object draws.
            TOABarCode o;
            o.SetIsRefresh(0);
            o.SetBarCodeType(r.type);
            o.SetStartSign(r.start);
            o.SetEndSign(r.stop);
            o.SetText(r.type == T::bcCodeUCCEAN128DZJG ? "21" + r.text : r.text);
            o.SetIsRefresh(1);
            o.RebuildImage();
            EXPECT_EQ(o.DataCheck(), 1) << r.name;
        }
    }
    EXPECT_EQ(BarcodeCheckedData(T::bcCode128, "abc", 0, 0, 0), "Dabc");
    EXPECT_EQ(BarcodeCheckedData(T::bcCode128, "abc", 2, 0, 0), "Babc");
    EXPECT_EQ(BarcodeCheckedData(T::bcCodeCodabar, "123", 0, 2, 3), "C123D");
    EXPECT_EQ(BarcodeCheckedData(T::bcCodeUCCEAN128DZJG, "1", 0, 0, 0), "211");
}

TEST(BarcodeRules, RejectionMessage)
{
    const BarcodeTextLookup lookup = [](const char* section, const char* key, const QString& fallback) {
        const QByteArray k = QByteArray(section) + "/" + key;
        if (k == "All/tishi2")
            return QStringLiteral("Note: ");
        if (k == "BarcodePropFormInside/message3")
            return QStringLiteral("Bad data");
        if (k == "All/message4")
            return QStringLiteral("a character is not allowed");
        if (k == "All/message5")
            return QStringLiteral("wrong length");
        return fallback;
    };
    const BarcodeMessage m1 = BarcodeRejectionMessage("1", lookup);
    EXPECT_EQ(m1.caption, QStringLiteral("Note: "));
    EXPECT_EQ(m1.text, QStringLiteral("Bad data\n\nNote: a character is not allowed"));
    EXPECT_EQ(BarcodeRejectionMessage("2", lookup).text, QStringLiteral("Bad data\n\nNote: wrong length"));
    // Without a language file the built-in texts say something.
    const BarcodeMessage builtIn = BarcodeRejectionMessage("2");
    EXPECT_FALSE(builtIn.caption.isEmpty());
    EXPECT_TRUE(builtIn.text.endsWith(QString::fromUtf8(kBarcodeBadLengthKey.builtIn)));
}

TEST(BarcodeRules, ChoicesBecomeProperties)
{
    TOABarCode o;
    o.SetIsRefresh(0);
    o.SetPrnDPI(203);
    o.SetIsRefresh(1);
    BarcodeDialogValues v;
    v.type = T::bcCodeCodabar;
    v.text = "1234";
    v.narrowPosition = 3; // 4 dots
    v.ratio = QStringLiteral("4:10");
    v.parity = true; // fixed "no" for Codabar
    v.heightMM = 10.0;
    v.codabarStart = 2;
    v.codabarStop = 3;
    v.groupSize = 2;
    v.separator = "-";
    v.bold = true;
    v.fontSize = 9;
    v.labelPosition = 1;
    v.labelAlignment = 2;
    v.labelDistance = 0.5;
    ApplyBarcodeDialogValues(o, v, 200);
    EXPECT_EQ(o.CopyFlag(), 1);
    EXPECT_EQ(o.SysPrn(), 0);
    EXPECT_EQ(o.BarCodeType(), T::bcCodeCodabar);
    EXPECT_EQ(o.Text(), "1234");
    EXPECT_EQ(o.BarNarrow(), 4);
    EXPECT_EQ(o.BarWide(), 10);
    EXPECT_FALSE(o.Parity());
    EXPECT_EQ(o.BarHeight(), 160);
    EXPECT_EQ(o.StartSign(), 2);
    EXPECT_EQ(o.EndSign(), 3);
    EXPECT_EQ(o.Howmany(), 2);
    EXPECT_EQ(o.FenGeFu(), "-");
    EXPECT_TRUE(o.TextFont().has(TextFontStyle::Bold));
    EXPECT_EQ(o.TextFont().Size, 9);
    EXPECT_EQ(o.LabelPos(), TLabelPosition::lpAbove);
    EXPECT_EQ(o.LabelAlign(), TLabelAlignment::laRight);
    EXPECT_DOUBLE_EQ(o.LabelDistance(), 0.5);
    EXPECT_EQ(o.DataCheck(), 1);
    EXPECT_EQ(o.DisplayText(), "C12-34D");

    // Reading the values back gives the same choices.
    const BarcodeDialogValues back = BarcodeDialogValuesOf(o, 200);
    EXPECT_EQ(back.narrowPosition, 3);
    EXPECT_EQ(back.ratio, QStringLiteral("4:10"));
    EXPECT_NEAR(back.heightMM, 10.0, 0.01);
    EXPECT_EQ(back.codabarStart, 2);
    EXPECT_EQ(back.labelAlignment, 2);

    // The printer's default font takes the text below, the second alignment entry, no gap.
    v.fontSource = BarcodeFontSource::PrinterDefault;
    ApplyBarcodeDialogValues(o, v, 200);
    EXPECT_TRUE(o.LabelWithPrn());
    EXPECT_EQ(o.PrnFontIdx(), 3);
    EXPECT_EQ(o.LabelPos(), TLabelPosition::lpBelow);
    EXPECT_EQ(static_cast<int>(o.LabelAlign()), 1);
    EXPECT_DOUBLE_EQ(o.LabelDistance(), 0.0);

    // A chosen printer font; the supervision code keeps its "21" in the object.
    v.type = T::bcCodeUCCEAN128DZJG;
    v.text = "12345678901234567890";
    v.fontSource = BarcodeFontSource::Printer;
    v.printerFontPosition = 4;
    v.code128Subset = 0;
    ApplyBarcodeDialogValues(o, v, 200);
    EXPECT_EQ(o.UsePrnFont(), 1);
    EXPECT_FALSE(o.LabelWithPrn());
    EXPECT_EQ(o.PrnFontIdx(), 5);
    EXPECT_EQ(o.Text(), "2112345678901234567890");
    EXPECT_EQ(o.StartSign(), 0);
    EXPECT_EQ(BarcodeDialogValuesOf(o, 200).text, "12345678901234567890");

    // A variable's present value replaces the fixed data.
    const QByteArray value = "55555555555555555555";
    ApplyBarcodeDialogValues(o, v, 200, &value);
    EXPECT_EQ(o.Text(), "21" + value);

    // Postnet switches its text off.
    v.type = T::bcCodePostnet;
    v.text = "12345";
    ApplyBarcodeDialogValues(o, v, 200);
    EXPECT_FALSE(o.ShowText());
}

TEST(BarcodeRules, RefusedPdf417SettingsAreTakenBack)
{
    TOABarCode o;
    o.SetIsRefresh(0);
    o.SetBarCodeType(T::bcCodePDF417);
    o.SetData("Korvel");
    o.SetIsRefresh(1);
    o.RebuildImage();
    BarcodeDialogValues v = BarcodeDialogValuesOf(o, 100);
    v.pdfBaseWidthPosition = 199; // 200 dots a module: more than the encoder takes
    v.pdfErrorLevel = 5;
    v.pdfColumnsPosition = 5;
    v.text = "Korvel 2";
    ApplyBarcodeDialogValues(o, v, 100);
    EXPECT_EQ(o.PDFBaseWidth(), 2);
    EXPECT_EQ(o.PDF417ECClevel(), 5) << "one refused setting does not take back the others";
    EXPECT_EQ(o.PDF417Cels(), 6);
    EXPECT_EQ(o.Data(), "Korvel 2");
    EXPECT_EQ(o.ErrFlag(), 0);

    // Data the symbol cannot hold is taken back too.
    v = BarcodeDialogValuesOf(o, 100);
    v.text = QByteArray(5000, 'x');
    ApplyBarcodeDialogValues(o, v, 100);
    EXPECT_EQ(o.Data(), "Korvel 2");
    EXPECT_EQ(o.lastError(), BarcodeBuildError::None);
}
