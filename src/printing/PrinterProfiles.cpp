#include "printing/PrinterProfiles.h"

#include "document/LabelDocument.h"

namespace korvel {

QString BuiltInText(const char*, const char*, const QString& fallback)
{
    return fallback;
}

const std::vector<PrinterModel>& PrinterModels()
{
    static const std::vector<PrinterModel> models = {
        {1, QStringLiteral("VTX-M1"), true, true, true, false, true, 'F', 280},
    };
    return models;
}

const PrinterModel* FindPrinterModel(int index)
{
    for (const PrinterModel& m : PrinterModels())
        if (m.index == index)
            return &m;
    return nullptr;
}

QString PrinterModelName(int index)
{
    const PrinterModel* m = FindPrinterModel(index);
    return m ? m->name : QString();
}

int ModelIndexOfPosition(int position)
{
    return position < 4 ? position + 1 : position + 2;
}

int PositionOfModelIndex(int index)
{
    return index <= 4 ? index - 1 : index - 2;
}

const std::array<PrintSpeed, 11>& PrintSpeeds()
{
    static const std::array<PrintSpeed, 11> speeds = {{{'B', "25mm/s"},
                                                        {'C', "38mm/s"},
                                                        {'D', "51mm/s"},
                                                        {'E', "63mm/s"},
                                                        {'F', "76mm/s"},
                                                        {'G', "89mm/s"},
                                                        {'H', "102mm/s"},
                                                        {'I', "114mm/s"},
                                                        {'J', "127mm/s"},
                                                        {'K', "140mm/s"},
                                                        {'L', "152mm/s"}}};
    return speeds;
}

int SpeedPosition(std::uint8_t code)
{
    const auto& speeds = PrintSpeeds();
    for (size_t i = 0; i < speeds.size(); ++i)
        if (static_cast<std::uint8_t>(speeds[i].code) == code)
            return static_cast<int>(i);
    return -1;
}

void ApplyDefaultProfile(TPrinterSetting& s)
{
    s.PrinterID = 0;
    s.ComPort = 5;
    s.BaudRate = 38400;
    s.ByteSize = 8;
    s.StopBits = 0;
    s.Parity = 0;
    s.FlowControl = 1;
    s.LPTAddr = 888;
    s.DPI = 0;
    s.PrintDirection = 0;
    s.FeedType = 5;
    s.PrintSpeed = 'F';
    s.PrintThickness = 18;
    s.OutDistance = 0;
    s.LED = 0;
}

PortKind PortKindOf(std::uint8_t p)
{
    if (p <= 3)
        return PortKind::Parallel;
    if (p == 4)
        return PortKind::None;
    if (p <= 12)
        return PortKind::Serial;
    if (p <= 20)
        return PortKind::UsbFirst;
    if (p <= 28)
        return PortKind::UsbSecond;
    if (p == 99)
        return PortKind::Queue;
    return PortKind::Unknown;
}

namespace {
// Shortest decimal form of a length in 0.1 mm given in millimetres (60, 60.5).
QString shortMM(int tenths)
{
    return QString::number(tenths / 10.0, 'g', 10);
}
} // namespace

DocumentStatus ShowDocumentStatus(const LabelDocument& doc, const TextLookup& lookup)
{
    DocumentStatus st = PrinterStatus(doc.printer, lookup);
    st.label = lookup("MainFormInside", "message2", QStringLiteral("Label:")) + shortMM(doc.page().LabelWidth)
        + lookup("All", "danweiEx", QStringLiteral("毫米*")) + shortMM(doc.page().LabelHeight)
        + lookup("All", "danwei", QStringLiteral("毫米"));
    st.zoom = QString::number(doc.zoom()) + QLatin1Char('%');
    return st;
}

DocumentStatus PrinterStatus(const TPrinterSetting& setting, const TextLookup& lookup)
{
    DocumentStatus st;
    st.printer = lookup("MainFormInside", "message3", QStringLiteral("Printer:")) + QStringLiteral("VTX-M1");
    const QString portPrefix = lookup("MainFormInside", "message4", QStringLiteral("Port:"));
    const std::uint8_t p = setting.ComPort;
    if (p <= 4)
        st.port = portPrefix + lookup("ChildFormInside", "Panels2Text1", QStringLiteral("并口"));
    else if (p <= 12)
        st.port = portPrefix + QStringLiteral("COM") + QString::number(p - 4);
    else if (p <= 28)
        st.port = portPrefix + lookup("ChildFormInside", "Panels2Text2", QStringLiteral("USB口"));
    else if (p == 99)
        st.port = portPrefix + lookup("ChildFormInside", "Panels2Text3", QStringLiteral("驱动"));
    return st;
}

void ConvertResolution(LabelDocument& doc, int newIndex, int direction)
{
    doc.convertResolution(newIndex, direction);
    doc.printer.DPI = static_cast<std::uint8_t>(newIndex);
}

} // namespace korvel
