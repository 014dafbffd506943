#pragma once

#include "printing/ports/PortStatus.h"

#include <QByteArray>
#include <QList>

namespace korvel {

/// Where the command builders hand their pieces: an open port, or a recorder.
class PieceSink {
public:
    virtual ~PieceSink() = default;

    /// Writes one piece of the command stream; an empty piece is valid and sends nothing.
    virtual PortStatus SendPiece(const QByteArray& piece) = 0;
    /// Changes the serial write allowance (milliseconds per byte); false when no serial port
    /// is open.
    virtual bool SetSerialWriteTimeout(int msPerByte)
    {
        (void)msPerByte;
        return false;
    }
    /// Marks the start of a new accumulation span of the accumulating USB mode (job setup and
    /// after every label end).
    virtual void ClearAccumulation() { }
};

/// A sink that keeps every piece; it can be told to refuse the n-th piece (0-based).
class PieceRecorder : public PieceSink {
public:
    PortStatus SendPiece(const QByteArray& piece) override
    {
        if (refuseAt >= 0 && pieces.size() == refuseAt)
            return PortStatus::failure(PortError::WriteFailed, QStringLiteral("refused by recorder"));
        pieces.append(piece);
        return PortStatus::success();
    }
    bool SetSerialWriteTimeout(int msPerByte) override
    {
        timeouts.append(msPerByte);
        return false;
    }
    void ClearAccumulation() override { ++clears; }

    /// Every piece joined: the byte stream the printer sees.
    QByteArray stream() const
    {
        QByteArray out;
        for (const QByteArray& p : pieces)
            out += p;
        return out;
    }

    QList<QByteArray> pieces;
    QList<int> timeouts;
    int clears = 0;
    int refuseAt = -1;
};

} // namespace korvel
