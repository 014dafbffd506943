#include "printing/ports/PortStatus.h"

#include "printing/ports/PortMessages.h"

namespace korvel {

QString PortStatus::text() const
{
    return text([](const QString&, const QString&, const QString& fallback) { return fallback; });
}

QString PortStatus::text(const std::function<QString(const QString&, const QString&, const QString&)>& lookup) const
{
    if (ok())
        return {};
    QString out = lookup ? lookup(message.section, message.key, message.defaultText) : message.defaultText;
    if (out.isEmpty())
        out = message.defaultText;
    if (!detail.isEmpty())
        out += QStringLiteral(" (%1)").arg(detail);
    return out;
}

PortStatus PortStatus::failure(PortError code, const QString& detail)
{
    PortStatus s;
    s.code = code;
    s.message = PortMessageFor(code);
    s.detail = detail;
    return s;
}

} // namespace korvel
