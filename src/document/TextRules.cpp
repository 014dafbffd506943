#include "document/TextRules.h"

#include "document/CodePage.h"
#include "document/OALabel.h"
#include "document/PrinterFontFile.h"
#include "document/Rounding.h"

#include <algorithm>

namespace korvel {

namespace {

bool parseInt(const QString& entry, int* value)
{
    bool ok = false;
    const int v = entry.trimmed().toInt(&ok);
    if (ok && value)
        *value = v;
    return ok;
}

} // namespace

TextKind TextKindOf(int textAlign, int roundText)
{
    if (textAlign >= 1 && textAlign <= 4)
        return TextKind::Paragraph;
    return roundText == 1 ? TextKind::Ring : TextKind::SingleLine;
}

TextLayoutChoice LayoutForKind(TextKind kind, int alignment)
{
    switch (kind) {
    case TextKind::Paragraph: return { alignment >= 1 && alignment <= 4 ? alignment : 1, 0 };
    case TextKind::Ring: return { 0, 1 };
    case TextKind::SingleLine: break;
    }
    return { 0, 0 };
}

FontSizeEntry CheckFontSizeEntry(const QString& entry)
{
    FontSizeEntry out;
    int v = 0;
    // "00" and the like are zero too: a font of size 0 cannot be drawn.
    if (!parseInt(entry, &v) || v <= 0) {
        out.text = QStringLiteral("8");
        out.points = 8;
    } else {
        out.text = entry.trimmed();
        out.points = v;
    }
    out.accepted = out.points < 200;
    return out;
}

int PreviewPixelSize(int points)
{
    return static_cast<int>(Round(points * 40.0 / 30.0));
}

WidthRateCheck CheckWidthRateOnOk(const QString& entry)
{
    WidthRateCheck out;
    int v = 0;
    if (!parseInt(entry, &v) || v < WidthRateLeastOnOk || v > WidthRateMax) {
        out.ok = false;
        out.value = 100;
        out.text = QStringLiteral("100");
        return out;
    }
    out.value = v;
    out.text = entry.trimmed();
    return out;
}

QString CorrectExtraEntry(const QString& entry)
{
    return parseInt(entry, nullptr) ? entry.trimmed() : QStringLiteral("0");
}

QString CorrectRingWidthEntry(const QString& entry)
{
    int v = 0;
    if (!parseInt(entry, &v) || v <= 0 || v >= 1000)
        return QStringLiteral("200");
    return entry.trimmed();
}

int RingWidthInitial(const TOAText& text)
{
    return text.DragWidth() != 0 ? text.DragWidth() : text.TextOrgWidth();
}

int RingHeightInitial(const TOAText& text)
{
    return text.DragWidth() != 0 ? text.DragHeight() : text.TextOrgWidth() / 2;
}

int PrnFontIdxOfListPosition(int position)
{
    return std::clamp(position, 0, PrinterFontCount - 1) + 1;
}

int ListPositionOfPrnFontIdx(int prnFontIdx)
{
    return std::clamp(prnFontIdx, 1, PrinterFontCount) - 1;
}

int ClampMagnification(int value)
{
    return std::clamp(value, 1, 8);
}

int ResizedMagnification(int oldMagnification, int newLength, int oldLength)
{
    if (oldLength <= 0)
        return ClampMagnification(oldMagnification);
    return ClampMagnification(static_cast<int>(Round(double(oldMagnification) * newLength / oldLength)));
}

QString FixedTextLengthLabel(const QByteArray& text, const QString& byteWord)
{
    return QString::number(CodePage::document().CharNum(text)) + byteWord;
}

bool OkLeavesTextUnchanged(bool fixedContent, const QByteArray& text)
{
    return fixedContent && text.isEmpty();
}

QString WindowsFontPreviewText(const QString& wenbenzifu)
{
    return wenbenzifu + QStringLiteral("\r\nABCD5678");
}

QString PrinterFontPreviewText()
{
    return QStringLiteral("AB12");
}

QStringList AlignmentSampleLines(int alignment)
{
    if (alignment == 4)
        return { QStringLiteral("文 本 字 符"), QStringLiteral("a b c d 5 6 7 8") };
    return { QStringLiteral("文本字符"), QStringLiteral("abcd5678") };
}

TextDialogValues TextDialogValuesOf(const TOAText& text)
{
    TextDialogValues v;
    const TTextFont& font = text.TextFont();
    v.Bold = font.has(TextFontStyle::Bold);
    v.Italic = font.has(TextFontStyle::Italic);
    v.Underline = font.has(TextFontStyle::Underline);
    v.OutlineTextout = text.OutlineTextout();
    v.TextCharExtra = text.TextCharExtra();
    v.TextLineExtra = text.TextLineExtra();
    v.FontName = font.Name;
    v.FontSizePt = text.FontSizePt();
    v.Invert = text.Invert();
    v.TextWidthRate = text.TextWidthRate();
    v.TextAlign = text.TextAlign();
    v.RoundText = text.RoundText();
    v.DragWidth = RingWidthInitial(text);
    v.DragHeight = RingHeightInitial(text);
    v.PrnFontIdx = text.PrnFontIdx();
    v.PrnFntZoomX = text.PrnFntZoomX();
    v.PrnFntZoomY = text.PrnFntZoomY();
    v.VarType = text.VarType;
    v.VarName = text.VarName;
    v.Text = text.Text();
    v.UsePrnFont = text.UsePrnFont();
    return v;
}

void ApplyTextDialogValues(TOAText& text, const TextDialogValues& v)
{
    const bool wasBlocked = text.updatesBlocked();
    text.setUpdatesBlocked(true);
    TTextFont font = text.TextFont();
    font.set(TextFontStyle::Bold, v.Bold);
    font.set(TextFontStyle::Italic, v.Italic);
    font.set(TextFontStyle::Underline, v.Underline);
    text.SetTextFont(font);
    text.SetOutlineTextout(v.OutlineTextout);
    text.SetTextCharExtra(v.TextCharExtra);
    text.SetTextLineExtra(v.TextLineExtra);
    font.Name = v.FontName;
    text.SetTextFont(font);
    text.SetFontSizePt(v.FontSizePt);
    text.SetInvert(v.Invert);
    text.SetTextWidthRate(v.TextWidthRate);
    text.SetTextAlign(v.TextAlign);
    text.SetRoundText(v.RoundText);
    text.SetDragWidth(v.DragWidth);
    text.SetDragHeight(v.DragHeight);
    text.SetPrnFontIdx(v.PrnFontIdx);
    text.SetPrnFntZoomX(ClampMagnification(v.PrnFntZoomX));
    text.SetPrnFntZoomY(ClampMagnification(v.PrnFntZoomY));
    text.VarType = v.VarType;
    text.VarName = v.VarName;
    text.SetText(v.Text);
    text.SetUsePrnFont(v.UsePrnFont);
    text.setUpdatesBlocked(wasBlocked);
}

} // namespace korvel
