#pragma once

#include <QByteArray>
#include <QString>

namespace korvel {

/// The document code page: texts in the model are bytes in this code page (936 by default).
/// Conversion to and from Unicode happens only at the edges (drawing, dialogs, database values).
class CodePage {
public:
    explicit CodePage(int number = 936) : number_(number) {}

    /// The process-wide document code page (936 unless changed by the settings).
    static const CodePage& document();
    static void setDocument(int number);

    int number() const { return number_; }
    /// True for 932, 936, 949 and 950, where a byte above 0x80 starts a two-byte character.
    bool isDoubleByte() const;
    bool isLeadByte(unsigned char b) const { return isDoubleByte() && b > 0x80; }

    /// Number of characters by the lead-byte rule (a lead byte at the very end counts as one).
    int CharNum(const QByteArray& bytes) const;
    /// Byte length of each character in order.
    int charLength(const QByteArray& bytes, qsizetype pos) const;
    /// The longest prefix of at most n bytes that does not split a double-byte character.
    QByteArray cutBytes(const QByteArray& bytes, qsizetype n) const;
    /// The first n characters.
    QByteArray leftChars(const QByteArray& bytes, int n) const;

    QString toUnicode(const QByteArray& bytes) const;
    /// Characters the code page cannot hold become '?'.
    QByteArray fromUnicode(const QString& text) const;

    /// The iconv name of a Windows code page number.
    static QByteArray iconvName(int number);
    /// Whether iconv knows an encoding by this name (what a user may name with --data-encoding).
    static bool knowsEncoding(const QByteArray& iconvName);
    /// Bytes in a named encoding as Unicode (a bad byte becomes U+FFFD).
    static QString decodeNamed(const QByteArray& iconvName, const QByteArray& bytes);

private:
    int number_;
};

/// Bytes in the document code page as Unicode, and Unicode back into those bytes.
QString FromDocumentBytes(const QByteArray& bytes);
QByteArray ToDocumentBytes(const QString& text);

} // namespace korvel
