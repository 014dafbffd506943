#pragma once

#include <QString>

#include <cstdint>

namespace korvel {

/// Kinds of port a port description can name.
enum class PortSpecKind : int { None = 0, File = 1, Serial = 2, Parallel = 3, Usb = 4, Queue = 5, Tcp = 6 };

/// A parsed port description: `none`, `file:PATH`, `serial:DEVICE[:BAUD]`, `parallel:DEVICE`,
/// `usb:N` or `usb:DEVICE`, `queue:NAME`, `tcp:HOST[:PORT]`.
struct PortSpec {
    PortSpecKind kind = PortSpecKind::None;
    /// File path; serial, parallel or USB device path (empty when a number was given).
    QString path;
    /// Serial "COMn" → n (1-8); parallel given as a number → 0-3; USB number (1-based).
    int number = -1;
    /// Serial speed given in the description; 0 keeps the profile's.
    int baudRate = 0;
    /// Queue name; empty for the configured one.
    QString name;
    QString host;
    quint16 port = 9100;

    bool operator==(const PortSpec&) const = default;
};

struct PortSpecParse {
    bool ok = false;
    PortSpec portSpec;
    QString error; ///< what is wrong, for the usage message
};

PortSpecParse ParsePortSpec(const QString& text);
/// The description text of a port; parsing it gives the same port back.
QString FormatPortSpec(const PortSpec& portSpec);

} // namespace korvel
