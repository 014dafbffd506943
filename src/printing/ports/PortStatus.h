#pragma once

#include <QString>

#include <functional>

namespace korvel {

/// Why a port operation or a command builder failed. Stored nowhere; the numbers only keep
/// log lines and test expectations stable.
enum class PortError : int {
    None = 0,
    NoPort = 1, ///< port kind "none" or a kind that names no port
    OpenFailed = 2, ///< the device, file, queue or host could not be opened
    ConfigureFailed = 3, ///< opened, but the line parameters were refused
    NotOpen = 4, ///< a write to a port that is not open
    WriteFailed = 5, ///< the device reported an error or accepted fewer bytes than given
    Timeout = 6, ///< the printer stopped taking bytes within the allowed time
    Cancelled = 7, ///< the job's cancel flag was raised
    NotReady = 8, ///< the parallel printer never reported ready (and no retry was wanted)
    InvalidInput = 9, ///< a command value the printer language cannot express
    QueueFailed = 10, ///< a print queue (spooler) call failed
    BadSpec = 11, ///< a port description string that does not parse
    UsbNotOpen = 12, ///< no USB printer with that number or path
};

/// A user-visible text: looked up in the language file by section and key, with the built-in
/// default when the file has no such key.
struct MessageText {
    QString section;
    QString key;
    QString defaultText;
};

/// The outcome of a port operation or a command builder: success, or an error code with the
/// message to show and a technical detail (device path, system error text).
struct PortStatus {
    PortError code = PortError::None;
    MessageText message;
    QString detail;

    bool ok() const { return code == PortError::None; }
    explicit operator bool() const { return ok(); }

    /// The message in its built-in language, followed by the detail in parentheses.
    QString text() const;
    /// The same with the message looked up through the caller's language-file reader
    /// (section, key, default) -> text.
    QString text(const std::function<QString(const QString&, const QString&, const QString&)>& lookup) const;

    static PortStatus success() { return {}; }
    static PortStatus failure(PortError code, const QString& detail);
};

} // namespace korvel
