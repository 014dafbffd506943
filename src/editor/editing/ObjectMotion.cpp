#include "editor/editing/ObjectMotion.h"

#include "barcode/OABarCode.h"
#include "document/OAImage.h"
#include "document/OALabel.h"
#include "document/OALine.h"
#include "document/OAShape.h"
#include "document/Units.h"

#include <QLineF>

#include <algorithm>
#include <climits>

namespace korvel {

bool IsLineKind(const TOAControl& object)
{
    return object.kind() == ObjectKind::Line || object.kind() == ObjectKind::HVLine;
}

PositionSnapshot TakePosition(const TOAControl& object)
{
    PositionSnapshot p;
    p.angle = object.Angle();
    if (auto* t = dynamic_cast<const TOAText*>(&object)) {
        p.mm[0] = t->AbsLeft();
        p.mm[1] = t->AbsTop();
    } else if (auto* b = dynamic_cast<const TOABarCode*>(&object)) {
        p.mm[0] = b->AbsLeft();
        p.mm[1] = b->AbsTop();
        p.pixelWidth = b->Width();
        p.pixelHeight = b->Height();
    } else if (auto* i = dynamic_cast<const TOAImage*>(&object)) {
        p.mm[0] = i->AbsLeft();
        p.mm[1] = i->AbsTop();
        p.mm[2] = i->AbsWidth();
        p.mm[3] = i->AbsHeight();
    } else if (auto* s = dynamic_cast<const TOABoxShape*>(&object)) {
        p.mm[0] = s->AbsLeft();
        p.mm[1] = s->AbsTop();
        p.mm[2] = s->AbsWidth();
        p.mm[3] = s->AbsHeight();
    } else if (auto* l = dynamic_cast<const TOALineShape*>(&object)) {
        p.mm[0] = l->AbsStartX();
        p.mm[1] = l->AbsStartY();
        p.mm[2] = l->AbsEndX();
        p.mm[3] = l->AbsEndY();
    }
    return p;
}

void RestorePosition(TOAControl& object, const PositionSnapshot& p, int dpi)
{
    if (object.Angle() != p.angle)
        object.setAngle(p.angle);
    if (auto* t = dynamic_cast<TOAText*>(&object)) {
        if (t->PrnDPI() != dpi)
            t->SetPrnDPI(dpi);
        t->SetAbsLeft(p.mm[0]);
        t->SetAbsTop(p.mm[1]);
    } else if (auto* b = dynamic_cast<TOABarCode*>(&object)) {
        if (b->PrnDPI() != dpi)
            b->SetPrnDPI(dpi);
        b->SetAbsLeft(p.mm[0]);
        b->SetAbsTop(p.mm[1]);
    } else if (auto* i = dynamic_cast<TOAImage*>(&object)) {
        if (i->AbsWidth() != p.mm[2])
            i->setAbsWidth(p.mm[2]);
        if (i->AbsHeight() != p.mm[3])
            i->setAbsHeight(p.mm[3]);
        i->setAbsLeft(p.mm[0]);
        i->setAbsTop(p.mm[1]);
    } else if (auto* s = dynamic_cast<TOABoxShape*>(&object)) {
        if (s->AbsWidth() != p.mm[2])
            s->setAbsWidth(p.mm[2]);
        if (s->AbsHeight() != p.mm[3])
            s->setAbsHeight(p.mm[3]);
        s->setAbsLeft(p.mm[0]);
        s->setAbsTop(p.mm[1]);
    } else if (auto* l = dynamic_cast<TOALineShape*>(&object)) {
        const bool wasBlocked = l->updatesBlocked();
        l->setUpdatesBlocked(true);
        l->setAbsStartX(p.mm[0]);
        l->setAbsStartY(p.mm[1]);
        l->setAbsEndX(p.mm[2]);
        l->setAbsEndY(p.mm[3]);
        l->setUpdatesBlocked(wasBlocked);
    }
}

void MoveByPixels(TOAControl& object, int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    if (auto* t = dynamic_cast<TOAText*>(&object)) {
        t->SetVirLeft(t->VirLeft() + dx);
        t->SetVirTop(t->VirTop() + dy);
    } else if (auto* b = dynamic_cast<TOABarCode*>(&object)) {
        b->SetVirLeft(b->VirLeft() + dx);
        b->SetVirTop(b->VirTop() + dy);
    } else if (auto* i = dynamic_cast<TOAImage*>(&object)) {
        i->setVirLeft(i->VirLeft() + dx);
        i->setVirTop(i->VirTop() + dy);
    } else if (auto* s = dynamic_cast<TOABoxShape*>(&object)) {
        s->setVirLeft(s->VirLeft() + dx);
        s->setVirTop(s->VirTop() + dy);
    } else if (auto* l = dynamic_cast<TOALineShape*>(&object)) {
        l->setPoints(QPoint(l->StartX() + dx, l->StartY() + dy), QPoint(l->EndX() + dx, l->EndY() + dy));
    }
}

namespace {
double mm3(double v)
{
    // Millimetre positions are kept to three decimals; 1.0 mm steps must not drift.
    return static_cast<double>(static_cast<long long>(v * 1000.0 + (v >= 0 ? 0.5 : -0.5))) / 1000.0;
}
} // namespace

void MoveByMillimetres(TOAControl& object, double dx, double dy)
{
    if (auto* t = dynamic_cast<TOAText*>(&object)) {
        t->SetAbsLeft(mm3(t->AbsLeft() + dx));
        t->SetAbsTop(mm3(t->AbsTop() + dy));
    } else if (auto* b = dynamic_cast<TOABarCode*>(&object)) {
        b->SetAbsLeft(mm3(b->AbsLeft() + dx));
        b->SetAbsTop(mm3(b->AbsTop() + dy));
    } else if (auto* i = dynamic_cast<TOAImage*>(&object)) {
        i->setAbsLeft(mm3(i->AbsLeft() + dx));
        i->setAbsTop(mm3(i->AbsTop() + dy));
    } else if (auto* s = dynamic_cast<TOABoxShape*>(&object)) {
        s->setAbsLeft(mm3(s->AbsLeft() + dx));
        s->setAbsTop(mm3(s->AbsTop() + dy));
    } else if (auto* l = dynamic_cast<TOALineShape*>(&object)) {
        l->setUpdatesBlocked(true);
        l->setAbsStartX(mm3(l->AbsStartX() + dx));
        l->setAbsStartY(mm3(l->AbsStartY() + dy));
        l->setAbsEndX(mm3(l->AbsEndX() + dx));
        l->setAbsEndY(mm3(l->AbsEndY() + dy));
        l->setUpdatesBlocked(false);
    }
}

QPointF PositionMM(const TOAControl& object)
{
    if (auto* t = dynamic_cast<const TOAText*>(&object))
        return { t->AbsLeft(), t->AbsTop() };
    if (auto* b = dynamic_cast<const TOABarCode*>(&object))
        return { b->AbsLeft(), b->AbsTop() };
    if (auto* i = dynamic_cast<const TOAImage*>(&object))
        return { i->AbsLeft(), i->AbsTop() };
    if (auto* s = dynamic_cast<const TOABoxShape*>(&object))
        return { s->AbsLeft(), s->AbsTop() };
    if (auto* l = dynamic_cast<const TOALineShape*>(&object))
        return { l->AbsStartX(), l->AbsStartY() };
    return { PixelsToMM(object.Left(), object.Zoom()), PixelsToMM(object.Top(), object.Zoom()) };
}

QSizeF SizeMM(const TOAControl& object)
{
    if (auto* i = dynamic_cast<const TOAImage*>(&object))
        return { i->AbsWidth(), i->AbsHeight() };
    if (auto* s = dynamic_cast<const TOABoxShape*>(&object))
        return { s->AbsWidth(), s->AbsHeight() };
    return { PixelsToMM(object.Width(), object.Zoom()), PixelsToMM(object.Height(), object.Zoom()) };
}

double LineLengthMM(const TOAControl& object)
{
    if (auto* l = dynamic_cast<const TOALineShape*>(&object))
        return QLineF(l->AbsStartX(), l->AbsStartY(), l->AbsEndX(), l->AbsEndY()).length();
    return 0;
}

QPoint LineStart(const TOAControl& object)
{
    if (auto* l = dynamic_cast<const TOALineShape*>(&object))
        return { l->StartX(), l->StartY() };
    return object.geometry().topLeft();
}

QPoint LineEnd(const TOAControl& object)
{
    if (auto* l = dynamic_cast<const TOALineShape*>(&object))
        return { l->EndX(), l->EndY() };
    return object.geometry().bottomRight();
}

QPoint TopLeftOf(const std::vector<TOAControl*>& objects)
{
    if (objects.empty())
        return {};
    int left = INT_MAX, top = INT_MAX;
    for (const TOAControl* o : objects) {
        left = std::min(left, o->Left());
        top = std::min(top, o->Top());
    }
    return { left, top };
}

QRect BoundsOf(const std::vector<TOAControl*>& objects)
{
    QRect r;
    for (const TOAControl* o : objects)
        r |= o->geometry();
    return r;
}

} // namespace korvel
