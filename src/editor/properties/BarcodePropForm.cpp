#include "editor/properties/BarcodePropForm.h"

#include "ui_BarcodePropForm.h"

#include "barcode/OABarCode.h"
#include "document/CodePage.h"
#include "document/FontMapping.h"
#include "document/LabelDocument.h"
#include "document/PrinterFontFile.h"
#include "document/TextRules.h"
#include "editor/HelpWindow.h"
#include "editor/Language.h"
#include "editor/UserPrompts.h"
#include "editor/properties/ContentSource.h"

#include <QKeyEvent>
#include <QPixmap>

namespace korvel {

namespace {

using T = TBarCodeType;

QString lookup(const char* section, const char* key, const QString& fallback)
{
    return LookupText(QString::fromLatin1(section), QString::fromLatin1(key), fallback);
}

const BarcodeTextLookup kLookup = lookup;

QString verdictStyle(SymbolVerdict::State s)
{
    switch (s) {
    case SymbolVerdict::State::Reads: return QStringLiteral("color: #1a7f1a;");
    case SymbolVerdict::State::Fails: return QStringLiteral("color: #c00000;");
    case SymbolVerdict::State::Unchecked: return QStringLiteral("color: #606060;");
    }
    return {};
}

} // namespace

TBarcodePropForm::TBarcodePropForm(const LabelDocument& document, const TOABarCode& barcode, QWidget* parent)
    : TPropertyForm(parent)
    , ui_(std::make_unique<Ui::BarcodePropForm>())
    , document_(document)
{
    // The font lists must see the label fonts before they exist: registering a font later
    // refills them in the middle of a drawing.
    loadPinnedFonts();
    ui_->setupUi(this);
    dpi_ = barcode.PrnDPI();
    ui_->ComboBoxType->addItems(BarcodeTypeList());
    ui_->ComboBoxNarrow->addItems(NarrowWidthList(dpi_));
    for (int size : TextFontSizeList)
        ui_->ComboBoxFontSize->addItem(QString::number(size));
    ui_->ComboBoxFontSize->lineEdit()->setMaxLength(TextEntryMaxChars);
    ui_->ComboBoxPrnFont->addItems(PrinterFontNames());
    for (int i = 1; i <= 8; ++i)
        ui_->ComboBoxPDFWidth->addItem(QString::number(i));
    for (int i = 1; i <= 24; ++i)
        ui_->ComboBoxPDFHeight->addItem(QString::number(i));
    // The rows list shows 3..90 for the stored values 1..88.
    for (int i = 3; i <= 90; ++i)
        ui_->ComboBoxPDFRows->addItem(QString::number(i));
    for (int i = 1; i <= 30; ++i)
        ui_->ComboBoxPDFCols->addItem(QString::number(i));
    for (int i = 0; i <= 8; ++i)
        ui_->ComboBoxPDFLevel->addItem(QString::number(i));
    for (int i = 1; i <= 13; ++i)
        ui_->ComboBoxQRElement->addItem(QString::number(i));
    ui_->EditData->installEventFilter(this);
    source_ = new ContentSource(document, ui_->ComboBoxSource, ui_->StackSource, ui_->ListBoxVar, ui_->LabelValue, this);
    source_->setButtons(ui_->ButtonAddVar, ui_->ButtonModifyVar);

    finishForm(HelpTopic::Barcode);

    sample_.reset(static_cast<TOABarCode*>(barcode.clone().release()));
    const BarcodeDialogValues initial = BarcodeDialogValuesOf(barcode, document.zoom());
    fill(initial);
    source_->setSource(static_cast<VariableKind>(barcode.VarType), barcode.VarName);

    auto changed = [this] {
        if (!filling_)
            refresh();
    };
    connect(ui_->ComboBoxType, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) {
            typeChosen(true);
            refresh();
        }
    });
    connect(ui_->ComboBoxNarrow, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) {
            fillRatios(ui_->ComboBoxRatio->currentText());
            refresh();
        }
    });
    connect(ui_->ComboBoxSubset, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) {
            typeChosen(false);
            refresh();
        }
    });
    for (QComboBox* box : { ui_->ComboBoxRatio, ui_->ComboBoxStart, ui_->ComboBoxStop, ui_->ComboBoxPos,
             ui_->ComboBoxAlign, ui_->ComboBoxPrnFont, ui_->ComboBoxPDFWidth, ui_->ComboBoxPDFHeight,
             ui_->ComboBoxPDFRows, ui_->ComboBoxPDFCols, ui_->ComboBoxPDFLevel, ui_->ComboBoxQRElement,
             ui_->ComboBoxQRLevel, ui_->ComboBoxQRModel, ui_->ComboBoxQRLanguage, ui_->ComboBoxQRMask,
             ui_->ComboBoxQRInput, ui_->ComboBoxFontSize })
        connect(box, &QComboBox::currentIndexChanged, this, changed);
    connect(ui_->ComboBoxFontSize->lineEdit(), &QLineEdit::editingFinished, this, changed);
    connect(ui_->ComboBoxFontName, &QFontComboBox::currentFontChanged, this, changed);
    for (QCheckBox* box : { ui_->CheckBoxParity, ui_->CheckBoxShowText, ui_->CheckBoxShowSum, ui_->CheckBoxBold,
             ui_->CheckBoxItalic, ui_->CheckBoxUnderline, ui_->CheckBoxPDFTrunc })
        connect(box, &QCheckBox::toggled, this, changed);
    for (QRadioButton* b : { ui_->RadioButtonWinFont, ui_->RadioButtonPrnFont, ui_->RadioButtonPrnDefault })
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !filling_) {
                enableTextOptions();
                refresh();
            }
        });
    connect(ui_->EditHeight, &QDoubleSpinBox::valueChanged, this, changed);
    connect(ui_->EditDistance, &QDoubleSpinBox::valueChanged, this, changed);
    connect(ui_->EditData, &QLineEdit::textChanged, this, [this, changed] {
        refreshCounter();
        changed();
    });
    connect(ui_->EditSeparator, &QLineEdit::editingFinished, this, [this, changed] {
        const QByteArray typed = CodePage::document().fromUnicode(ui_->EditSeparator->text());
        const QByteArray kept = SanitizeBarcodeSeparator(typed);
        if (kept != typed)
            ui_->EditSeparator->clear();
        changed();
    });
    connect(ui_->EditGroup, &QLineEdit::editingFinished, this, [this, changed] {
        ui_->EditGroup->setText(QString::number(ParseBarcodeGroupSize(ui_->EditGroup->text())));
        changed();
    });
    connect(source_, &ContentSource::changed, this, changed);
    refresh();
}

TBarcodePropForm::~TBarcodePropForm() = default;

void TBarcodePropForm::setVariableCommand(VariableCommand command)
{
    source_->setVariableCommand(std::move(command));
}

void TBarcodePropForm::fill(const BarcodeDialogValues& v)
{
    filling_ = true;
    ui_->ComboBoxType->setCurrentIndex(static_cast<int>(v.type) <= static_cast<int>(T::bcCodeQR) ? static_cast<int>(v.type) : -1);
    shownType_ = v.type;
    ui_->EditData->setText(CodePage::document().toUnicode(v.text));
    ui_->ComboBoxNarrow->setCurrentIndex(std::clamp(v.narrowPosition, 0, ui_->ComboBoxNarrow->count() - 1));
    fillRatios(v.ratio);
    ui_->CheckBoxParity->setChecked(v.parity);
    ui_->EditHeight->setValue(v.heightMM);
    ui_->EditDistance->setValue(v.labelDistance);
    ui_->ComboBoxSubset->setCurrentIndex(std::clamp(v.code128Subset, 0, 3));
    ui_->ComboBoxStart->setCurrentIndex(std::clamp(v.codabarStart, 0, 3));
    ui_->ComboBoxStop->setCurrentIndex(std::clamp(v.codabarStop, 0, 3));
    ui_->EditGroup->setText(QString::number(v.groupSize));
    ui_->EditSeparator->setText(CodePage::document().toUnicode(v.separator));
    ui_->CheckBoxShowText->setChecked(v.showText);
    ui_->CheckBoxShowSum->setChecked(v.showSum);
    ui_->ComboBoxPos->setCurrentIndex(std::clamp(v.labelPosition, 0, 1));
    ui_->ComboBoxAlign->setCurrentIndex(std::clamp(v.labelAlignment, 0, 3));
    ui_->ComboBoxFontName->setCurrentFont(QFont(v.fontName));
    ui_->ComboBoxFontName->setEditText(v.fontName);
    ui_->ComboBoxFontSize->setEditText(QString::number(v.fontSize));
    ui_->CheckBoxBold->setChecked(v.bold);
    ui_->CheckBoxItalic->setChecked(v.italic);
    ui_->CheckBoxUnderline->setChecked(v.underline);
    ui_->RadioButtonWinFont->setChecked(v.fontSource == BarcodeFontSource::Windows);
    ui_->RadioButtonPrnFont->setChecked(v.fontSource == BarcodeFontSource::Printer);
    ui_->RadioButtonPrnDefault->setChecked(v.fontSource == BarcodeFontSource::PrinterDefault);
    ui_->ComboBoxPrnFont->setCurrentIndex(std::clamp(v.printerFontPosition, 0, PrinterFontCount - 1));
    ui_->ComboBoxPDFWidth->setCurrentIndex(std::clamp(v.pdfBaseWidthPosition, 0, 7));
    ui_->ComboBoxPDFHeight->setCurrentIndex(std::clamp(v.pdfBaseHeightPosition, 0, 23));
    ui_->ComboBoxPDFRows->setCurrentIndex(std::clamp(v.pdfRowsPosition, 0, 87));
    ui_->ComboBoxPDFCols->setCurrentIndex(std::clamp(v.pdfColumnsPosition, 0, 29));
    ui_->ComboBoxPDFLevel->setCurrentIndex(std::clamp(v.pdfErrorLevel, 0, 8));
    ui_->CheckBoxPDFTrunc->setChecked(v.pdfTruncated);
    ui_->ComboBoxQRElement->setCurrentIndex(std::clamp(v.qrElementPosition, 0, 12));
    ui_->ComboBoxQRLevel->setCurrentIndex(std::max<int>(0, QStringList({ "L", "M", "H", "Q" }).indexOf(QString::fromLatin1(v.qrErrLevel))));
    ui_->ComboBoxQRModel->setCurrentIndex(v.qrModel == 1 ? 0 : 1);
    ui_->ComboBoxQRLanguage->setCurrentIndex(v.qrLanguage == 1 ? 1 : 0);
    const int mask = v.qrMaskNo.size() == 1 && v.qrMaskNo[0] >= '0' && v.qrMaskNo[0] <= '8' ? v.qrMaskNo[0] - '0' + 1 : 0;
    ui_->ComboBoxQRMask->setCurrentIndex(mask);
    ui_->ComboBoxQRInput->setCurrentIndex(v.qrInputMode == 'M' ? 1 : 0);
    typeChosen(false);
    // The object's own check choice stands where the type leaves it free.
    if (const BarcodeTypePreset* p = BarcodeTypePresetOf(v.type); p && p->check == BarcodeCheckChoice::Free)
        ui_->CheckBoxParity->setChecked(v.parity);
    refreshCounter();
    filling_ = false;
}

void TBarcodePropForm::typeChosen(bool adaptData)
{
    const int index = ui_->ComboBoxType->currentIndex();
    // Type 22 is not in the list; it stays while the user does not choose another.
    const T type = index < 0 ? shownType_ : static_cast<T>(index);
    const bool typeChanged = type != shownType_;
    shownType_ = type;
    const BarcodeTypePreset* preset = BarcodeTypePresetOf(type);
    if (!preset)
        return;
    const bool wasFilling = filling_;
    filling_ = true;
    if (adaptData && typeChanged && source_->isFixed()) {
        const QByteArray adapted = AdaptBarcodeDataToType(type, fixedData());
        ui_->EditData->setText(CodePage::document().toUnicode(adapted));
    }
    ui_->EditData->setPlaceholderText(QString::fromLatin1(preset->sample));
    const bool narrowAndRatio = preset->width == BarcodeWidthChoice::NarrowAndRatio;
    ui_->ComboBoxRatio->setEnabled(narrowAndRatio);
    ui_->LabelRatio->setEnabled(narrowAndRatio);
    const BarcodeMessageKey widthKey = BarcodeWidthLabelKey(type);
    ui_->LabelNarrow->setText(lookup(widthKey.section, widthKey.key,
        narrowAndRatio ? QStringLiteral("窄条宽度(mm):") : QStringLiteral("模块宽度(mm):")));
    ui_->CheckBoxParity->setEnabled(preset->check == BarcodeCheckChoice::Free);
    if (typeChanged || preset->check == BarcodeCheckChoice::Fixed)
        ui_->CheckBoxParity->setChecked(preset->parity);
    const bool code128 = type == T::bcCode128 || type == T::bcCodeUCCEAN128DZJG;
    ui_->ComboBoxSubset->setEnabled(code128);
    ui_->LabelSubset->setEnabled(code128);
    const bool codabar = type == T::bcCodeCodabar;
    const QList<QWidget*> codabarFields { ui_->ComboBoxStart, ui_->ComboBoxStop, ui_->LabelStart, ui_->LabelStop };
    for (QWidget* w : codabarFields)
        w->setEnabled(codabar);
    ui_->PageControl1->setTabEnabled(ui_->PageControl1->indexOf(ui_->TabSheetPDF417), type == T::bcCodePDF417);
    ui_->PageControl1->setTabEnabled(ui_->PageControl1->indexOf(ui_->TabSheetQR), type == T::bcCodeQR);
    const BarcodeComment comment = BarcodeCommentTexts(type, ui_->ComboBoxSubset->currentIndex(), kLookup);
    ui_->LabelComment->setText(comment.alone);
    ui_->EditData->setToolTip(comment.prompted);
    enableTextOptions();
    filling_ = wasFilling;
}

void TBarcodePropForm::fillRatios(const QString& keep)
{
    const QSignalBlocker block(ui_->ComboBoxRatio);
    ui_->ComboBoxRatio->clear();
    for (const BarcodeRatioChoice& r : WideRatioList(ui_->ComboBoxNarrow->currentIndex() + 1))
        ui_->ComboBoxRatio->addItem(r.label);
    ui_->ComboBoxRatio->setCurrentIndex(std::max(0, ui_->ComboBoxRatio->findText(keep)));
}

void TBarcodePropForm::enableTextOptions()
{
    const bool printerDefault = ui_->RadioButtonPrnDefault->isChecked();
    const BarcodeTextOptions o = BarcodeTextOptionsOffered(shownType_, printerDefault);
    if (o.forceTextOff)
        ui_->CheckBoxShowText->setChecked(false);
    ui_->CheckBoxShowText->setEnabled(o.showText);
    ui_->ComboBoxPos->setEnabled(o.position);
    ui_->LabelPos->setEnabled(o.position);
    ui_->EditDistance->setEnabled(o.distance);
    ui_->LabelDistance->setEnabled(o.distance);
    ui_->ComboBoxAlign->setEnabled(o.alignment);
    ui_->LabelAlign->setEnabled(o.alignment);
    ui_->EditGroup->setEnabled(o.groupSize);
    ui_->LabelGroup->setEnabled(o.groupSize);
    ui_->EditSeparator->setEnabled(o.separator);
    ui_->LabelSeparator->setEnabled(o.separator);
    ui_->GroupBoxFontSource->setEnabled(o.font);
    ui_->CheckBoxShowSum->setEnabled(o.font);
    if (printerDefault) {
        // The printer's default font sits below the bars, second alignment, no distance.
        ui_->ComboBoxPos->setCurrentIndex(static_cast<int>(TLabelPosition::lpBelow));
        ui_->ComboBoxAlign->setCurrentIndex(1);
        ui_->EditDistance->setValue(0.0);
    }
    const bool windowsFont = ui_->RadioButtonWinFont->isChecked();
    const QList<QWidget*> screenFontFields { ui_->ComboBoxFontName, ui_->ComboBoxFontSize, ui_->CheckBoxBold,
        ui_->CheckBoxItalic, ui_->CheckBoxUnderline, ui_->LabelFontName, ui_->LabelFontSize };
    for (QWidget* w : screenFontFields)
        w->setEnabled(windowsFont);
    ui_->ComboBoxPrnFont->setEnabled(ui_->RadioButtonPrnFont->isChecked());
    ui_->LabelPrnFont->setEnabled(ui_->RadioButtonPrnFont->isChecked());
}

QByteArray TBarcodePropForm::fixedData() const
{
    return CodePage::document().fromUnicode(ui_->EditData->text());
}

void TBarcodePropForm::refreshCounter()
{
    ui_->LabelCount->setText(BarcodeDataCounterText(fixedData(), kLookup));
}

BarcodeDialogValues TBarcodePropForm::values() const
{
    BarcodeDialogValues v;
    v.type = shownType_;
    v.text = fixedData();
    v.narrowPosition = ui_->ComboBoxNarrow->currentIndex();
    v.ratio = ui_->ComboBoxRatio->currentText();
    v.parity = ui_->CheckBoxParity->isChecked();
    v.heightMM = ui_->EditHeight->value();
    v.labelDistance = ui_->EditDistance->value();
    v.code128Subset = ui_->ComboBoxSubset->currentIndex();
    v.codabarStart = ui_->ComboBoxStart->currentIndex();
    v.codabarStop = ui_->ComboBoxStop->currentIndex();
    v.groupSize = ParseBarcodeGroupSize(ui_->EditGroup->text());
    v.separator = SanitizeBarcodeSeparator(CodePage::document().fromUnicode(ui_->EditSeparator->text()));
    v.showText = ui_->CheckBoxShowText->isChecked();
    v.showSum = ui_->CheckBoxShowSum->isChecked();
    v.labelPosition = ui_->ComboBoxPos->currentIndex();
    v.labelAlignment = ui_->ComboBoxAlign->currentIndex();
    v.fontName = ui_->ComboBoxFontName->currentText();
    const FontSizeEntry size = CheckFontSizeEntry(ui_->ComboBoxFontSize->currentText());
    v.fontSize = size.accepted ? size.points : 8;
    v.bold = ui_->CheckBoxBold->isChecked();
    v.italic = ui_->CheckBoxItalic->isChecked();
    v.underline = ui_->CheckBoxUnderline->isChecked();
    v.fontSource = ui_->RadioButtonPrnDefault->isChecked() ? BarcodeFontSource::PrinterDefault
        : ui_->RadioButtonPrnFont->isChecked()             ? BarcodeFontSource::Printer
                                                           : BarcodeFontSource::Windows;
    v.printerFontPosition = ui_->ComboBoxPrnFont->currentIndex();
    v.pdfBaseWidthPosition = ui_->ComboBoxPDFWidth->currentIndex();
    v.pdfBaseHeightPosition = ui_->ComboBoxPDFHeight->currentIndex();
    v.pdfRowsPosition = ui_->ComboBoxPDFRows->currentIndex();
    v.pdfColumnsPosition = ui_->ComboBoxPDFCols->currentIndex();
    v.pdfErrorLevel = ui_->ComboBoxPDFLevel->currentIndex();
    v.pdfTruncated = ui_->CheckBoxPDFTrunc->isChecked();
    v.qrElementPosition = ui_->ComboBoxQRElement->currentIndex();
    v.qrErrLevel = ui_->ComboBoxQRLevel->currentText().toLatin1();
    v.qrModel = ui_->ComboBoxQRModel->currentIndex() == 0 ? 1 : 2;
    v.qrLanguage = ui_->ComboBoxQRLanguage->currentIndex() == 1 ? 1 : 0;
    const int mask = ui_->ComboBoxQRMask->currentIndex();
    v.qrMaskNo = mask <= 0 ? QByteArrayLiteral("A") : QByteArray::number(mask - 1);
    v.qrInputMode = ui_->ComboBoxQRInput->currentIndex() == 1 ? 'M' : 'A';
    return v;
}

bool TBarcodePropForm::bound() const
{
    return !source_->isFixed();
}

VariableKind TBarcodePropForm::variableKind() const
{
    return source_->kind();
}

QByteArray TBarcodePropForm::variableName() const
{
    return source_->name();
}

QByteArray TBarcodePropForm::content() const
{
    return bound() ? source_->presentValue() : fixedData();
}

void TBarcodePropForm::applyTo(TOABarCode& barcode) const
{
    const BarcodeDialogValues v = values();
    if (bound()) {
        barcode.VarType = static_cast<std::int32_t>(variableKind());
        barcode.VarName = variableName();
        const QByteArray value = content();
        ApplyBarcodeDialogValues(barcode, v, document_.zoom(), &value);
    } else {
        barcode.VarType = 0;
        barcode.VarName.clear();
        ApplyBarcodeDialogValues(barcode, v, document_.zoom());
    }
}

void TBarcodePropForm::refresh()
{
    ui_->BitBtnOK->setEnabled(bound() || BarcodeConfirmEnabled(fixedData()));
    applyTo(*sample_);
    preview_ = sample_->DstBitmap();
    showPreview(ui_->ImagePreview, preview_);

    const BarcodeDialogValues v = values();
    verdict_ = ReadBackSymbol(*sample_, content(), v.code128Subset, v.codabarStart, v.codabarStop,
        [](const char* key, const QString& fallback) {
            return LookupText(QStringLiteral("BarcodePropFormInside"), QString::fromLatin1(key), fallback);
        });
    ui_->LabelVerdict->setText(verdict_.text);
    ui_->LabelVerdict->setStyleSheet(verdictStyle(verdict_.state));
}

void TBarcodePropForm::accept()
{
    const BarcodeDialogValues v = values();
    const BarcodeDataVerdict check = CheckBarcodeDialogData(v.type, content(), v.code128Subset, v.codabarStart, v.codabarStop);
    if (!check.ok) {
        const BarcodeMessage m = BarcodeRejectionMessage(check.reason, kLookup);
        Prompts().message(this, m.caption, m.text, UserPrompts::Icon::Warning);
        ui_->PageControl1->setCurrentWidget(ui_->TabSheetData);
        if (!bound())
            ui_->EditData->setFocus();
        return;
    }
    QDialog::accept();
}

bool TBarcodePropForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->EditData && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        BarcodeTypedKey k;
        k.deletion = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
        k.keypad = (key->modifiers() & Qt::KeypadModifier) != 0;
        if (!k.deletion && !typed.isEmpty() && typed.at(0).isPrint()) {
            const QByteArray bytes = CodePage::document().fromUnicode(typed);
            k.ch = bytes.isEmpty() ? 0 : bytes.at(0);
            if (!AcceptBarcodeKey(shownType_, fixedData(), k))
                return true;
        }
    }
    return TPropertyForm::eventFilter(watched, event);
}

} // namespace korvel
