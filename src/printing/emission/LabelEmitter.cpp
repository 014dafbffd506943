#include "printing/emission/LabelEmitter.h"

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OAEllipse.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OAInvertArea.h"
#include "document/OALabel.h"
#include "document/OALine.h"
#include "document/OARectangle.h"
#include "variables/VariableModel.h"

#include <algorithm>
#include <cstdlib>

namespace korvel {

namespace {

constexpr int kInverseAreaThickness = 9998;

PortStatus unprintable(const TOAControl& object, const QString& why)
{
    return PortStatus::failure(PortError::InvalidInput, QStringLiteral("%1: %2").arg(object.Name, why));
}

} // namespace

LabelEmitter::LabelEmitter(LabelDocument& document, const EmissionContext& context, PieceSink& sink)
    : document_(document)
    , context_(context)
    , sink_(sink)
    , scale_(DotScale::of(document, context.ppi))
{
    const PagePixels& px = document.pixels();
    pagePixels_ = px.paperHeight;
    pageBottom_ = scale_.dotsPx(px.paperHeight);
    labelWidth_ = px.labelWidth;
    labelHeight_ = px.labelHeight;
}

LabelEmitter::~LabelEmitter()
{
    finish();
}

void LabelEmitter::finish()
{
    for (TOABarCode* b : staleBarcodes_)
        b->RebuildImage();
    staleBarcodes_.clear();
}

bool LabelEmitter::setAside(const TOAControl& object) const
{
    return std::find(unboundTexts_.begin(), unboundTexts_.end(), &object) != unboundTexts_.end();
}

bool LabelEmitter::boundForJob(const TOAControl& object) const
{
    return !object.VarName.isEmpty() && !setAside(object);
}

QByteArray LabelEmitter::valueOf(const TOAControl& object) const
{
    return EvaluateVariable(document_, object.VarName, static_cast<VariableKind>(object.VarType), context_.evaluation);
}

QImage LabelEmitter::pictureOf(int index, const TOAControl& object)
{
    (void)index;
    const auto found = pictures_.constFind(&object);
    if (found != pictures_.constEnd())
        return *found;
    QImage picture;
    if (context_.storedPicture) {
        picture = context_.storedPicture(object, scale_.dpi);
    } else {
        switch (object.kind()) {
        case ObjectKind::Line: picture = static_cast<const TOALine&>(object).PrinterPicture(scale_.dpi); break;
        case ObjectKind::Rectangle:
            picture = static_cast<const TOARectangle&>(object).PrinterPicture(scale_.dpi);
            break;
        case ObjectKind::Ellipse: picture = static_cast<const TOAEllipse&>(object).PrinterPicture(scale_.dpi); break;
        case ObjectKind::Image: picture = static_cast<const TOAImage&>(object).PrinterPicture(scale_.dpi); break;
        default: break;
        }
    }
    if (picture.isNull() && hasDots(object) && drawFailure_.ok())
        drawFailure_ = unprintable(object, noMemoryToDraw());
    pictures_.insert(&object, picture);
    return picture;
}

bool LabelEmitter::hasDots(const TOAControl& object) const
{
    // Two dots either way draw whatever the pen and the rounding: a null picture of such a shape
    // is a failure, never a shape too small to draw.
    const auto boxHasDots = [this](double width, double height) {
        return scale_.dotsMm(width) >= 2 && scale_.dotsMm(height) >= 2;
    };
    switch (object.kind()) {
    case ObjectKind::Line: return true;
    case ObjectKind::Rectangle: {
        const auto& r = static_cast<const TOARectangle&>(object);
        return boxHasDots(r.AbsWidth(), r.AbsHeight());
    }
    case ObjectKind::Ellipse: {
        const auto& e = static_cast<const TOAEllipse&>(object);
        return boxHasDots(e.AbsWidth(), e.AbsHeight());
    }
    case ObjectKind::Image: {
        const auto& i = static_cast<const TOAImage&>(object);
        return !i.OrgImage().isNull() && !i.PrinterSize(scale_.dpi).isEmpty();
    }
    default: return false;
    }
}

PortStatus LabelEmitter::DownloadGraphics()
{
    return download(false);
}

PortStatus LabelEmitter::DownloadPlacedGraphics()
{
    return download(true);
}

bool LabelEmitter::placesPicture(const TOAControl& o) const
{
    if (o.notPrint() || !InsideLabel(RectAt100(o, scale_), labelWidth_, labelHeight_))
        return false;
    switch (o.kind()) {
    case ObjectKind::Line:
    case ObjectKind::Ellipse:
    case ObjectKind::Image: return true;
    // An outlined rectangle prints as a box; other fills print nothing.
    case ObjectKind::Rectangle: return static_cast<const TOARectangle&>(o).Fill() == 1;
    default: return false;
    }
}

qint64 LabelEmitter::PlacedGraphicsBytes()
{
    qint64 bytes = 0;
    const auto& objects = document_.objects();
    for (int i = 0; i < int(objects.size()); ++i) {
        const TOAControl& o = *objects[std::size_t(i)];
        if (!placesPicture(o))
            continue;
        const QImage picture = pictureOf(i, o);
        if (!picture.isNull())
            bytes += qint64((picture.width() + 7) / 8) * picture.height();
    }
    return bytes;
}

PortStatus LabelEmitter::download(bool placedOnly)
{
    sink_.SetSerialWriteTimeout(kLabelFormatWriteTimeout);
    if (PortStatus s = SendGraphicsClear(context_.commands, sink_); !s)
        return s;
    const auto& objects = document_.objects();
    for (int i = 0; i < int(objects.size()); ++i) {
        TOAControl& o = *objects[std::size_t(i)];
        switch (o.kind()) {
        case ObjectKind::Text:
            // Without a record to print from, a text bound to a database field prints its own
            // text. The binding is only set aside for this job: the document keeps it.
            if (context_.dataSetEmpty && o.VarType == static_cast<int>(VariableKind::Database) && !setAside(o))
                unboundTexts_.push_back(&o);
            break;
        case ObjectKind::Line:
        case ObjectKind::Rectangle:
        case ObjectKind::Ellipse:
        case ObjectKind::Image: {
            if (placedOnly && !placesPicture(o))
                break;
            const QImage picture = pictureOf(i, o);
            if (!drawFailure_)
                return drawFailure_;
            // A shape too small to draw has nothing to store (and places nothing).
            if (picture.isNull())
                break;
            auto download = downloads_.constFind(&o);
            if (download == downloads_.constEnd())
                download = downloads_.insert(&o, BuildGraphicDownload(context_.commands, picture, i));
            if (PortStatus s = SendPieces(*download, sink_); !s)
                return s;
            break;
        }
        default: break;
        }
    }
    return PortStatus::success();
}

PortStatus LabelEmitter::EmitLabel(int x, int y)
{
    const auto& objects = document_.objects();
    const int n = int(objects.size());
    // Free lines go first so that every other field is drawn over them.
    for (int i = 0; i < n; ++i) {
        TOAControl& o = *objects[std::size_t(i)];
        if (o.kind() != ObjectKind::Line || !InsideLabel(RectAt100(o, scale_), labelWidth_, labelHeight_))
            continue;
        if (PortStatus s = emitObject(i, o, x, y); !s)
            return s;
    }
    for (int i = 0; i < n; ++i) {
        TOAControl& o = *objects[std::size_t(i)];
        if (o.kind() == ObjectKind::Line || o.kind() == ObjectKind::InvertArea)
            continue;
        if (!InsideLabel(RectAt100(o, scale_), labelWidth_, labelHeight_))
            continue;
        if (PortStatus s = emitObject(i, o, x, y); !s)
            return s;
    }
    // Inverse areas last, so that they invert what lies beneath them.
    for (int i = 0; i < n; ++i) {
        TOAControl& o = *objects[std::size_t(i)];
        if (o.kind() != ObjectKind::InvertArea || !StrictlyInsideLabel(RectAt100(o, scale_), labelWidth_, labelHeight_))
            continue;
        if (PortStatus s = emitObject(i, o, x, y); !s)
            return s;
    }
    return PortStatus::success();
}

PortStatus LabelEmitter::emitStoredGraphic(int index, int row, int column)
{
    const TOAControl& o = *document_.objects()[std::size_t(index)];
    if (pictureOf(index, o).isNull())
        return drawFailure_;
    return SendGraphicField(context_.commands, index, row, column, sink_);
}

PortStatus LabelEmitter::emitObject(int index, TOAControl& o, int x, int y)
{
    if (o.notPrint())
        return PortStatus::success();
    const CommandContext& ctx = context_.commands;
    const int pb = pageBottom_;
    switch (o.kind()) {
    case ObjectKind::Text: return emitText(static_cast<TOAText&>(o), RectAt100(o, scale_), x, y);
    case ObjectKind::BarCode: return emitBarcode(static_cast<TOABarCode&>(o), RectAt100(o, scale_), x, y);
    case ObjectKind::Line: {
        const auto& line = static_cast<const TOALine&>(o);
        const int column = std::min(scale_.dotsMm(line.AbsStartX()), scale_.dotsMm(line.AbsEndX())) + x;
        const int row = std::min(pb - scale_.dotsMm(line.AbsStartY()) - y, pb - scale_.dotsMm(line.AbsEndY()) - y);
        return emitStoredGraphic(index, row, column);
    }
    case ObjectKind::HVLine: {
        const auto& line = static_cast<const TOAHVLine&>(o);
        const int t = scale_.dotsLine(line.MMLineWidth());
        // Halves round to even, so a one-dot line stays on its mark.
        const int halfT = DotRound(t / 2.0);
        if (line.LineFlag() == ldVertical) {
            const int column = scale_.dotsMm(line.AbsStartX()) + x - halfT;
            const int row = pb - scale_.dotsMm(std::max(line.AbsStartY(), line.AbsEndY())) - y;
            const int height = scale_.dotsMm(std::abs(line.AbsStartY() - line.AbsEndY()));
            return SendLineField(ctx, row, column, t, height, sink_);
        }
        if (line.LineFlag() == ldHorizontal) {
            const int column = scale_.dotsMm(std::min(line.AbsStartX(), line.AbsEndX())) + x;
            const int row = pb - scale_.dotsMm(line.AbsStartY()) - y - halfT;
            const int width = scale_.dotsMm(std::abs(line.AbsStartX() - line.AbsEndX()));
            return SendLineField(ctx, row, column, width, t, sink_);
        }
        return PortStatus::success();
    }
    case ObjectKind::Rectangle: {
        const auto& rect = static_cast<const TOARectangle&>(o);
        const int w = scale_.dotsMm(rect.AbsWidth());
        const int h = scale_.dotsMm(rect.AbsHeight());
        const int column = scale_.dotsMm(rect.AbsLeft()) + x;
        const int row = pb - scale_.dotsMm(rect.AbsTop()) - y - h;
        if (rect.Fill() == 0)
            return SendBoxField(ctx, row, column, w, h, scale_.dotsLine(rect.MMLineWidth()), sink_);
        if (rect.Fill() == 1)
            return emitStoredGraphic(index, row, column);
        return PortStatus::success();
    }
    case ObjectKind::InvertArea: {
        const auto& area = static_cast<const TOAInvertArea&>(o);
        const int h = scale_.dotsMm(area.AbsHeight());
        const int column = scale_.dotsMm(area.AbsLeft()) + x;
        const int row = pb - scale_.dotsMm(area.AbsTop()) - y - h;
        return SendBoxField(ctx, row, column, scale_.dotsMm(area.AbsWidth()), h, kInverseAreaThickness, sink_);
    }
    case ObjectKind::Ellipse: {
        const auto& e = static_cast<const TOAEllipse&>(o);
        const int row = pb - scale_.dotsMm(e.AbsTop()) - scale_.dotsMm(e.AbsHeight()) - y;
        return emitStoredGraphic(index, row, scale_.dotsMm(e.AbsLeft()) + x);
    }
    case ObjectKind::Image: {
        const auto& img = static_cast<const TOAImage&>(o);
        const int row = pb - scale_.dotsMm(img.AbsTop()) - scale_.dotsMm(img.AbsHeight()) - y;
        return emitStoredGraphic(index, row, scale_.dotsMm(img.AbsLeft()) + x);
    }
    }
    return PortStatus::success();
}

PortStatus LabelEmitter::emitText(TOAText& text, const QRect& r, int x, int y)
{
    const bool bound = boundForJob(text);
    if (text.UsePrnFont() == 1) {
        const QByteArray content = bound ? valueOf(text) : text.Text();
        const int hpx = pagePixels_;
        int row = 0;
        int column = 0;
        switch (text.Angle()) {
        case 90:
            row = scale_.dotsPx(hpx - r.top()) - y;
            column = scale_.dotsPx(r.left()) + x;
            break;
        case 180:
            row = scale_.dotsPx(hpx - r.top()) - y;
            column = scale_.dotsPx(r.left() + r.width()) + x;
            break;
        case 270:
            row = scale_.dotsPx(hpx - r.top() - r.height()) - y;
            column = scale_.dotsPx(r.left() + r.width()) + x;
            break;
        default:
            row = scale_.dotsPx(hpx - r.top() - r.height()) - y;
            column = scale_.dotsPx(r.left()) + x;
            break;
        }
        return SendTextField(context_.commands, content, text.Angle(), row, column,
            static_cast<std::uint8_t>(text.PrnFontIdx() - 1), text.PrnFntZoomX(), text.PrnFntZoomY(),
            text.Invert() ? 1 : 0, sink_);
    }
    QImage picture;
    if (bound) {
        const QByteArray value = PrintedText(valueOf(text));
        DrawnText& drawn = drawnTexts_[&text];
        if (drawn.picture.isNull() || drawn.value != value)
            drawn = { value, text.renderForPrinter(value) };
        picture = drawn.picture;
    } else {
        picture = text.renderForPrinter();
    }
    // The canvas of a screen-font text is never empty: only memory can leave it without one.
    if (picture.isNull())
        return unprintable(text, noMemoryToDraw());
    const int column = scale_.dotsMm(text.AbsLeft()) + x;
    const int row = pageBottom_ - scale_.dotsMm(text.AbsTop()) - picture.height() - y;
    return SendInlineGraphic(context_.commands, picture, row, column, sink_);
}

} // namespace korvel
