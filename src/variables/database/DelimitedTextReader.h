#pragma once

#include "variables/database/SchemaIni.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <memory>

class QIODevice;

namespace korvel {

/// Reads a delimited text file record by record without holding the file in memory. Fields may
/// be quoted with double quotes (a doubled quote inside stands for one, line breaks inside are
/// kept). The encoding is taken from a byte-order mark (UTF-8, UTF-16), else from the settings'
/// named encoding, else from their code page (0: UTF-8 when the start of the text is valid UTF-8, else the document code page).
class DelimitedTextReader {
public:
    enum class Status { Row, End, Error };

    /// Bytes asked of the device at a time.
    static constexpr qsizetype DefaultChunkSize = 64 * 1024;

    /// Reads from `device`, which must stay open while the reader is used. The encoding is told
    /// from the first chunk; tests and fuzzing use small chunks to reach the seams between them.
    DelimitedTextReader(QIODevice* device, const TextFileSettings& settings, qsizetype chunkSize = DefaultChunkSize);
    ~DelimitedTextReader();

    /// The next non-empty record. An empty field gives a null QString.
    Status next(QStringList& fields);
    /// What went wrong after Status::Error ("line 12: …").
    QString errorString() const { return error_; }
    /// Line on which the last record started (1-based).
    int lineNumber() const { return recordLine_; }
    /// The separator in use (known after the first record when the settings say Detect).
    QChar separator() const { return separator_; }
    /// The code page the text was decoded with (65001 for UTF-8, 1200/1201 for UTF-16,
    /// kNamedEncoding for the settings' named encoding).
    int codePage() const { return codePage_; }
    static constexpr int kNamedEncoding = -1;

    /// A record may not grow beyond this many characters (a quote that is never closed in a
    /// large file would otherwise pull the whole file into memory).
    static constexpr qsizetype MaxRecordChars = 16 * 1024 * 1024;
    /// The most fields a record may hold (the database engine's column limit).
    static constexpr qsizetype MaxFields = 2000;

private:
    bool fill();
    void startDecoding(QByteArray& first);
    void detectSeparator();
    /// Where a long piece without line breaks may be cut without splitting a character.
    qsizetype characterBoundary(const QByteArray& bytes) const;

    QIODevice* device_;
    TextFileSettings settings_;
    qsizetype chunkSize_;
    QChar separator_;
    bool separatorKnown_ = false;
    int codePage_ = 0;
    bool started_ = false;
    bool eof_ = false;
    std::unique_ptr<QStringDecoder> decoder_;
    QByteArray pendingBytes_;
    QString text_;
    qsizetype pos_ = 0;
    int line_ = 1;
    int recordLine_ = 0;
    QString error_;
};

} // namespace korvel
