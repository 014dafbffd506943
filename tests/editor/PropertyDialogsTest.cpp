#include "EditorTestSupport.h"

#include "barcode/OABarCode.h"
#include "document/ImageRules.h"
#include "document/OAEllipse.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OAInvertArea.h"
#include "document/OALabel.h"
#include "document/OALine.h"
#include "document/OARectangle.h"
#include "editor/HelpWindow.h"
#include "editor/editing/Operation.h"
#include "document/IniFile.h"
#include "editor/properties/BarcodePropForm.h"
#include "editor/properties/ImagePropForm.h"
#include "editor/properties/PropertyDialogs.h"
#include "editor/properties/ShapePropForms.h"
#include "editor/properties/TextPropForm.h"
#include "persistence/ObjectProperties.h"
#include "variables/Evaluation.h"
#include "variables/VariableModel.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace korvel::test {
namespace {

template <class W>
W* field(QDialog* d, const char* name)
{
    W* w = d->findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

/// Presses OK; true when the dialog closed accepting.
bool pressOk(QDialog* d)
{
    d->setResult(QDialog::Rejected);
    field<QPushButton>(d, "BitBtnOK")->click();
    return d->result() == QDialog::Accepted;
}

void setCombo(QDialog* d, const char* name, const QString& text)
{
    auto* box = field<QComboBox>(d, name);
    box->setEditText(text);
    if (box->lineEdit())
        emit box->lineEdit()->editingFinished();
}

void typeKey(QWidget* w, Qt::Key key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &press);
}

/// Every dialog is run through the designer's prompts, as the document window runs it.
class PropertyDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrompts(&prompts);
        SetCurrentLanguage(0);
    }
    void TearDown() override { SetPrompts(nullptr); }

    template <class T>
    T* add(std::unique_ptr<T> o)
    {
        return static_cast<T*>(document.addObject(std::move(o)));
    }

    /// Runs the object's dialog with `drive` working the fields; drive's answer is OK or Cancel.
    bool edit(TOAControl& o, const std::function<bool(QDialog*)>& drive)
    {
        prompts.onDialog = drive;
        return EditProperties(nullptr, document, o);
    }

    FakePrompts prompts;
    LabelDocument document;
};

// --- text ------------------------------------------------------------------------------------

TOAText* newText(LabelDocument& document)
{
    auto t = std::make_unique<TOAText>(QStringLiteral("Text1"));
    t->SetFontSizePt(12);
    return static_cast<TOAText*>(document.addObject(std::move(t)));
}

TEST_F(PropertyDialogTest, TextOkAppliesTheFieldsInTheDialogsOrder)
{
    TOAText* text = newText(document);
    auto expected = text->clone();
    TextDialogValues v = TextDialogValuesOf(*text);
    v.Bold = true;
    v.FontSizePt = 20;
    v.TextWidthRate = 150;
    v.TextCharExtra = 2;
    v.TextAlign = 2;
    v.Text = "Hello";
    ApplyTextDialogValues(static_cast<TOAText&>(*expected), v);

    EXPECT_TRUE(edit(*text, [](QDialog* d) {
        field<QCheckBox>(d, "CheckBoxBold")->setChecked(true);
        setCombo(d, "ComboBoxFontSize", QStringLiteral("20"));
        field<QLineEdit>(d, "EditWidthRate")->setText(QStringLiteral("150"));
        setCombo(d, "ComboBoxCharExtra", QStringLiteral("2"));
        field<QRadioButton>(d, "RadioButtonParagraph")->setChecked(true);
        field<QComboBox>(d, "ComboBoxAlign")->setCurrentIndex(1);
        field<QPlainTextEdit>(d, "MemoText")->setPlainText(QStringLiteral("Hello"));
        EXPECT_EQ(field<QLabel>(d, "LabelLength")->text(), QStringLiteral("5字节"));
        return pressOk(d);
    }));
    EXPECT_EQ(PropertiesOf(*text), PropertiesOf(*expected));
    EXPECT_EQ(text->Text(), QByteArray("Hello"));
    EXPECT_TRUE(text->TextFont().has(TextFontStyle::Bold));
    EXPECT_EQ(text->TextAlign(), 2);
    EXPECT_EQ(text->TextWidthRate(), 150);
}

TEST_F(PropertyDialogTest, TextCancelAndEmptyFixedTextLeaveTheObjectAsItWas)
{
    TOAText* text = newText(document);
    const PropertyMap before = PropertiesOf(*text);
    EXPECT_FALSE(edit(*text, [](QDialog* d) {
        field<QCheckBox>(d, "CheckBoxItalic")->setChecked(true);
        return false;
    }));
    EXPECT_EQ(PropertiesOf(*text), before);

    EXPECT_FALSE(edit(*text, [](QDialog* d) {
        field<QCheckBox>(d, "CheckBoxItalic")->setChecked(true);
        field<QPlainTextEdit>(d, "MemoText")->clear();
        return pressOk(d);
    }));
    EXPECT_EQ(PropertiesOf(*text), before);
}

TEST_F(PropertyDialogTest, TextEntriesAreCorrectedAndABadWidthRateKeepsTheDialogOpen)
{
    TOAText* text = newText(document);
    EXPECT_TRUE(edit(*text, [](QDialog* d) {
        auto* rate = field<QLineEdit>(d, "EditWidthRate");
        rate->setText(QStringLiteral("5"));
        EXPECT_FALSE(pressOk(d)); // below 10: reset, focused, nothing applied
        EXPECT_EQ(rate->text(), QStringLiteral("100"));

        setCombo(d, "ComboBoxFontSize", QStringLiteral("abc"));
        EXPECT_EQ(field<QComboBox>(d, "ComboBoxFontSize")->currentText(), QStringLiteral("8"));
        setCombo(d, "ComboBoxFontSize", QStringLiteral("250")); // not taken: stays at 8
        EXPECT_EQ(field<QComboBox>(d, "ComboBoxFontSize")->currentText(), QStringLiteral("8"));
        setCombo(d, "ComboBoxLineExtra", QStringLiteral("x"));
        EXPECT_EQ(field<QComboBox>(d, "ComboBoxLineExtra")->currentText(), QStringLiteral("0"));
        auto* ring = field<QLineEdit>(d, "EditRingWidth");
        ring->setText(QStringLiteral("0"));
        emit ring->editingFinished();
        EXPECT_EQ(ring->text(), QStringLiteral("200"));
        field<QRadioButton>(d, "RadioButtonRing")->setChecked(true);
        return pressOk(d);
    }));
    EXPECT_EQ(text->FontSizePt(), 8);
    EXPECT_EQ(text->RoundText(), 1);
    EXPECT_EQ(text->DragWidth(), 200);
}

TEST_F(PropertyDialogTest, TextBoundToAVariableTakesItsPresentValue)
{
    TOAText* text = newText(document);
    ASSERT_EQ(AddVariable(document, VariableKind::Counter), 1);
    const QByteArray name = EntryName(document.variables, VariableKind::Counter, 1);
    const QByteArray value = EvaluateVariable(document, name, VariableKind::Counter);
    EXPECT_TRUE(edit(*text, [&](QDialog* d) {
        field<QComboBox>(d, "ComboBoxSource")->setCurrentIndex(static_cast<int>(VariableKind::Counter));
        EXPECT_EQ(field<QListWidget>(d, "ListBoxVar")->count(), 1);
        EXPECT_EQ(field<QLabel>(d, "LabelValue")->text(), QString::fromLatin1(value));
        return pressOk(d);
    }));
    EXPECT_EQ(text->VarType, static_cast<int>(VariableKind::Counter));
    EXPECT_EQ(text->VarName, name);
    EXPECT_EQ(text->Text(), value);

    // Back to fixed content: the binding goes.
    EXPECT_TRUE(edit(*text, [](QDialog* d) {
        EXPECT_EQ(field<QComboBox>(d, "ComboBoxSource")->currentIndex(), static_cast<int>(VariableKind::Counter));
        field<QComboBox>(d, "ComboBoxSource")->setCurrentIndex(0);
        field<QPlainTextEdit>(d, "MemoText")->setPlainText(QStringLiteral("fixed"));
        return pressOk(d);
    }));
    EXPECT_EQ(text->VarType, 0);
    EXPECT_TRUE(text->VarName.isEmpty());
}

TEST_F(PropertyDialogTest, TextPreviewIsDrawnByATextObject)
{
    TOAText* text = newText(document);
    TTextPropForm form(document, *text);
    const QImage single = form.previewPicture();
    EXPECT_FALSE(single.isNull());
    form.findChild<QRadioButton*>(QStringLiteral("RadioButtonRing"))->setChecked(true);
    EXPECT_EQ(form.previewPicture().width(), RingPreviewSize);
    form.findChild<QRadioButton*>(QStringLiteral("RadioButtonPrnFont"))->setChecked(true);
    EXPECT_NE(form.previewPicture(), single);
}

// --- barcode ---------------------------------------------------------------------------------

TOABarCode* newBarcode(LabelDocument& document, TBarCodeType type, const QByteArray& text)
{
    auto b = std::make_unique<TOABarCode>();
    b->SetBarCodeType(type);
    b->SetText(text);
    b->SetStartSign(-1);
    return static_cast<TOABarCode*>(document.addObject(std::move(b)));
}

TEST_F(PropertyDialogTest, BarcodeTypeChangeAdaptsTheDataAndOkAppliesLikeTheRules)
{
    TOABarCode* barcode = newBarcode(document, TBarCodeType::bcCode39, "ABC123");
    auto expected = barcode->clone();
    BarcodeDialogValues v = BarcodeDialogValuesOf(*barcode, document.zoom());
    v.type = TBarCodeType::bcCodeEAN13;
    v.text = "000123000000";
    v.parity = true;
    ApplyBarcodeDialogValues(static_cast<TOABarCode&>(*expected), v, document.zoom());

    EXPECT_TRUE(edit(*barcode, [](QDialog* d) {
        field<QComboBox>(d, "ComboBoxType")->setCurrentIndex(static_cast<int>(TBarCodeType::bcCodeEAN13));
        EXPECT_EQ(field<QLineEdit>(d, "EditData")->text(), QStringLiteral("000123000000"));
        EXPECT_FALSE(field<QCheckBox>(d, "CheckBoxParity")->isEnabled());
        EXPECT_FALSE(field<QComboBox>(d, "ComboBoxPos")->isEnabled());
        return pressOk(d);
    }));
    EXPECT_EQ(PropertiesOf(*barcode), PropertiesOf(*expected));
    EXPECT_EQ(barcode->BarCodeType(), TBarCodeType::bcCodeEAN13);
    EXPECT_EQ(barcode->Text(), QByteArray("000123000000"));
}

TEST_F(PropertyDialogTest, BarcodeRefusesBadDataWithItsMessageAndCancelChangesNothing)
{
    TOABarCode* barcode = newBarcode(document, TBarCodeType::bcCodeEAN13, "012345678901");
    const PropertyMap before = PropertiesOf(*barcode);
    EXPECT_FALSE(edit(*barcode, [](QDialog* d) {
        field<QLineEdit>(d, "EditData")->setText(QStringLiteral("12345"));
        EXPECT_FALSE(pressOk(d));
        return false;
    }));
    ASSERT_EQ(prompts.messages.size(), 1u);
    const BarcodeMessage m = BarcodeRejectionMessage("2", [](const char* s, const char* k, const QString& f) {
        return LookupText(QString::fromLatin1(s), QString::fromLatin1(k), f);
    });
    EXPECT_EQ(prompts.messages[0].title, m.caption);
    EXPECT_EQ(prompts.messages[0].text, m.text);
    EXPECT_EQ(PropertiesOf(*barcode), before);

    // The electronic supervision code wants exactly 20 characters.
    TOABarCode* supervision = newBarcode(document, TBarCodeType::bcCodeUCCEAN128DZJG, "2101234567890123456789");
    EXPECT_FALSE(edit(*supervision, [](QDialog* d) {
        EXPECT_EQ(field<QLineEdit>(d, "EditData")->text(), QStringLiteral("01234567890123456789"));
        field<QLineEdit>(d, "EditData")->setText(QStringLiteral("0123"));
        EXPECT_FALSE(pressOk(d));
        return false;
    }));
    EXPECT_EQ(prompts.messages.size(), 2u);
}

TEST_F(PropertyDialogTest, BarcodeTypingRulesListsAndFontSource)
{
    TOABarCode* barcode = newBarcode(document, TBarCodeType::bcCodeEAN8, "012345");
    TBarcodePropForm form(document, *barcode);
    auto* data = form.findChild<QLineEdit*>(QStringLiteral("EditData"));
    data->setCursorPosition(data->text().size());
    typeKey(data, Qt::Key_A, QStringLiteral("A"));
    EXPECT_EQ(data->text(), QStringLiteral("012345"));
    typeKey(data, Qt::Key_6, QStringLiteral("6"));
    EXPECT_EQ(data->text(), QStringLiteral("0123456"));
    typeKey(data, Qt::Key_7, QStringLiteral("7")); // EAN-8 takes 7 digits
    EXPECT_EQ(data->text(), QStringLiteral("0123456"));
    typeKey(data, Qt::Key_Backspace, QString());
    EXPECT_EQ(data->text(), QStringLiteral("012345"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("LabelCount"))->text(),
              BarcodeDataCounterText("012345", [](const char* s, const char* k, const QString& f) {
                  return LookupText(QString::fromLatin1(s), QString::fromLatin1(k), f);
              }));
    data->clear();
    EXPECT_FALSE(form.findChild<QPushButton*>(QStringLiteral("BitBtnOK"))->isEnabled());

    // Twelve dots narrow leave only 1:2.
    form.findChild<QComboBox*>(QStringLiteral("ComboBoxType"))->setCurrentIndex(static_cast<int>(TBarCodeType::bcCode39));
    form.findChild<QComboBox*>(QStringLiteral("ComboBoxNarrow"))->setCurrentIndex(11);
    auto* ratio = form.findChild<QComboBox*>(QStringLiteral("ComboBoxRatio"));
    ASSERT_EQ(ratio->count(), 1);
    EXPECT_EQ(ratio->itemText(0), QStringLiteral("1:2"));
    form.findChild<QComboBox*>(QStringLiteral("ComboBoxNarrow"))->setCurrentIndex(3);
    EXPECT_EQ(ratio->count(), 5);
    EXPECT_EQ(ratio->itemText(1), QStringLiteral("4:9"));

    form.findChild<QComboBox*>(QStringLiteral("ComboBoxPos"))->setCurrentIndex(1);
    form.findChild<QDoubleSpinBox*>(QStringLiteral("EditDistance"))->setValue(1.5);
    form.findChild<QRadioButton*>(QStringLiteral("RadioButtonPrnDefault"))->setChecked(true);
    const BarcodeDialogValues v = form.values();
    EXPECT_EQ(v.fontSource, BarcodeFontSource::PrinterDefault);
    EXPECT_EQ(v.labelPosition, 0);
    EXPECT_EQ(v.labelAlignment, 1);
    EXPECT_EQ(v.labelDistance, 0.0);
    EXPECT_FALSE(form.findChild<QComboBox*>(QStringLiteral("ComboBoxPos"))->isEnabled());
}

TEST_F(PropertyDialogTest, BarcodeVerdictReadsTheSymbolAtPrinterResolution)
{
    TOABarCode* barcode = newBarcode(document, TBarCodeType::bcCode39, "ABC123");
    TBarcodePropForm form(document, *barcode);
    auto* verdict = form.findChild<QLabel*>(QStringLiteral("LabelVerdict"));
    EXPECT_EQ(form.verdict().state, SymbolVerdict::State::Reads) << form.verdict().text.toStdString();
    EXPECT_TRUE(verdict->text().contains(QStringLiteral("ABC123")));

    form.findChild<QComboBox*>(QStringLiteral("ComboBoxNarrow"))->setCurrentIndex(0);
    EXPECT_EQ(form.verdict().state, SymbolVerdict::State::Fails);
    EXPECT_TRUE(verdict->text().contains(QStringLiteral("203"))) << verdict->text().toStdString();
    form.findChild<QComboBox*>(QStringLiteral("ComboBoxNarrow"))->setCurrentIndex(2);

    // As the user types: a wrong check digit is named.
    form.findChild<QComboBox*>(QStringLiteral("ComboBoxType"))->setCurrentIndex(static_cast<int>(TBarCodeType::bcCodeEAN13));
    auto* data = form.findChild<QLineEdit*>(QStringLiteral("EditData"));
    data->setText(QStringLiteral("4006381333931"));
    EXPECT_EQ(form.verdict().state, SymbolVerdict::State::Fails);
    data->setText(QStringLiteral("400638133393"));
    EXPECT_EQ(form.verdict().state, SymbolVerdict::State::Reads) << form.verdict().text.toStdString();
    EXPECT_TRUE(verdict->text().contains(QStringLiteral("4006381333931")));

    form.findChild<QComboBox*>(QStringLiteral("ComboBoxType"))->setCurrentIndex(static_cast<int>(TBarCodeType::bcCodeQR));
    EXPECT_EQ(form.verdict().state, SymbolVerdict::State::Reads) << form.verdict().text.toStdString();
    form.findChild<QComboBox*>(QStringLiteral("ComboBoxType"))->setCurrentIndex(static_cast<int>(TBarCodeType::bcCodePostnet));
    EXPECT_EQ(form.verdict().state, SymbolVerdict::State::Unchecked);
}

TEST(SymbolReading, CheckDigitAndWhyAFullLengthEanIsRefused)
{
    EXPECT_EQ(Gs1CheckDigit("400638133393"), 1);
    EXPECT_EQ(Gs1CheckDigit("9638507"), 4);
    EXPECT_EQ(Gs1CheckDigit("12a"), -1);
    TOABarCode b;
    b.SetBarCodeType(TBarCodeType::bcCodeEAN13);
    const SymbolVerdict v = ReadBackSymbol(b, "4006381333937", 0, 0, 0);
    EXPECT_EQ(v.state, SymbolVerdict::State::Fails);
    EXPECT_EQ(v.text, QStringLiteral("data not valid for EAN 13: check digit"));
}

// --- shapes ----------------------------------------------------------------------------------

TEST_F(PropertyDialogTest, ShapeDialogsApplyTheirRulesAndRefuseEachFieldOutOfRange)
{
    auto* hv = add(std::make_unique<TOAHVLine>());
    auto* line = add(std::make_unique<TOALine>());
    auto* ellipse = add(std::make_unique<TOAEllipse>());
    auto* rectangle = add(std::make_unique<TOARectangle>());
    struct Case {
        TOAControl* object;
        std::vector<const char*> fields; // in the rule's order, the line width last
        std::vector<double> good;
        std::vector<double> bad; // one refused value per field
    };
    const std::vector<Case> cases = {
        { hv, { "EditStartX", "EditStartY", "EditLength", "EditLineWidth" }, { 5, 6, 20, 0.5 }, { 108, -1, 0, 108 } },
        { line, { "EditStartX", "EditStartY", "EditEndX", "EditEndY", "EditLineWidth" }, { 1, 2, 30, 40, 0.3 },
            { 107.5, 501, -0.5, 600, 0 } },
        { ellipse, { "EditCentreX", "EditCentreY", "EditRadiusX", "EditRadiusY", "EditLineWidth" }, { 20, 20, 10, 5, 0.4 },
            { 108, 501, 0, 501, 107.1 } },
        { rectangle, { "EditStartX", "EditStartY", "EditWidth", "EditHeight", "EditLineWidth" }, { 3, 4, 30, 20, 0.6 },
            { -0.1, 500.1, 107.1, 0, 106.1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.object->Name.toStdString());
        const PropertyMap before = PropertiesOf(*c.object);
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            prompts.messages.clear();
            EXPECT_FALSE(edit(*c.object, [&](QDialog* d) {
                for (std::size_t k = 0; k < c.fields.size(); ++k)
                    field<QDoubleSpinBox>(d, c.fields[k])->setValue(k == i ? c.bad[k] : c.good[k]);
                EXPECT_FALSE(pressOk(d)) << c.fields[i];
                EXPECT_EQ(static_cast<TShapePropForm*>(d)->refusedField(), static_cast<int>(i));
                return false;
            }));
            EXPECT_EQ(prompts.messages.size(), 1u) << c.fields[i];
            EXPECT_EQ(PropertiesOf(*c.object), before);
        }
        auto expected = c.object->clone();
        EXPECT_TRUE(edit(*c.object, [&](QDialog* d) {
            for (std::size_t k = 0; k < c.fields.size(); ++k)
                field<QDoubleSpinBox>(d, c.fields[k])->setValue(c.good[k]);
            return pressOk(d);
        }));
        const auto& g = c.good;
        switch (c.object->kind()) {
        case ObjectKind::HVLine: ApplyHVLineDialog(static_cast<TOAHVLine&>(*expected), { g[0], g[1], g[2], g[3] }); break;
        case ObjectKind::Line: ApplyLineDialog(static_cast<TOALine&>(*expected), { g[0], g[1], g[2], g[3], g[4] }); break;
        case ObjectKind::Ellipse: {
            EllipseDialogValues v = OpenEllipseDialog(static_cast<TOAEllipse&>(*expected));
            v = { g[0], g[1], g[2], g[3], g[4], v.fill, v.color };
            ApplyEllipseDialog(static_cast<TOAEllipse&>(*expected), v);
            break;
        }
        default: {
            RectangleDialogValues v = OpenRectangleDialog(static_cast<TOARectangle&>(*expected));
            v = { g[0], g[1], g[2], g[3], g[4], v.fill, v.color };
            ApplyRectangleDialog(static_cast<TOARectangle&>(*expected), v);
            break;
        }
        }
        EXPECT_EQ(PropertiesOf(*c.object), PropertiesOf(*expected));
    }
}

TEST_F(PropertyDialogTest, FilledShapesTakeTheChosenColour)
{
    auto* rectangle = add(std::make_unique<TOARectangle>());
    SetColorChooser([](const QColor&, QWidget*) { return QColor(Qt::red); });
    EXPECT_TRUE(edit(*rectangle, [](QDialog* d) {
        field<QDoubleSpinBox>(d, "EditWidth")->setValue(10);
        field<QDoubleSpinBox>(d, "EditHeight")->setValue(10);
        field<QCheckBox>(d, "CheckBoxFill")->setChecked(true);
        field<QPushButton>(d, "ButtonColor")->click();
        return pressOk(d);
    }));
    SetColorChooser({});
    EXPECT_EQ(rectangle->Fill(), 1);
    EXPECT_EQ(rectangle->Color(), QColor(Qt::red));
}

// --- image -----------------------------------------------------------------------------------

TEST_F(PropertyDialogTest, ImageDialogSwapsTheColourRowsAndKeepsTheProportion)
{
    auto* image = add(std::make_unique<TOAImage>());
    QImage picture(96, 48, QImage::Format_RGB888);
    picture.fill(Qt::gray);
    ASSERT_EQ(image->SetOrgPicture(picture), PictureError::None);
    const PropertyMap before = PropertiesOf(*image);
    EXPECT_FALSE(edit(*image, [](QDialog* d) {
        field<QComboBox>(d, "ComboBoxBW")->setCurrentIndex(3);
        return false;
    }));
    EXPECT_EQ(PropertiesOf(*image), before);

    EXPECT_TRUE(edit(*image, [](QDialog* d) {
        auto* red = field<QLineEdit>(d, "EditRed");
        red->setText(QStringLiteral("300"));
        emit red->textEdited(red->text());
        EXPECT_EQ(red->text(), QStringLiteral("255"));
        auto* blue = field<QLineEdit>(d, "EditBlue");
        blue->setText(QStringLiteral("-12"));
        emit blue->textEdited(blue->text());
        field<QComboBox>(d, "ComboBoxBW")->setCurrentIndex(2);
        field<QCheckBox>(d, "CheckBoxHorizontal")->setChecked(true);
        field<QCheckBox>(d, "CheckBoxKeepRatio")->setChecked(true);
        field<QDoubleSpinBox>(d, "EditWidthPercent")->setValue(50);
        EXPECT_DOUBLE_EQ(field<QDoubleSpinBox>(d, "EditHeightPercent")->value(), 50);
        EXPECT_DOUBLE_EQ(field<QDoubleSpinBox>(d, "EditWidth")->value(), 12.7); // 96 px = 25.4 mm
        return pressOk(d);
    }));
    EXPECT_EQ(image->Blue(), 255);
    EXPECT_EQ(image->Red(), -12);
    EXPECT_EQ(image->BW(), 2);
    EXPECT_TRUE(image->Horizontal());
    EXPECT_EQ(image->HeightWidthRatio(), 1);
    EXPECT_EQ(image->DragWidth(), ImageDragPixels(12.7, document.zoom()));
}

TEST_F(PropertyDialogTest, EveryKindButTheInverseAreaHasADialogWithItsHelpTopic)
{
    EXPECT_FALSE(HasPropertyDialog(ObjectKind::InvertArea));
    for (ObjectKind k : { ObjectKind::Text, ObjectKind::BarCode, ObjectKind::Image, ObjectKind::Line,
             ObjectKind::Rectangle, ObjectKind::Ellipse, ObjectKind::HVLine })
        EXPECT_TRUE(HasPropertyDialog(k));
    TOAText* text = newText(document);
    TTextPropForm form(document, *text);
    EXPECT_EQ(form.property("helpTopic").toString(), HelpTopic::Text);
    EXPECT_FALSE(HelpFilePath(HelpTopic::Text).isEmpty());
}

} // namespace
} // namespace korvel::test

namespace korvel::test {
namespace {

TEST_F(PropertyDialogTest, EveryLanguageFileCoversTheDialogsTexts)
{
    auto* text = newText(document);
    auto* barcode = newBarcode(document, TBarCodeType::bcCode39, "A");
    auto* image = add(std::make_unique<TOAImage>());
    TTextPropForm textForm(document, *text);
    TBarcodePropForm barcodeForm(document, *barcode);
    TImagePropForm imageForm(*image, document.zoom());
    THVLinePropForm hvForm(*add(std::make_unique<TOAHVLine>()));
    TLinePropForm lineForm(*add(std::make_unique<TOALine>()));
    TEllipsePropForm ellipseForm(*add(std::make_unique<TOAEllipse>()));
    TRectanglePropForm rectangleForm(*add(std::make_unique<TOARectangle>()));
    const std::vector<QDialog*> forms = { &textForm, &barcodeForm, &imageForm, &hvForm, &lineForm, &ellipseForm, &rectangleForm };
    // Labels the dialogs write themselves.
    const QStringList written = { "LabelLength", "LabelValue", "LabelCount", "LabelComment", "LabelVerdict",
        "ImagePreview", "LabelSourceSize", "LabelColorSample", "LabelNarrow", "LabelWidthPercent", "LabelHeightPercent" };
    for (int index = 0; index < LanguageCount; ++index) {
        const IniFile ini
            = IniFile::load(dataDir() + QStringLiteral("/Language/") + LanguageName(index) + QStringLiteral(".lan"));
        for (QDialog* form : forms) {
            const QByteArray s = form->objectName().toUtf8();
            auto expect = [&](const QString& key) {
                EXPECT_TRUE(ini.value(s, key.toUtf8()).has_value())
                    << LanguageName(index).toStdString() << " [" << s.toStdString() << "] " << key.toStdString();
            };
            expect(form->objectName() + QStringLiteral(".Caption"));
            for (QObject* o : form->findChildren<QObject*>()) {
                const QString name = o->objectName();
                if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || written.contains(name)
                    || qobject_cast<QTabBar*>(o->parent()))
                    continue;
                auto* w = qobject_cast<QWidget*>(o);
                if (qobject_cast<QAbstractButton*>(o) || qobject_cast<QLabel*>(o) || qobject_cast<QGroupBox*>(o)
                    || (w && qobject_cast<QTabWidget*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr)))
                    expect(name + QStringLiteral(".Caption"));
            }
        }
        for (int k : { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 29, 30 })
            EXPECT_TRUE(ini.value("Common", QByteArray("message") + QByteArray::number(k)).has_value()) << k;
        for (const char* key : { "message1", "message2", "message3", "ReadsAs", "TooNarrow", "NotValid" })
            EXPECT_TRUE(ini.value("BarcodePropFormInside", key).has_value()) << key;
        for (const char* key : { "zijie", "message4", "message5", "tishi2" })
            EXPECT_TRUE(ini.value("All", key).has_value()) << key;
    }
}

TEST_F(PropertyDialogTest, DialogsReadTheirTextsFromTheEnglishFile)
{
    SetCurrentLanguage(1);
    auto* barcode = newBarcode(document, TBarCodeType::bcCodeEAN13, "012345678901");
    TBarcodePropForm form(document, *barcode);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Barcode properties"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("LabelNarrow"))->text(), QStringLiteral("Module width (mm):"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("LabelComment"))->text(),
              QStringLiteral("EAN-13: 12 digits; the check digit is added."));
    EXPECT_TRUE(form.verdict().text.startsWith(QStringLiteral("reads as "))) << form.verdict().text.toStdString();
    SetCurrentLanguage(0);
}

} // namespace
} // namespace korvel::test

namespace korvel::test {
namespace {

TEST_F(PropertyDialogTest, ANewBoundTextShowsABlankValueAsTheMarker)
{
    TOAText* text = newText(document);
    ASSERT_EQ(AddVariable(document, VariableKind::Formula), 1); // an empty expression: a blank value
    PropertyDialogOptions options;
    options.creating = true;
    prompts.onDialog = [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("文本设置"));
        field<QComboBox>(d, "ComboBoxSource")->setCurrentIndex(static_cast<int>(VariableKind::Formula));
        return pressOk(d);
    };
    EXPECT_TRUE(EditProperties(nullptr, document, *text, options));
    EXPECT_EQ(text->Text(), QByteArray(NullMarker));

    // Editing keeps the blank value itself; an empty fixed text accepts a new object as it is.
    prompts.onDialog = [](QDialog* d) { return pressOk(d); };
    EXPECT_TRUE(EditProperties(nullptr, document, *text));
    EXPECT_TRUE(text->Text().isEmpty());
    TOAText* fresh = newText(document);
    const QByteArray before = fresh->Text();
    prompts.onDialog = [](QDialog* d) {
        field<QPlainTextEdit>(d, "MemoText")->clear();
        return pressOk(d);
    };
    EXPECT_TRUE(EditProperties(nullptr, document, *fresh, options));
    EXPECT_EQ(fresh->Text(), before);
}

TEST_F(PropertyDialogTest, VariableButtonsReachTheDocumentWindow)
{
    TOAText* text = newText(document);
    {
        TTextPropForm form(document, *text);
        EXPECT_TRUE(form.findChild<QPushButton*>(QStringLiteral("ButtonAddVar"))->isHidden());
    }
    std::vector<std::tuple<Command, int, int>> sent;
    PropertyDialogOptions options;
    options.variableCommand = [&](Command c, int w, int l) {
        sent.emplace_back(c, w, l);
        if (c == Command::AddVariable)
            return AddVariable(document, static_cast<VariableKind>(w + 1)) > 0 ? 1 : 0;
        return 1;
    };
    prompts.onDialog = [&](QDialog* d) {
        field<QComboBox>(d, "ComboBoxSource")->setCurrentIndex(static_cast<int>(VariableKind::Date));
        auto* modify = field<QPushButton>(d, "ButtonModifyVar");
        modify->click(); // nothing to modify yet
        EXPECT_EQ(prompts.messages.size(), 1u);
        field<QPushButton>(d, "ButtonAddVar")->click();
        EXPECT_EQ(field<QListWidget>(d, "ListBoxVar")->currentRow(), 0);
        modify->click();
        return pressOk(d);
    };
    EXPECT_TRUE(EditProperties(nullptr, document, *text, options));
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], std::make_tuple(Command::AddVariable, 1, 1));
    EXPECT_EQ(sent[1], std::make_tuple(Command::ModifyVariable, 1, 1)); // the new entry's own dialog
    EXPECT_EQ(sent[2], std::make_tuple(Command::ModifyVariable, 1, 1));
    EXPECT_EQ(text->VarType, static_cast<int>(VariableKind::Date));
    EXPECT_EQ(text->VarName, QByteArray("Date1"));
}

} // namespace
} // namespace korvel::test

namespace korvel::test {
namespace {

TEST_F(PropertyDialogTest, ThePropertiesCommandIsOneUndoStep)
{
    TChildForm window;
    LabelDocument& doc = window.document();
    auto t = std::make_unique<TOAText>(QStringLiteral("Text1"));
    t->SetFontSizePt(12);
    auto* text = static_cast<TOAText*>(doc.addObject(std::move(t)));
    const PropertyMap before = PropertiesOf(*text);
    doc.modified = false;
    const int groups = window.history().undoGroups();

    prompts.onDialog = [](QDialog*) { return false; };
    EXPECT_EQ(window.dispatch(Command::Properties), 0);
    EXPECT_EQ(window.history().undoGroups(), groups);
    EXPECT_FALSE(doc.modified);

    prompts.onDialog = [](QDialog* d) {
        field<QCheckBox>(d, "CheckBoxBold")->setChecked(true);
        field<QPlainTextEdit>(d, "MemoText")->setPlainText(QStringLiteral("changed"));
        return pressOk(d);
    };
    EXPECT_EQ(window.dispatch(Command::Properties), 1);
    EXPECT_EQ(window.history().undoGroups(), groups + 1);
    EXPECT_TRUE(doc.modified);
    text = static_cast<TOAText*>(doc.object(0));
    EXPECT_EQ(text->Text(), QByteArray("changed"));

    EXPECT_EQ(window.dispatch(Command::Undo), 1);
    EXPECT_EQ(PropertiesOf(*doc.object(0)), before);
}

} // namespace
} // namespace korvel::test

namespace korvel::test {
namespace {

/// Writes a picture of every dialog in English into $KORVEL_SHOT_DIR (the pictures of the
/// documentation are made this way under a virtual X server); skipped without it.
TEST_F(PropertyDialogTest, Screenshots)
{
    const QString dir = qEnvironmentVariable("KORVEL_SHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "KORVEL_SHOT_DIR not set";
    SetCurrentLanguage(1);
    AddVariable(document, VariableKind::Counter);
    auto* text = newText(document);
    text->SetText("Korvel label");
    auto* barcode = newBarcode(document, TBarCodeType::bcCodeEAN13, "400638133393");
    barcode->SetBarNarrow(3);
    auto* image = add(std::make_unique<TOAImage>());
    QImage picture(120, 80, QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixelColor(x, y, QColor::fromHsv((x * 3) % 360, 160, 100 + y));
    image->SetOrgPicture(picture);
    auto shoot = [&](QDialog& d, const QString& name, const std::function<void(QDialog&)>& setup = {}) {
        d.show();
        if (setup)
            setup(d);
        ProcessEvents();
        d.grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
        d.hide();
    };
    {
        TTextPropForm d(document, *text);
        shoot(d, QStringLiteral("text-dialog"));
        shoot(d, QStringLiteral("text-dialog-font"), [](QDialog& f) {
            f.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        });
    }
    {
        TBarcodePropForm d(document, *barcode);
        d.setVariableCommand([](Command, int, int) { return 0; });
        shoot(d, QStringLiteral("barcode-dialog"));
        shoot(d, QStringLiteral("barcode-dialog-refused"), [](QDialog& f) {
            f.findChild<QLineEdit*>(QStringLiteral("EditData"))->setText(QStringLiteral("4006381333937"));
        });
        shoot(d, QStringLiteral("barcode-dialog-text"), [](QDialog& f) {
            f.findChild<QLineEdit*>(QStringLiteral("EditData"))->setText(QStringLiteral("400638133393"));
            f.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(2);
        });
    }
    {
        TImagePropForm d(*image, document.zoom());
        shoot(d, QStringLiteral("image-dialog"));
    }
    {
        THVLinePropForm d(*add(std::make_unique<TOAHVLine>()));
        shoot(d, QStringLiteral("hvline-dialog"));
        TLinePropForm l(*add(std::make_unique<TOALine>()));
        shoot(l, QStringLiteral("line-dialog"));
        TEllipsePropForm e(*add(std::make_unique<TOAEllipse>()));
        shoot(e, QStringLiteral("ellipse-dialog"));
        TRectanglePropForm r(*add(std::make_unique<TOARectangle>()));
        shoot(r, QStringLiteral("rectangle-dialog"));
    }
    SetCurrentLanguage(0);
}

} // namespace
} // namespace korvel::test

namespace korvel::test {
namespace {

TEST_F(PropertyDialogTest, ImageDialogTakesAPictureFromAFileOrTheClipboard)
{
    auto* image = add(std::make_unique<TOAImage>());
    QTemporaryDir dir;
    const QString notAPicture = dir.filePath(QStringLiteral("notes.bmp"));
    {
        QFile f(notAPicture);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
    }
    const QString picture = dir.filePath(QStringLiteral("logo.png"));
    QImage logo(40, 20, QImage::Format_RGB888);
    logo.fill(Qt::black);
    ASSERT_TRUE(logo.save(picture));
    prompts.openNames = { notAPicture, picture };
    EXPECT_TRUE(edit(*image, [](QDialog* d) {
        field<QPushButton>(d, "ButtonFile")->click();
        field<QPushButton>(d, "ButtonFile")->click();
        return pressOk(d);
    }));
    ASSERT_EQ(prompts.messages.size(), 1u); // the file that is no picture
    EXPECT_TRUE(prompts.messages[0].text.contains(notAPicture));
    EXPECT_EQ(image->OrgWidth, 40);
    EXPECT_EQ(image->OrgHeight, 20);

    QImage pasted(30, 60, QImage::Format_RGB888);
    pasted.fill(Qt::white);
    QGuiApplication::clipboard()->setImage(pasted);
    if (!QGuiApplication::clipboard()->mimeData()->hasImage())
        GTEST_SKIP() << "no clipboard on this platform";
    EXPECT_TRUE(edit(*image, [](QDialog* d) {
        auto* paste = field<QPushButton>(d, "ButtonClipboard");
        EXPECT_TRUE(paste->isEnabled());
        paste->click();
        return pressOk(d);
    }));
    EXPECT_EQ(image->OrgWidth, 30);
    EXPECT_EQ(image->OrgHeight, 60);
}

} // namespace
} // namespace korvel::test

namespace korvel::test {
namespace {

TEST_F(PropertyDialogTest, LineWidthArrowsStopBelowWhatMayBeTyped)
{
    THVLinePropForm hv(*add(std::make_unique<TOAHVLine>()));
    auto* width = hv.findChild<QDoubleSpinBox*>(QStringLiteral("EditLineWidth"));
    width->setValue(8.95);
    width->stepBy(1);
    EXPECT_DOUBLE_EQ(width->value(), 9.0);
    width->stepBy(1);
    EXPECT_DOUBLE_EQ(width->value(), 9.0); // the arrows of the line dialog stop at 9 mm
    width->setValue(50.0); // typing goes on up to 107 mm
    hv.findChild<QDoubleSpinBox*>(QStringLiteral("EditLength"))->setValue(10.0);
    EXPECT_TRUE(pressOk(&hv));

    TLinePropForm line(*add(std::make_unique<TOALine>()));
    width = line.findChild<QDoubleSpinBox*>(QStringLiteral("EditLineWidth"));
    width->setValue(1.0);
    width->stepBy(3);
    EXPECT_DOUBLE_EQ(width->value(), 1.0);
}

} // namespace
} // namespace korvel::test
