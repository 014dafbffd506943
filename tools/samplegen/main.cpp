// Builds the sample labels that ship in data/Samples. Run it after a change of the label-file
// format: korvel-samplegen <repo>/data/Samples
#include "barcode/BarcodeRules.h"
#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OAEllipse.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OAInvertArea.h"
#include "document/OALine.h"
#include "document/OALabel.h"
#include "document/OARectangle.h"
#include "document/CodePage.h"
#include "document/DesignView.h"
#include "persistence/LabelFile.h"
#include "variables/VariableEntries.h"
#include "variables/VariableModel.h"
#include "variables/database/DataSourceBinding.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/SourceSpec.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include <cmath>
#include <functional>

using namespace korvel;

namespace {

TPageRecord grid(int widthTenths, int heightTenths, int columns, int rows, int space, int interval)
{
    TPageRecord p;
    p.AutoSize = 1;
    p.LabelWidth = static_cast<std::uint16_t>(widthTenths);
    p.LabelHeight = static_cast<std::uint16_t>(heightTenths);
    p.LabelColumn = static_cast<std::uint16_t>(columns);
    p.LabelRow = static_cast<std::uint16_t>(rows);
    p.LabelSpace = static_cast<std::uint16_t>(space);
    p.LabelInterval = static_cast<std::uint16_t>(interval);
    p.applyAutoSize();
    return p;
}

TOAText* text(LabelDocument& doc, double x, double y, const QString& content, int points, bool bold = false,
              const QString& face = QStringLiteral("Arial"))
{
    auto t = std::make_unique<TOAText>(doc.nextFreeName(ObjectKind::Text));
    t->setUpdatesBlocked(true);
    t->setZoom(doc.zoom() / 100.0);
    TTextFont font;
    font.Name = face;
    font.set(TextFontStyle::Bold, bold);
    t->SetTextFont(font);
    t->SetFontSizePt(points);
    t->SetText(CodePage::document().fromUnicode(content));
    t->SetAbsLeft(x);
    t->SetAbsTop(y);
    t->setUpdatesBlocked(false);
    return static_cast<TOAText*>(doc.addObject(std::move(t)));
}

TOAText* printerText(LabelDocument& doc, double x, double y, const QByteArray& content, int font, int zoomX = 1,
                     int zoomY = 1)
{
    auto t = std::make_unique<TOAText>(doc.nextFreeName(ObjectKind::Text));
    t->setUpdatesBlocked(true);
    t->setZoom(doc.zoom() / 100.0);
    t->SetUsePrnFont(1);
    t->SetPrnFontIdx(font);
    t->SetPrnFntZoomX(zoomX);
    t->SetPrnFntZoomY(zoomY);
    t->SetText(content);
    t->SetAbsLeft(x);
    t->SetAbsTop(y);
    t->setUpdatesBlocked(false);
    return static_cast<TOAText*>(doc.addObject(std::move(t)));
}

TOABarCode* barcode(LabelDocument& doc, double x, double y, TBarCodeType type, const QByteArray& data, int narrow,
                    int height)
{
    auto b = std::make_unique<TOABarCode>();
    b->Name = doc.nextFreeName(ObjectKind::BarCode);
    b->SetIsRefresh(0);
    b->setZoom(doc.zoom() / 100.0);
    b->SetPrnDPI(doc.printer.dpi());
    b->SetBarCodeType(type);
    b->SetBarNarrow(narrow);
    b->SetBarWide(narrow * 5 / 2);
    b->SetBarHeight(height);
    b->SetShowText(true);
    if (type == TBarCodeType::bcCodeCodabar) {
        // Start and stop letter A, as the dialog offers first.
        b->SetStartSign(0);
        b->SetEndSign(0);
    }
    b->SetText(data);
    b->SetData(data);
    b->SetAbsLeft(x);
    b->SetAbsTop(y);
    b->SetIsRefresh(1);
    b->RebuildImage();
    return static_cast<TOABarCode*>(doc.addObject(std::move(b)));
}

void hline(LabelDocument& doc, double x1, double x2, double y, double width)
{
    auto l = std::make_unique<TOAHVLine>();
    l->setZoom(doc.zoom() / 100.0);
    l->setStyle(2);
    l->setMMLineWidth(width);
    l->setAbsStartX(x1);
    l->setAbsStartY(y);
    l->setAbsEndX(x2);
    l->setAbsEndY(y);
    doc.addObject(std::move(l));
}

void box(LabelDocument& doc, double x, double y, double w, double h, double line)
{
    auto r = std::make_unique<TOARectangle>();
    r->setZoom(doc.zoom() / 100.0);
    r->setMMLineWidth(line);
    r->setAbsLeft(x);
    r->setAbsTop(y);
    r->setAbsWidth(w);
    r->setAbsHeight(h);
    doc.addObject(std::move(r));
}

struct Sample {
    const char* file;
    std::function<bool(LabelDocument&, const QDir&)> build;
};

bool starter(LabelDocument& doc, const QDir&)
{
    doc.setPage(grid(600, 400, 1, 1, 0, 20));
    text(doc, 4, 4, QStringLiteral("Korvel"), 20, true);
    text(doc, 4, 14, QStringLiteral("标签 Label 60 × 40 mm"), 10);
    barcode(doc, 4, 22, TBarCodeType::bcCode128, "KORVEL-001", 2, 80);
    return true;
}

bool shipping(LabelDocument& doc, const QDir&)
{
    doc.setPage(grid(1000, 1500, 1, 1, 0, 30));
    box(doc, 2, 2, 96, 146, 0.5);
    text(doc, 5, 5, QStringLiteral("FROM: Korvel Logistics"), 9, true);
    text(doc, 5, 10, QStringLiteral("12 Harbour Road, Bristol BS1 4AB"), 9);
    hline(doc, 2, 98, 18, 0.5);
    text(doc, 5, 21, QStringLiteral("SHIP TO:"), 10, true);
    text(doc, 5, 28, QStringLiteral("ACME Trading Ltd"), 16, true);
    text(doc, 5, 37, QStringLiteral("45 Market Street"), 14);
    text(doc, 5, 45, QStringLiteral("Manchester M1 1AD"), 14);
    text(doc, 5, 53, QStringLiteral("United Kingdom"), 14);
    hline(doc, 2, 98, 63, 0.5);
    text(doc, 5, 66, QStringLiteral("TRACKING"), 9, true);
    barcode(doc, 8, 71, TBarCodeType::bcCode128, "SHIP00012345678", 3, 200);
    hline(doc, 2, 98, 103, 0.5);
    auto* pdf = barcode(doc, 8, 107, TBarCodeType::bcCodePDF417,
                        "SHIP00012345678|ACME Trading Ltd|45 Market Street|Manchester|M1 1AD|GB|2.4kg", 2, 80);
    pdf->SetPDFBaseWidth(2);
    pdf->SetPDFBaseHeight(6);
    text(doc, 60, 135, QStringLiteral("2.4 kg  1/1"), 12, true);
    return true;
}

bool shelf(LabelDocument& doc, const QDir&)
{
    doc.setPage(grid(600, 400, 1, 1, 0, 20));
    box(doc, 1, 1, 58, 38, 0.3);
    text(doc, 4, 3, QStringLiteral("Organic Apple Juice 1 L"), 10, true);
    text(doc, 4, 9, QStringLiteral("$2.49"), 28, true);
    text(doc, 40, 14, QStringLiteral("$2.49/L"), 8);
    barcode(doc, 4, 22, TBarCodeType::bcCodeEAN13, "501234567890", 2, 80);
    return true;
}

bool assetTag(LabelDocument& doc, const QDir&)
{
    doc.setPage(grid(500, 300, 1, 1, 0, 20));
    box(doc, 1, 1, 48, 28, 0.3);
    printerText(doc, 3, 3, "PROPERTY OF KORVEL LTD", 2);
    const int counter = AddVariable(doc, VariableKind::Counter);
    if (counter < 1)
        return false;
    CounterEntry entry(doc.variables.counters[static_cast<size_t>(counter - 1)]);
    entry.setValue("000101");
    entry.setStep(1);
    entry.setLimit("999999");
    entry.setResetValue("000001");
    entry.setLabelsPerStep(1);
    TOutputFormat format = entry.outputFormat();
    format.prefix = "KV-";
    entry.setOutputFormat(format);
    auto* number = text(doc, 3, 10, QStringLiteral("KV-000101"), 14, true);
    number->VarName = "Counter1";
    number->VarType = static_cast<int>(VariableKind::Counter);
    auto* qr = barcode(doc, 32, 8, TBarCodeType::bcCodeQR, "KV-000101", 2, 80);
    qr->VarName = "Counter1";
    qr->VarType = static_cast<int>(VariableKind::Counter);
    printerText(doc, 3, 22, "asset register: korvel.example", 1);
    return true;
}

bool addressSheet(LabelDocument& doc, const QDir& out)
{
    // 3 across and 7 down on A4-width stock.
    doc.setPage(grid(635, 381, 3, 7, 25, 0));
    // The fields come from the CSV beside the sample; `korvel-cli print --data` binds a run to
    // any source with the same column names.
    DatabaseSource source;
    const SpecResult parsed = ParseDataArgument(out.filePath(QStringLiteral("addresses.csv")));
    if (!parsed.sourceSpec || !source.open(*parsed.sourceSpec) || !source.openTable())
        return false;
    CreateDatabaseVariables(doc.variables, source);
    const char* fields[] = {"Name", "Street", "City", "Postcode"};
    double y = 4;
    for (const char* f : fields) {
        auto* t = text(doc, 4, y, QString::fromLatin1(f), f == fields[0] ? 12 : 10, f == fields[0]);
        t->VarName = f;
        t->VarType = static_cast<int>(VariableKind::Database);
        y += f == fields[0] ? 8 : 6.5;
    }
    return true;
}

bool jewellery(LabelDocument& doc, const QDir&)
{
    doc.setPage(grid(300, 120, 1, 1, 0, 30));
    printerText(doc, 1, 1, "18K GOLD", 2);
    printerText(doc, 1, 4, "129.00", 3);
    auto* code = barcode(doc, 13, 1.5, TBarCodeType::bcCode39, "J1042", 1, 60);
    code->SetShowText(false);
    return true;
}

bool everyBarcode(LabelDocument& doc, const QDir&)
{
    // One symbol of each type with the dialog's sample data, two columns.
    doc.setPage(grid(1040, 2000, 1, 1, 0, 30));
    for (int type = 0; type <= 22; ++type) {
        const BarcodeTypePreset* preset = BarcodeTypePresetOf(static_cast<TBarCodeType>(type));
        if (!preset)
            continue;
        const double x = type % 2 == 0 ? 3 : 54;
        const double y = 3 + (type / 2) * 16.5;
        const bool twoD = type == 20 || type == 21;
        // The EAN and UPC digits stand between and below guard bars of the symbol's own width:
        // with a one-dot module they run into each other, with two they print clear.
        const bool eanUpc = IsEanUpc(static_cast<TBarCodeType>(type));
        auto* b = barcode(doc, x, y, static_cast<TBarCodeType>(type), preset->sample, twoD || eanUpc ? 2 : 1, 60);
        b->SetParity(preset->parity);
    }
    return true;
}

QByteArray showcasePicture()
{
    // A shaded disc: exercises halftoning the way a photograph would.
    QImage picture(96, 96, QImage::Format_RGB888);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) {
            const double dx = x - 47.5, dy = y - 47.5;
            const double r = std::sqrt(dx * dx + dy * dy) / 48.0;
            const int v = r > 1 ? 255 : static_cast<int>(40 + 200 * r);
            picture.setPixel(x, y, qRgb(v, v, v));
        }
    return EncodeBitmapFile(picture);
}

bool showcase(LabelDocument& doc, const QDir&)
{
    // One object of every kind.
    doc.setPage(grid(800, 600, 1, 1, 0, 30));
    text(doc, 3, 3, QStringLiteral("Every kind 每种对象"), 14, true);
    barcode(doc, 3, 12, TBarCodeType::bcCode128, "KIND-2", 2, 60);
    auto image = std::make_unique<TOAImage>();
    image->setZoom(doc.zoom() / 100.0);
    image->SetOrgPicture(showcasePicture());
    image->setBW(2);
    image->setAbsLeft(50);
    image->setAbsTop(3);
    image->setAbsWidth(25);
    image->setAbsHeight(25);
    doc.addObject(std::move(image));
    auto line = std::make_unique<TOALine>();
    line->setZoom(doc.zoom() / 100.0);
    line->setMMLineWidth(0.4);
    line->setAbsStartX(3);
    line->setAbsStartY(35);
    line->setAbsEndX(30);
    line->setAbsEndY(55);
    doc.addObject(std::move(line));
    hline(doc, 3, 77, 32, 0.5);
    auto filled = std::make_unique<TOARectangle>();
    filled->setZoom(doc.zoom() / 100.0);
    filled->setAbsLeft(35);
    filled->setAbsTop(36);
    filled->setAbsWidth(15);
    filled->setAbsHeight(10);
    filled->setFill(1);
    filled->setColor(QColor(128, 128, 128));
    doc.addObject(std::move(filled));
    box(doc, 34, 48, 17, 9, 0.3);
    auto ellipse = std::make_unique<TOAEllipse>();
    ellipse->setZoom(doc.zoom() / 100.0);
    ellipse->setMMLineWidth(0.5);
    ellipse->setAbsLeft(56);
    ellipse->setAbsTop(36);
    ellipse->setAbsWidth(20);
    ellipse->setAbsHeight(20);
    doc.addObject(std::move(ellipse));
    text(doc, 57.5, 43, QStringLiteral("INVERSE"), 9, true);
    auto inverse = std::make_unique<TOAInvertArea>();
    inverse->setZoom(doc.zoom() / 100.0);
    inverse->setAbsLeft(55);
    inverse->setAbsTop(42);
    inverse->setAbsWidth(22);
    inverse->setAbsHeight(6);
    doc.addObject(std::move(inverse));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2 && argc != 4) {
        err << "usage: korvel-samplegen OUTPUT_DIR [--preview PNG_DIR]\n";
        return 2;
    }
    // The previews are design views at 200 %, for looking the samples over after a change.
    const QString previewDir = argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString();
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    const Sample samples[] = {
        {"Starter.kvl", starter},
        {"Shipping-100x150.kvl", shipping},
        {"Shelf-EAN13.kvl", shelf},
        {"Asset-Tag.kvl", assetTag},
        {"Address-3-across.kvl", addressSheet},
        {"Jewellery-Tag.kvl", jewellery},
        {"Every-Barcode.kvl", everyBarcode},
        {"Every-Kind.kvl", showcase},
    };
    int failures = 0;
    for (const Sample& s : samples) {
        LabelDocument doc;
        doc.setZoom(100);
        if (!s.build(doc, out)) {
            err << s.file << ": could not be built\n";
            ++failures;
            continue;
        }
        doc.clearSelection();
        doc.FitMode = 1;
        const LabelFileResult r = WriteLabelFile(out.filePath(QString::fromLatin1(s.file)), doc);
        if (r.status != LabelFileResult::Status::Ok) {
            err << s.file << ": " << r.message << "\n";
            ++failures;
        }
        if (!previewDir.isEmpty()) {
            QDir().mkpath(previewDir);
            RenderDesignView(doc, 200, 0).save(QDir(previewDir).filePath(QString::fromLatin1(s.file) + ".png"));
        }
    }
    return failures == 0 ? 0 : 1;
}
