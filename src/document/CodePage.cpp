#include "document/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace korvel {

namespace {
CodePage g_document(936);

QByteArray convert(const QByteArray& in, const char* to, const char* from, bool* lossy)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    QByteArray out;
    out.reserve(in.size() * 2 + 8);
    std::vector<char> buf(4096);
    char* inPtr = const_cast<char*>(in.constData());
    size_t inLeft = static_cast<size_t>(in.size());
    while (inLeft > 0) {
        char* outPtr = buf.data();
        size_t outLeft = buf.size();
        size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buf.data(), static_cast<qsizetype>(buf.size() - outLeft));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // An invalid or incomplete sequence: skip one input byte and mark the loss.
            if (lossy)
                *lossy = true;
            ++inPtr;
            --inLeft;
            out.append("\xFD\xFF", 2); // U+FFFD in UTF-16LE
        }
    }
    iconv_close(cd);
    return out;
}
} // namespace

const CodePage& CodePage::document()
{
    return g_document;
}

void CodePage::setDocument(int number)
{
    g_document = CodePage(number);
}

bool CodePage::isDoubleByte() const
{
    return number_ == 932 || number_ == 936 || number_ == 949 || number_ == 950;
}

int CodePage::charLength(const QByteArray& bytes, qsizetype pos) const
{
    if (pos >= bytes.size())
        return 0;
    if (isLeadByte(static_cast<unsigned char>(bytes[pos])) && pos + 1 < bytes.size())
        return 2;
    return 1;
}

int CodePage::CharNum(const QByteArray& bytes) const
{
    int n = 0;
    for (qsizetype i = 0; i < bytes.size(); i += charLength(bytes, i))
        ++n;
    return n;
}

QByteArray CodePage::cutBytes(const QByteArray& bytes, qsizetype n) const
{
    if (bytes.size() <= n)
        return bytes;
    qsizetype end = 0;
    while (end < bytes.size()) {
        const qsizetype len = isLeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
        if (end + len > n)
            break;
        end += len;
    }
    return bytes.left(end);
}

QByteArray CodePage::leftChars(const QByteArray& bytes, int n) const
{
    qsizetype pos = 0;
    for (int i = 0; i < n && pos < bytes.size(); ++i)
        pos += charLength(bytes, pos);
    return bytes.left(pos);
}

QByteArray CodePage::iconvName(int number)
{
    switch (number) {
    case 65001:
        return "UTF-8";
    case 936:
        return "GBK";
    case 950:
        return "BIG5";
    default:
        return "CP" + QByteArray::number(number);
    }
}

bool CodePage::knowsEncoding(const QByteArray& iconvName)
{
    if (iconvName.isEmpty())
        return false;
    iconv_t cd = iconv_open("UTF-16LE", iconvName.constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(cd);
    return true;
}

QString CodePage::decodeNamed(const QByteArray& iconvName, const QByteArray& bytes)
{
    const QByteArray utf16 = convert(bytes, "UTF-16LE", iconvName.constData(), nullptr);
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

QString CodePage::toUnicode(const QByteArray& bytes) const
{
    if (bytes.isEmpty())
        return {};
    bool lossy = false;
    // Decode one character at a time so a bad byte only spoils itself.
    QString out;
    out.reserve(bytes.size());
    const QByteArray name = iconvName(number_);
    qsizetype i = 0;
    // Fast path: plain ASCII needs no conversion.
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80)
        out.append(QChar(bytes[i++]));
    if (i == bytes.size())
        return out;
    const QByteArray utf16 = convert(bytes.mid(i), "UTF-16LE", name.constData(), &lossy);
    out.append(QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2));
    return out;
}

QByteArray CodePage::fromUnicode(const QString& text) const
{
    QByteArray out;
    out.reserve(text.size() * 2);
    const QByteArray name = iconvName(number_);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) {
            out.append(static_cast<char>(c.unicode()));
            continue;
        }
        qsizetype len = (c.isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        QByteArray in(reinterpret_cast<const char*>(text.constData() + i), len * 2);
        iconv_t cd = iconv_open(name.constData(), "UTF-16LE");
        QByteArray piece;
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            char buf[16];
            char* inPtr = in.data();
            size_t inLeft = in.size();
            char* outPtr = buf;
            size_t outLeft = sizeof buf;
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
                piece = QByteArray(buf, static_cast<qsizetype>(sizeof buf - outLeft));
            iconv_close(cd);
        }
        out.append(piece.isEmpty() ? QByteArray("?") : piece);
        i += len - 1;
    }
    return out;
}

QString FromDocumentBytes(const QByteArray& bytes)
{
    return CodePage::document().toUnicode(bytes);
}

QByteArray ToDocumentBytes(const QString& text)
{
    return CodePage::document().fromUnicode(text);
}

} // namespace korvel
