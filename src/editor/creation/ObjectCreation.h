#pragma once

#include "document/OAControl.h"

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace korvel {

class LabelDocument;
class TOAImage;
class TOAText;
class TOperation;

/// What a new object takes from the program's settings.
struct CreationSettings {
    /// The interface language is English (else Chinese: the larger default text).
    bool english = false;
    /// "winfont"/"fontname" of "Printer.ini".
    QString fontName = QStringLiteral("Arial");
};

/// A finished creation band: the press and release points in surface pixels (for the line
/// tools the start and end, for the others any two opposite corners).
struct CreationBand {
    QPoint start;
    QPoint end;
    QPoint topLeft() const { return { std::min(start.x(), end.x()), std::min(start.y(), end.y()) }; }
    int width() const { return std::abs(end.x() - start.x()); }
    int height() const { return std::abs(end.y() - start.y()); }
};

/// The new object of a drawing tool (1-8) with its defaults, not yet in the document; null when
/// the document holds 200 objects already or the band is refused (a line tool's start equal
/// to its end, a box tool's band without width or height). Texts, barcodes and images still
/// need their dialog (or picture) before InsertNewObject.
std::unique_ptr<TOAControl> PrepareNewObject(
    const LabelDocument& document, int tool, const CreationBand& band, const CreationSettings& settings);

/// After a confirmed text dialog: a bound text shows its variable's present value ("<NULL>"
/// when that is blank).
void ShowBoundValue(const LabelDocument& document, TOAText& text);

/// Gives a new image its picture (file bytes); false when the bytes are no readable picture.
bool LoadNewPicture(TOAImage& image, const QByteArray& bytes);

/// Adds a prepared object as the only selection and records its creation (one undo step);
/// null when the document is full.
TOAControl* InsertNewObject(LabelDocument& document, TOperation& history, std::unique_ptr<TOAControl> object);

/// Writes the chosen font of a confirmed new text back to "winfont"/"fontname" of the
/// "Printer.ini" in a folder.
bool RememberTextFont(const QString& folder, const QString& fontName, QString* error = nullptr);

/// One-shot or repeat mode of the drawing tools: a tool button clicked again within 300 ms
/// makes the tool repeat; a slower click makes it one-shot.
class ToolMode {
public:
    static constexpr qint64 RepeatWindowMs = 300;

    /// A drawing tool button (1-8, 0 the arrow) was clicked at a time in milliseconds.
    void click(int tool, qint64 nowMs);
    int tool() const { return tool_; }
    bool repeating() const { return repeat_; }

    /// What creation left behind: a step that ran (created, or a text or barcode dialog that
    /// was cancelled) returns a one-shot tool to the arrow; a refused band or a failed picture
    /// keeps it. Returns the tool now active.
    int afterCreation(bool stepRan);

private:
    int tool_ = 0;
    int lastTool_ = -1;
    qint64 lastClickMs_ = 0;
    bool repeat_ = false;
};

/// The horizontal/vertical line tool's rubber line: the end follows the pointer freely until
/// it is more than 5 pixels from the start, then locks to the axis with the larger movement
/// (and switches axis when the movement along the other becomes larger).
class AxisLock {
public:
    enum class Axis { None, Horizontal, Vertical };
    explicit AxisLock(QPoint start) : start_(start) {}
    /// The line's end for a pointer position.
    QPoint end(QPoint pointer);
    Axis axis() const { return axis_; }

private:
    QPoint start_;
    Axis axis_ = Axis::None;
};

} // namespace korvel
