#include "printing/job/PrintDialog.h"

#include "document/LabelDocument.h"
#include "document/PageRecord.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace korvel {

namespace {

constexpr std::int64_t kMaxCopies = 99999;

/// The number an edit holds: an optional minus sign and digits that fit a 64-bit integer.
std::optional<std::int64_t> entryNumber(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^-?[0-9]+$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::int64_t countOf(const QString& text)
{
    const std::optional<std::int64_t> v = entryNumber(text);
    return v && *v >= 0 ? *v : 1;
}

} // namespace

bool LabelsFitPage(const TPageRecord& page)
{
    if (page.LabelColumn == 0 || page.LabelRow == 0)
        return false;
    const long long c = page.LabelColumn;
    const long long r = page.LabelRow;
    const long long across = c * page.LabelWidth + (c - 1) * page.LabelSpace;
    const long long down = r * page.LabelHeight + (r - 1) * page.LabelInterval;
    const long long width = static_cast<long long>(page.PaperWidth) - page.PaperLeftMargin - page.PaperRightMargin;
    const long long height = static_cast<long long>(page.PaperHeight) - page.PaperTopMargin - page.PaperBottomMargin;
    return width >= across && height >= down;
}

std::optional<MessageText> CheckPrintCommand(const LabelDocument& document)
{
    if (!LabelsFitPage(document.page()))
        return MessageText { QStringLiteral("ChildFormInside"), QStringLiteral("message5"), QString() };
    if (document.objectCount() == 0)
        return MessageText { QStringLiteral("ChildFormInside"), QStringLiteral("message6"), QString() };
    return std::nullopt;
}

MessageText PrintCommandCaption()
{
    return { QStringLiteral("All"), QStringLiteral("tishi"), QString() };
}

StoredPrintNumbers PrintNumberTable::get(int window) const
{
    if (window < 0 || window >= Capacity)
        return {};
    return entries_[std::size_t(window)];
}

void PrintNumberTable::store(int window, const StoredPrintNumbers& numbers)
{
    if (window < 0 || window >= Capacity)
        return;
    entries_[std::size_t(window)] = numbers;
}

PrintNumbers InitialPrintNumbers(const StoredPrintNumbers& stored, bool hasDatabase, int currentRecord)
{
    PrintNumbers n;
    n.count = stored.count == 0 ? 1 : stored.count;
    n.copies = stored.copies == 0 ? 1 : stored.copies;
    n.startRecord = hasDatabase && currentRecord > 0 ? currentRecord : 1;
    return n;
}

PrintDialogState OpenPrintDialog(bool hasVariables, bool hasDatabase, bool quantityFromField,
    const QByteArray& storedQuantityField, std::int64_t copies)
{
    PrintDialogState s;
    if (hasDatabase) {
        s.layout = PrintDialogLayout::Database;
        s.startVisible = true;
        s.copiesVisible = true;
        s.copiesLabelFromLanguage = true;
    } else if (hasVariables) {
        s.layout = PrintDialogLayout::Variables;
        s.size = QSize(264, 170);
        s.copiesVisible = true;
    } else {
        s.layout = PrintDialogLayout::CountOnly;
        s.size = QSize(260, 125);
    }
    s.startEnabled = hasVariables;
    s.copiesEnabled = hasVariables && !(hasDatabase && quantityFromField);
    s.totalVisible = s.copiesVisible && s.copiesEnabled;
    s.quantityField = QString::fromLocal8Bit(storedQuantityField);
    s.copiesText = hasDatabase ? QStringLiteral("1") : QString::number(copies == 0 ? 1 : copies);
    s.disconnectEnabled = !s.copiesEnabled;
    return s;
}

void ChooseQuantityField(PrintDialogState& state, const QString& field)
{
    state.quantityField = field;
    state.copiesEnabled = false;
    state.totalVisible = false;
    state.disconnectEnabled = true;
}

void DisconnectQuantityField(PrintDialogState& state)
{
    state.copiesEnabled = true;
    state.copiesText = QStringLiteral("1");
    state.totalVisible = state.copiesVisible;
    state.disconnectEnabled = false;
}

QString SanitizeCountEntry(const QString& text)
{
    const std::optional<std::int64_t> v = entryNumber(text);
    return v && *v >= 0 ? text : QStringLiteral("1");
}

QString SanitizeCopiesEntry(const QString& text)
{
    const std::optional<std::int64_t> v = entryNumber(text);
    return v && *v >= 0 && *v <= kMaxCopies ? text : QStringLiteral("1");
}

std::optional<QString> TotalText(const QString& count, const QString& copies)
{
    const std::optional<std::int64_t> n = entryNumber(count);
    const std::optional<std::int64_t> c = entryNumber(copies);
    if (!n || !c)
        return std::nullopt;
    // Both edits are bounded by their own rules; the product still must not overflow.
    std::int64_t product = 0;
    if (__builtin_mul_overflow(*n, *c, &product))
        return std::nullopt;
    return QString::number(static_cast<qlonglong>(product));
}

StoredPrintNumbers CancelPrintDialog(const PrintDialogFields& fields)
{
    StoredPrintNumbers s;
    s.count = countOf(fields.count);
    s.copies = entryNumber(fields.copies).value_or(0);
    return s;
}

PrintDialogOutcome AcceptPrintDialog(const PrintDialogFields& fields, const QByteArray& firstField)
{
    PrintDialogOutcome out;
    out.stored = CancelPrintDialog(fields);
    const std::optional<std::int64_t> copies = entryNumber(fields.copies);
    const std::int64_t start = countOf(fields.start);
    out.startRecord = static_cast<int>(std::clamp<std::int64_t>(start, 1, std::numeric_limits<int>::max()));
    out.count = countOf(fields.count);
    out.copies = copies && *copies >= 0 ? *copies : 1;
    if (fields.saveLog) {
        PrintLogEntry log;
        log.startRecord = fields.start.toLatin1();
        log.firstContent = firstField;
        log.recordCount = out.count;
        log.copies = out.copies;
        out.log = log;
    }
    if (!copies) {
        out.copiesMessage
            = MessageText { QStringLiteral("PrintFormInside"), QStringLiteral("message1"), QStringLiteral("error") };
        out.copies = 1;
    }
    out.writeToFile = fields.writeToFile;
    out.quantityFromField = !fields.copiesEnabled;
    return out;
}

} // namespace korvel
