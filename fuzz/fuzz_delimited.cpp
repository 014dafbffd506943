// Delimited text data files. The first input bytes choose the reader's settings and how the
// device hands the bytes over; the same text read whole and read a few bytes at a time must give
// the same records. A run of blank lines in front can push the records past the reader's first
// 64 KiB chunk, so the streaming paths (decoders across chunks, double-byte lines cut at line
// ends) are reached with small inputs.
#include "FuzzSupport.h"

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

Outcome readAll(QIODevice* device, const TextFileSettings& settings)
{
    DelimitedTextReader reader(device, settings);
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
    for (size_t i = 0; i < o.rows.size(); ++i)
        std::fprintf(stderr, "  line %d: %s\n", o.lines[i], qPrintable(o.rows[i].join(QStringLiteral("|"))));
}

constexpr int CodePages[] = {0, 936, 65001, 950, 1252, 932, 1200, 1201};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    FuzzChoices choose(data, size);
    const std::uint8_t mode = choose.byte();
    const std::uint8_t step = choose.byte();
    const std::uint8_t other = choose.byte();
    const std::uint8_t shift = choose.byte();

    TextFileSettings settings;
    settings.separator = static_cast<TextSeparator>(mode & 3);
    settings.header = (mode & 4) != 0;
    settings.codePage = CodePages[(mode >> 3) & 7];
    if (settings.separator == TextSeparator::Other && other != 0)
        settings.otherCharacter = QByteArray(1, static_cast<char>(other));

    QByteArray text = choose.rest();
    if (mode & 0x40) {
        // Blank lines in the text's own encoding, after any byte-order mark.
        qsizetype bom = 0;
        bool littleEndian16 = settings.codePage == 1200;
        bool bigEndian16 = settings.codePage == 1201;
        if (text.startsWith("\xEF\xBB\xBF")) {
            bom = 3;
            littleEndian16 = bigEndian16 = false;
        } else if (text.startsWith("\xFF\xFE")) {
            bom = 2;
            littleEndian16 = true;
            bigEndian16 = false;
        } else if (text.startsWith("\xFE\xFF")) {
            bom = 2;
            bigEndian16 = true;
            littleEndian16 = false;
        }
        const QByteArray unit = littleEndian16 ? QByteArray("\n\0", 2) : bigEndian16 ? QByteArray("\0\n", 2) : QByteArray("\n");
        const qsizetype padding = (65536 - qsizetype(shift) * 4) / unit.size();
        text.insert(bom, unit.repeated(padding));
    }

    QBuffer whole(&text);
    whole.open(QIODevice::ReadOnly);
    const Outcome a = readAll(&whole, settings);
    TrickleDevice trickle(text, 1 + step % 64);
    const Outcome b = readAll(&trickle, settings);
    if (!(a == b)) {
        print("read whole", a);
        print("read in pieces", b);
    }
    FUZZ_CHECK(a == b);
    return 0;
}
