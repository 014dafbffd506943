// The print command of the designer: the print dialog's numbers reach the job, the job runs on
// its own thread and writes exactly what korvel-cli writes for the same numbers, and Cancel
// stops a job that a stalled printer holds up, with the port closed.

#include "editor/EditorTestSupport.h"
#include "cli/CliSupport.h"
#include "cli/TestLabel.h"

#include "barcode/OABarCode.h"
#include "document/OALabel.h"
#include "document/OARectangle.h"
#include "editor/printing/DesignerPrint.h"
#include "editor/printing/PrintForm.h"
#include "editor/printing/PrintJobRunner.h"
#include "editor/printing/PrintProgressForm.h"
#include "persistence/RegistryStore.h"
#include "printing/ports/PortSettingsStore.h"
#include "variables/VariableModel.h"
#include "variables/database/DataSourceBinding.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace korvel;
using namespace korvel::test;

namespace {

/// A 1 × 1 label with a printer-font text and a large box (a stored graphic, sent with every
/// page of a variable job); the text is bound to the column NAME of a tab-separated file when given.
QString writeLabel(const QString& path, const QString& csv = QString())
{
    LabelDocument doc;
    doc.printerModel = 1;
    doc.printer.FeedType = 2;
    doc.setPage(GridPage(800, 600, 1, 1));
    doc.setZoom(100);
    if (!csv.isEmpty()) {
        std::unique_ptr<DatabaseSource> live;
        DataSourceChoice choice;
        choice.sourceSpec = ParseDataArgument(csv).sourceSpec.value();
        choice.block.tables = { QFileInfo(csv).baseName().toUpper().toLocal8Bit() + "#TXT" };
        choice.block.tableIndex = 0;
        choice.block.fields = { "NAME", "QTY" };
        choice.block.selected = { true, true };
        const BindingResult bound = ApplyDataSource(doc, live, choice);
        EXPECT_TRUE(bound.ok) << bound.message.toStdString();
    }
    AppendHelloText(doc, csv.isEmpty() ? QByteArray() : QByteArray("NAME"));
    AppendBox(doc, 70, 45);
    EXPECT_EQ(WriteLabelFile(path, doc).status, LabelFileResult::Status::Ok);
    return path;
}

class PrintFromDesigner : public DesignerTest {
protected:
    void SetUp() override
    {
        DesignerTest::SetUp();
        PrintState() = DesignerPrintState {};
        csv = QDir(home.path()).filePath(QStringLiteral("names.txt"));
        QByteArray rows = "NAME\tQTY\n";
        for (int i = 1; i <= 12; ++i)
            rows += "NAME" + QByteArray::number(i) + "\t" + QByteArray::number(i % 3) + "\n";
        ASSERT_TRUE(writeFile(csv, rows));
        designerOut = QDir(home.path()).filePath(QStringLiteral("designer.prn"));
        setPort("WriteToFile", designerOut.toLocal8Bit());
    }
    void TearDown() override
    {
        PrintState() = DesignerPrintState {};
        DesignerTest::TearDown();
    }

    void setPort(const char* key, const QByteArray& value)
    {
        RegistryStore store(QDir(home.path()).filePath(QStringLiteral("registry.ini")));
        store.setValue(PortsKey, key, value);
        ASSERT_TRUE(store.save());
        if (form->registry())
            form->registry()->reload();
    }

    /// Prints the label from the designer with the dialog's numbers, to the write-to-file target.
    QByteArray printFromDesigner(const QString& path, const QString& count, const QString& copies,
        const QString& quantityField = QString())
    {
        QFile::remove(designerOut);
        TChildForm* child = form->openLabel(path);
        EXPECT_NE(child, nullptr);
        if (!child)
            return {};
        prompts.onDialog = [&](QDialog* d) {
            auto* dialog = qobject_cast<TPrintForm*>(d);
            if (!dialog)
                return false;
            dialog->findChild<QLineEdit*>(QStringLiteral("edN"))->setText(count);
            auto* same = dialog->findChild<QLineEdit*>(QStringLiteral("edSame"));
            if (same->isEnabled())
                same->setText(copies);
            if (!quantityField.isEmpty())
                dialog->chooseQuantityField(quantityField);
            dialog->findChild<QCheckBox*>(QStringLiteral("CheckBoxFile"))->setChecked(true);
            return true;
        };
        EXPECT_EQ(child->dispatch(Command::Print, 1), 1);
        for (const auto& m : prompts.messages)
            ADD_FAILURE() << "told: " << m.text.toStdString();
        return readFile(designerOut);
    }

    QByteArray printFromCli(const QString& path, const QStringList& options)
    {
        const QString out = QDir(home.path()).filePath(QStringLiteral("cli.prn"));
        const CliRun r = RunCli(QStringList { QStringLiteral("print"), path, QStringLiteral("-o"), out } + options);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return readFile(out);
    }

    QString csv;
    QString designerOut;
};

TEST_F(PrintFromDesigner, PlainJobEqualsTheCliByteForByte)
{
    const QString path = writeLabel(QDir(home.path()).filePath(QStringLiteral("plain.kvl")));
    const QByteArray designer = printFromDesigner(path, QStringLiteral("7"), QStringLiteral("1"));
    ASSERT_FALSE(designer.isEmpty());
    EXPECT_EQ(designer, printFromCli(path, { QStringLiteral("--count"), QStringLiteral("7") }));
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text.toStdString();
    // The numbers are remembered for the window (a quick print takes them again).
    EXPECT_EQ(PrintState().numbers.get(0).count, 7);
}

TEST_F(PrintFromDesigner, VariableJobEqualsTheCliByteForByte)
{
    const QString path = writeLabel(QDir(home.path()).filePath(QStringLiteral("variable.kvl")), csv);
    const QByteArray designer = printFromDesigner(path, QStringLiteral("5"), QStringLiteral("2"));
    ASSERT_FALSE(designer.isEmpty());
    EXPECT_EQ(designer,
        printFromCli(path, { QStringLiteral("--count"), QStringLiteral("5"), QStringLiteral("--copies"),
                               QStringLiteral("2") }));
}

TEST_F(PrintFromDesigner, QuantityFromFieldJobEqualsTheCliByteForByte)
{
    const QString path = writeLabel(QDir(home.path()).filePath(QStringLiteral("quantity.kvl")), csv);
    const QByteArray designer = printFromDesigner(path, QStringLiteral("6"), QStringLiteral("1"), QStringLiteral("QTY"));
    ASSERT_FALSE(designer.isEmpty());
    EXPECT_TRUE(PrintState().quantityFromField);
    EXPECT_EQ(designer,
        printFromCli(path, { QStringLiteral("--count"), QStringLiteral("6"), QStringLiteral("--quantity-field"),
                               QStringLiteral("QTY") }));

    // A quick print reuses the stored numbers and flags: the same stream again.
    QFile::remove(designerOut);
    TChildForm* child = form->activeChild();
    ASSERT_NE(child, nullptr);
    const int dialogs = prompts.dialogsRun;
    EXPECT_EQ(child->dispatch(Command::Print, 0), 1);
    EXPECT_EQ(prompts.dialogsRun, dialogs);
    EXPECT_EQ(readFile(designerOut), designer);
}

TEST_F(PrintFromDesigner, NothingToPrintTellsWhyAndSendsNothing)
{
    TChildForm* child = form->openLabel(label(QStringLiteral("empty.kvl")));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->dispatch(Command::Print, 1), 0);
    EXPECT_EQ(prompts.dialogsRun, 0) << "no objects: the dialog does not open";
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_FALSE(QFile::exists(designerOut));
}

TEST_F(PrintFromDesigner, CancelStopsAJobAStalledPrinterHoldsAndClosesThePort)
{
    // A printer that takes the connection and never reads: the job stalls in the port write.
    QTcpServer printer;
    ASSERT_TRUE(printer.listen(QHostAddress::LocalHost, 0));
    // The kernel completes the connection; nobody takes it from the queue, nobody reads.
    printer.pauseAccepting();
    setPort("Printer", "tcp:127.0.0.1:" + QByteArray::number(printer.serverPort()));
    QByteArray rows = "NAME\tQTY\n";
    for (int i = 1; i <= 2000; ++i)
        rows += "N" + QByteArray::number(i) + "\t1\n";
    ASSERT_TRUE(writeFile(csv, rows));
    const QString path = writeLabel(QDir(home.path()).filePath(QStringLiteral("stalled.kvl")), csv);
    TChildForm* child = form->openLabel(path);
    ASSERT_NE(child, nullptr);
    prompts.onDialog = [](QDialog* d) {
        auto* dialog = qobject_cast<TPrintForm*>(d);
        if (!dialog)
            return false;
        dialog->findChild<QLineEdit*>(QStringLiteral("edN"))->setText(QStringLiteral("2000"));
        dialog->findChild<QCheckBox*>(QStringLiteral("CheckBoxVerify"))->setChecked(false);
        return true;
    };

    JobOutcome outcome = JobOutcome::Completed;
    bool portLeftOpen = true;
    std::int64_t sent = -1;
    qint64 bytes = 0;
    bool progressShown = false;
    QElapsedTimer sinceCancel;
    qint64 stopMs = -1;
    PrintState().onJobStarted = [&](PrintJobRunner& runner) {
        QObject::connect(&runner, &PrintJobRunner::finished, [&] {
            stopMs = sinceCancel.isValid() ? sinceCancel.elapsed() : -1;
            outcome = runner.result().outcome;
            sent = runner.result().labelsSent;
            portLeftOpen = runner.portLeftOpen();
        });
        // Cancel once the printer has stopped taking bytes, from the progress dialog.
        auto* poll = new QTimer(&runner);
        QObject::connect(poll, &QTimer::timeout, [&, poll] {
            const JobFigures f = runner.figures();
            if (f.bytes == bytes && f.bytes > 0) {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* progress = qobject_cast<TPrintProgressForm*>(w); progress && progress->isVisible()) {
                        progressShown = true;
                        sinceCancel.start();
                        progress->findChild<QPushButton*>(QStringLiteral("BitBtnCancel"))->click();
                        poll->stop();
                    }
            }
            bytes = f.bytes;
        });
        poll->start(300);
    };
    EXPECT_EQ(child->dispatch(Command::Print, 1), 0);
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(outcome, JobOutcome::Cancelled);
    EXPECT_GT(sent, 0);
    EXPECT_LT(sent, 2000);
    EXPECT_FALSE(portLeftOpen);
    EXPECT_GE(stopMs, 0);
    RecordProperty("cancelToStopMs", int(stopMs));
    EXPECT_TRUE(prompts.messages.empty()) << "a cancel the user asked for is not an error";
    // The printer sees the connection closed.
    printer.resumeAccepting();
    ASSERT_TRUE(printer.hasPendingConnections() || printer.waitForNewConnection(2000));
    QTcpSocket* connection = printer.nextPendingConnection();
    ASSERT_NE(connection, nullptr);
    connection->readAll();
    EXPECT_TRUE(connection->state() == QAbstractSocket::UnconnectedState || connection->waitForDisconnected(5000));
}

TEST_F(PrintFromDesigner, ABarcodeThatDoesNotReadBackAsksBeforeSending)
{
    // A Code 128 running off the right edge of a 60 mm label.
    const QString path = WriteBarcodeLabel(QDir(home.path()).filePath(QStringLiteral("edge.kvl")), 200);
    TChildForm* child = form->openLabel(path);
    ASSERT_NE(child, nullptr);
    prompts.onDialog = [](QDialog* d) {
        auto* dialog = qobject_cast<TPrintForm*>(d);
        if (dialog)
            dialog->findChild<QCheckBox*>(QStringLiteral("CheckBoxFile"))->setChecked(true);
        return dialog != nullptr;
    };
    QFile::remove(designerOut);
    prompts.answers = { UserPrompts::Answer::No };
    EXPECT_EQ(child->dispatch(Command::Print, 1), 0);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_TRUE(prompts.questions[0].text.contains(QStringLiteral("Parcel")));
    EXPECT_TRUE(prompts.questions[0].text.contains(QStringLiteral("超出标签边缘")));
    EXPECT_FALSE(QFile::exists(designerOut)) << "nothing sent";

    prompts.answers = { UserPrompts::Answer::Yes }; // "Print anyway"
    EXPECT_EQ(child->dispatch(Command::Print, 1), 1);
    EXPECT_FALSE(readFile(designerOut).isEmpty());
}

TEST(PrintProgressFigures, RateAndTimeLeftFollowTheLabelsSent)
{
    JobFigures f;
    f.labelsSent = 0;
    f.labelsTotal = 100;
    f.elapsedMs = 1000;
    EXPECT_EQ(f.rate(), 0.0);
    EXPECT_EQ(f.secondsLeft(), -1);
    f.labelsSent = 25;
    EXPECT_DOUBLE_EQ(f.rate(), 25.0);
    EXPECT_EQ(f.secondsLeft(), 3);
    f.bytes = 20480;
    const QStringList t = TPrintProgressForm::FigureTexts(f);
    EXPECT_EQ(t[0], QStringLiteral("25 / 100"));
    EXPECT_EQ(t[1], QStringLiteral("20 KB"));
    EXPECT_EQ(t[3], QStringLiteral("0:00:03"));
}

} // namespace
