#include "document/OALabel.h"

#include "document/CodePage.h"
#include "document/Rounding.h"
#include "document/TextRenderer.h"
#include "document/Units.h"

#include <algorithm>

namespace korvel {

QString ManualUnderlineFace()
{
    return QStringLiteral("隶书");
}

void TTextFont::set(TextFontStyle s, bool on)
{
    const auto bit = static_cast<std::uint8_t>(s);
    Style = on ? static_cast<std::uint8_t>(Style | bit) : static_cast<std::uint8_t>(Style & ~bit);
}

TOAText::TOAText(const QString& name)
    : TOAControl(ObjectKind::Text)
{
    ObjBitMode = 0;
    Name = name;
    text_ = name.isEmpty() ? QByteArray("Text") : CodePage::document().fromUnicode(name);
    RefreshText();
}

std::unique_ptr<TOAControl> TOAText::clone() const
{
    return std::make_unique<TOAText>(*this);
}

void TOAText::refreshIfChanged(bool changed)
{
    if (changed)
        RefreshText();
}

void TOAText::SetInvert(bool v)
{
    const bool changed = v != invert_;
    invert_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetText(const QByteArray& v)
{
    const bool changed = v != text_;
    text_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetTextWidthRate(int v)
{
    if (dragText_ == 1)
        return;
    const bool changed = v != textWidthRate_;
    textWidthRate_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetTextFont(const TTextFont& v)
{
    const bool changed = !(v == textFont_);
    textFont_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetBkColor(std::int32_t v)
{
    const bool changed = v != bkColor_;
    bkColor_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetTextAlign(int v)
{
    const bool changed = v != textAlign_;
    textAlign_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetTextCharExtra(int v)
{
    const bool changed = v != textCharExtra_;
    textCharExtra_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetTextLineExtra(int v)
{
    const bool changed = v != textLineExtra_;
    textLineExtra_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetOutlineTextout(int v)
{
    const bool changed = v != outlineTextout_;
    outlineTextout_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetRoundText(int v)
{
    const bool changed = v != roundText_;
    roundText_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetTextFontSize(int v)
{
    if (v == textFontSize_ && dragText_ != 1)
        return;
    textFontSize_ = v;
    fontSizePt_ = static_cast<int>(Round(v * 30.0 / (Zoom() * 4.0) / 10.0));
    RefreshText();
}

void TOAText::SetFontSizePt(int v)
{
    const bool changed = v != fontSizePt_;
    fontSizePt_ = v;
    textFontSize_ = static_cast<int>(Round(v * 40.0 / 3.0 / 10.0 * Zoom()));
    refreshIfChanged(changed);
}

void TOAText::SetDragWidth(int v)
{
    if (v == dragWidth_)
        return;
    dragWidth_ = v;
    orgDragWidth_ = static_cast<int>(Round(v / Zoom()));
    RefreshText();
}

void TOAText::SetDragHeight(int v)
{
    const bool changed = v != dragHeight_;
    dragHeight_ = v;
    orgDragHeight_ = static_cast<int>(Round(v / Zoom()));
    refreshIfChanged(changed);
}

void TOAText::SetUsePrnFont(int v)
{
    const bool changed = v != usePrnFont_;
    usePrnFont_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetPrnFontIdx(int v)
{
    const bool changed = v != prnFontIdx_;
    prnFontIdx_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetPrnDPI(int v)
{
    prnDPI_ = v;
    RefreshText();
}

void TOAText::SetPrnFntZoomX(int v)
{
    const bool changed = v != prnFntZoomX_;
    prnFntZoomX_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetPrnFntZoomY(int v)
{
    const bool changed = v != prnFntZoomY_;
    prnFntZoomY_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetScreenPrn(int v)
{
    const bool changed = v != screenPrn_;
    screenPrn_ = v;
    refreshIfChanged(changed);
}

void TOAText::SetAbsLeft(double mm)
{
    absLeft_ = mm;
    virLeft_ = MMToPixels(mm, Zoom());
    setBounds(virLeft_, Top(), Width(), Height());
}

void TOAText::SetAbsTop(double mm)
{
    absTop_ = mm;
    virTop_ = MMToPixels(mm, Zoom());
    setBounds(Left(), virTop_, Width(), Height());
}

void TOAText::SetVirLeft(int px)
{
    virLeft_ = px;
    setBounds(px, Top(), Width(), Height());
    absLeft_ = PixelsToMM(px, Zoom());
}

void TOAText::SetVirTop(int px)
{
    virTop_ = px;
    setBounds(Left(), px, Width(), Height());
    absTop_ = PixelsToMM(px, Zoom());
}

void TOAText::refreshPositionFromPixels()
{
    virLeft_ = Left();
    virTop_ = Top();
    absLeft_ = PixelsToMM(Left(), Zoom());
    absTop_ = PixelsToMM(Top(), Zoom());
}

QSize TOAText::sizeAtAngle(int angle) const
{
    // The unrotated picture turned by the angle, with the extra row the turn adds.
    const bool quarter = angle % 180 != 0;
    const QSize bitmap = RotatedSize(orgSize_, angle);
    if (usePrnFont_ != 1)
        return bitmap;
    const int dpi = prnDPI_ > 0 ? prnDPI_ : DefaultPrinterDpi;
    const int zx = quarter ? prnFntZoomY_ : prnFntZoomX_;
    const int zy = quarter ? prnFntZoomX_ : prnFntZoomY_;
    const auto scale = [&](int dots, int mag) {
        return std::max(1, static_cast<int>(Round(dots * double(mag) / dpi * ScreenPPI * Zoom())));
    };
    return QSize(scale(bitmap.width(), zx), scale(bitmap.height(), zy));
}

void TOAText::setAngle(int angle)
{
    angle = ((angle % 360) + 360) % 360;
    angle -= angle % 90;
    const int old = Angle();
    if (angle == old)
        return;
    storeAngle(angle);
    if (blocked_)
        return;
    RefreshText();
    // Each quarter turn keeps the centre: the move is computed with the size after that turn.
    const int turns = ((angle - old) / 90 + 4) % 4;
    int left = Left();
    int top = Top();
    for (int i = 1; i <= turns; ++i) {
        const QSize s = sizeAtAngle(old + 90 * i);
        left += (s.height() - s.width() - 1) / 2;
        top += (s.width() - s.height() + 1) / 2;
    }
    setBounds(left, top, Width(), Height());
    refreshPositionFromPixels();
}

void TOAText::Rotate90()
{
    setAngle(Angle() + 90);
}

void TOAText::setZoom(double zoom)
{
    if (zoom == Zoom() || !(zoom > 0))
        return;
    TOAControl::setZoom(zoom);
    virLeft_ = MMToPixels(absLeft_, zoom);
    virTop_ = MMToPixels(absTop_, zoom);
    setBounds(virLeft_, virTop_, Width(), Height());
    textFontSize_ = static_cast<int>(Round(zoom * fontSizePt_ * 4.0 / 3.0));
    dragWidth_ = static_cast<int>(Round(zoom * orgDragWidth_));
    dragHeight_ = static_cast<int>(Round(zoom * orgDragHeight_));
    RefreshText();
}

void TOAText::ConvertResolution(int targetIndex, int /*direction*/)
{
    SetPrnDPI(DpiOfIndex(targetIndex));
}

void TOAText::setUpdatesBlocked(bool blocked)
{
    const bool release = blocked_ && !blocked;
    blocked_ = blocked;
    if (release)
        RefreshText();
}

void TOAText::RefreshText()
{
    if (blocked_)
        return;
    if (usePrnFont_ == 1)
        RenderPrinterFont();
    else
        RenderWinFont();
}

void TOAText::RenderWinFont()
{
    renderError_ = PrinterFontError::None;
    const bool deferred = deferDrawing();
    const QImage picture = RenderScreenFontText(*this, !deferred, orgSize_);
    if (deferred) {
        OrgBitmap = QImage();
        const QSize turned = sizeAtAngle(Angle());
        setBounds(Left(), Top(), turned.width(), turned.height());
        return;
    }
    applyPicture(picture);
}

void TOAText::applyPicture(const QImage& picture)
{
    OrgBitmap = picture;
    QImage turned = RotateBitmap(picture, Angle(), Qt::white);
    if (screenPrn_ == 1)
        turned = MonoByBlue(turned);
    if (invert_)
        turned.invertPixels();
    setDstBitmap(turned);
    setBounds(Left(), Top(), turned.width(), turned.height());
}

void TOAText::RenderPrinterFont()
{
    const PrinterFontPicture pic = RenderPrinterFontText(PrinterFontFile::standard(), prnFontIdx_, text_);
    renderError_ = pic.error;
    QImage picture = pic.image;
    if (!pic.ok()) {
        // Without glyphs the object still needs a body the user can see and select.
        picture = QImage(10, 10, QImage::Format_RGB888);
        picture.fill(Qt::white);
    }
    OrgBitmap = picture;
    orgSize_ = picture.size();
    QImage turned = RotateBitmap(picture, Angle(), Qt::white);
    // The printer inverts the field itself; the preview shows what it will print.
    if (invert_)
        turned.invertPixels();
    setDstBitmap(turned);
    const QSize size = sizeAtAngle(Angle());
    setBounds(Left(), Top(), size.width(), size.height());
}

QImage TOAText::renderForPrinter() const
{
    const int dpi = prnDPI_ > 0 ? prnDPI_ : DefaultPrinterDpi;
    if (usePrnFont_ == 1) {
        const PrinterFontPicture pic = RenderPrinterFontText(PrinterFontFile::standard(), prnFontIdx_, text_);
        if (!pic.ok())
            return {};
        const int zx = std::clamp(prnFntZoomX_, 1, 8);
        const int zy = std::clamp(prnFntZoomY_, 1, 8);
        const QImage magnified = pic.image.scaled(pic.image.width() * zx, pic.image.height() * zy);
        QImage turned = MonoByBlue(RotateBitmap(magnified, Angle(), Qt::white));
        if (invert_)
            turned.invertPixels();
        return turned;
    }
    TOAText copy(*this);
    copy.blocked_ = false;
    copy.TOAControl::setZoom(1.0);
    copy.screenPrn_ = 1;
    copy.dragText_ = 0;
    copy.prnDPI_ = dpi;
    copy.dragWidth_ = static_cast<int>(Round(double(dpi) * orgDragWidth_ / ScreenPPI));
    copy.textFontSize_ = static_cast<int>(Round(double(dpi) * fontSizePt_ / 72.0));
    copy.RenderWinFont();
    return copy.DstBitmap();
}

QImage TOAText::renderForPrinter(const QByteArray& text) const
{
    TOAText copy(*this);
    // The printer pass of a single-line or ring text needs from the screen pass only the
    // length it measures, not its picture (a print job draws thousands of these). Paragraphs
    // print the screen's lines, and a text being dragged to size is fitted on the screen.
    const bool paragraph = textAlign_ >= 1 && textAlign_ <= 4;
    const bool measureOnly = usePrnFont_ != 1 && !paragraph && dragText_ != 1;
    copy.blocked_ = measureOnly;
    copy.SetText(text);
    if (measureOnly && copy.text_ != text_)
        MeasureScreenFontLength(copy);
    return copy.renderForPrinter();
}

} // namespace korvel
