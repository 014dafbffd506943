#pragma once

#include "printing/ports/PortStatus.h"

#include <QString>

namespace korvel {

/// Language-file section of the port layer's own messages. Keys: "message1" USB not open,
/// "message2" port could not be opened, "message3" port parameters refused, "message4" printer
/// not answering, "message5" job cancelled, "message6" send error, "message7" printer not
/// ready, "message8" file could not be written, "message9" print queue error, "message10" no
/// port, "message11" command value out of range, "message12" bad port description,
/// "message13" port not open.
inline constexpr const char* kPortMessageSection = "PortInside";

/// The message shown for an error code (section, key and built-in text).
MessageText PortMessageFor(PortError code);

/// Caption of the box that reports a USB device that did not open.
QString UsbNotOpenCaption();

/// The parallel port's retry question and its caption, chosen by the language index
/// (0 Simplified Chinese, 1 English, others Traditional Chinese).
struct RetryQuestionText {
    QString text;
    QString caption;
};
RetryQuestionText RetryQuestion(int languageIndex);

} // namespace korvel
