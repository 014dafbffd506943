#include "variables/database/DelimitedTextReader.h"

#include "document/CodePage.h"

#include <QIODevice>

#include <algorithm>

namespace korvel {

namespace {

bool hasNonAscii(const QByteArray& bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// Each piece is decoded afresh: a mark at its start is a character of the text (the file's own
// mark is gone by then), and a broken sequence at its end becomes a replacement character.
QString decodeUtf8Piece(const QByteArray& piece)
{
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    return decoder.decode(piece);
}

} // namespace

qsizetype DelimitedTextReader::characterBoundary(const QByteArray& bytes) const
{
    if (codePage_ == kNamedEncoding) {
        // An encoding the program does not know the shape of: cut after the last byte below
        // 0x30, which no ASCII-compatible multi-byte encoding (GB18030's four-byte form has
        // digits inside) uses within a character.
        for (qsizetype i = bytes.size() - 1; i > 0; --i) {
            if (static_cast<unsigned char>(bytes[i - 1]) < 0x30)
                return i;
        }
        return bytes.size();
    }
    if (codePage_ != 65001 && !CodePage(codePage_).isDoubleByte())
        return bytes.size();
    if (codePage_ != 65001) {
        // Whole characters from the start of the piece. Shift-JIS has single-byte characters
        // above 0x80 (half-width katakana, 0xA1-0xDF), which the general lead-byte rule would pair.
        auto isLead = [this](unsigned char b) {
            return codePage_ == 932 ? (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) : b > 0x80;
        };
        qsizetype i = 0;
        while (i < bytes.size()) {
            const qsizetype next = i + (isLead(static_cast<unsigned char>(bytes[i])) ? 2 : 1);
            if (next > bytes.size() - 1)
                break;
            i = next;
        }
        return i;
    }
    // Before the start byte of the last sequence, when that lies within a sequence's length of
    // the end (a longer run of continuation bytes is broken anyway and may be cut anywhere).
    for (qsizetype i = bytes.size() - 1; i >= 0 && i >= bytes.size() - 4; --i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if ((b & 0xC0) != 0x80)
            return b >= 0xC0 ? i : bytes.size();
    }
    return bytes.size();
}

DelimitedTextReader::DelimitedTextReader(QIODevice* device, const TextFileSettings& settings, qsizetype chunkSize)
    : device_(device), settings_(settings), chunkSize_(std::max<qsizetype>(1, chunkSize))
{
    if (settings_.separator != TextSeparator::Detect) {
        separator_ = QLatin1Char(settings_.separatorChar());
        separatorKnown_ = true;
    }
}

DelimitedTextReader::~DelimitedTextReader() = default;

void DelimitedTextReader::startDecoding(QByteArray& first)
{
    auto startsWith = [&first](const char* bom, int n) { return first.size() >= n && first.startsWith(QByteArray(bom, n)); };
    if (startsWith("\xEF\xBB\xBF", 3)) {
        first.remove(0, 3);
        codePage_ = 65001;
    } else if (startsWith("\xFF\xFE", 2)) {
        first.remove(0, 2);
        codePage_ = 1200;
    } else if (startsWith("\xFE\xFF", 2)) {
        first.remove(0, 2);
        codePage_ = 1201;
    } else if (!settings_.encoding.isEmpty()) {
        codePage_ = kNamedEncoding;
    } else if (settings_.codePage != 0) {
        codePage_ = settings_.codePage;
    } else {
        // No mark and no declared code page: text that decodes as UTF-8 and is not plain ASCII
        // is UTF-8; everything else is taken to be in the document code page.
        QStringDecoder probe(QStringConverter::Utf8);
        const QString decoded = probe.decode(first); // the decoder only runs when its result is taken
        codePage_ = (!probe.hasError() && hasNonAscii(first)) ? 65001 : CodePage::document().number();
    }
    // UTF-8 goes through the line-wise path below: Qt's stateful UTF-8 decoder loses the byte that
    // follows a broken sequence cut by a chunk end (a line break, a separator).
    if (codePage_ == 1200)
        decoder_ = std::make_unique<QStringDecoder>(QStringConverter::Utf16LE);
    else if (codePage_ == 1201)
        decoder_ = std::make_unique<QStringDecoder>(QStringConverter::Utf16BE);
}

bool DelimitedTextReader::fill()
{
    if (eof_)
        return false;
    // Drop what the parser has consumed; fields being built are held outside text_.
    text_.remove(0, pos_);
    pos_ = 0;
    const qsizetype before = text_.size();
    while (text_.size() == before) {
        QByteArray chunk = device_->read(chunkSize_);
        const bool atEnd = chunk.isEmpty();
        if (!codePage_) {
            // A pipe may hand over a few bytes at a time; the mark and the UTF-8 probe want a
            // full first chunk.
            while (chunk.size() < chunkSize_) {
                const QByteArray more = device_->read(chunkSize_ - chunk.size());
                if (more.isEmpty())
                    break;
                chunk += more;
            }
            startDecoding(chunk);
        }
        if (decoder_) {
            if (atEnd) {
                eof_ = true;
                return text_.size() > before;
            }
            text_ += decoder_->decode(chunk);
            continue;
        }
        // UTF-8 and the double-byte code pages have no stateful decoder here: decode whole lines
        // only, so no character is split between two pieces ('\n' is never part of one).
        pendingBytes_ += chunk;
        QByteArray piece;
        if (atEnd) {
            piece = std::exchange(pendingBytes_, {});
            eof_ = true;
        } else {
            qsizetype cut = pendingBytes_.lastIndexOf('\n') + 1;
            if (cut == 0 && pendingBytes_.size() >= chunkSize_ * 4)
                cut = characterBoundary(pendingBytes_);
            piece = pendingBytes_.left(cut);
            pendingBytes_.remove(0, cut);
        }
        if (codePage_ == kNamedEncoding)
            text_ += CodePage::decodeNamed(settings_.encoding, piece);
        else
            text_ += codePage_ == 65001 ? decodeUtf8Piece(piece) : CodePage(codePage_).toUnicode(piece);
        if (eof_)
            return text_.size() > before;
    }
    return true;
}

void DelimitedTextReader::detectSeparator()
{
    // The first line decides; an endless input without a line break stops at a record's limit.
    while (text_.indexOf(QLatin1Char('\n'), pos_) < 0 && text_.size() - pos_ <= MaxRecordChars && fill()) {
    }
    const qsizetype end = text_.indexOf(QLatin1Char('\n'), pos_);
    const QStringView firstLine = QStringView(text_).mid(pos_, end < 0 ? -1 : end - pos_);
    separator_ = firstLine.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(',');
    separatorKnown_ = true;
}

DelimitedTextReader::Status DelimitedTextReader::next(QStringList& fields)
{
    fields.clear();
    if (!error_.isEmpty())
        return Status::Error;
    if (!separatorKnown_)
        detectSeparator();

    enum class State { StartField, Unquoted, Quoted, AfterQuote };
    State state = State::StartField;
    QString field;
    bool quoted = false;
    bool started = false;
    qsizetype recordChars = 0;
    int quoteLine = line_;
    recordLine_ = line_;

    auto push = [&]() {
        // An unquoted empty field is NULL; a quoted one ("") is an empty text.
        fields << (field.isEmpty() ? (quoted ? QStringLiteral("") : QString()) : field);
        field = QString();
        quoted = false;
        state = State::StartField;
    };
    auto failAt = [&](const QString& what, int line) {
        error_ = QStringLiteral("line %1: %2").arg(line).arg(what);
        fields.clear();
        return Status::Error;
    };

    for (;;) {
        if (pos_ >= text_.size()) {
            if (fill())
                continue;
            if (state == State::Quoted)
                return failAt(QStringLiteral("a quoted field is not closed"), quoteLine);
            if (!started)
                return Status::End;
            push();
            return Status::Row;
        }
        const QChar c = text_[pos_++];
        // Refused while the record is read: no table takes more columns, and a line of a
        // hundred thousand fields would take minutes to refuse later.
        if (fields.size() >= MaxFields)
            return failAt(QStringLiteral("more than %1 fields in a record (a table holds at most %1 columns)").arg(MaxFields), recordLine_);
        if (++recordChars > MaxRecordChars)
            return failAt(QStringLiteral("a record is longer than %1 characters").arg(MaxRecordChars), recordLine_);
        switch (state) {
        case State::StartField:
            if (c == QLatin1Char('"')) {
                state = State::Quoted;
                quoted = true;
                started = true;
                quoteLine = line_;
            } else if (c == separator_) {
                started = true;
                push();
            } else if (c == QLatin1Char('\n')) {
                ++line_;
                if (!started) {
                    // A blank line holds no record.
                    recordLine_ = line_;
                    recordChars = 0;
                    continue;
                }
                push();
                return Status::Row;
            } else if (c != QLatin1Char('\r')) {
                field += c;
                state = State::Unquoted;
                started = true;
            }
            break;
        case State::Unquoted:
            if (c == separator_) {
                push();
            } else if (c == QLatin1Char('\n')) {
                ++line_;
                push();
                return Status::Row;
            } else if (c != QLatin1Char('\r')) {
                field += c;
            }
            break;
        case State::Quoted:
            if (c == QLatin1Char('"')) {
                state = State::AfterQuote;
            } else {
                if (c == QLatin1Char('\n'))
                    ++line_;
                field += c;
            }
            break;
        case State::AfterQuote:
            if (c == QLatin1Char('"')) {
                field += c;
                state = State::Quoted;
            } else if (c == separator_) {
                push();
            } else if (c == QLatin1Char('\n')) {
                ++line_;
                push();
                return Status::Row;
            } else if (c != QLatin1Char('\r')) {
                return failAt(QStringLiteral("unexpected character '%1' after a closing quote").arg(c), line_);
            }
            break;
        }
    }
}

} // namespace korvel
