#include "variables/database/SchemaIni.h"

#include "document/CodePage.h"
#include "document/IniFile.h"

#include <QDir>
#include <QFileInfo>

namespace korvel {

namespace {

QString schemaPath(const QString& dataFile)
{
    return QFileInfo(dataFile).absoluteDir().filePath(QStringLiteral("schema.ini"));
}

QByteArray sectionName(const QString& dataFile)
{
    return CodePage::document().fromUnicode(QFileInfo(dataFile).fileName());
}

} // namespace

char TextFileSettings::separatorChar() const
{
    switch (separator) {
    case TextSeparator::Comma:
        return ',';
    case TextSeparator::Other:
        return otherCharacter.isEmpty() ? '\t' : otherCharacter[0];
    case TextSeparator::Tab:
    case TextSeparator::Detect:
        break;
    }
    return '\t';
}

QByteArray SchemaFormatValue(const TextFileSettings& s)
{
    switch (s.separator) {
    case TextSeparator::Comma:
        return "Delimited(,)";
    case TextSeparator::Other:
        if (s.otherCharacter.isEmpty())
            return "TabDelimited";
        return "Delimited(" + s.otherCharacter.left(1) + ')';
    case TextSeparator::Tab:
    case TextSeparator::Detect:
        break;
    }
    return "TabDelimited";
}

bool WriteSchemaIni(const QString& dataFile, const TextFileSettings& settings, QString* error)
{
    const QString path = schemaPath(dataFile);
    IniFile ini = IniFile::load(path);
    const QByteArray section = sectionName(dataFile);
    // The section is written afresh so that keys of an earlier choice do not linger.
    ini.removeSection(section);
    ini.setValue(section, "ColNameHeader", settings.header ? "true" : "false");
    ini.setValue(section, "Format", SchemaFormatValue(settings));
    ini.setValue(section, "MaxScanRows", "25");
    ini.setValue(section, "CharacterSet", "OEM");
    ini.setValue(section, "Col1", "F1 Text");
    return ini.save(path, error);
}

TextFileSettings ReadSchemaIni(const QString& dataFile)
{
    const IniFile ini = IniFile::load(schemaPath(dataFile));
    const QByteArray section = sectionName(dataFile);
    TextFileSettings s;
    s.header = ini.value(section, "ColNameHeader", "True").trimmed().compare("true", Qt::CaseInsensitive) == 0;
    const QByteArray format = ini.value(section, "Format", "TabDelimited").trimmed();
    if (format.compare("TabDelimited", Qt::CaseInsensitive) == 0) {
        s.separator = TextSeparator::Tab;
    } else {
        const qsizetype open = format.indexOf('(');
        const qsizetype close = format.lastIndexOf(')');
        const QByteArray c = open >= 0 && close > open ? format.mid(open + 1, close - open - 1) : QByteArray();
        if (c == ",") {
            s.separator = TextSeparator::Comma;
        } else if (c.isEmpty()) {
            s.separator = TextSeparator::Tab;
        } else {
            s.separator = TextSeparator::Other;
            s.otherCharacter = c.left(1);
        }
    }
    const QByteArray charset = ini.value(section, "CharacterSet", "OEM").trimmed();
    bool isNumber = false;
    const int number = charset.toInt(&isNumber);
    if (isNumber && number > 0)
        s.codePage = number;
    else if (charset.compare("UTF-8", Qt::CaseInsensitive) == 0 || charset.compare("UTF8", Qt::CaseInsensitive) == 0)
        s.codePage = 65001;
    else
        s.codePage = 0; // OEM and ANSI: the document code page unless the text shows UTF-8
    return s;
}

std::vector<int> SchemaTextColumns(const QString& dataFile)
{
    std::vector<int> out;
    const IniFile ini = IniFile::load(schemaPath(dataFile));
    const IniFile::Section* section = ini.section(sectionName(dataFile));
    if (!section)
        return out;
    for (const IniFile::Entry& e : section->entries) {
        if (!e.key.startsWith("Col") && !e.key.startsWith("col") && !e.key.startsWith("COL"))
            continue;
        bool ok = false;
        const int column = e.key.mid(3).toInt(&ok);
        if (!ok || column < 1)
            continue;
        // "ColN=name type [Width n]"; a name with spaces stands in double quotes.
        QByteArray rest = e.value.simplified();
        if (rest.startsWith('"')) {
            const qsizetype close = rest.indexOf('"', 1);
            rest = close < 0 ? QByteArray() : rest.mid(close + 1).trimmed();
        } else {
            const qsizetype space = rest.indexOf(' ');
            rest = space < 0 ? QByteArray() : rest.mid(space + 1);
        }
        if (rest.split(' ').value(0).compare("Text", Qt::CaseInsensitive) == 0)
            out.push_back(column);
    }
    return out;
}

} // namespace korvel
