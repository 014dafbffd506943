#include "printing/ports/PortSpec.h"

#include <QHostAddress>

#include <QRegularExpression>

namespace korvel {

namespace {

constexpr int kMaxBaud = 4000000;

PortSpecParse fail(const QString& why)
{
    PortSpecParse r;
    r.error = why;
    return r;
}

PortSpecParse done(const PortSpec& portSpec)
{
    PortSpecParse r;
    r.ok = true;
    r.portSpec = portSpec;
    return r;
}

bool allDigits(const QString& s)
{
    if (s.isEmpty() || s.size() > 9)
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

PortSpecParse parseSerial(const QString& rest)
{
    PortSpec portSpec;
    portSpec.kind = PortSpecKind::Serial;
    QString device = rest;
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0 && allDigits(rest.mid(colon + 1))) {
        const int baud = rest.mid(colon + 1).toInt();
        if (baud <= 0 || baud > kMaxBaud)
            return fail(QStringLiteral("serial speed %1 out of range").arg(rest.mid(colon + 1)));
        portSpec.baudRate = baud;
        device = rest.left(colon);
    }
    if (device.isEmpty())
        return fail(QStringLiteral("serial port needs a device"));
    static const QRegularExpression com(QStringLiteral("^com([1-8])$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(device);
    if (m.hasMatch())
        portSpec.number = m.captured(1).toInt();
    else
        portSpec.path = device;
    return done(portSpec);
}

PortSpecParse parseTcp(const QString& rest)
{
    PortSpec portSpec;
    portSpec.kind = PortSpecKind::Tcp;
    QString host = rest;
    QString port;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return fail(QStringLiteral("unclosed [ in host %1").arg(rest));
        host = rest.mid(1, close - 1);
        const QString after = rest.mid(close + 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(QLatin1Char(':')))
                return fail(QStringLiteral("unexpected text after host: %1").arg(after));
            port = after.mid(1);
        }
    } else if (rest.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        host = rest.left(colon);
        port = rest.mid(colon + 1);
    } else if (rest.count(QLatin1Char(':')) > 1 && QHostAddress(rest).protocol() != QAbstractSocket::IPv6Protocol) {
        // Several colons without brackets name an IPv6 address on the default port; anything
        // else ("host:1:2") is a mistake, not a host name.
        return fail(QStringLiteral("bad network address %1 (write an IPv6 address as [ADDRESS]:PORT)").arg(rest));
    }
    if (host.isEmpty())
        return fail(QStringLiteral("network port needs a host"));
    // Brackets only enclose an address; a host holding one could not be written back.
    if (host.contains(QLatin1Char('[')) || host.contains(QLatin1Char(']')))
        return fail(QStringLiteral("bad network host %1").arg(host));
    if (!port.isNull()) {
        if (!allDigits(port) || port.toInt() < 1 || port.toInt() > 65535)
            return fail(QStringLiteral("network port number %1 out of range").arg(port));
        portSpec.port = quint16(port.toInt());
    }
    portSpec.host = host;
    return done(portSpec);
}

} // namespace

PortSpecParse ParsePortSpec(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
        PortSpec none;
        return done(none);
    }
    const qsizetype colon = t.indexOf(QLatin1Char(':'));
    const QString kind = (colon < 0 ? t : t.left(colon)).toLower();
    const QString rest = colon < 0 ? QString() : t.mid(colon + 1);
    PortSpec portSpec;
    if (kind == QLatin1String("file")) {
        if (rest.isEmpty())
            return fail(QStringLiteral("file port needs a path"));
        portSpec.kind = PortSpecKind::File;
        portSpec.path = rest;
        return done(portSpec);
    }
    if (kind == QLatin1String("serial"))
        return parseSerial(rest);
    if (kind == QLatin1String("parallel")) {
        if (rest.isEmpty())
            return fail(QStringLiteral("parallel port needs a device"));
        portSpec.kind = PortSpecKind::Parallel;
        if (allDigits(rest)) {
            if (rest.toInt() > 3)
                return fail(QStringLiteral("parallel port number %1 out of range 0-3").arg(rest));
            portSpec.number = rest.toInt();
        } else {
            portSpec.path = rest;
        }
        return done(portSpec);
    }
    if (kind == QLatin1String("usb")) {
        if (rest.isEmpty())
            return fail(QStringLiteral("USB port needs a number or a device"));
        portSpec.kind = PortSpecKind::Usb;
        if (allDigits(rest)) {
            if (rest.toInt() < 1)
                return fail(QStringLiteral("USB printers are numbered from 1"));
            portSpec.number = rest.toInt();
        } else {
            portSpec.path = rest;
        }
        return done(portSpec);
    }
    if (kind == QLatin1String("queue")) {
        portSpec.kind = PortSpecKind::Queue;
        portSpec.name = rest;
        return done(portSpec);
    }
    if (kind == QLatin1String("tcp"))
        return parseTcp(rest);
    return fail(QStringLiteral("unknown port \"%1\" (none, file:, serial:, parallel:, usb:, queue:, tcp:)").arg(t));
}

QString FormatPortSpec(const PortSpec& portSpec)
{
    switch (portSpec.kind) {
    case PortSpecKind::None: return QStringLiteral("none");
    case PortSpecKind::File: return QStringLiteral("file:") + portSpec.path;
    case PortSpecKind::Serial: {
        QString s = QStringLiteral("serial:")
            + (portSpec.path.isEmpty() ? QStringLiteral("COM%1").arg(portSpec.number) : portSpec.path);
        if (portSpec.baudRate > 0)
            s += QStringLiteral(":%1").arg(portSpec.baudRate);
        return s;
    }
    case PortSpecKind::Parallel:
        return QStringLiteral("parallel:")
            + (portSpec.path.isEmpty() ? QString::number(portSpec.number) : portSpec.path);
    case PortSpecKind::Usb:
        return QStringLiteral("usb:") + (portSpec.path.isEmpty() ? QString::number(portSpec.number) : portSpec.path);
    case PortSpecKind::Queue: return QStringLiteral("queue:") + portSpec.name;
    case PortSpecKind::Tcp: {
        const QString host
            = portSpec.host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(portSpec.host) : portSpec.host;
        // One arg() for both: a host may hold "%2" itself (a numeric IPv6 zone, "fe80::1%2").
        return QStringLiteral("tcp:%1:%2").arg(host, QString::number(portSpec.port));
    }
    }
    return QStringLiteral("none");
}

} // namespace korvel
