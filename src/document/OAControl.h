#pragma once

#include <QBrush>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPen>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>

class QPainter;

namespace korvel {

/// Object kinds: the same numbers serve the drawing tools, the label file and the clipboard.
enum class ObjectKind : int {
    Text = 1,
    BarCode = 2,
    Image = 3,
    Line = 4,
    Rectangle = 5,
    Ellipse = 6,
    HVLine = 7,
    InvertArea = 8,
};

/// Name prefix of a kind ("Text", "BarCode" …), used for new object names.
QString KindNamePrefix(ObjectKind kind);
/// Containment name of a kind ("Text", "Barcode" …).
QString KindContainmentName(ObjectKind kind);
/// ObjStyle family of a kind (the horizontal/vertical line shares 4 with the line).
int KindObjStyle(ObjectKind kind);
/// Box kinds (text, barcode, image, inverse area) can contain other objects.
bool KindIsBox(ObjectKind kind);

/// Drawing modes of the design surface.
enum class DrawingMode : int { Transparent = 0, Xor = 1 };

/// Base of every label object: a windowless object with a screen rectangle in design-surface
/// pixels, a rotation, a variable binding and a cached rendering (DstBitmap).
class TOAControl {
public:
    explicit TOAControl(ObjectKind kind);
    virtual ~TOAControl();

    TOAControl(const TOAControl&) = default;
    TOAControl& operator=(const TOAControl&) = delete;

    ObjectKind kind() const { return kind_; }

    /// A deep copy (clipboard and undo work on copies).
    virtual std::unique_ptr<TOAControl> clone() const = 0;

    // Screen rectangle in design-surface pixels.
    int Left() const { return rect_.left(); }
    int Top() const { return rect_.top(); }
    int Width() const { return rect_.width(); }
    int Height() const { return rect_.height(); }
    QRect geometry() const { return rect_; }
    void setGeometry(const QRect& r) { rect_ = r; }
    void setBounds(int left, int top, int width, int height) { rect_ = QRect(left, top, width, height); }

    QString Name;
    QPen Pen{Qt::black};
    QBrush Brush{Qt::white};
    /// Name of the variable that supplies the content; bytes in the document code page.
    QByteArray VarName;
    std::int32_t VarType = 0;
    QImage OrgBitmap;
    std::int32_t ObjBitMode = 1;
    std::int32_t SizeHandleSize = 8;
    std::int32_t PaintFlag = 0;
    std::int32_t BackgroundPaint = 0;
    QStringList SizeHandlePos{QStringLiteral("1")};
    std::int32_t SelctObjNum = 0;
    std::int32_t ObjStyle = 0;
    std::int32_t FillInter = 0;
    QColor EllipseColor{Qt::black};
    std::array<std::uint8_t, 5> flags{};

    int Angle() const { return angle_; }
    /// Sets the angle (0, 90, 180, 270); a change turns the object by quarter turns.
    virtual void setAngle(int angle);

    double Zoom() const { return zoom_; }
    /// Gives the object a new zoom factor; each kind recomputes its screen rectangle.
    virtual void setZoom(double zoom) { zoom_ = zoom; }

    /// Writing v sets flag byte v div 10 to v mod 10; other values are ignored.
    void setVirReadPr(int v);
    /// Flag byte 0: the object is shown but never printed.
    bool notPrint() const { return flags[0] != 0; }

    /// Turn a quarter turn about the centre.
    virtual void Rotate90() = 0;
    /// Re-render DstBitmap from the properties.
    virtual void RebuildImage() {}
    /// Convert to the other printer resolution (direction 1: 203 -> 300, 2: 300 -> 203).
    virtual void ConvertResolution(int /*targetIndex*/, int /*direction*/) {}
    /// Whether the object draws text with a screen font (texts and barcode captions);
    /// the formatting bar uses it.
    virtual bool usesScreenFont() const { return false; }

    /// Paints the cached bitmap onto the design surface with the raster operation of the
    /// drawing mode (see PaintObject).
    virtual void Paint(QPainter& painter, int drawingMode);

    /// The picture at the current zoom. An object laid out while drawing was deferred draws it
    /// here, on first use.
    const QImage& DstBitmap() const;
    /// Whether the picture is still to be drawn.
    bool pictureDue() const { return pictureDue_; }
    /// Stores the picture drawn for the current properties.
    void setDstBitmap(QImage picture);
    /// Frees the picture; it is drawn again when next asked for.
    void releasePicture();

protected:
    /// True while drawing is deferred (see PictureDeferral): the layout now running leaves the
    /// picture out, and the object remembers that it is due.
    bool deferDrawing();

    /// Sets the stored angle without turning (readers and kinds that turn in their own setters).
    void storeAngle(int angle) { angle_ = angle; }

private:
    ObjectKind kind_;
    mutable QImage dstBitmap_;
    mutable bool pictureDue_ = false;
    QRect rect_{0, 0, 40, 40};
    int angle_ = 0;
    double zoom_ = 1.0;
};

/// While one lives on a thread, objects laid out there compute their size and everything that is
/// stored but draw no picture: reading a label costs what its properties cost, not what its
/// pictures would. The picture is drawn when something first asks for it.
class PictureDeferral {
public:
    PictureDeferral();
    ~PictureDeferral();
    PictureDeferral(const PictureDeferral&) = delete;
    PictureDeferral& operator=(const PictureDeferral&) = delete;

    static bool active();

    /// Lifts the deferral for a drawing that was asked for.
    class Lift {
    public:
        Lift();
        ~Lift();
        Lift(const Lift&) = delete;
        Lift& operator=(const Lift&) = delete;

    private:
        int saved_;
    };
};

/// Rotates a 24-bit bitmap by a multiple of 90 degrees about its centre. The result has one
/// extra row at the bottom, set to white.
QImage RotateBitmap(const QImage& source, int angle, const QColor& background);
/// The size RotateBitmap gives a picture of `size`.
QSize RotatedSize(QSize size, int angle);

/// One bit per pixel (index 0 white, 1 black): a pixel is white exactly when its blue component
/// is 255, the rule the printer copies of texts and barcodes follow.
QImage MonoByBlue(const QImage& source);

} // namespace korvel
