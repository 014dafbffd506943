#include "document/LabelDocument.h"

#include "document/Rounding.h"
#include "document/Units.h"

#include <algorithm>
#include <set>

namespace korvel {

LabelDocument::LabelDocument()
{
    page_ = TPageRecord::defaultRecord();
    refreshPixels();
}

LabelDocument::~LabelDocument() = default;

int LabelDocument::indexOf(const TOAControl* o) const
{
    for (size_t i = 0; i < objects_.size(); ++i)
        if (objects_[i].get() == o)
            return static_cast<int>(i);
    return -1;
}

TOAControl* LabelDocument::findByName(const QString& name) const
{
    for (const auto& o : objects_)
        if (o->Name.compare(name, Qt::CaseInsensitive) == 0)
            return o.get();
    return nullptr;
}

QString LabelDocument::nextFreeName(const QString& prefix) const
{
    std::set<QString> used;
    for (const auto& o : objects_)
        used.insert(o->Name.toLower());
    for (int n = 1;; ++n) {
        QString candidate = prefix + QString::number(n);
        if (!used.count(candidate.toLower()))
            return candidate;
    }
}

QString LabelDocument::nextFreeName(ObjectKind kind) const
{
    return nextFreeName(KindNamePrefix(kind));
}

TOAControl* LabelDocument::appendObject(std::unique_ptr<TOAControl> object)
{
    if (!object || objectCount() >= MaxObjects)
        return nullptr;
    if (object->Name.isEmpty())
        object->Name = nextFreeName(object->kind());
    TOAControl* raw = object.get();
    objects_.push_back(std::move(object));
    addContainment(raw);
    return raw;
}

TOAControl* LabelDocument::addObject(std::unique_ptr<TOAControl> object)
{
    if (!object || objectCount() >= MaxObjects)
        return nullptr;
    object->setZoom(zoom_ / 100.0);
    TOAControl* raw = appendObject(std::move(object));
    selectOnly(raw);
    bringInverseAreasToFront();
    markModified();
    return raw;
}

std::unique_ptr<TOAControl> LabelDocument::takeObject(TOAControl* object)
{
    const int i = indexOf(object);
    if (i < 0)
        return nullptr;
    removeContainment(object);
    removeFromSelection(object);
    std::unique_ptr<TOAControl> owned = std::move(objects_[static_cast<size_t>(i)]);
    objects_.erase(objects_.begin() + i);
    return owned;
}

void LabelDocument::removeObject(TOAControl* object)
{
    takeObject(object);
}

void LabelDocument::bringInverseAreasToFront()
{
    std::stable_partition(objects_.begin(), objects_.end(),
        [](const auto& o) { return o->kind() != ObjectKind::InvertArea; });
}

void LabelDocument::moveObject(TOAControl* object, int newIndex)
{
    const int i = indexOf(object);
    if (i < 0)
        return;
    newIndex = std::clamp(newIndex, 0, objectCount() - 1);
    auto owned = std::move(objects_[static_cast<size_t>(i)]);
    objects_.erase(objects_.begin() + i);
    objects_.insert(objects_.begin() + newIndex, std::move(owned));
}

void LabelDocument::selectOnly(TOAControl* o)
{
    selection_.clear();
    if (o)
        selection_.push_back(o);
}

void LabelDocument::addToSelection(TOAControl* o)
{
    if (o && !isSelected(o))
        selection_.push_back(o);
}

void LabelDocument::removeFromSelection(TOAControl* o)
{
    selection_.erase(std::remove(selection_.begin(), selection_.end(), o), selection_.end());
}

void LabelDocument::clearSelection()
{
    selection_.clear();
}

bool LabelDocument::isSelected(const TOAControl* o) const
{
    return std::find(selection_.begin(), selection_.end(), o) != selection_.end();
}

SelectionCounters LabelDocument::selectionCounters() const
{
    SelectionCounters c;
    for (const TOAControl* o : selection_) {
        if (o->kind() == ObjectKind::Text) {
            ++c.texts;
            c.screenFontTexts += o->usesScreenFont() ? 1 : 0;
        } else if (o->kind() == ObjectKind::BarCode) {
            ++c.barcodes;
            c.screenFontBarcodes += o->usesScreenFont() ? 1 : 0;
        }
    }
    return c;
}

namespace {
bool whollyInside(const QRect& a, const QRect& b)
{
    // b inside a, inclusive edges, using Left + Width as the right edge.
    return a.left() <= b.left() && b.left() + b.width() <= a.left() + a.width() && a.top() <= b.top()
        && b.top() + b.height() <= a.top() + a.height();
}
} // namespace

void LabelDocument::addContainment(TOAControl* o)
{
    LabObjRec n;
    n.control = o;
    if (!freeNumbers_.empty()) {
        auto lowest = std::min_element(freeNumbers_.begin(), freeNumbers_.end());
        n.number = *lowest;
        freeNumbers_.erase(lowest);
    } else {
        n.number = static_cast<int>(containment_.size());
    }
    n.category = KindIsBox(o->kind()) ? 1 : 2;
    n.kindName = KindContainmentName(o->kind());
    const QRect nr = o->geometry();
    for (LabObjRec& e : containment_) {
        const QRect er = e.control->geometry();
        if (n.category == 1 && whollyInside(nr, er) && static_cast<int>(n.inner.size()) < LabObjRec::ListCapacity
            && static_cast<int>(e.outer.size()) < LabObjRec::ListCapacity) {
            ++e.depth;
            n.inner.push_back(e.number);
            e.outer.push_back(n.number);
        }
        if (e.category == 1 && whollyInside(er, nr) && static_cast<int>(e.inner.size()) < LabObjRec::ListCapacity
            && static_cast<int>(n.outer.size()) < LabObjRec::ListCapacity) {
            ++n.depth;
            e.inner.push_back(n.number);
            n.outer.push_back(e.number);
        }
    }
    containment_.push_back(std::move(n));
    // Deepest first, equal depths in their present order: the order the exchange sort of
    // the stored table gave, without its quadratic cost on every refresh of a moved object.
    std::stable_sort(containment_.begin(), containment_.end(),
        [](const LabObjRec& a, const LabObjRec& b) { return a.depth > b.depth; });
}

void LabelDocument::removeContainment(TOAControl* o)
{
    auto it = std::find_if(containment_.begin(), containment_.end(), [o](const LabObjRec& e) { return e.control == o; });
    if (it == containment_.end())
        return;
    const LabObjRec removed = *it;
    containment_.erase(it);
    freeNumbers_.push_back(removed.number);
    for (LabObjRec& e : containment_) {
        if (std::find(removed.inner.begin(), removed.inner.end(), e.number) != removed.inner.end())
            e.depth = std::max(0, e.depth - 1);
        e.inner.erase(std::remove(e.inner.begin(), e.inner.end(), removed.number), e.inner.end());
        e.outer.erase(std::remove(e.outer.begin(), e.outer.end(), removed.number), e.outer.end());
    }
}

void LabelDocument::refreshContainment(TOAControl* o)
{
    removeContainment(o);
    addContainment(o);
}

void LabelDocument::refreshSelectionContainment()
{
    for (TOAControl* o : selection_)
        refreshContainment(o);
}

TOAControl* LabelDocument::hitTest(const QPoint& p) const
{
    for (const LabObjRec& e : containment_)
        if (e.control->geometry().contains(p))
            return e.control;
    return nullptr;
}

void LabelDocument::setPage(const TPageRecord& page)
{
    page_ = page;
    refreshPixels();
}

void LabelDocument::refreshPixels()
{
    pixels_.paperWidth = TenthsToPixels(page_.PaperWidth);
    pixels_.paperHeight = TenthsToPixels(page_.PaperHeight);
    pixels_.leftMargin = TenthsToPixels(page_.PaperLeftMargin);
    pixels_.rightMargin = TenthsToPixels(page_.PaperRightMargin);
    pixels_.topMargin = TenthsToPixels(page_.PaperTopMargin);
    pixels_.bottomMargin = TenthsToPixels(page_.PaperBottomMargin);
    pixels_.labelWidth = TenthsToPixels(page_.LabelWidth);
    pixels_.labelHeight = TenthsToPixels(page_.LabelHeight);
    pixels_.labelSpace = TenthsToPixels(page_.LabelSpace);
    pixels_.labelInterval = TenthsToPixels(page_.LabelInterval);
}

void LabelDocument::setZoom(int percent)
{
    const double factor = percent / 100.0;
    for (const auto& o : objects_)
        o->setZoom(factor);
    zoom_ = percent;
}

bool LabelDocument::fitZoom(int clientWidth, int clientHeight)
{
    const int w = static_cast<int>(Round(page_.LabelWidth / 10.0 * ScreenPPI / 25.4));
    const int h = static_cast<int>(Round(page_.LabelHeight / 10.0 * ScreenPPI / 25.4));
    if (w == 0 || h == 0)
        return false;
    const int zh = static_cast<int>(Round(static_cast<double>(clientHeight) / h * 100 - 0.5));
    const int zw = static_cast<int>(Round(static_cast<double>(clientWidth) / w * 100 - 0.5));
    int z = std::min(zh, zw);
    if (z > MaxZoom)
        z = MaxZoom;
    else if (z < MinZoom)
        z = MinZoom;
    FitZoom = z;
    setZoom(z);
    return true;
}

namespace {
// Snaps a fitted zoom onto the step grid before stepping (zoom in snaps down, out snaps up).
int snapToStep(int zoom, bool in)
{
    int previous = 0;
    bool havePrevious = false;
    for (int step : LabelDocument::ZoomSteps) {
        const int d = zoom - step;
        if (d == 0)
            return zoom;
        if (havePrevious && zoom - previous > 0 && d < 0)
            return in ? previous : step;
        previous = step;
        havePrevious = true;
    }
    return zoom;
}
} // namespace

void LabelDocument::zoomIn()
{
    if (!canZoomIn())
        return;
    int z = zoom_;
    if (FitMode == 1) {
        z = snapToStep(z, true);
        FitMode = 0;
    }
    for (int step : ZoomSteps)
        if (step > z) {
            setZoom(step);
            return;
        }
}

void LabelDocument::zoomOut()
{
    if (!canZoomOut())
        return;
    int z = zoom_;
    if (FitMode == 1) {
        z = snapToStep(z, false);
        FitMode = 0;
    }
    for (auto it = std::rbegin(ZoomSteps); it != std::rend(ZoomSteps); ++it)
        if (*it < z) {
            setZoom(*it);
            return;
        }
}

void LabelDocument::convertResolution(int targetIndex, int direction)
{
    for (const auto& o : objects_)
        o->ConvertResolution(targetIndex, direction);
}

} // namespace korvel
