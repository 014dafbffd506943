#pragma once

// Shared pieces of the emission and print-job tests: a port that records what the job does with
// it, records of a data set held in memory, the worked-example document and byte goldens.

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OALabel.h"
#include "document/OARectangle.h"
#include "printing/job/JobRecords.h"
#include "printing/ports/PrinterPort.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QList>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace korvel::test {

inline QByteArray stx(const QByteArray& s)
{
    return QByteArray(1, '\x02') + s;
}

inline QByteArray soh(const QByteArray& s)
{
    return QByteArray(1, '\x01') + s;
}

/// A port that keeps every piece and every call the job makes.
class RecordingPort : public PrinterPort {
public:
    RecordingPort()
        : PrinterPort(PortLimits {})
    {
    }

    PortCategory category() const override { return PortCategory::Serial; }
    QString describe() const override { return QStringLiteral("recording"); }
    bool isOpen() const override { return open_; }

    PortStatus OpenPort() override
    {
        ++opens;
        if (failOpen)
            return PortStatus::failure(PortError::OpenFailed, QStringLiteral("refused by test"));
        open_ = true;
        return PortStatus::success();
    }
    PortStatus SendPiece(const QByteArray& piece) override
    {
        if (refuseAt >= 0 && pieces.size() == refuseAt)
            return PortStatus::failure(PortError::WriteFailed, QStringLiteral("refused by test"));
        if (limits_.cancelled())
            return PortStatus::failure(PortError::Cancelled, QStringLiteral("cancelled"));
        pieces.append(piece);
        return PortStatus::success();
    }
    PortStatus ClosePort() override
    {
        if (open_)
            ++closes;
        open_ = false;
        if (failClose)
            return PortStatus::failure(PortError::WriteFailed, QStringLiteral("close refused by test"));
        return PortStatus::success();
    }
    PortStatus StartDocument(const QString& title) override
    {
        documentTitle = title;
        ++documentsStarted;
        return PortStatus::success();
    }
    PortStatus EndDocument() override
    {
        ++documentsEnded;
        return PortStatus::success();
    }

    QByteArray stream() const
    {
        QByteArray out;
        for (const QByteArray& p : pieces)
            out += p;
        return out;
    }

    QList<QByteArray> pieces;
    int opens = 0;
    int closes = 0;
    int documentsStarted = 0;
    int documentsEnded = 0;
    QString documentTitle;
    int refuseAt = -1;
    bool failOpen = false;
    bool failClose = false;

private:
    bool open_ = false;
};

/// A data set in memory: rows of column values, with the data-set movement rules.
class MemoryRecords : public JobRecords, public FieldValues {
public:
    MemoryRecords(QList<QByteArray> columns, QList<QList<QByteArray>> rows)
        : columns_(std::move(columns))
        , rows_(std::move(rows))
    {
    }

    bool isOpen() const override { return open; }
    int recordCount() const override { return int(rows_.size()); }
    int recordNumber() const override { return rows_.isEmpty() ? 0 : current_ + 1; }
    bool eof() const override { return rows_.isEmpty() || eof_; }
    void first() override
    {
        current_ = 0;
        eof_ = false;
    }
    void next() override
    {
        ++moves;
        if (current_ + 1 < rows_.size())
            ++current_;
        else
            eof_ = true;
    }
    const FieldValues& fields() const override { return *this; }
    QByteArray firstFieldText() const override { return rows_.isEmpty() ? QByteArray() : rows_[current_].value(0); }

    std::optional<QByteArray> value(const QByteArray& fieldName) const override
    {
        for (int i = 0; i < columns_.size(); ++i)
            if (columns_[i].compare(fieldName, Qt::CaseInsensitive) == 0)
                return rows_.isEmpty() ? QByteArray() : rows_[current_].value(i);
        return std::nullopt;
    }

    bool open = true;
    int moves = 0;

private:
    QList<QByteArray> columns_;
    QList<QList<QByteArray>> rows_;
    int current_ = 0;
    bool eof_ = false;
};

/// The printer settings of the worked example: 203 dpi, thermal transfer, FeedType 2.
inline TPrinterSetting WorkedExampleSetting()
{
    TPrinterSetting s;
    s.PrinterID = 0;
    s.ComPort = 5;
    s.DPI = 0;
    s.PrintType = 1;
    s.PrintDirection = 0;
    s.FeedType = 2;
    s.PrintSpeed = 'F';
    s.PrintThickness = 18;
    s.PageType = 2;
    s.OutDistance = 0;
    return s;
}

/// A page of `columns` × `rows` labels of w × h (0.1 mm), no margins, gaps as given.
inline TPageRecord GridPage(int w, int h, int columns, int rows, int space = 0, int interval = 0)
{
    TPageRecord p;
    p.LabelWidth = std::uint16_t(w);
    p.LabelHeight = std::uint16_t(h);
    p.LabelColumn = std::uint16_t(columns);
    p.LabelRow = std::uint16_t(rows);
    p.LabelSpace = std::uint16_t(space);
    p.LabelInterval = std::uint16_t(interval);
    p.PaperWidth = std::uint16_t(w * columns + space * (columns - 1));
    p.PaperHeight = std::uint16_t(h * rows + interval * (rows - 1));
    return p;
}

/// A document at 100 % zoom for printer model 1 with the given page.
inline std::unique_ptr<LabelDocument> NewPrintDocument(const TPageRecord& page, const TPrinterSetting& setting)
{
    auto doc = std::make_unique<LabelDocument>();
    doc->printerModel = 1;
    doc->printer = setting;
    doc->printPositionAdjust = 0;
    doc->setPage(page);
    doc->setZoom(100);
    return doc;
}

template <class T> T* Append(LabelDocument& doc, std::unique_ptr<T> object)
{
    T* raw = object.get();
    object->setZoom(double(doc.zoom()) / 100.0);
    doc.appendObject(std::move(object));
    return raw;
}

/// A rectangle at the given millimetres, outlined (fill 0) or filled (fill 1).
inline TOARectangle* AddBox(LabelDocument& doc, double left, double top, double width, double height, int fill = 0)
{
    auto rect = std::make_unique<TOARectangle>();
    rect->setFill(fill);
    TOARectangle* r = Append(doc, std::move(rect));
    r->setAbsLeft(left);
    r->setAbsTop(top);
    r->setAbsWidth(width);
    r->setAbsHeight(height);
    return r;
}

/// The printer-font text "ABC" of the worked example at the given control rectangle.
inline TOAText* AddPrinterText(LabelDocument& doc, const QByteArray& text, QRect rect)
{
    auto t = std::make_unique<TOAText>(QStringLiteral("Text1"));
    t->SetUsePrnFont(1);
    t->SetPrnFontIdx(1);
    t->SetPrnFntZoomX(1);
    t->SetPrnFntZoomY(1);
    t->SetText(text);
    TOAText* raw = Append(doc, std::move(t));
    raw->setGeometry(rect);
    return raw;
}

/// The five objects of the worked example, in its list order. The image's stored picture is
/// the 16 × 16 picture the example names; tests install ExampleStoredPicture for it.
inline void BuildWorkedExample(LabelDocument& doc)
{
    AddPrinterText(doc, "ABC", QRect(19, 19, 40, 20));

    auto line = std::make_unique<TOAHVLine>();
    line->setStyle(lsTop);
    line->setMMLineWidth(0.5);
    TOAHVLine* l = Append(doc, std::move(line));
    l->setAbsStartX(5.0);
    l->setAbsStartY(20.0);
    l->setAbsEndX(55.0);
    l->setAbsEndY(20.0);

    auto rect = std::make_unique<TOARectangle>();
    rect->setFill(0);
    rect->setMMLineWidth(0.25);
    TOARectangle* r = Append(doc, std::move(rect));
    r->setAbsLeft(30);
    r->setAbsTop(25);
    r->setAbsWidth(20);
    r->setAbsHeight(10);

    auto bar = std::make_unique<TOABarCode>();
    bar->Name = QStringLiteral("BarCode1");
    bar->SetBarCodeType(TBarCodeType::bcCode39);
    bar->SetText("123");
    bar->SetLabelWithPrn(true);
    bar->SetBarWide(3);
    bar->SetBarNarrow(1);
    bar->SetBarHeight(80);
    TOABarCode* b = Append(doc, std::move(bar));
    b->setGeometry(QRect(19, 60, 100, 40));

    auto image = std::make_unique<TOAImage>();
    QImage source(16, 16, QImage::Format_RGB888);
    source.fill(Qt::white);
    for (int y = 0; y < 16; ++y)
        for (int x = 4; x < 12; ++x)
            source.setPixel(x, y, qRgb(0, 0, 0));
    image->SetOrgPicture(source);
    TOAImage* im = Append(doc, std::move(image));
    im->setAbsLeft(45);
    im->setAbsTop(2);
    im->setAbsWidth(2);
    im->setAbsHeight(2);
}

/// The worked example's image prints as a 16 × 16 picture: a black band in columns 4-11.
inline QImage ExampleImagePicture()
{
    QImage p(16, 16, QImage::Format_Mono);
    p.setColorTable({ qRgb(255, 255, 255), qRgb(0, 0, 0) });
    p.fill(0);
    for (int y = 0; y < 16; ++y)
        for (int x = 4; x < 12; ++x)
            p.setPixel(x, y, 1);
    return p;
}

/// Stored pictures for tests: the example picture for images, the objects' own copies otherwise.
inline QImage ExampleStoredPicture(const TOAControl& object, int dpi)
{
    switch (object.kind()) {
    case ObjectKind::Image: return ExampleImagePicture();
    case ObjectKind::Rectangle: return static_cast<const TOARectangle&>(object).PrinterPicture(dpi);
    default: return {};
    }
}

inline QString printingGoldenDir()
{
    QString base = sourceDir();
    if (base.isEmpty())
        base = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/..");
    return base + QStringLiteral("/printing/golden");
}

/// Compares a command stream with golden/<name>.prn; a missing golden is written and reported.
inline void ExpectMatchesStreamGolden(const QByteArray& stream, const QString& name)
{
    const QString path = printingGoldenDir() + QLatin1Char('/') + name + QStringLiteral(".prn");
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(printingGoldenDir());
        ASSERT_TRUE(writeFile(path, stream)) << path.toStdString();
        std::printf("[ golden   ] generated %s\n", path.toLocal8Bit().constData());
        return;
    }
    const QByteArray golden = readFile(path);
    if (golden == stream)
        return;
    qsizetype at = 0;
    while (at < golden.size() && at < stream.size() && golden[at] == stream[at])
        ++at;
    ADD_FAILURE() << name.toStdString() << ": stream differs from the golden at byte " << at << " (golden "
                  << golden.size() << " bytes, stream " << stream.size()
                  << " bytes)\n golden: " << golden.mid(std::max<qsizetype>(0, at - 16), 48).toHex(' ').toStdString()
                  << "\n stream: " << stream.mid(std::max<qsizetype>(0, at - 16), 48).toHex(' ').toStdString();
}

} // namespace korvel::test
