#include "persistence/PrintLog.h"

#include "document/CodePage.h"
#include "document/IniFile.h"

#include <QDir>
#include <QLocale>

namespace korvel {

bool AppendPrintLog(const QString& directory, const PrintLogEntry& e, const std::function<QDateTime()>& clock,
                    QString* error)
{
    const QString path = QDir(directory).filePath(QStringLiteral("LOG.ini"));
    IniFile ini = IniFile::load(path);
    const CodePage& cp = CodePage::document();
    bool ok = false;
    const long long start = e.startRecord.trimmed().toLongLong(&ok);
    const std::pair<const char*, QByteArray> keys[] = {
        {"起始记录号", e.startRecord},
        {"起始内容", e.firstContent},
        {"打印记录数", QByteArray::number(e.recordCount)},
        {"终止记录号", QByteArray::number(e.recordCount + (ok ? start : 0))},
        {"每条记录打印次数", QByteArray::number(e.copies)},
        {"打印标签张数", QByteArray::number(e.recordCount * e.copies)},
    };
    const QLocale locale;
    for (const auto& [key, value] : keys) {
        const QDateTime now = clock();
        const QString section = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
            + locale.toString(now.time(), QLocale::LongFormat);
        ini.setValue(cp.fromUnicode(section), cp.fromUnicode(QString::fromUtf8(key)), value);
    }
    return ini.save(path, error);
}

} // namespace korvel
