// korvel-cli verify: every sample reads back; a label whose barcode does not read back exits 1
// with one line naming it; every record of a data source; usage errors exit 2.

#include "cli/CliSupport.h"
#include "cli/TestLabel.h"

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"
#include "support/TestSupport.h"
#include "variables/VariableModel.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

QJsonArray entries(const CliRun& r)
{
    const QJsonDocument json = QJsonDocument::fromJson(r.out);
    EXPECT_TRUE(json.isArray()) << r.out.toStdString();
    return json.array();
}

} // namespace

TEST(CliVerify, EverySampleReadsBack)
{
    const QDir samples(dataDir() + QStringLiteral("/Samples"));
    for (const QString& name : samples.entryList({ QStringLiteral("*.kvl") })) {
        const CliRun r = RunCli({ QStringLiteral("verify"), samples.filePath(name) });
        EXPECT_EQ(r.exitCode, 0) << name.toStdString() << ": " << r.err.toStdString();
        for (const QJsonValue& v : entries(r))
            EXPECT_TRUE(v.toObject().value(QStringLiteral("ok")).toBool()) << name.toStdString();
    }
}

TEST(CliVerify, ABarcodePastTheEdgeFailsWithItsReason)
{
    QTemporaryDir dir;
    const QString good = WriteBarcodeLabel(dir.filePath(QStringLiteral("good.kvl")), 20);
    CliRun r = RunCli({ QStringLiteral("verify"), good });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonArray list = entries(r);
    ASSERT_EQ(list.size(), 1);
    const QJsonObject e = list[0].toObject();
    EXPECT_EQ(e.value(QStringLiteral("name")).toString(), QStringLiteral("Parcel"));
    EXPECT_EQ(e.value(QStringLiteral("BarCodeType")).toInt(), int(TBarCodeType::bcCode128));
    EXPECT_EQ(e.value(QStringLiteral("expected")).toString(), QStringLiteral("KV-0001"));
    EXPECT_EQ(e.value(QStringLiteral("decoded")).toString(), QStringLiteral("KV-0001"));
    EXPECT_EQ(e.value(QStringLiteral("reason")).toString(), QString());
    EXPECT_TRUE(r.err.isEmpty());

    // The label is 227 px wide at 100 %: a symbol starting at 200 runs off it.
    const QString cut = WriteBarcodeLabel(dir.filePath(QStringLiteral("cut.kvl")), 200);
    r = RunCli({ QStringLiteral("verify"), cut });
    EXPECT_EQ(r.exitCode, 1);
    list = entries(r);
    ASSERT_EQ(list.size(), 1);
    EXPECT_FALSE(list[0].toObject().value(QStringLiteral("ok")).toBool());
    EXPECT_EQ(list[0].toObject().value(QStringLiteral("reason")).toString(), QStringLiteral("cut off by the label edge"));
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Parcel")) << r.err.toStdString();
}

TEST(CliVerify, EveryRecordOrOneRecordOfADataSource)
{
    QTemporaryDir dir;
    const QString label = WriteBarcodeLabel(dir.filePath(QStringLiteral("bound.kvl")), 20, "CODE");
    const QString csv = dir.filePath(QStringLiteral("codes.csv"));
    ASSERT_TRUE(writeFile(csv, "CODE\nA-1\nB-22\nC-333\n"));
    CliRun r = RunCli({ QStringLiteral("verify"), label, QStringLiteral("--data"), csv, QStringLiteral("--all") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonArray list = entries(r);
    ASSERT_EQ(list.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list[i].toObject().value(QStringLiteral("record")).toInt(), i + 1);
        EXPECT_EQ(list[i].toObject().value(QStringLiteral("decoded")).toString(),
            QString::fromLatin1(QList<QByteArray> { "A-1", "B-22", "C-333" }[i]));
    }
    r = RunCli({ QStringLiteral("verify"), label, QStringLiteral("--data"), csv, QStringLiteral("--record"),
        QStringLiteral("2") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    list = entries(r);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].toObject().value(QStringLiteral("decoded")).toString(), QStringLiteral("B-22"));
    r = RunCli({ QStringLiteral("verify"), label, QStringLiteral("--data"), csv, QStringLiteral("--record"),
        QStringLiteral("9") });
    EXPECT_EQ(r.exitCode, 1);
}

TEST(CliVerify, UsageErrors)
{
    QTemporaryDir dir;
    const QString label = WriteBarcodeLabel(dir.filePath(QStringLiteral("l.kvl")), 20);
    const QList<QStringList> bad = {
        { QStringLiteral("verify") },
        { QStringLiteral("verify"), label, QStringLiteral("--record"), QStringLiteral("0") },
        { QStringLiteral("verify"), label, QStringLiteral("--record"), QStringLiteral("1"), QStringLiteral("--all") },
        { QStringLiteral("verify"), label, QStringLiteral("--data") },
        { QStringLiteral("verify"), label, QStringLiteral("--bogus") },
        { QStringLiteral("verify"), label, label },
    };
    for (const QStringList& args : bad) {
        const CliRun r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(RunCli({ QStringLiteral("verify"), dir.filePath(QStringLiteral("missing.kvl")) }).exitCode, 1);
}
