#include "cli/TerminalProgress.h"

#include <algorithm>
#include <cmath>

namespace korvel::cli {

QString TerminalProgress::Line(std::int64_t sent, std::int64_t total, qint64 elapsedMs)
{
    QString line = QStringLiteral("korvel-cli: %1").arg(sent);
    if (total > 0)
        line += QStringLiteral(" of %1").arg(total);
    line += QStringLiteral(" labels");
    if (sent > 0) {
        // A run shorter than the clock's step still gets a rate (of at most one label per ms).
        const double rate = double(sent) * 1000.0 / double(std::max<qint64>(elapsedMs, 1));
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
