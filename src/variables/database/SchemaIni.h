#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace korvel {

/// Separator choices of a delimited text file.
/// Detect (not a choice of the dialog, never stored) takes tab when the first line holds one,
/// else comma; standard input uses it.
enum class TextSeparator : int { Tab = 0, Comma = 1, Other = 2, Detect = 3 };

/// How a delimited text file is read. The code page applies when the file has no byte-order
/// mark; 0 means "detect": UTF-8 when the start of the file is valid UTF-8 with non-ASCII bytes,
/// else the document code page.
struct TextFileSettings {
    bool header = true;
    TextSeparator separator = TextSeparator::Tab;
    /// The typed character for TextSeparator::Other (empty falls back to tab).
    QByteArray otherCharacter;
    int codePage = 0;
    /// An encoding named by the user (any name iconv knows); ahead of the code page, after a
    /// byte-order mark.
    QByteArray encoding;
    /// The most records to read (0: all of them): standard input is read only as far as a run
    /// needs, so an endless input still ends.
    qint64 maxRecords = 0;

    bool operator==(const TextFileSettings&) const = default;

    /// The separator character actually used (tab for Detect; the reader decides).
    char separatorChar() const;
};

/// The "Format" value of the schema entry: "TabDelimited", "Delimited(,)" or "Delimited(c)".
QByteArray SchemaFormatValue(const TextFileSettings& settings);

/// Writes the section of a text data file into "schema.ini" in the file's directory (other
/// sections are kept): ColNameHeader, Format, MaxScanRows=25, CharacterSet=OEM, Col1=F1 Text.
bool WriteSchemaIni(const QString& dataFile, const TextFileSettings& settings, QString* error = nullptr);

/// Reads the separator and header choices of a text data file back from "schema.ini" (absent
/// file, section or keys give ColNameHeader "True" and "TabDelimited"). Column type hints and
/// CharacterSet are honoured by the loader through SchemaTextColumns and codePage.
TextFileSettings ReadSchemaIni(const QString& dataFile);

/// The 1-based columns that the schema entry of the file declares as Text ("ColN=name Text");
/// such a column keeps its values as text (leading zeros survive).
std::vector<int> SchemaTextColumns(const QString& dataFile);

} // namespace korvel
