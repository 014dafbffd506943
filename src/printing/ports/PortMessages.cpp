#include "printing/ports/PortMessages.h"

namespace korvel {

namespace {

MessageText portText(int n, const QString& text)
{
    return { QString::fromLatin1(kPortMessageSection), QStringLiteral("message%1").arg(n), text };
}

} // namespace

MessageText PortMessageFor(PortError code)
{
    switch (code) {
    case PortError::None: return {};
    case PortError::UsbNotOpen: return portText(1, QStringLiteral("USB接口没有打开!"));
    case PortError::OpenFailed: return portText(2, QStringLiteral("端口打开失败"));
    case PortError::ConfigureFailed: return portText(3, QStringLiteral("端口参数设置失败"));
    case PortError::Timeout: return portText(4, QStringLiteral("打印机没有响应"));
    case PortError::Cancelled: return portText(5, QStringLiteral("打印已取消"));
    case PortError::WriteFailed: return portText(6, QStringLiteral("发送数据出错"));
    case PortError::NotReady: return portText(7, QStringLiteral("打印机未就绪"));
    case PortError::QueueFailed: return portText(9, QStringLiteral("打印队列出错"));
    case PortError::NoPort: return portText(10, QStringLiteral("没有可用的端口"));
    case PortError::InvalidInput: return portText(11, QStringLiteral("打印命令参数超出范围"));
    case PortError::BadSpec: return portText(12, QStringLiteral("端口描述无效"));
    case PortError::NotOpen: return portText(13, QStringLiteral("端口没有打开"));
    }
    return portText(6, QStringLiteral("发送数据出错"));
}

QString UsbNotOpenCaption()
{
    return QStringLiteral("端口设置");
}

RetryQuestionText RetryQuestion(int languageIndex)
{
    switch (languageIndex) {
    case 0: return { QStringLiteral("发送出错，需要重新发送吗？"), QStringLiteral("提示") };
    case 1: return { QStringLiteral("Send data error,send again?"), QStringLiteral("error") };
    default: return { QStringLiteral("髮送錯誤，需要重新髮送嗎？"), QStringLiteral("提示") };
    }
}

} // namespace korvel
