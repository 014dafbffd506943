#include "persistence/BarcodeProperties.h"

#include "barcode/OABarCode.h"
#include "document/CodePage.h"
#include "document/Rounding.h"
#include "persistence/StoredRecordObject.h"

namespace korvel {

int BarcodeTypeFromOldNumber(int stored)
{
    static const int map[22] = {4, 12, 13, 1, 8, 10, 11, 7, 0, 15, 16, 9, 19, 17, 14, 6, 18, 2, 3, 20, 21, 5};
    if (stored >= 0 && stored <= 21)
        return map[stored];
    return stored;
}

PropertyMap BarcodeProperties(const TOAControl& object)
{
    if (const auto* stored = dynamic_cast<const TStoredRecordObject*>(&object))
        return stored->properties();
    const auto& b = static_cast<const TOABarCode&>(object);
    PropertyMap m;
    m["Howmany"] = b.Howmany();
    m["FenGeFu"] = b.FenGeFu();
    m["Angle"] = b.Angle();
    m["StartSign"] = b.StartSign();
    m["EndSign"] = b.EndSign();
    m["BarCodeType"] = static_cast<int>(b.BarCodeType());
    m["BarHeight"] = b.BarHeight();
    m["BarWidth"] = b.BarWidth();
    m["ColorBar"] = b.ColorBar();
    m["LabelAlign"] = static_cast<int>(b.LabelAlign());
    m["LabelDistance"] = b.LabelDistance();
    m["LabelPos"] = static_cast<int>(b.LabelPos());
    m["LabelWithPrn"] = b.LabelWithPrn() ? 1 : 0;
    m["BarNarrow"] = b.BarNarrow();
    m["Name"] = b.Name.toLatin1();
    m["Parity"] = b.Parity() ? 1 : 0;
    m["AbsLeft"] = b.AbsLeft();
    m["AbsTop"] = b.AbsTop();
    m["BarWide"] = b.BarWide();
    m["ShowSum"] = b.ShowSum() ? 1 : 0;
    m["ShowText"] = b.ShowText() ? 1 : 0;
    m["Text"] = b.Text();
    m["Data"] = b.Data();
    m["UsePrnFont"] = b.UsePrnFont();
    m["PrnFontIdx"] = b.PrnFontIdx();
    m["PrnDPI"] = b.PrnDPI();
    m["VarName"] = b.VarName;
    m["VarType"] = b.VarType;
    m["PDFBaseWidth"] = b.PDFBaseWidth();
    m["PDFBaseHeight"] = b.PDFBaseHeight();
    m["PDF417WidthScale"] = b.PDF417WidthScale();
    m["PDF417HeightScale"] = b.PDF417HeightScale();
    m["PDF417Rols"] = b.PDF417Rols();
    m["PDF417Cels"] = b.PDF417Cels();
    m["PDF417ECClevel"] = b.PDF417ECClevel();
    m["PDF417Trunct"] = b.PDF417Trunct() ? 1 : 0;
    m["PDF417ASpectType"] = b.PDF417ASpectType();
    m["PDF417RowCol"] = b.PDF417RowCol() ? 1 : 0;
    m["QRcodeElement"] = b.QRcodeElement();
    m["QRLanguage"] = b.QRLanguage();
    m["QRModel"] = b.QRModel();
    m["QRErrLevel"] = b.QRErrLevel();
    m["QRMaskNo"] = b.QRMaskNo();
    m["QRDataInputModel"] = static_cast<int>(static_cast<unsigned char>(b.QRDataInputModel()));
    m["FontName"] = CodePage::document().fromUnicode(b.TextFont().Name);
    m["FontColor"] = b.TextFont().Color;
    m["FontStyle"] = static_cast<int>(b.TextFont().Style);
    m["FontSize"] = b.TextFont().Size;
    m["FontCharset"] = static_cast<int>(b.TextFont().Charset);
    m["Zoom"] = b.Zoom();
    m["NotPrint"] = static_cast<int>(b.flags[0]);
    return m;
}

namespace {

int intOf(const PropertyMap& m, const char* key, int fallback = 0)
{
    const auto it = m.constFind(QString::fromLatin1(key));
    return it == m.constEnd() ? fallback : it->toInt();
}

bool has(const PropertyMap& m, const char* key)
{
    return m.contains(QString::fromLatin1(key));
}

QByteArray bytesOf(const PropertyMap& m, const char* key)
{
    return m.value(QString::fromLatin1(key)).toByteArray();
}

} // namespace

std::unique_ptr<TOAControl> BarcodeFromProperties(const PropertyMap& m, const RecordContext& ctx, double z1, double z2,
                                                  QString* error)
{
    const int type = intOf(m, "BarCodeType");
    if (type < 0 || type > 23) {
        // A type this program does not know: keep the record as it is rather than lose it.
        PropertyMap kept = m;
        kept["Zoom"] = z2;
        return std::make_unique<TStoredRecordObject>(ObjectKind::BarCode, kept);
    }
    (void)error;
    auto b = std::make_unique<TOABarCode>();
    b->SetIsRefresh(0);
    b->setZoom(z1);
    b->setVirReadPr(intOf(m, "NotPrint"));
    b->Name = QString::fromLatin1(bytesOf(m, "Name"));
    if (has(m, "AbsLeft")) {
        b->SetAbsLeft(m.value("AbsLeft").toDouble());
        b->SetAbsTop(m.value("AbsTop").toDouble());
    } else if (has(m, "LeftPx")) {
        b->SetVirLeft(static_cast<int>(Round(intOf(m, "LeftPx") * z1)));
        b->SetVirTop(static_cast<int>(Round(intOf(m, "TopPx") * z1)));
    } else {
        b->SetVirLeft(intOf(m, "LeftPxUnscaled"));
        b->SetVirTop(intOf(m, "TopPxUnscaled"));
    }
    // The resolution comes from the record while a file is read, else from the document.
    const int dpi = ctx.fileReading ? intOf(m, "PrnDPI", 203) : ctx.documentDpi;
    b->SetPrnDPI(dpi == 300 ? 300 : 203);
    b->SetBarCodeType(static_cast<TBarCodeType>(type));
    b->SetHowmany(intOf(m, "Howmany"));
    b->SetFenGeFu(bytesOf(m, "FenGeFu"));
    b->SetStartSign(intOf(m, "StartSign"));
    b->SetEndSign(intOf(m, "EndSign"));
    b->SetBarNarrow(std::max(1, intOf(m, "BarNarrow", 2)));
    b->SetBarWide(std::max(1, intOf(m, "BarWide", 5)));
    b->SetBarHeight(intOf(m, "BarHeight", 80));
    b->SetBarWidth(intOf(m, "BarWidth"));
    b->SetColorBar(intOf(m, "ColorBar"));
    b->SetLabelAlign(static_cast<TLabelAlignment>(intOf(m, "LabelAlign")));
    b->SetLabelDistance(m.value("LabelDistance").toDouble());
    b->SetLabelPos(static_cast<TLabelPosition>(intOf(m, "LabelPos")));
    b->SetLabelWithPrn(intOf(m, "LabelWithPrn") != 0);
    b->SetParity(intOf(m, "Parity") != 0);
    b->SetShowSum(intOf(m, "ShowSum") != 0);
    b->SetShowText(intOf(m, "ShowText") != 0);
    b->SetUsePrnFont(intOf(m, "UsePrnFont"));
    b->SetPrnFontIdx(intOf(m, "PrnFontIdx", 1));
    b->VarName = bytesOf(m, "VarName");
    b->VarType = intOf(m, "VarType");
    b->SetPDFBaseWidth(intOf(m, "PDFBaseWidth"));
    b->SetPDFBaseHeight(intOf(m, "PDFBaseHeight"));
    b->SetPDF417WidthScale(intOf(m, "PDF417WidthScale"));
    b->SetPDF417HeightScale(intOf(m, "PDF417HeightScale"));
    b->SetPDF417Rols(intOf(m, "PDF417Rols"));
    b->SetPDF417Cels(intOf(m, "PDF417Cels"));
    b->SetPDF417ECClevel(intOf(m, "PDF417ECClevel"));
    b->SetPDF417Trunct(intOf(m, "PDF417Trunct") != 0);
    b->SetPDF417ASpectType(intOf(m, "PDF417ASpectType"));
    b->SetPDF417RowCol(intOf(m, "PDF417RowCol") != 0);
    if (has(m, "QRcodeElement")) {
        b->SetQRcodeElement(intOf(m, "QRcodeElement"));
        b->SetQRLanguage(intOf(m, "QRLanguage"));
        b->SetQRModel(intOf(m, "QRModel"));
        b->SetQRErrLevel(bytesOf(m, "QRErrLevel"));
        b->SetQRMaskNo(bytesOf(m, "QRMaskNo"));
        b->SetQRDataInputModel(static_cast<char>(intOf(m, "QRDataInputModel")));
    }
    TBarcodeFont font;
    const QString face = CodePage::document().toUnicode(bytesOf(m, "FontName"));
    if (!face.isEmpty())
        font.Name = face;
    font.Color = intOf(m, "FontColor");
    font.Style = static_cast<std::uint8_t>(intOf(m, "FontStyle"));
    font.Size = intOf(m, "FontSize", font.Size);
    font.Charset = static_cast<std::uint8_t>(intOf(m, "FontCharset", 1));
    b->SetTextFont(font);
    b->SetText(bytesOf(m, "Text"));
    b->SetData(bytesOf(m, "Data"));
    b->setAngle(((intOf(m, "Angle") % 360) + 360) % 360 / 90 * 90);
    b->SetIsRefresh(1);
    b->RebuildImage();
    b->setZoom(z2);
    return b;
}

} // namespace korvel
