#include "editor/printing/VerifyPrompt.h"

#include "document/LabelDocument.h"
#include "editor/ChildForm.h"
#include "editor/Language.h"
#include "editor/UserPrompts.h"
#include "printing/job/JobRecords.h"
#include "printing/verify/BarcodeVerification.h"

namespace korvel {

namespace {

QString text(const char* key, const QString& fallback)
{
    return LookupText(QStringLiteral("PrintFormInside"), QString::fromLatin1(key), fallback);
}

/// The reason in the interface language.
QString reasonText(VerifyReason reason)
{
    switch (reason) {
    case VerifyReason::Unreadable: return text("VerifyUnreadable", QStringLiteral("无法识读"));
    case VerifyReason::OtherData: return text("VerifyOtherData", QStringLiteral("识读出的内容与数据不同"));
    case VerifyReason::CutOff: return text("VerifyCutOff", QStringLiteral("超出标签边缘"));
    case VerifyReason::Covered: return text("VerifyCovered", QStringLiteral("被其他对象覆盖"));
    default: return VerifyReasonName(reason);
    }
}

} // namespace

bool VerifyBeforePrint(TChildForm& child, JobRecords* records, int startRecord, const PrintJobOptions& options)
{
    LabelDocument& doc = child.document();
    EmissionContext context;
    context.commands = options.commands;
    context.evaluation = options.evaluation;
    context.ppi = options.ppi;
    context.storedPicture = options.storedPicture;
    int was = 0;
    if (records && records->isOpen() && records->recordCount() > 0) {
        was = records->recordNumber();
        records->first();
        for (int n = 1; n < startRecord && n < records->recordCount(); ++n)
            records->next();
    }
    PortStatus status;
    const QList<BarcodeCheck> checks = VerifyRecords(doc, context, records, false, &status);
    if (was > 0) {
        records->first();
        for (int n = 1; n < was; ++n)
            records->next();
    }
    // A label that cannot be emitted at all is the job's own print error to report.
    for (const BarcodeCheck& c : checks) {
        if (c.ok)
            continue;
        QString message = FormatText(
            FormatText(text("VerifyFailed", QStringLiteral("条码 \"%s\" 打印后无法正确识读: %s。")), c.name),
            reasonText(c.reason));
        if (c.decoded)
            message += QStringLiteral("\n") + FormatText(text("VerifyDecoded", QStringLiteral("识读结果: %s")), *c.decoded);
        message += QStringLiteral("\n\n") + text("VerifyPrintAnyway", QStringLiteral("仍然打印吗?"));
        return Prompts().askYesNoCancel(&child, LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("提示")),
                   message)
            == UserPrompts::Answer::Yes;
    }
    return true;
}

} // namespace korvel
