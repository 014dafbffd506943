#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>

namespace korvel {

/// The 40-byte printer profile record, stored byte for byte in label files and "Label.dat".
/// Reserved bytes are carried unchanged.
struct TPrinterSetting {
    static constexpr int Size = 40;

    std::uint8_t PrinterID = 0;
    std::uint8_t ComPort = 5;
    std::array<std::uint8_t, 2> reserved2{};
    std::int32_t BaudRate = 38400;
    std::uint8_t ByteSize = 8;
    std::uint8_t StopBits = 0;
    std::array<std::uint8_t, 2> reserved10{};
    std::int32_t Parity = 0;
    std::uint8_t FlowControl = 1;
    std::array<std::uint8_t, 3> reserved17{};
    std::int32_t LPTAddr = 888;
    std::uint8_t DPI = 0;
    std::uint8_t PrintType = 0;
    std::uint8_t PrintDirection = 0;
    std::uint8_t FeedType = 5;
    std::uint8_t PrintSpeed = 'F';
    std::uint8_t PrintThickness = 18;
    std::uint8_t PageType = 2;
    std::uint8_t reserved31 = 0;
    std::int32_t OutDistance = 0;
    std::uint8_t LED = 0;
    std::array<std::uint8_t, 3> reserved37{};

    static TPrinterSetting fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    /// Printer resolution in dots per inch of the DPI index.
    int dpi() const { return DPI == 1 ? 300 : 203; }

    bool operator==(const TPrinterSetting&) const = default;
};

} // namespace korvel
