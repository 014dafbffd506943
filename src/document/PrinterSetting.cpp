#include "document/PrinterSetting.h"

#include "document/Binary.h"

namespace korvel {

TPrinterSetting TPrinterSetting::fromBytes(const QByteArray& bytes)
{
    FixedRecord r(bytes.left(Size).leftJustified(Size, '\0', true));
    TPrinterSetting s;
    s.PrinterID = r.u8(0);
    s.ComPort = r.u8(1);
    s.reserved2 = {r.u8(2), r.u8(3)};
    s.BaudRate = r.i32(4);
    s.ByteSize = r.u8(8);
    s.StopBits = r.u8(9);
    s.reserved10 = {r.u8(10), r.u8(11)};
    s.Parity = r.i32(12);
    s.FlowControl = r.u8(16);
    s.reserved17 = {r.u8(17), r.u8(18), r.u8(19)};
    s.LPTAddr = r.i32(20);
    s.DPI = r.u8(24);
    s.PrintType = r.u8(25);
    s.PrintDirection = r.u8(26);
    s.FeedType = r.u8(27);
    s.PrintSpeed = r.u8(28);
    s.PrintThickness = r.u8(29);
    s.PageType = r.u8(30);
    s.reserved31 = r.u8(31);
    s.OutDistance = r.i32(32);
    s.LED = r.u8(36);
    s.reserved37 = {r.u8(37), r.u8(38), r.u8(39)};
    return s;
}

QByteArray TPrinterSetting::toBytes() const
{
    FixedRecord r(Size);
    r.setU8(0, PrinterID);
    r.setU8(1, ComPort);
    r.setU8(2, reserved2[0]);
    r.setU8(3, reserved2[1]);
    r.setI32(4, BaudRate);
    r.setU8(8, ByteSize);
    r.setU8(9, StopBits);
    r.setU8(10, reserved10[0]);
    r.setU8(11, reserved10[1]);
    r.setI32(12, Parity);
    r.setU8(16, FlowControl);
    for (int i = 0; i < 3; ++i)
        r.setU8(17 + i, reserved17[i]);
    r.setI32(20, LPTAddr);
    r.setU8(24, DPI);
    r.setU8(25, PrintType);
    r.setU8(26, PrintDirection);
    r.setU8(27, FeedType);
    r.setU8(28, PrintSpeed);
    r.setU8(29, PrintThickness);
    r.setU8(30, PageType);
    r.setU8(31, reserved31);
    r.setI32(32, OutDistance);
    r.setU8(36, LED);
    for (int i = 0; i < 3; ++i)
        r.setU8(37 + i, reserved37[i]);
    return r.bytes();
}

} // namespace korvel
