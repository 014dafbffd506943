#include "printing/ports/ParallelPort.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <functional>

using namespace korvel;

namespace {

constexpr std::uint8_t kReady = 0x80 | 0x08;
constexpr std::uint8_t kBusy = 0x08;
constexpr std::uint8_t kPaperOut = 0x80 | 0x08 | 0x20;

/// A parallel port stand-in: a status script and a log of register writes.
struct FakeState {
    std::function<std::uint8_t(int read)> status = [](int) { return kReady; };
    int reads = 0;
    QStringList log;
    QByteArray printed; ///< data bytes latched by a complete strobe pulse
    bool openFails = false;
    bool claimFails = false;
    bool claimed = false;
    std::uint8_t data = 0;
};

class FakeIo : public ParallelIo {
public:
    explicit FakeIo(FakeState& s)
        : s_(s)
    {
    }
    bool open(const QString& device, QString* error) override
    {
        s_.log << QStringLiteral("open %1").arg(device);
        if (s_.openFails && error)
            *error = QStringLiteral("%1: No such device").arg(device);
        return !s_.openFails;
    }
    bool claim(QString* error) override
    {
        if (s_.claimFails) {
            *error = QStringLiteral("claim refused");
            return false;
        }
        s_.claimed = true;
        s_.log << QStringLiteral("claim");
        return true;
    }
    void release() override
    {
        s_.claimed = false;
        s_.log << QStringLiteral("release");
    }
    void close() override { s_.log << QStringLiteral("close"); }
    std::optional<std::uint8_t> readStatus() override { return s_.status(s_.reads++); }
    bool writeData(std::uint8_t v) override
    {
        s_.data = v;
        return true;
    }
    bool writeControl(std::uint8_t v) override
    {
        s_.log << QStringLiteral("ctl %1").arg(v, 2, 16, QLatin1Char('0'));
        if (v == 0x0C && s_.log.size() >= 2 && s_.log[s_.log.size() - 2] == QStringLiteral("ctl 0d"))
            s_.printed.append(char(s_.data));
        return true;
    }

private:
    FakeState& s_;
};

ParallelOptions quickOptions()
{
    ParallelOptions o;
    o.device = QStringLiteral("/dev/parport1");
    o.readyTimeoutMs = 30;
    o.probeWindowMs = 5;
    o.probePauseMs = 1;
    return o;
}

} // namespace

TEST(ParallelPort, ReadyMeansNotBusyNoErrorAndPaper)
{
    struct Row {
        std::uint8_t status;
        bool ready;
    };
    const Row rows[] = { { 0x88, true }, { 0xFF & ~0x20, true }, { 0x08, false }, { 0x80, false }, { 0xA8, false },
        { 0x00, false } };
    for (const Row& r : rows)
        EXPECT_EQ(ParallelReady(r.status), r.ready) << int(r.status);
    EXPECT_EQ(ParallelStatusText(0x20), QStringLiteral("busy, error, paper out"));
}

TEST(ParallelPort, BytesGoOutWithOneStrobeEach)
{
    FakeState state;
    ParallelPort port(quickOptions(), std::make_unique<FakeIo>(state));
    ASSERT_TRUE(port.OpenPort());
    EXPECT_TRUE(state.claimed);
    ASSERT_TRUE(port.SendPiece(QByteArray("\x02m\r\x00\xff", 5)));
    ASSERT_TRUE(port.SendPiece(QByteArray()));
    EXPECT_FALSE(port.SetSerialWriteTimeout(10000));
    EXPECT_EQ(state.printed, QByteArray("\x02m\r\x00\xff", 5));
    EXPECT_EQ(state.log.mid(2, 2), (QStringList { "ctl 0d", "ctl 0c" }));
    EXPECT_TRUE(port.ClosePort());
    EXPECT_FALSE(state.claimed);
    EXPECT_EQ(state.log.first(), QStringLiteral("open /dev/parport1"));
    EXPECT_EQ(state.log.last(), QStringLiteral("close"));
}

TEST(ParallelPort, WaitsForReadyBeforeEveryByte)
{
    FakeState state;
    // Busy on every other read: each byte waits once, none is lost or repeated.
    state.status = [](int read) { return read % 2 ? kReady : kBusy; };
    ParallelPort port(quickOptions(), std::make_unique<FakeIo>(state));
    ASSERT_TRUE(port.OpenPort());
    ASSERT_TRUE(port.SendPiece("ABCDEF"));
    EXPECT_EQ(state.printed, "ABCDEF");
}

TEST(ParallelPort, OpeningFailsWhenThePrinterNeverReportsReady)
{
    FakeState state;
    state.status = [](int) { return kPaperOut; };
    ParallelPort port(quickOptions(), std::make_unique<FakeIo>(state));
    const PortStatus s = port.OpenPort();
    EXPECT_EQ(s.code, PortError::NotReady);
    EXPECT_TRUE(s.detail.contains(QStringLiteral("paper out")));
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(state.claimed) << "a failed probe releases the port";

    FakeState missing;
    missing.openFails = true;
    EXPECT_EQ(ParallelPort(quickOptions(), std::make_unique<FakeIo>(missing)).OpenPort().code, PortError::OpenFailed);
    FakeState taken;
    taken.claimFails = true;
    EXPECT_EQ(ParallelPort(quickOptions(), std::make_unique<FakeIo>(taken)).OpenPort().code, PortError::OpenFailed);

    // The real device layer reports a missing device file the same way.
    ParallelOptions absent = quickOptions();
    absent.device = QStringLiteral("/nonexistent/parport0");
    const PortStatus real = ParallelPort(absent).OpenPort();
    EXPECT_EQ(real.code, PortError::OpenFailed);
    EXPECT_TRUE(real.detail.contains(QStringLiteral("/nonexistent/parport0")));

    // A file that is not a parallel port cannot be claimed.
    QTemporaryDir dir;
    ParallelOptions notAPort = quickOptions();
    notAPort.device = dir.filePath(QStringLiteral("parport0"));
    QFile(notAPort.device).open(QIODevice::WriteOnly);
    const PortStatus claim = ParallelPort(notAPort).OpenPort();
    EXPECT_EQ(claim.code, PortError::OpenFailed);
    EXPECT_TRUE(claim.detail.contains(QStringLiteral("claim"))) << claim.detail.toStdString();
}

TEST(ParallelPort, RetryQuestionRepeatsTheSameByteOrAbandonsThePiece)
{
    FakeState state;
    bool busy = false;
    state.status = [&](int) { return busy ? kBusy : kReady; };
    int questions = 0;
    ParallelOptions options = quickOptions();
    options.retryQuestion = [&](const PortStatus& why) {
        EXPECT_EQ(why.code, PortError::Timeout);
        ++questions;
        if (questions == 1) {
            busy = false; // the user cleared the jam and answered "Yes"
            return true;
        }
        return false;
    };
    ParallelPort port(options, std::make_unique<FakeIo>(state));
    ASSERT_TRUE(port.OpenPort());
    ASSERT_TRUE(port.SendPiece("AB"));
    busy = true;
    ASSERT_TRUE(port.SendPiece("CD"));
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(state.printed, "ABCD") << "the byte after a retry goes out exactly once";

    busy = true;
    const PortStatus s = port.SendPiece("EF");
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(s.code, PortError::Timeout);
    EXPECT_TRUE(s.detail.contains(QStringLiteral("busy"))) << s.detail.toStdString();
    EXPECT_EQ(state.printed, "ABCD");

    // Without a question to ask, a printer that stays busy fails the piece.
    FakeState stuck;
    ParallelPort silent(quickOptions(), std::make_unique<FakeIo>(stuck));
    ASSERT_TRUE(silent.OpenPort());
    stuck.status = [](int) { return kBusy; };
    EXPECT_EQ(silent.SendPiece("X").code, PortError::Timeout);
}

TEST(ParallelPort, CancelFlagStopsBetweenBytes)
{
    FakeState state;
    std::atomic<bool> cancel { false };
    PortLimits limits;
    limits.cancel = &cancel;
    ParallelPort port(quickOptions(), std::make_unique<FakeIo>(state), limits);
    ASSERT_TRUE(port.OpenPort());
    state.status = [&](int read) {
        if (read == 4)
            cancel = true;
        return kReady;
    };
    EXPECT_EQ(port.SendPiece("ABCDEFGH").code, PortError::Cancelled);
    EXPECT_LT(state.printed.size(), 8);
}
