#include "editor/formatting/FormattingBar.h"

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "document/Rounding.h"
#include "editor/editing/Operation.h"

namespace korvel {

bool FormatState::enabled(FormatButton button) const
{
    switch (button) {
    case FormatButton::Bold:
    case FormatButton::Italic:
    case FormatButton::Underline: return stylesEnabled;
    case FormatButton::Reverse:
    case FormatButton::Outline: return textOnlyEnabled;
    default: return alignEnabled;
    }
}

bool FormatState::pressed(FormatButton button) const
{
    if (!enabled(button))
        return false; // a disabled button shows released
    switch (button) {
    case FormatButton::Bold: return bold;
    case FormatButton::Italic: return italic;
    case FormatButton::Underline: return underline;
    case FormatButton::Reverse: return reverse;
    case FormatButton::Outline: return outline;
    case FormatButton::Left: return alignment == 1;
    case FormatButton::Centre: return alignment == 2;
    case FormatButton::Right: return alignment == 3;
    case FormatButton::Distributed: return alignment == 4;
    }
    return false;
}

QStringList FormattingBar::SizeChoices()
{
    return { "8", "9", "10", "12", "14", "16", "18", "20", "24", "28", "32", "36", "48", "72" };
}

bool FormattingBar::IsWholeNumberText(const QString& text)
{
    if (text.isEmpty())
        return false;
    if (!text.at(0).isDigit() && text.at(0) != QLatin1Char('-'))
        return false;
    for (qsizetype i = 1; i < text.size(); ++i)
        if (!text.at(i).isDigit())
            return false;
    return true;
}

FormattingBar::FormattingBar(LabelDocument& document, TOperation& history)
    : document_(document)
    , history_(history)
{
}

bool FormattingBar::textsSelected() const
{
    for (const TOAControl* o : document_.selection())
        if (o->kind() == ObjectKind::Text)
            return true;
    return false;
}

bool FormattingBar::barcodesSelected() const
{
    for (const TOAControl* o : document_.selection())
        if (o->kind() == ObjectKind::BarCode)
            return true;
    return false;
}

void FormattingBar::refreshEnabling()
{
    const auto& selection = document_.selection();
    bool allTexts = !selection.empty(), allBarcodes = !selection.empty();
    bool screenText = false, screenBarcode = false, singleLine = false;
    for (const TOAControl* o : selection) {
        if (auto* t = dynamic_cast<const TOAText*>(o)) {
            screenText = screenText || t->UsePrnFont() == 0;
            singleLine = singleLine || t->TextAlign() == 0;
        } else {
            allTexts = false;
        }
        if (auto* b = dynamic_cast<const TOABarCode*>(o))
            screenBarcode = screenBarcode || (b->ShowText() && b->UsePrnFont() == 0 && !b->LabelWithPrn());
        else
            allBarcodes = false;
    }
    FormatState& s = state_;
    s.boxesEnabled = s.stylesEnabled = s.textOnlyEnabled = s.alignEnabled = false;
    if (allTexts && screenText) {
        s.boxesEnabled = s.stylesEnabled = s.textOnlyEnabled = true;
        s.alignEnabled = !singleLine;
    } else if (allBarcodes && screenBarcode) {
        s.boxesEnabled = s.stylesEnabled = s.alignEnabled = true;
    }
}

void FormattingBar::showFormat(const TOAControl& object)
{
    if (auto* t = dynamic_cast<const TOAText*>(&object)) {
        state_.fontName = t->TextFont().Name;
        state_.sizeText = QString::number(t->FontSizePt());
        state_.bold = t->TextFont().has(TextFontStyle::Bold);
        state_.italic = t->TextFont().has(TextFontStyle::Italic);
        state_.underline = t->TextFont().has(TextFontStyle::Underline);
        state_.reverse = t->Invert();
        state_.outline = t->OutlineTextout() == 1;
        state_.alignment = t->TextAlign() >= 1 && t->TextAlign() <= 4 ? t->TextAlign() : 0;
    } else if (auto* b = dynamic_cast<const TOABarCode*>(&object)) {
        state_.fontName = b->TextFont().Name;
        state_.sizeText = QString::number(b->TextFont().Size);
        state_.bold = b->TextFont().has(TextFontStyle::Bold);
        state_.italic = b->TextFont().has(TextFontStyle::Italic);
        state_.underline = b->TextFont().has(TextFontStyle::Underline);
        switch (b->LabelAlign()) {
        case TLabelAlignment::laLeft: state_.alignment = 1; break;
        case TLabelAlignment::laCenter: state_.alignment = 2; break;
        case TLabelAlignment::laRight: state_.alignment = 3; break;
        default: state_.alignment = 0; break;
        }
    }
    refreshEnabling();
}

void FormattingBar::followSelection()
{
    if (document_.selection().size() == 1)
        showFormat(*document_.selection().front());
    refreshEnabling();
}

namespace {

template<typename TextChange, typename BarcodeChange>
bool changeAll(LabelDocument& document, TOperation& history, bool texts, TextChange onText, BarcodeChange onBarcode,
    bool refreshContainment)
{
    const std::vector<TOAControl*> selection = document.selection();
    if (selection.empty())
        return false;
    history.recordChanged(selection);
    for (TOAControl* o : selection) {
        if (texts) {
            if (auto* t = dynamic_cast<TOAText*>(o))
                onText(*t);
        } else if (auto* b = dynamic_cast<TOABarCode*>(o)) {
            onBarcode(*b);
        }
        if (refreshContainment)
            document.refreshContainment(o);
    }
    document.markModified();
    return true;
}

} // namespace

bool FormattingBar::applyFontName(const QString& name)
{
    if (name.isEmpty() || (!textsSelected() && !barcodesSelected()))
        return false;
    state_.fontName = name;
    bool differs = false;
    for (const TOAControl* o : document_.selection()) {
        if (auto* t = dynamic_cast<const TOAText*>(o))
            differs = differs || t->TextFont().Name != name;
        else if (auto* b = dynamic_cast<const TOABarCode*>(o))
            differs = differs || b->TextFont().Name != name;
    }
    if (!differs)
        return false;
    return changeAll(
        document_, history_, textsSelected(),
        [&](TOAText& t) {
            TTextFont f = t.TextFont();
            f.Name = name;
            t.SetTextFont(f);
        },
        [&](TOABarCode& b) {
            TBarcodeFont f = b.TextFont();
            f.Name = name;
            b.SetTextFont(f);
        },
        true);
}

bool FormattingBar::applyFontSize(const QString& text)
{
    if (text.isEmpty() || (!textsSelected() && !barcodesSelected()))
        return false;
    state_.sizeText = text;
    bool ok = false;
    const int size = text.toInt(&ok);
    if (ok && size == 0) {
        state_.sizeText = QStringLiteral("8");
        return false;
    }
    // A negative or unreadable size would leave a text that cannot be drawn: refused too.
    if (!ok || size < 1 || size > 200)
        return false;
    // The box reports Enter and the list choice alike: a size already there is no new step.
    bool differs = false;
    for (const TOAControl* o : document_.selection()) {
        if (auto* t = dynamic_cast<const TOAText*>(o))
            differs = differs || t->FontSizePt() != size;
        else if (auto* b = dynamic_cast<const TOABarCode*>(o))
            differs = differs || b->TextFont().Size != size;
    }
    if (!differs)
        return false;
    return changeAll(
        document_, history_, textsSelected(), [&](TOAText& t) { t.SetFontSizePt(size); },
        [&](TOABarCode& b) {
            TBarcodeFont f = b.TextFont();
            f.Size = size;
            b.SetTextFont(f);
        },
        true);
}

bool FormattingBar::press(FormatButton button)
{
    const bool texts = textsSelected();
    if (!texts && !barcodesSelected())
        return false;
    if (!state_.enabled(button))
        return false;
    const auto style = [&](TextFontStyle flag, bool& pressed) {
        pressed = !pressed;
        const bool on = pressed;
        return changeAll(
            document_, history_, texts,
            [&](TOAText& t) {
                TTextFont f = t.TextFont();
                f.set(flag, on);
                t.SetTextFont(f);
            },
            [&](TOABarCode& b) {
                TBarcodeFont f = b.TextFont();
                f.set(flag, on);
                b.SetTextFont(f);
            },
            flag != TextFontStyle::Underline);
    };
    const auto alignTo = [&](int alignment, TLabelAlignment barcodeAlignment) {
        state_.alignment = alignment;
        return changeAll(
            document_, history_, texts, [&](TOAText& t) { t.SetTextAlign(alignment); },
            [&](TOABarCode& b) { b.SetLabelAlign(barcodeAlignment); }, false);
    };
    bool done = false;
    bool showAfter = false;
    switch (button) {
    case FormatButton::Bold:
        done = style(TextFontStyle::Bold, state_.bold);
        showAfter = state_.bold;
        break;
    case FormatButton::Italic:
        done = style(TextFontStyle::Italic, state_.italic);
        showAfter = state_.italic;
        break;
    case FormatButton::Underline:
        done = style(TextFontStyle::Underline, state_.underline);
        showAfter = state_.underline;
        break;
    case FormatButton::Reverse: {
        state_.reverse = !state_.reverse;
        const bool on = state_.reverse;
        done = texts && changeAll(document_, history_, true, [&](TOAText& t) { t.SetInvert(on); }, [](TOABarCode&) {}, false);
        showAfter = true;
        break;
    }
    case FormatButton::Outline: {
        state_.outline = !state_.outline;
        const int on = state_.outline ? 1 : 0;
        done = texts
            && changeAll(document_, history_, true, [&](TOAText& t) { t.SetOutlineTextout(on); }, [](TOABarCode&) {}, false);
        showAfter = true;
        break;
    }
    case FormatButton::Left: done = alignTo(1, TLabelAlignment::laLeft); break;
    case FormatButton::Centre: done = alignTo(2, TLabelAlignment::laCenter); break;
    case FormatButton::Right: done = alignTo(3, TLabelAlignment::laRight); break;
    case FormatButton::Distributed: done = alignTo(4, TLabelAlignment::laAuto); break;
    }
    // The bar ends showing the last selected text it changed.
    if (done && showAfter && texts)
        for (const TOAControl* o : document_.selection())
            if (o->kind() == ObjectKind::Text)
                showFormat(*o);
    return done;
}

} // namespace korvel
