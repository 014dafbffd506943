#include "printing/settings/PortListing.h"

#include <QSerialPortInfo>

#include <cups/cups.h>

#include <algorithm>

namespace korvel {

QStringList ListSerialDevices()
{
    QStringList out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        out << info.systemLocation();
    std::sort(out.begin(), out.end());
    out.removeDuplicates();
    return out;
}

QStringList ListPrintQueues(const QString& server)
{
    QStringList out;
    http_t* http = nullptr;
    if (!server.isEmpty()) {
        // A short connect: a scheduler that does not answer must not hold the dialog up.
        http = httpConnect2(server.toLocal8Bit().constData(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
            2000, nullptr);
        if (!http)
            return out;
    }
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(http ? http : CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < n; ++i)
        out << QString::fromUtf8(dests[i].name);
    cupsFreeDests(n, dests);
    if (http)
        httpClose(http);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace korvel
