#include "editor/creation/ObjectCreation.h"

#include "barcode/OABarCode.h"
#include "document/CodePage.h"
#include "document/IniFile.h"
#include "document/LabelDocument.h"
#include "document/OAEllipse.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OAInvertArea.h"
#include "document/OALabel.h"
#include "document/OALine.h"
#include "document/OARectangle.h"
#include "document/Rounding.h"
#include "editor/editing/Operation.h"
#include "variables/Evaluation.h"

#include <QDir>

#include <cstdlib>

namespace korvel {

namespace {

std::unique_ptr<TOAControl> newText(const LabelDocument& document, QPoint at, const CreationSettings& settings)
{
    auto text = std::make_unique<TOAText>();
    text->setZoom(document.zoom() / 100.0);
    TTextFont font = text->TextFont();
    font.Name = settings.fontName.isEmpty() ? QStringLiteral("Arial") : settings.fontName;
    font.set(TextFontStyle::Bold, true);
    text->SetTextFont(font);
    text->SetTextFontSize(settings.english ? 12 : 16);
    text->SetText(CodePage::document().fromUnicode(settings.english ? QStringLiteral("Text") : QStringLiteral("文本字符")));
    text->SetTextAlign(0);
    text->SetPrnDPI(document.printer.dpi());
    text->SetVirLeft(at.x());
    text->SetVirTop(at.y());
    return text;
}

std::unique_ptr<TOAControl> newLine(const LabelDocument& document, int tool, const CreationBand& band)
{
    std::unique_ptr<TOALineShape> line;
    if (tool == 7) {
        auto hv = std::make_unique<TOAHVLine>();
        // The same x at both ends is a vertical line, anything else horizontal.
        hv->setStyle(band.start.x() == band.end.x() ? 0 : 2);
        line = std::move(hv);
    } else {
        line = std::make_unique<TOALine>();
    }
    line->setZoom(document.zoom() / 100.0);
    line->setMMLineWidth(0.2);
    line->setLineWidth(static_cast<int>(Round(document.zoom() * 0.8 / 100.0)));
    line->setPoints(band.start, band.end);
    return line;
}

std::unique_ptr<TOAControl> newBox(const LabelDocument& document, int tool, const CreationBand& band)
{
    std::unique_ptr<TOABoxShape> box;
    if (tool == 5)
        box = std::make_unique<TOARectangle>();
    else if (tool == 6)
        box = std::make_unique<TOAEllipse>();
    else
        box = std::make_unique<TOAInvertArea>();
    box->setZoom(document.zoom() / 100.0);
    if (tool != 8) {
        box->setMMLineWidth(0.2);
        box->setLineWidth(static_cast<int>(Round(document.zoom() / 100.0)));
    }
    box->setVirBounds(band.topLeft().x(), band.topLeft().y(), band.width(), band.height());
    return box;
}

} // namespace

std::unique_ptr<TOAControl> PrepareNewObject(
    const LabelDocument& document, int tool, const CreationBand& band, const CreationSettings& settings)
{
    if (document.objectCount() >= LabelDocument::MaxObjects)
        return nullptr;
    const QPoint at = band.topLeft();
    switch (tool) {
    case 1: return newText(document, at, settings);
    case 2: {
        auto barcode = std::make_unique<TOABarCode>();
        barcode->setZoom(document.zoom() / 100.0);
        barcode->SetPrnDPI(document.printer.dpi());
        barcode->SetVirLeft(at.x());
        barcode->SetVirTop(at.y());
        return barcode;
    }
    case 3: {
        auto image = std::make_unique<TOAImage>();
        image->setZoom(document.zoom() / 100.0);
        image->setVirLeft(at.x());
        image->setVirTop(at.y());
        return image;
    }
    case 4:
    case 7:
        if (band.start == band.end)
            return nullptr;
        return newLine(document, tool, band);
    case 5:
    case 6:
    case 8:
        if (band.width() == 0 || band.height() == 0)
            return nullptr;
        return newBox(document, tool, band);
    default: return nullptr;
    }
}

void ShowBoundValue(const LabelDocument& document, TOAText& text)
{
    if (text.VarName.isEmpty() || text.VarType == 0)
        return;
    const QByteArray value
        = EvaluateVariable(document, text.VarName, static_cast<VariableKind>(text.VarType));
    text.SetText(IsBlank(value) ? QByteArray("<NULL>") : value);
}

bool LoadNewPicture(TOAImage& image, const QByteArray& bytes)
{
    const QPoint at(image.VirLeft(), image.VirTop());
    if (image.SetOrgPicture(bytes) != PictureError::None)
        return false;
    // Through the original size once, so the picture starts at its own size in pixels.
    image.setOriginalSize(1);
    image.setOriginalSize(0);
    image.setVirLeft(at.x());
    image.setVirTop(at.y());
    return true;
}

TOAControl* InsertNewObject(LabelDocument& document, TOperation& history, std::unique_ptr<TOAControl> object)
{
    if (!object || document.objectCount() >= LabelDocument::MaxObjects)
        return nullptr;
    document.clearSelection();
    TOAControl* added = document.addObject(std::move(object));
    if (!added)
        return nullptr;
    history.recordCreated({ added });
    document.markModified();
    return added;
}

bool RememberTextFont(const QString& folder, const QString& fontName, QString* error)
{
    const QString path = QDir(folder).filePath(QStringLiteral("Printer.ini"));
    IniFile ini = IniFile::load(path);
    const QByteArray stored = CodePage::document().fromUnicode(fontName);
    if (ini.value("winfont", "fontname", QByteArray()) == stored)
        return true;
    ini.setValue("winfont", "fontname", stored);
    return ini.save(path, error);
}

void ToolMode::click(int tool, qint64 nowMs)
{
    repeat_ = tool != 0 && tool == lastTool_ && nowMs - lastClickMs_ <= RepeatWindowMs;
    tool_ = tool;
    lastTool_ = tool;
    lastClickMs_ = nowMs;
}

int ToolMode::afterCreation(bool stepRan)
{
    if (stepRan && !repeat_)
        tool_ = 0;
    return tool_;
}

QPoint AxisLock::end(QPoint pointer)
{
    const int dx = std::abs(pointer.x() - start_.x());
    const int dy = std::abs(pointer.y() - start_.y());
    if (axis_ == Axis::None) {
        if (dx <= 5 && dy <= 5)
            return pointer;
        if (dy < dx)
            axis_ = Axis::Horizontal;
        else if (dx < dy)
            axis_ = Axis::Vertical;
        else
            return pointer;
    } else if (axis_ == Axis::Horizontal && dx < dy) {
        axis_ = Axis::Vertical;
    } else if (axis_ == Axis::Vertical && dy < dx) {
        axis_ = Axis::Horizontal;
    }
    return axis_ == Axis::Horizontal ? QPoint(pointer.x(), start_.y()) : QPoint(start_.x(), pointer.y());
}

} // namespace korvel
