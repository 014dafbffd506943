#include "editor/properties/TextPropForm.h"

#include "ui_TextPropForm.h"

#include "document/CodePage.h"
#include "document/FontMapping.h"
#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "document/PrinterFontFile.h"
#include "editor/HelpWindow.h"
#include "editor/Language.h"
#include "editor/properties/ContentSource.h"

#include <QIntValidator>
#include <QKeyEvent>
#include <QPixmap>

namespace korvel {

namespace {
/// Width of the box the alignment samples are laid out in.
constexpr int kSampleBoxWidth = 200;
} // namespace

TTextPropForm::TTextPropForm(const LabelDocument& document, const TOAText& text, QWidget* parent)
    : TPropertyForm(parent)
    , ui_(std::make_unique<Ui::TextPropForm>())
{
    // The font lists must see the label fonts before they exist: registering a font later
    // refills them in the middle of a drawing.
    loadPinnedFonts();
    ui_->setupUi(this);
    for (int size : TextFontSizeList)
        ui_->ComboBoxFontSize->addItem(QString::number(size));
    for (int i = 0; i <= ExtraListMax; ++i) {
        ui_->ComboBoxCharExtra->addItem(QString::number(i));
        ui_->ComboBoxLineExtra->addItem(QString::number(i));
    }
    for (QComboBox* box : { ui_->ComboBoxFontSize, ui_->ComboBoxCharExtra, ui_->ComboBoxLineExtra })
        box->lineEdit()->setMaxLength(TextEntryMaxChars);
    ui_->ComboBoxPrnFont->addItems(PrinterFontNames());
    ui_->EditWidthRate->setValidator(new QIntValidator(WidthRateMin, WidthRateMax, this));
    ui_->MemoText->installEventFilter(this);
    source_ = new ContentSource(document, ui_->ComboBoxSource, ui_->StackSource, ui_->ListBoxVar, ui_->LabelValue, this);
    source_->setButtons(ui_->ButtonAddVar, ui_->ButtonModifyVar);

    finishForm(HelpTopic::Text);

    sample_.reset(static_cast<TOAText*>(text.clone().release()));
    sample_->setZoom(1.0);
    fill(TextDialogValuesOf(text));

    auto refresh = [this] {
        if (!filling_) {
            enableFields();
            refreshPreview();
        }
    };
    const QList<QAbstractButton*> switches { ui_->RadioButtonWinFont, ui_->RadioButtonPrnFont, ui_->RadioButtonSingle,
        ui_->RadioButtonParagraph, ui_->RadioButtonRing, ui_->CheckBoxBold, ui_->CheckBoxItalic, ui_->CheckBoxUnderline,
        ui_->CheckBoxOutline, ui_->CheckBoxInvert };
    for (QAbstractButton* b : switches)
        connect(b, &QAbstractButton::toggled, this, refresh);
    connect(ui_->ComboBoxAlign, &QComboBox::currentIndexChanged, this, refresh);
    connect(ui_->ComboBoxPrnFont, &QComboBox::currentIndexChanged, this, refresh);
    connect(ui_->ComboBoxFontName, &QFontComboBox::currentFontChanged, this, refresh);
    connect(ui_->SpinEditZoomX, &QSpinBox::valueChanged, this, refresh);
    connect(ui_->SpinEditZoomY, &QSpinBox::valueChanged, this, refresh);
    connect(ui_->ComboBoxFontSize, &QComboBox::activated, this, [this, refresh] {
        fontSizeEdited();
        refresh();
    });
    connect(ui_->ComboBoxFontSize->lineEdit(), &QLineEdit::editingFinished, this, [this, refresh] {
        fontSizeEdited();
        refresh();
    });
    for (QComboBox* box : { ui_->ComboBoxCharExtra, ui_->ComboBoxLineExtra })
        connect(box->lineEdit(), &QLineEdit::editingFinished, this, [box, refresh] {
            box->setEditText(CorrectExtraEntry(box->currentText()));
            refresh();
        });
    connect(ui_->ComboBoxCharExtra, &QComboBox::activated, this, refresh);
    connect(ui_->ComboBoxLineExtra, &QComboBox::activated, this, refresh);
    connect(ui_->EditWidthRate, &QLineEdit::editingFinished, this, refresh);
    connect(ui_->EditRingWidth, &QLineEdit::editingFinished, this, [this, refresh] {
        ui_->EditRingWidth->setText(CorrectRingWidthEntry(ui_->EditRingWidth->text()));
        refresh();
    });
    connect(ui_->MemoText, &QPlainTextEdit::textChanged, this, [this, refresh] {
        refreshLength();
        refresh();
    });
    connect(source_, &ContentSource::changed, this, refresh);
    enableFields();
    refreshPreview();
}

TTextPropForm::~TTextPropForm() = default;

void TTextPropForm::setVariableCommand(VariableCommand command)
{
    source_->setVariableCommand(std::move(command));
}

void TTextPropForm::fill(const TextDialogValues& v)
{
    filling_ = true;
    ui_->CheckBoxBold->setChecked(v.Bold);
    ui_->CheckBoxItalic->setChecked(v.Italic);
    ui_->CheckBoxUnderline->setChecked(v.Underline);
    ui_->CheckBoxOutline->setChecked(v.OutlineTextout == 1);
    ui_->CheckBoxInvert->setChecked(v.Invert);
    ui_->ComboBoxCharExtra->setEditText(QString::number(v.TextCharExtra));
    ui_->ComboBoxLineExtra->setEditText(QString::number(v.TextLineExtra));
    ui_->ComboBoxFontName->setCurrentFont(QFont(v.FontName));
    ui_->ComboBoxFontName->setEditText(v.FontName);
    fontSize_ = v.FontSizePt > 0 ? v.FontSizePt : 8;
    ui_->ComboBoxFontSize->setEditText(QString::number(fontSize_));
    ui_->EditWidthRate->setText(QString::number(v.TextWidthRate));
    const TextKind kind = TextKindOf(v.TextAlign, v.RoundText);
    ui_->RadioButtonSingle->setChecked(kind == TextKind::SingleLine);
    ui_->RadioButtonParagraph->setChecked(kind == TextKind::Paragraph);
    ui_->RadioButtonRing->setChecked(kind == TextKind::Ring);
    ui_->ComboBoxAlign->setCurrentIndex(kind == TextKind::Paragraph ? std::clamp(v.TextAlign, 1, 4) - 1 : 0);
    ui_->EditRingWidth->setText(QString::number(v.DragWidth));
    ui_->EditRingHeight->setText(QString::number(v.DragHeight));
    ui_->ComboBoxPrnFont->setCurrentIndex(ListPositionOfPrnFontIdx(v.PrnFontIdx));
    ui_->SpinEditZoomX->setValue(ClampMagnification(v.PrnFntZoomX));
    ui_->SpinEditZoomY->setValue(ClampMagnification(v.PrnFntZoomY));
    ui_->RadioButtonPrnFont->setChecked(v.UsePrnFont == 1);
    ui_->RadioButtonWinFont->setChecked(v.UsePrnFont != 1);
    const auto kindOfVar = static_cast<VariableKind>(v.VarType);
    source_->setSource(kindOfVar, v.VarName);
    // A bound text keeps its last fixed text out of sight; the field starts with the text.
    ui_->MemoText->setPlainText(CodePage::document().toUnicode(v.Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    refreshLength();
    filling_ = false;
}

void TTextPropForm::enableFields()
{
    const bool printerFont = ui_->RadioButtonPrnFont->isChecked();
    ui_->StackFont->setCurrentIndex(printerFont ? 1 : 0);
    // Paragraphs and rings are drawn in a screen font only.
    ui_->ComboBoxAlign->setEnabled(ui_->RadioButtonParagraph->isChecked());
    ui_->EditRingWidth->setEnabled(ui_->RadioButtonRing->isChecked());
    ui_->LabelRingWidth->setEnabled(ui_->RadioButtonRing->isChecked());
}

void TTextPropForm::fontSizeEdited()
{
    const FontSizeEntry entry = CheckFontSizeEntry(ui_->ComboBoxFontSize->currentText());
    if (entry.accepted)
        fontSize_ = entry.points;
    ui_->ComboBoxFontSize->setEditText(entry.accepted ? entry.text : QString::number(fontSize_));
}

QByteArray TTextPropForm::fixedText() const
{
    QString t = ui_->MemoText->toPlainText();
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return CodePage::document().cutBytes(CodePage::document().fromUnicode(t), FixedTextMaxChars);
}

void TTextPropForm::refreshLength()
{
    const QByteArray bytes = CodePage::document().fromUnicode(ui_->MemoText->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
    if (bytes.size() > FixedTextMaxChars) {
        // Typing and pasting stop at the record's capacity.
        const QSignalBlocker block(ui_->MemoText);
        QString cut = CodePage::document().toUnicode(CodePage::document().cutBytes(bytes, FixedTextMaxChars));
        ui_->MemoText->setPlainText(cut.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        ui_->MemoText->moveCursor(QTextCursor::End);
    }
    ui_->LabelLength->setText(
        FixedTextLengthLabel(fixedText(), LookupText(QStringLiteral("All"), QStringLiteral("zijie"), QStringLiteral("Byte"))));
}

TextDialogValues TTextPropForm::values() const
{
    TextDialogValues v;
    v.Bold = ui_->CheckBoxBold->isChecked();
    v.Italic = ui_->CheckBoxItalic->isChecked();
    v.Underline = ui_->CheckBoxUnderline->isChecked();
    v.OutlineTextout = ui_->CheckBoxOutline->isChecked() ? 1 : 0;
    v.TextCharExtra = CorrectExtraEntry(ui_->ComboBoxCharExtra->currentText()).toInt();
    v.TextLineExtra = CorrectExtraEntry(ui_->ComboBoxLineExtra->currentText()).toInt();
    v.FontName = ui_->ComboBoxFontName->currentText();
    v.FontSizePt = fontSize_;
    v.Invert = ui_->CheckBoxInvert->isChecked();
    const WidthRateCheck rate = CheckWidthRateOnOk(ui_->EditWidthRate->text());
    v.TextWidthRate = rate.value;
    const TextKind kind = ui_->RadioButtonRing->isChecked() ? TextKind::Ring
        : ui_->RadioButtonParagraph->isChecked()            ? TextKind::Paragraph
                                                            : TextKind::SingleLine;
    const TextLayoutChoice layout = LayoutForKind(kind, ui_->ComboBoxAlign->currentIndex() + 1);
    v.TextAlign = layout.TextAlign;
    v.RoundText = layout.RoundText;
    v.DragWidth = CorrectRingWidthEntry(ui_->EditRingWidth->text()).toInt();
    v.DragHeight = ui_->EditRingHeight->text().toInt();
    v.PrnFontIdx = PrnFontIdxOfListPosition(ui_->ComboBoxPrnFont->currentIndex());
    v.PrnFntZoomX = ui_->SpinEditZoomX->value();
    v.PrnFntZoomY = ui_->SpinEditZoomY->value();
    if (source_->isFixed()) {
        v.VarType = 0;
        v.VarName.clear();
        v.Text = fixedText();
    } else {
        v.VarType = static_cast<std::int32_t>(source_->kind());
        v.VarName = source_->name();
        v.Text = source_->presentValue();
    }
    v.UsePrnFont = ui_->RadioButtonPrnFont->isChecked() ? 1 : 0;
    return v;
}

bool TTextPropForm::changesObject() const
{
    return !OkLeavesTextUnchanged(source_->isFixed(), fixedText());
}

void TTextPropForm::accept()
{
    fontSizeEdited();
    ui_->ComboBoxCharExtra->setEditText(CorrectExtraEntry(ui_->ComboBoxCharExtra->currentText()));
    ui_->ComboBoxLineExtra->setEditText(CorrectExtraEntry(ui_->ComboBoxLineExtra->currentText()));
    ui_->EditRingWidth->setText(CorrectRingWidthEntry(ui_->EditRingWidth->text()));
    const WidthRateCheck rate = CheckWidthRateOnOk(ui_->EditWidthRate->text());
    if (!rate.ok) {
        ui_->EditWidthRate->setText(rate.text);
        ui_->PageControl1->setCurrentWidget(ui_->TabSheetFont);
        ui_->RadioButtonWinFont->setChecked(true);
        ui_->EditWidthRate->setFocus();
        return;
    }
    if (!source_->isFixed() && source_->name().isEmpty()) {
        refuse(LookupText(QStringLiteral("TextPropFormInside"), QStringLiteral("message1"), QStringLiteral("请先选择一个变量")));
        ui_->PageControl1->setCurrentWidget(ui_->TabSheetContent);
        return;
    }
    QDialog::accept();
}

bool TTextPropForm::eventFilter(QObject* watched, QEvent* event)
{
    // Enter confirms the dialog instead of breaking the line; Ctrl+Enter still breaks it.
    if (watched == ui_->MemoText && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & Qt::ControlModifier)) {
            ui_->BitBtnOK->click();
            return true;
        }
    }
    return TPropertyForm::eventFilter(watched, event);
}

void TTextPropForm::refreshPreview()
{
    TextDialogValues v = values();
    if (v.UsePrnFont == 1) {
        v.Text = CodePage::document().fromUnicode(PrinterFontPreviewText());
    } else if (v.RoundText == 1) {
        v.DragWidth = RingPreviewSize;
        v.DragHeight = RingPreviewSize / 2;
        const QByteArray fixed = v.Text;
        v.Text = fixed.isEmpty() ? CodePage::document().fromUnicode(WindowsFontPreviewText(
                     LookupText(QStringLiteral("TextPropFormInside"), QStringLiteral("wenbenzifu"), QStringLiteral("Text"))))
                                 : fixed;
    } else if (v.TextAlign >= 1) {
        v.DragWidth = kSampleBoxWidth;
        v.Text = CodePage::document().fromUnicode(AlignmentSampleLines(v.TextAlign).join(QStringLiteral("\r\n")));
    } else {
        // The font sample has two lines; a single line would join them, so it is laid out as a
        // centred paragraph as wide as the preview.
        v.TextAlign = static_cast<int>(TextAlignment::Centre);
        v.DragWidth = ui_->ImagePreview->minimumWidth();
        v.Text = CodePage::document().fromUnicode(WindowsFontPreviewText(
            LookupText(QStringLiteral("TextPropFormInside"), QStringLiteral("wenbenzifu"), QStringLiteral("Text"))));
    }
    // The preview is a text object of its own at 100 %, turned upright.
    v.VarType = 0;
    v.VarName.clear();
    sample_->setAngle(0);
    ApplyTextDialogValues(*sample_, v);
    sample_->RefreshText();
    preview_ = sample_->DstBitmap();
    showPreview(ui_->ImagePreview, preview_);
}

} // namespace korvel
