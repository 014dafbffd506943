// "schema.ini" beside a delimited text file: the separator, header and code-page choices and the
// text columns are read, written back and read again.
#include "FuzzSupport.h"

#include "variables/database/SchemaIni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>

namespace {

const QString& dataFile()
{
    // The schema lives on disk beside the data file; a memory-backed directory keeps it quick.
    static QTemporaryDir dir(QFileInfo::exists(QStringLiteral("/dev/shm")) ? QStringLiteral("/dev/shm/korvel-fuzz-XXXXXX")
                                                                    : QDir::tempPath() + QStringLiteral("/korvel-fuzz-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("data.csv"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QString& file = dataFile();
    const QString schema = QFileInfo(file).dir().filePath(QStringLiteral("schema.ini"));
    {
        QFile out(schema);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        out.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const korvel::TextFileSettings read = korvel::ReadSchemaIni(file);
    (void)korvel::SchemaTextColumns(file);
    (void)korvel::SchemaFormatValue(read);

    // What the dialog writes for these choices reads back as the same separator and header.
    if (!korvel::WriteSchemaIni(file, read))
        return 0;
    const korvel::TextFileSettings again = korvel::ReadSchemaIni(file);
    FUZZ_CHECK(again.header == read.header);
    FUZZ_CHECK(again.separatorChar() == read.separatorChar());
    return 0;
}
