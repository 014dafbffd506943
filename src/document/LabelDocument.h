#pragma once

#include "document/OAControl.h"
#include "document/PageRecord.h"
#include "document/PrinterSetting.h"
#include "document/VariableTables.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace korvel {

/// Containment table entry: which box objects wholly contain which others. The table is kept
/// sorted by depth, deepest first, which is what the click test relies on.
struct LabObjRec {
    static constexpr int ListCapacity = 50;

    TOAControl* control = nullptr;
    int depth = 0;
    int number = 0;
    int category = 1; ///< 1 box, 2 outline
    QString kindName;
    std::vector<int> inner;
    std::vector<int> outer;
};

/// Pixel copies of the page record's lengths at 100 % zoom.
struct PagePixels {
    int paperWidth = 0, paperHeight = 0;
    int leftMargin = 0, rightMargin = 0, topMargin = 0, bottomMargin = 0;
    int labelWidth = 0, labelHeight = 0, labelSpace = 0, labelInterval = 0;
};

struct SelectionCounters {
    int texts = 0;
    int screenFontTexts = 0;
    int barcodes = 0;
    int screenFontBarcodes = 0;
};

/// One label document without any window: the objects in z-order, the selection, the
/// containment table, the page, the zoom, the printer profile, the variable tables and the
/// database binding.
class LabelDocument {
public:
    static constexpr int MaxObjects = 200;
    static constexpr int ZoomSteps[] = {50, 100, 200, 300, 400, 500, 600};
    static constexpr int MaxZoom = 600;
    static constexpr int MinZoom = 50;
    static constexpr int HeaderSize = 48;

    LabelDocument();
    ~LabelDocument();
    LabelDocument(const LabelDocument&) = delete;
    LabelDocument& operator=(const LabelDocument&) = delete;

    // --- objects -------------------------------------------------------------------------
    const std::vector<std::unique_ptr<TOAControl>>& objects() const { return objects_; }
    int objectCount() const { return static_cast<int>(objects_.size()); }
    TOAControl* object(int i) const { return objects_.at(static_cast<size_t>(i)).get(); }
    int indexOf(const TOAControl* o) const;
    TOAControl* findByName(const QString& name) const;

    /// Adds an object (fails and returns null when the document already holds 200): gives it
    /// the document zoom, a free name when it has none, a containment entry, makes it the only
    /// selection and brings inverse areas to the front.
    TOAControl* addObject(std::unique_ptr<TOAControl> object);
    /// Appends an object read from a file: no selection change, no modified mark.
    TOAControl* appendObject(std::unique_ptr<TOAControl> object);
    /// Removes and frees the object.
    void removeObject(TOAControl* object);
    /// Removes the object from the document and hands it to the caller.
    std::unique_ptr<TOAControl> takeObject(TOAControl* object);
    /// The smallest "PrefixN" that no object of the document uses.
    QString nextFreeName(ObjectKind kind) const;
    QString nextFreeName(const QString& prefix) const;
    void bringInverseAreasToFront();
    /// Moves an object to a new z-order position.
    void moveObject(TOAControl* object, int newIndex);

    // --- selection -----------------------------------------------------------------------
    const std::vector<TOAControl*>& selection() const { return selection_; }
    void selectOnly(TOAControl* o);
    void addToSelection(TOAControl* o);
    void removeFromSelection(TOAControl* o);
    void clearSelection();
    bool isSelected(const TOAControl* o) const;
    SelectionCounters selectionCounters() const;

    // --- containment ---------------------------------------------------------------------
    const std::vector<LabObjRec>& containment() const { return containment_; }
    const std::vector<int>& freeNumbers() const { return freeNumbers_; }
    void refreshContainment(TOAControl* o);
    void refreshSelectionContainment();
    /// The deepest object whose screen rectangle holds the point (the click test order).
    TOAControl* hitTest(const QPoint& p) const;
    int currentObjectNumber = -1;

    // --- page and zoom -------------------------------------------------------------------
    const TPageRecord& page() const { return page_; }
    void setPage(const TPageRecord& page);
    const PagePixels& pixels() const { return pixels_; }
    void refreshPixels();

    int zoom() const { return zoom_; }
    /// Applies a zoom in percent to every object.
    void setZoom(int percent);
    int FitMode = 1;
    int FitZoom = 0;
    /// Computes and applies the zoom that fits the label into a client area; returns false
    /// (zoom unchanged) when the label's pixel size is zero.
    bool fitZoom(int clientWidth, int clientHeight);
    bool canZoomIn() const { return zoom_ < MaxZoom; }
    bool canZoomOut() const { return zoom_ > MinZoom; }
    void zoomIn();
    void zoomOut();

    // --- printer -------------------------------------------------------------------------
    std::uint8_t printerModel = 1;
    TPrinterSetting printer;
    /// Print position adjustment in 0.1 mm, carried in the file header.
    std::int32_t printPositionAdjust = 0;
    /// Converts every text and barcode to resolution index targetIndex.
    void convertResolution(int targetIndex, int direction);

    // --- data ----------------------------------------------------------------------------
    VariableTables variables;
    DatabaseBinding database;

    // --- file state ----------------------------------------------------------------------
    /// The 48-byte header area: reserved bytes of a read file are written back.
    QByteArray header = QByteArray(HeaderSize, '\0');
    QString fileName;
    bool untitled = true;
    bool modified = false;
    /// Set by the reader when the file was damaged and only partly read; says what was wrong.
    QString damage;
    /// Version the document was read from (100 for new documents).
    int sourceVersion = 100;

    /// Grows with every markModified(): tells edits apart that the undo history did not record.
    std::uint64_t changeSerial = 0;

    void markModified()
    {
        modified = true;
        ++changeSerial;
    }

private:
    void addContainment(TOAControl* o);
    void removeContainment(TOAControl* o);

    std::vector<std::unique_ptr<TOAControl>> objects_;
    std::vector<TOAControl*> selection_;
    std::vector<LabObjRec> containment_;
    std::vector<int> freeNumbers_;
    TPageRecord page_;
    PagePixels pixels_;
    int zoom_ = 200;
};

} // namespace korvel
