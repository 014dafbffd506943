#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace korvel {

/// The few register operations the parallel port needs, so that the port logic can be run
/// against a stand-in device.
class ParallelIo {
public:
    virtual ~ParallelIo() = default;

    virtual bool open(const QString& device, QString* error) = 0;
    /// Takes the port for this process (the kernel driver's claim).
    virtual bool claim(QString* error) = 0;
    virtual void release() = 0;
    virtual void close() = 0;
    /// The status register; nothing when it cannot be read.
    virtual std::optional<std::uint8_t> readStatus() = 0;
    virtual bool writeData(std::uint8_t value) = 0;
    virtual bool writeControl(std::uint8_t value) = 0;
};

/// Linux ppdev (/dev/parportN) through its ioctls.
std::unique_ptr<ParallelIo> CreatePpdevIo();

/// Status register bits: busy when bit 7 is 0, no error when bit 3 is 1, paper out when
/// bit 5 is 1. Ready means not busy, no error, paper present.
bool ParallelReady(std::uint8_t status);
/// A short English description of a not-ready status ("busy, paper out").
QString ParallelStatusText(std::uint8_t status);

} // namespace korvel
