#pragma once

#include "document/PageRecord.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace korvel {

/// The page preview of the two page dialogs: the page scaled into the picture, the label grid
/// as rounded cells (black when a cell fits, red when it does not) and the page size.
class TPagePreview : public QWidget {
    Q_OBJECT
public:
    explicit TPagePreview(QWidget* parent = nullptr);
    void setPage(const TPageRecord& page);
    /// Whether every cell fits (the last, largest cell decides).
    bool fits() const;

    /// Where the page is drawn: beside it stay the room for the two size captions.
    QRectF pageRect() const;
    QString widthCaption() const;
    QString heightCaption() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr double CaptionGap = 6.0;
    TPageRecord page_;
};

/// The fields of a page record shared by both dialogs: the page tab and the label tab.
class PageLayoutFields : public QObject {
    Q_OBJECT
public:
    /// capWidth: the automatic paper width is capped at this many 0.1 mm (0: no cap).
    PageLayoutFields(QTabWidget* tabs, int capWidth, QObject* parent = nullptr);

    /// Fills the fields; a record with a zero paper or label size starts from 80 x 80 mm.
    void setPage(const TPageRecord& page);
    /// The record as the fields show it (lengths round(mm x 10), counts round(value)).
    const TPageRecord& page() const { return page_; }
    /// Whether the fields show the given record unchanged (no value brought into range) and
    /// it fits, so OK would take it.
    bool showsAcceptably(const TPageRecord& wanted) const;

    QWidget* pageTab() const { return pageTab_; }
    QWidget* labelTab() const { return labelTab_; }

signals:
    void changed();

private:
    void readFields();
    void showAutoSize();

    TPageRecord page_;
    int capWidth_;
    QWidget* pageTab_;
    QWidget* labelTab_;
    QDoubleSpinBox* paperWidth_;
    QDoubleSpinBox* paperHeight_;
    QDoubleSpinBox* topMargin_;
    QDoubleSpinBox* leftMargin_;
    QCheckBox* autoSize_;
    QDoubleSpinBox* labelWidth_;
    QDoubleSpinBox* labelHeight_;
    QDoubleSpinBox* interval_;
    QDoubleSpinBox* space_;
    QSpinBox* rows_;
    QSpinBox* columns_;
    bool filling_ = false;
};

/// The new-label dialog ("新建标签"): the page, the label grid, or a stored sample label.
class TNewForm : public QDialog {
    Q_OBJECT
public:
    /// samplesDirectory: the folder whose *.kvl files the sample tab lists. newLayout chooses
    /// the label tab to start on, otherwise the sample tab.
    TNewForm(
        const TPageRecord& current, const QString& samplesDirectory, bool newLayout = true, QWidget* parent = nullptr);

    TPageRecord page() const;
    /// True when OK was pressed on the sample tab with a readable sample chosen.
    bool sampleChosen() const;
    QString samplePath() const;

    PageLayoutFields* fields() const { return fields_; }
    QTabWidget* tabs() const { return tabs_; }
    TPagePreview* preview() const { return preview_; }
    QListWidget* samples() const { return samples_; }
    QPushButton* okButton() const { return ok_; }
    QLabel* message() const { return message_; }
    QLabel* sampleInfo() const { return sampleInfo_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void sampleSelected();

    QTabWidget* tabs_;
    PageLayoutFields* fields_;
    QWidget* sampleTab_;
    QListWidget* samples_;
    QLabel* sampleInfo_;
    TPagePreview* preview_;
    QLabel* message_;
    QPushButton* ok_;
    QString samplesDirectory_;
    TPageRecord samplePage_;
    bool sampleReadable_ = false;
};

/// The page setup dialog ("页面设置"): the page and label fields of a document's record.
class TPageSetupForm : public QDialog {
    Q_OBJECT
public:
    explicit TPageSetupForm(const TPageRecord& page, QWidget* parent = nullptr);

    /// The record to store: the fields, with byte 0 of the reserved head set to 0.
    TPageRecord page() const;

    PageLayoutFields* fields() const { return fields_; }
    TPagePreview* preview() const { return preview_; }
    QPushButton* okButton() const { return ok_; }
    QLabel* message() const { return message_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    QTabWidget* tabs_;
    PageLayoutFields* fields_;
    TPagePreview* preview_;
    QLabel* message_;
    QPushButton* ok_;
};

} // namespace korvel
