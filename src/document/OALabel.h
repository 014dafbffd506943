#pragma once

#include "document/OAControl.h"
#include "document/PrinterFontFile.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace korvel {

/// The paragraph as laid out on screen; printing reuses these lines so that a printed
/// paragraph breaks where the screen did.
struct PrnStrRecord {
    static constexpr int Capacity = 101;
    std::array<QByteArray, Capacity> Lines;
    /// Width of each line in pixels at zoom 1, without character extras.
    std::array<int, Capacity> Widths {};
    int Count = 0;

    bool operator==(const PrnStrRecord&) const = default;
};

/// Font style flags as label files store them.
enum class TextFontStyle : std::uint8_t { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };

/// The face and style of a text (the size lives in the text's own properties).
struct TTextFont {
    QString Name = QStringLiteral("Arial");
    /// Colour value 0x00BBGGRR; stored in files, not used for drawing.
    std::int32_t Color = 0;
    /// TextFontStyle flags.
    std::uint8_t Style = 0;
    std::uint8_t Charset = 1;

    bool has(TextFontStyle s) const { return (Style & static_cast<std::uint8_t>(s)) != 0; }
    void set(TextFontStyle s, bool on);
    bool operator==(const TTextFont&) const = default;
};

/// Paragraph alignments and the single-line mode (TextAlign).
enum class TextAlignment : int { SingleLine = 0, Left = 1, Centre = 2, Right = 3, Distributed = 4 };

/// Face that has no underline of its own; the renderer draws one by hand.
QString ManualUnderlineFace();

/// The text object: a single line, a paragraph in a box or a ring of characters, drawn in a
/// screen font (rasterised here, at the printer's resolution when printed) or in one of the
/// printer's resident fonts (previewed from the glyph file). Every setter that changes the
/// picture re-renders at once and resizes the object to the picture.
class TOAText : public TOAControl {
public:
    /// A new text takes its name as its content ("Text1" …).
    explicit TOAText(const QString& name = QString());
    TOAText(const TOAText&) = default;

    std::unique_ptr<TOAControl> clone() const override;

    // --- appearance properties -----------------------------------------------------------
    bool Invert() const { return invert_; }
    void SetInvert(bool v);
    /// The string, bytes in the document code page; lines separated by CR LF.
    const QByteArray& Text() const { return text_; }
    void SetText(const QByteArray& v);
    int TextWidthRate() const { return textWidthRate_; }
    /// Ignored while DragText is 1.
    void SetTextWidthRate(int v);
    const TTextFont& TextFont() const { return textFont_; }
    void SetTextFont(const TTextFont& v);
    /// Colour 0x00BBGGRR the glyphs are drawn in.
    std::int32_t BkColor() const { return bkColor_; }
    void SetBkColor(std::int32_t v);
    int TextAlign() const { return textAlign_; }
    void SetTextAlign(int v);
    int TextCharExtra() const { return textCharExtra_; }
    void SetTextCharExtra(int v);
    int TextLineExtra() const { return textLineExtra_; }
    void SetTextLineExtra(int v);
    int OutlineTextout() const { return outlineTextout_; }
    void SetOutlineTextout(int v);
    int RoundText() const { return roundText_; }
    void SetRoundText(int v);
    /// Font height in screen pixels at the current zoom.
    int TextFontSize() const { return textFontSize_; }
    void SetTextFontSize(int v);
    /// Font size in points, the stored size.
    int FontSizePt() const { return fontSizePt_; }
    void SetFontSizePt(int v);

    // --- box and drag --------------------------------------------------------------------
    int DragWidth() const { return dragWidth_; }
    void SetDragWidth(int v);
    int DragHeight() const { return dragHeight_; }
    void SetDragHeight(int v);
    int OrgDragWidth() const { return orgDragWidth_; }
    int OrgDragHeight() const { return orgDragHeight_; }
    int LineDragWidth() const { return lineDragWidth_; }
    void SetLineDragWidth(int v) { lineDragWidth_ = v; }
    /// 1: the next render takes font size and width rate from the dragged box.
    int DragText() const { return dragText_; }
    void SetDragText(int v) { dragText_ = v; }

    // --- outputs of rendering (the setters only store) ------------------------------------
    int TextOrgWidth() const { return textOrgWidth_; }
    void SetTextOrgWidth(int v) { textOrgWidth_ = v; }
    int FontHeight() const { return fontHeight_; }
    void SetFontHeight(int v) { fontHeight_ = v; }
    int FontWidth() const { return fontWidth_; }
    void SetFontWidth(int v) { fontWidth_ = v; }
    int StrDotLen() const { return strDotLen_; }
    void SetStrDotLen(int v) { strDotLen_ = v; }
    const PrnStrRecord& MultiPrnStr() const { return multiPrnStr_; }
    void SetMultiPrnStr(const PrnStrRecord& v) { multiPrnStr_ = v; }

    // --- printer font --------------------------------------------------------------------
    int UsePrnFont() const { return usePrnFont_; }
    void SetUsePrnFont(int v);
    int PrnFontIdx() const { return prnFontIdx_; }
    void SetPrnFontIdx(int v);
    int PrnDPI() const { return prnDPI_; }
    /// Always re-renders.
    void SetPrnDPI(int v);
    int PrnFntZoomX() const { return prnFntZoomX_; }
    void SetPrnFntZoomX(int v);
    int PrnFntZoomY() const { return prnFntZoomY_; }
    void SetPrnFntZoomY(int v);
    int ScreenPrn() const { return screenPrn_; }
    void SetScreenPrn(int v);

    // --- position ------------------------------------------------------------------------
    double AbsLeft() const { return absLeft_; }
    double AbsTop() const { return absTop_; }
    /// Moves to a millimetre position and updates VirLeft/VirTop.
    void SetAbsLeft(double mm);
    void SetAbsTop(double mm);
    int VirLeft() const { return virLeft_; }
    int VirTop() const { return virTop_; }
    /// Moves to a pixel position at the current zoom and recomputes AbsLeft/AbsTop.
    void SetVirLeft(int px);
    void SetVirTop(int px);

    // --- TOAControl ----------------------------------------------------------------------
    /// Re-renders at the new angle and keeps the centre over each quarter turn.
    void setAngle(int angle) override;
    /// Recomputes the screen rectangle, font size and box from the stored millimetres and points.
    void setZoom(double zoom) override;
    void Rotate90() override;
    void RebuildImage() override { RefreshText(); }
    /// Texts only take the printer's resolution.
    void ConvertResolution(int targetIndex, int direction) override;
    bool usesScreenFont() const override { return usePrnFont_ == 0; }

    /// Re-renders: the printer-font preview or the screen-font picture.
    void RefreshText();

    /// Why the last render produced no picture (printer font without a usable glyph file);
    /// None after a good render.
    PrinterFontError renderError() const { return renderError_; }

    /// While blocked, setters store without rendering and a new angle is stored without moving
    /// the object; unblocking renders once. Readers that set many properties in a row use it.
    void setUpdatesBlocked(bool blocked);
    bool updatesBlocked() const { return blocked_; }

    /// The picture the printer receives for a screen-font text: a copy at zoom 1 rendered at
    /// PrnDPI, one bit per pixel (Format_Mono, colour index 0 white, 1 black), turned by Angle
    /// and inverted when Invert is set. Paragraph lines come from MultiPrnStr, so the printout
    /// breaks where the screen does. For a printer-font text it is the glyph-file picture at
    /// the magnifications (null when the glyph file is unusable).
    QImage renderForPrinter() const;
    /// The same for another content (a variable's value): the paragraph is laid out again at
    /// the object's zoom first, as the screen would show it.
    QImage renderForPrinter(const QByteArray& text) const;

private:
    friend class TextRenderer;

    void refreshIfChanged(bool changed);
    void RenderWinFont();
    void RenderPrinterFont();
    void applyPicture(const QImage& picture);
    void refreshPositionFromPixels();
    QSize sizeAtAngle(int angle) const;

    bool invert_ = false;
    QByteArray text_;
    int textWidthRate_ = 100;
    TTextFont textFont_;
    std::int32_t bkColor_ = 0;
    int textAlign_ = 0;
    int textCharExtra_ = 0;
    int textLineExtra_ = 0;
    int outlineTextout_ = 0;
    int roundText_ = 0;
    int textFontSize_ = 2;
    int textOrgWidth_ = 0;
    int dragWidth_ = 0;
    int dragHeight_ = 0;
    int lineDragWidth_ = 0;
    int dragText_ = 0;
    int fontHeight_ = 0;
    int fontWidth_ = 0;
    int usePrnFont_ = 0;
    int prnFontIdx_ = 1;
    int prnDPI_ = 203;
    int prnFntZoomX_ = 1;
    int prnFntZoomY_ = 1;
    int screenPrn_ = 0;
    int fontSizePt_ = 0;
    int strDotLen_ = 0;
    PrnStrRecord multiPrnStr_;
    int orgDragWidth_ = 0;
    int orgDragHeight_ = 0;
    double absLeft_ = 0;
    double absTop_ = 0;
    int virLeft_ = 0;
    int virTop_ = 0;

    /// Size of the unturned picture of the last render (drawn or deferred).
    QSize orgSize_;
    bool blocked_ = false;
    PrinterFontError renderError_ = PrinterFontError::None;
};

} // namespace korvel
