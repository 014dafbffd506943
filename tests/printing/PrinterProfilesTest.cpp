#include "document/LabelDocument.h"
#include "printing/PrinterProfiles.h"

#include <gtest/gtest.h>

using namespace korvel;

TEST(PrinterProfiles, StatusBarTexts)
{
    LabelDocument doc;
    TPageRecord p = doc.page();
    p.LabelWidth = 600;
    p.LabelHeight = 405;
    doc.setPage(p);
    doc.setZoom(150);
    struct Case {
        std::uint8_t port;
        const char* text;
    };
    const Case cases[] = {{0, "Port:并口"}, {4, "Port:并口"}, {5, "Port:COM1"}, {12, "Port:COM8"},
                          {13, "Port:USB口"}, {28, "Port:USB口"}, {99, "Port:驱动"}, {50, ""}};
    for (const Case& c : cases) {
        doc.printer.ComPort = c.port;
        const DocumentStatus st = ShowDocumentStatus(doc);
        EXPECT_EQ(st.port, QString::fromUtf8(c.text)) << int(c.port);
        EXPECT_EQ(st.label, QStringLiteral("Label:60毫米*40.5毫米"));
        EXPECT_EQ(st.printer, QStringLiteral("Printer:VTX-M1"));
        EXPECT_EQ(st.zoom, QStringLiteral("150%"));
    }
    // A language lookup replaces the built-in texts.
    const DocumentStatus en = ShowDocumentStatus(doc, [](const char*, const char* key, const QString& d) {
        return QByteArray(key) == "danwei" ? QStringLiteral("mm") : d;
    });
    EXPECT_TRUE(en.label.endsWith(QStringLiteral("40.5mm")));
}

TEST(PrinterProfiles, ModelsSpeedsAndDefaults)
{
    EXPECT_EQ(PrinterModelName(1), QStringLiteral("VTX-M1"));
    EXPECT_TRUE(PrinterModelName(5).isEmpty());
    EXPECT_EQ(ModelIndexOfPosition(3), 4);
    EXPECT_EQ(ModelIndexOfPosition(4), 6);
    EXPECT_EQ(PositionOfModelIndex(6), 4);
    EXPECT_EQ(SpeedPosition('B'), 0);
    EXPECT_EQ(SpeedPosition('F'), 4);
    EXPECT_EQ(SpeedPosition('Z'), -1);
    EXPECT_STREQ(PrintSpeeds()[10].name, "152mm/s");

    TPrinterSetting s;
    s.ComPort = 99;
    s.PrintType = 1;
    s.PageType = 0;
    s.DPI = 1;
    ApplyDefaultProfile(s);
    EXPECT_EQ(s.ComPort, 5);
    EXPECT_EQ(s.DPI, 0);
    EXPECT_EQ(s.PrintType, 1); // kept
    EXPECT_EQ(s.PageType, 0);  // kept
    EXPECT_EQ(PortKindOf(21), PortKind::UsbSecond);
    EXPECT_EQ(PortKindOf(99), PortKind::Queue);
}

TEST(PrinterSetting, FortyBytesWithReservedBytesCarried)
{
    QByteArray bytes(40, '\0');
    for (int i = 0; i < 40; ++i)
        bytes[i] = static_cast<char>(i * 7 + 1);
    EXPECT_EQ(TPrinterSetting::fromBytes(bytes).toBytes(), bytes);
}
