#include "cli/TerminalProgress.h"

#include <cmath>

namespace korvel::cli {

QString TerminalProgress::Line(std::int64_t sent, std::int64_t total, qint64 elapsedMs)
{
    QString line = QStringLiteral("korvel-cli: %1").arg(sent);
    if (total > 0)
        line += QStringLiteral(" of %1").arg(total);
    line += QStringLiteral(" labels");
    if (sent > 0 && elapsedMs > 0) {
        const double rate = double(sent) * 1000.0 / double(elapsedMs);
        line += QStringLiteral(", %1 labels/s").arg(rate, 0, 'f', 1);
        if (total > sent) {
            const qint64 left = qint64(std::ceil(double(total - sent) / rate));
            line += QStringLiteral(", %1:%2:%3 left")
                        .arg(left / 3600)
                        .arg((left / 60) % 60, 2, 10, QLatin1Char('0'))
                        .arg(left % 60, 2, 10, QLatin1Char('0'));
        }
    }
    return line;
}

QString TerminalProgress::update(std::int64_t sent, std::int64_t total)
{
    const qint64 now = clock_.elapsed();
    if (now - lastMs_ < 200)
        return {};
    lastMs_ = now;
    shown_ = true;
    // Padding wipes the end of a longer line written before.
    return QStringLiteral("\r") + Line(sent, total, now).leftJustified(72);
}

} // namespace korvel::cli
