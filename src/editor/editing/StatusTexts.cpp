#include "editor/editing/StatusTexts.h"

namespace korvel {

QString FormatNumbers(const QString& format, std::initializer_list<double> numbers)
{
    QString out;
    auto next = numbers.begin();
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= n) {
            out += c;
            continue;
        }
        if (format[i + 1] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        // %[flags][width][.precision]conversion
        qsizetype j = i + 1;
        while (j < n && QStringLiteral("-+ #0").contains(format[j]))
            ++j;
        int width = 0;
        while (j < n && format[j].isDigit() && width < 100)
            width = width * 10 + format[j++].digitValue();
        int precision = -1;
        if (j < n && format[j] == QLatin1Char('.')) {
            precision = 0;
            ++j;
            while (j < n && format[j].isDigit() && precision < 20)
                precision = precision * 10 + format[j++].digitValue();
        }
        if (j >= n) {
            out += format.mid(i);
            break;
        }
        const QChar conv = format[j];
        const char kind = conv.toLatin1();
        if (kind != 'f' && kind != 'e' && kind != 'g' && kind != 'd' && kind != 'n') {
            out += format.mid(i, j - i + 1);
            i = j;
            continue;
        }
        if (next != numbers.end()) {
            const double v = *next++;
            QString text;
            if (kind == 'd')
                text = QString::number(static_cast<long long>(v));
            else
                text = QString::number(v, kind == 'n' ? 'f' : kind, precision < 0 ? (kind == 'g' ? 6 : 2) : precision);
            out += text.rightJustified(width, QLatin1Char(' '));
        }
        i = j;
    }
    return out;
}

namespace {
const char* kindKey(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Text: return "wenben";
    case ObjectKind::BarCode: return "tiaoma";
    case ObjectKind::Line: return "xiexian";
    case ObjectKind::HVLine: return "zhixian";
    case ObjectKind::Rectangle: return "juxing";
    case ObjectKind::Ellipse: return "tuoyuan";
    case ObjectKind::Image: return "tuxiang";
    case ObjectKind::InvertArea: return "fanse";
    }
    return "wenben";
}
} // namespace

GestureStatusTexts StatusTextsOf(const GestureStatus& s, const SurfaceTextLookup& lookup)
{
    GestureStatusTexts t;
    // The formats have no built-in text; a language file without them shows plain numbers.
    const QString haomi = lookup("All", "haomi", QStringLiteral("%.2f, %.2f"));
    const QString haomi1 = lookup("All", "haomi1", QStringLiteral("%.2f"));
    t.position = QStringLiteral("X,Y:") + FormatNumbers(haomi, { s.positionMM.x(), s.positionMM.y() });
    const QString kind = lookup("All", kindKey(s.kind), s.kind == ObjectKind::Text ? QStringLiteral("Label:") : QString());
    t.size = kind
        + (s.line ? FormatNumbers(haomi1, { s.lengthMM }) : FormatNumbers(haomi, { s.sizeMM.width(), s.sizeMM.height() }));
    return t;
}

} // namespace korvel
