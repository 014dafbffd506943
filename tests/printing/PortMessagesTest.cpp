#include "printing/ports/PortMessages.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace korvel;

TEST(PortMessages, RetryQuestionFollowsTheLanguageIndex)
{
    struct Row {
        int language;
        const char* text;
        const char* caption;
    };
    const Row rows[] = {
        { 0, "发送出错，需要重新发送吗？", "提示" },
        { 1, "Send data error,send again?", "error" },
        { 2, "髮送錯誤，需要重新髮送嗎？", "提示" },
        { 3, "髮送錯誤，需要重新髮送嗎？", "提示" },
        { -1, "髮送錯誤，需要重新髮送嗎？", "提示" },
    };
    for (const Row& r : rows) {
        const RetryQuestionText q = RetryQuestion(r.language);
        EXPECT_EQ(q.text, QString::fromUtf8(r.text)) << r.language;
        EXPECT_EQ(q.caption, QString::fromUtf8(r.caption)) << r.language;
    }
}

TEST(PortMessages, EveryErrorHasItsOwnKeyAndText)
{
    QStringList keys;
    for (int code = 1; code <= 12; ++code) {
        const PortStatus s = PortStatus::failure(PortError(code), QStringLiteral("detail"));
        EXPECT_FALSE(s.ok());
        EXPECT_EQ(s.message.section, QStringLiteral("PortInside")) << code;
        EXPECT_FALSE(s.message.defaultText.isEmpty()) << code;
        EXPECT_FALSE(keys.contains(s.message.key)) << code;
        keys << s.message.key;
    }
    const PortStatus usb = PortStatus::failure(PortError::UsbNotOpen, QStringLiteral("usb 3"));
    EXPECT_EQ(usb.text(), QStringLiteral("USB接口没有打开! (usb 3)"));
    EXPECT_EQ(UsbNotOpenCaption(), QStringLiteral("端口设置"));
    // A language file's text replaces the built-in one; a missing key keeps it.
    const auto english = [](const QString& section, const QString& key, const QString& fallback) {
        return section == QLatin1String("PortInside") && key == QLatin1String("message1")
            ? QStringLiteral("USB port not open!")
            : fallback;
    };
    EXPECT_EQ(usb.text(english), QStringLiteral("USB port not open! (usb 3)"));
    EXPECT_EQ(PortStatus::failure(PortError::Timeout, {}).text(english), QStringLiteral("打印机没有响应"));
    EXPECT_TRUE(PortStatus::success().text().isEmpty());
}
