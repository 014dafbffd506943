#include "cli/InfoJson.h"

#include "document/Binary.h"
#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "persistence/ObjectProperties.h"
#include "printing/PrinterProfiles.h"
#include "variables/VariableEntries.h"

#include <QJsonArray>

namespace korvel::cli {

namespace {

QString text(const QByteArray& bytes)
{
    return CodePage::document().toUnicode(bytes);
}

QJsonObject pageJson(const TPageRecord& p)
{
    return QJsonObject{
        {"PaperWidth", p.PaperWidth},
        {"PaperHeight", p.PaperHeight},
        {"PaperTopMargin", p.PaperTopMargin},
        {"PaperBottomMargin", p.PaperBottomMargin},
        {"PaperLeftMargin", p.PaperLeftMargin},
        {"PaperRightMargin", p.PaperRightMargin},
        {"AutoSize", p.AutoSize},
        {"LabelWidth", p.LabelWidth},
        {"LabelHeight", p.LabelHeight},
        {"LabelColumn", p.LabelColumn},
        {"LabelRow", p.LabelRow},
        {"LabelSpace", p.LabelSpace},
        {"LabelInterval", p.LabelInterval},
    };
}

QJsonObject printerJson(const TPrinterSetting& s)
{
    return QJsonObject{
        {"PrinterID", s.PrinterID},
        {"ComPort", s.ComPort},
        {"BaudRate", s.BaudRate},
        {"ByteSize", s.ByteSize},
        {"StopBits", s.StopBits},
        {"Parity", s.Parity},
        {"FlowControl", s.FlowControl},
        {"LPTAddr", s.LPTAddr},
        {"DPI", s.DPI},
        {"PrintType", s.PrintType},
        {"PrintDirection", s.PrintDirection},
        {"FeedType", s.FeedType},
        {"PrintSpeed", QString(QChar(s.PrintSpeed))},
        {"PrintThickness", s.PrintThickness},
        {"PageType", s.PageType},
        {"OutDistance", s.OutDistance},
        {"LED", s.LED},
    };
}

QJsonObject formatJson(const TOutputFormat& f)
{
    return QJsonObject{
        {"maxLength", f.maxLength},
        {"prefix", text(f.prefix)},
        {"suffix", text(f.suffix)},
        {"numberFormat", f.numberFormat},
        {"decimalPlaces", f.decimalPlaces},
        {"fill", f.fill},
        {"fillString", text(f.fillString)},
        {"fillWidth", f.fillWidth},
    };
}

/// Every table entry with its fields; Entry is one of the read-only entry views.
template <typename Entry, typename Fill>
QJsonArray tableJson(const std::vector<QByteArray>& entries, Fill fill)
{
    QJsonArray out;
    for (const QByteArray& bytes : entries) {
        const Entry e(bytes);
        QJsonObject o{{"name", text(e.name())}};
        fill(e, o);
        out.append(o);
    }
    return out;
}

} // namespace

QJsonObject DocumentInfo(const LabelDocument& doc)
{
    QJsonObject info;
    info["file"] = doc.fileName;
    info["version"] = doc.sourceVersion;
    info["damaged"] = doc.damage.isEmpty() ? QJsonValue(false) : QJsonValue(doc.damage);
    info["zoom"] = doc.zoom();
    info["FitMode"] = doc.FitMode;
    info["FitZoom"] = doc.FitZoom;
    info["printPositionAdjust"] = doc.printPositionAdjust;
    info["model"] = doc.printerModel;
    info["modelName"] = PrinterModelName(doc.printerModel);
    info["page"] = pageJson(doc.page());
    info["printer"] = printerJson(doc.printer);

    QJsonArray objects;
    for (const auto& o : doc.objects()) {
        QJsonObject obj;
        const PropertyMap properties = PropertiesOf(*o);
        for (auto it = properties.constBegin(); it != properties.constEnd(); ++it) {
            if (it.key() == QLatin1String("Image"))
                obj["ImageLength"] = static_cast<int>(it.value().toByteArray().size());
            else if (it.value().typeId() == QMetaType::QByteArray)
                obj[it.key()] = text(it.value().toByteArray());
            else
                obj[it.key()] = QJsonValue::fromVariant(it.value());
        }
        obj["kind"] = KindNamePrefix(o->kind());
        obj["kindNumber"] = static_cast<int>(o->kind());
        obj["name"] = o->Name;
        objects.append(obj);
    }
    info["objects"] = objects;
    const VariableTables& v = doc.variables;
    info["database"] = tableJson<ConstDatabaseFieldEntry>(v.database, [](const auto& e, QJsonObject& o) {
        o["value"] = text(e.value());
        o["trim"] = e.trim();
        o["format"] = formatJson(e.outputFormat());
    });
    info["dates"] = tableJson<ConstDateEntry>(v.dates, [](const auto& e, QJsonObject& o) {
        o["pattern"] = e.patternIndex();
        o["dayOffset"] = e.dayOffset();
        o["monthOffset"] = e.monthOffset();
        o["yearOffset"] = e.yearOffset();
    });
    info["times"] = tableJson<ConstTimeEntry>(v.times, [](const auto& e, QJsonObject& o) {
        o["pattern"] = e.patternIndex();
        o["minuteOffset"] = e.minuteOffset();
        o["hourOffset"] = e.hourOffset();
    });
    info["counters"] = tableJson<ConstCounterEntry>(v.counters, [](const auto& e, QJsonObject& o) {
        o["type"] = static_cast<int>(e.type());
        o["value"] = text(e.value());
        o["step"] = e.step();
        o["limit"] = text(e.limit());
        o["reset"] = text(e.resetValue());
        o["labelsPerStep"] = e.labelsPerStep();
        o["format"] = formatJson(e.outputFormat());
    });
    info["formulas"] = tableJson<ConstFormulaEntry>(v.formulas, [](const auto& e, QJsonObject& o) {
        o["expression"] = text(e.expression());
        o["substringStart"] = e.substringStart();
        o["substringLength"] = e.substringLength();
        o["format"] = formatJson(e.outputFormat());
    });
    info["dataSource"] = QJsonObject{
        {"active", doc.database.active},
        {"recordNumber", doc.database.recordNumber},
        {"sql", text(doc.database.sql)},
        {"connectionString", text(doc.database.connectionString)},
    };
    return info;
}

} // namespace korvel::cli
