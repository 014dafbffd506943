#include "cli/InfoJson.h"

#include "document/Binary.h"
#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "persistence/ObjectProperties.h"
#include "printing/PrinterProfiles.h"

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

QJsonArray tableJson(const std::vector<QByteArray>& entries)
{
    QJsonArray out;
    for (const QByteArray& e : entries)
        out.append(QJsonObject{{"name", text(FixedRecord(e).str(0, 30))}});
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
    info["database"] = tableJson(doc.variables.database);
    info["dates"] = tableJson(doc.variables.dates);
    info["times"] = tableJson(doc.variables.times);
    info["counters"] = tableJson(doc.variables.counters);
    info["formulas"] = tableJson(doc.variables.formulas);
    info["dataSource"] = QJsonObject{
        {"active", doc.database.active},
        {"recordNumber", doc.database.recordNumber},
        {"sql", text(doc.database.sql)},
        {"connectionString", text(doc.database.connectionString)},
    };
    return info;
}

} // namespace korvel::cli
