// Delimited text data files. The first input bytes choose the reader's settings, its chunk size
// and how the device hands the bytes over. Read in small chunks, every record crosses the seams
// between chunks (decoders, double-byte and UTF-8 lines cut at line ends, long lines cut at a
// character); the text read whole and read a few bytes at a time must give the same records, and
// where the encoding is not told from the first chunk, the same as with the normal chunk size.
#include "FuzzSupport.h"

#include "document/CodePage.h"
#include "variables/database/DelimitedTextReader.h"

#include <QBuffer>
#include <QIODevice>

#include <algorithm>
#include <cstdint>
#include <cstring>

using korvel::DelimitedTextReader;
using korvel::TextFileSettings;
using korvel::TextSeparator;

namespace {

/// A pipe-like device: never more than `step` bytes per read.
class TrickleDevice : public QIODevice {
public:
    TrickleDevice(QByteArray bytes, qint64 step) : bytes_(std::move(bytes)), step_(step)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = std::min({maxSize, step_, static_cast<qint64>(bytes_.size()) - pos_});
        if (n <= 0)
            return pos_ >= bytes_.size() ? -1 : 0;
        std::memcpy(data, bytes_.constData() + pos_, static_cast<size_t>(n));
        pos_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes_;
    qint64 step_;
    qint64 pos_ = 0;
};

struct Outcome {
    std::vector<QStringList> rows;
    std::vector<int> lines;
    DelimitedTextReader::Status last = DelimitedTextReader::Status::End;
    QString error;
    int codePage = 0;
    QChar separator;

    bool operator==(const Outcome&) const = default;
};

// Qt's stateful UTF-8 decoder may turn a broken sequence split between two chunks into fewer
// replacement characters than the same bytes decoded at once; only the count differs.
QString collapsedReplacements(const QString& field)
{
    QString out;
    for (const QChar c : field)
        if (c != QChar::ReplacementCharacter || !out.endsWith(QChar::ReplacementCharacter))
            out += c;
    return out;
}

Outcome readAll(QIODevice* device, const TextFileSettings& settings, qsizetype chunkSize)
{
    DelimitedTextReader reader(device, settings, chunkSize);
    Outcome out;
    QStringList fields;
    for (int i = 0; i < 100000; ++i) {
        out.last = reader.next(fields);
        if (out.last != DelimitedTextReader::Status::Row)
            break;
        for (QString& f : fields)
            if (f.contains(QChar::ReplacementCharacter))
                f = collapsedReplacements(f);
        out.rows.push_back(fields);
        out.lines.push_back(reader.lineNumber());
    }
    out.error = reader.errorString();
    out.codePage = reader.codePage();
    out.separator = reader.separator();
    return out;
}

void print(const char* what, const Outcome& o)
{
    std::fprintf(stderr, "%s: %zu rows, status %d, code page %d, separator %d, error \"%s\"\n", what, o.rows.size(),
                 static_cast<int>(o.last), o.codePage, o.separator.unicode(), qPrintable(o.error));
    for (size_t i = 0; i < o.rows.size(); ++i) {
        std::fprintf(stderr, "  line %d:", o.lines[i]);
        for (const QString& f : o.rows[i])
            std::fprintf(stderr, " %s", f.isNull() ? "null" : ("[" + f.toUtf8().toHex(' ') + "]").constData());
        std::fprintf(stderr, "\n");
    }
}

constexpr int CodePages[] = {0, 936, 65001, 950, 1252, 932, 1200, 1201};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    FuzzChoices choose(data, size);
    const std::uint8_t mode = choose.byte();
    const std::uint8_t step = choose.byte();
    const std::uint8_t other = choose.byte();
    const std::uint8_t chunk = choose.byte();

    TextFileSettings settings;
    settings.separator = static_cast<TextSeparator>(mode & 3);
    settings.header = (mode & 4) != 0;
    settings.codePage = CodePages[(mode >> 3) & 7];
    // An encoding named by the user (--data-encoding) instead of a code page.
    if (mode & 0x40)
        settings.encoding = (mode & 0x80) ? QByteArrayLiteral("SHIFT_JIS") : QByteArrayLiteral("GB18030");
    if (settings.separator == TextSeparator::Other && other != 0)
        settings.otherCharacter = QByteArray(1, static_cast<char>(other));
    // At least four bytes: a byte-order mark must fit in the first chunk to be seen.
    const qsizetype chunkSize = 4 + chunk % 61;

    QByteArray text = choose.rest();
    QBuffer whole(&text);
    whole.open(QIODevice::ReadOnly);
    const Outcome a = readAll(&whole, settings, chunkSize);
    TrickleDevice trickle(text, 1 + step % 16);
    const Outcome b = readAll(&trickle, settings, chunkSize);
    // A long line is cut at a character by the lead-byte rule; where the text is not valid in a
    // double-byte code page, the converter may pair the bytes otherwise, so only valid text
    // must read the same however it is cut.
    if (korvel::CodePage(a.codePage).isDoubleByte()
        && korvel::CodePage(a.codePage).toUnicode(text).contains(QChar::ReplacementCharacter))
        return 0;
    if (a.codePage == DelimitedTextReader::kNamedEncoding
        && korvel::CodePage::decodeNamed(settings.encoding, text).contains(QChar::ReplacementCharacter))
        return 0;
    if (!(a == b)) {
        print("read whole", a);
        print("read in pieces", b);
    }
    FUZZ_CHECK(a == b);

    // A chunk holds at most a few lines here; with the normal chunk size all of the text is one.
    if (settings.codePage != 0) {
        whole.seek(0);
        const Outcome c = readAll(&whole, settings, DelimitedTextReader::DefaultChunkSize);
        if (!(a == c)) {
            print("small chunks", a);
            print("one chunk", c);
        }
        FUZZ_CHECK(a == c);
    }
    return 0;
}
