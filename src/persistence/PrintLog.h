#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

namespace korvel {

/// What the print dialog records about one job in "LOG.ini".
struct PrintLogEntry {
    QByteArray startRecord;   ///< the start record text as typed
    QByteArray firstContent;  ///< the first field of the current record
    long long recordCount = 0;
    long long copies = 0;
};

/// Appends the six keys of a print-log entry to "LOG.ini" in the settings directory. Each key goes
/// into the section named by the local date and time at the moment of its write, so a write after
/// a change of second starts a new section. The clock is injectable for tests.
bool AppendPrintLog(const QString& directory, const PrintLogEntry& entry,
                    const std::function<QDateTime()>& clock = &QDateTime::currentDateTime, QString* error = nullptr);

} // namespace korvel
