// The print dialog's three layouts and its edits, and the printer settings dialog as a view
// on the document's profile: OK writes the three copies and the settings files, Cancel
// changes and marks nothing.

#include "editor/EditorTestSupport.h"

#include "document/OALabel.h"
#include "editor/printing/DesignerPrint.h"
#include "editor/printing/PrintForm.h"
#include "editor/printing/PrinterSetForm.h"
#include "persistence/SystemSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace korvel;
using namespace korvel::test;

namespace {

template <class T> T* child(QWidget* w, const char* name)
{
    T* c = w->findChild<T*>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

PrintFormInput input(bool variables, bool database)
{
    PrintFormInput in;
    in.hasVariables = variables;
    in.hasDatabase = database;
    in.numbers.count = 4;
    in.numbers.copies = 3;
    return in;
}

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    emit edit->textEdited(text);
}

} // namespace

TEST(PrintDialog, ThreeLayoutsByTheDocument)
{
    TPrintForm plain(input(false, false));
    EXPECT_EQ(plain.state().layout, PrintDialogLayout::CountOnly);
    EXPECT_FALSE(child<QLineEdit>(&plain, "edSame")->isVisibleTo(&plain));
    EXPECT_FALSE(child<QLineEdit>(&plain, "edS")->isVisibleTo(&plain));
    EXPECT_FALSE(child<QLabel>(&plain, "AllNumber")->isVisibleTo(&plain));
    EXPECT_EQ(child<QLineEdit>(&plain, "edN")->text(), QStringLiteral("4"));
    EXPECT_FALSE(child<QCheckBox>(&plain, "CheckBoxFile")->isChecked());

    TPrintForm variables(input(true, false));
    EXPECT_EQ(variables.state().layout, PrintDialogLayout::Variables);
    EXPECT_TRUE(child<QLineEdit>(&variables, "edSame")->isVisibleTo(&variables));
    EXPECT_TRUE(child<QLineEdit>(&variables, "edSame")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(&variables, "edSame")->text(), QStringLiteral("3"));
    EXPECT_EQ(child<QLabel>(&variables, "AllNumber")->text(), QStringLiteral("12"));
    EXPECT_FALSE(child<QPushButton>(&variables, "BtnSeekRecord")->isVisibleTo(&variables));

    TPrintForm database(input(true, true));
    EXPECT_EQ(database.state().layout, PrintDialogLayout::Database);
    EXPECT_TRUE(child<QLineEdit>(&database, "edS")->isVisibleTo(&database));
    EXPECT_TRUE(child<QPushButton>(&database, "BtnSeekRecord")->isVisibleTo(&database));
    EXPECT_TRUE(child<QPushButton>(&database, "BtnSameNumber")->isVisibleTo(&database));
    EXPECT_EQ(child<QLineEdit>(&database, "edSame")->text(), QStringLiteral("1")) << "reset in the database case";
    EXPECT_FALSE(child<QPushButton>(&database, "BtnDisconnect")->isEnabled());
}

TEST(PrintDialog, EditsAreSanitisedAndTheTotalFollows)
{
    TPrintForm dialog(input(true, false));
    QLineEdit* n = child<QLineEdit>(&dialog, "edN");
    QLineEdit* same = child<QLineEdit>(&dialog, "edSame");
    QLabel* total = child<QLabel>(&dialog, "AllNumber");
    typeInto(n, QStringLiteral("-5"));
    EXPECT_EQ(n->text(), QStringLiteral("1"));
    typeInto(n, QStringLiteral("abc"));
    EXPECT_EQ(n->text(), QStringLiteral("1"));
    typeInto(n, QStringLiteral("250"));
    typeInto(same, QStringLiteral("4"));
    EXPECT_EQ(total->text(), QStringLiteral("1000"));
    typeInto(same, QStringLiteral("100000"));
    EXPECT_EQ(same->text(), QStringLiteral("1")) << "copies above 99999";
    EXPECT_EQ(total->text(), QStringLiteral("250"));

    // A quantity field replaces the copies; "断开..." brings them back with 1.
    dialog.chooseQuantityField(QStringLiteral("QTY"));
    EXPECT_FALSE(same->isEnabled());
    EXPECT_FALSE(total->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.quantityField(), QStringLiteral("QTY"));
    EXPECT_FALSE(dialog.fields().copiesEnabled);
    dialog.disconnectQuantityField();
    EXPECT_TRUE(same->isEnabled());
    EXPECT_EQ(same->text(), QStringLiteral("1"));
    EXPECT_EQ(dialog.quantityField(), QStringLiteral("QTY")) << "the name stays in its edit";
    dialog.seekRecord(7);
    EXPECT_EQ(dialog.fields().start, QStringLiteral("7"));
    EXPECT_FALSE(child<QLineEdit>(&dialog, "edS")->isEnabled());
}

namespace {

class PrinterSettingsDialog : public DesignerTest {
protected:
    TChildForm* open()
    {
        TChildForm* c = form->openLabel(label(QStringLiteral("p.kvl")));
        EXPECT_NE(c, nullptr);
        return c;
    }
};

} // namespace

TEST_F(PrinterSettingsDialog, CancelChangesAndMarksNothing)
{
    TChildForm* c = open();
    ASSERT_NE(c, nullptr);
    c->document().printerModel = 3; // an unknown model gets the defaults in the dialog only
    c->document().printer.ComPort = 8;
    c->document().printer.BaudRate = 9600;
    c->document().modified = false;
    const TPrinterSetting before = c->document().printer;
    const SystemSettings settingsBefore = form->settings();
    prompts.onDialog = [](QDialog* d) {
        auto* dialog = qobject_cast<TFormPrinterSet*>(d);
        EXPECT_NE(dialog, nullptr);
        if (dialog)
            child<QComboBox>(dialog, "cbFeedType")->setCurrentIndex(0);
        return false;
    };
    EXPECT_EQ(c->dispatch(Command::PrinterSettings), 0);
    EXPECT_EQ(prompts.dialogsRun, 1);
    EXPECT_EQ(c->document().printer, before);
    EXPECT_EQ(c->document().printerModel, 3);
    EXPECT_FALSE(c->document().modified);
    EXPECT_EQ(form->settings().current, settingsBefore.current);
}

TEST_F(PrinterSettingsDialog, OkWritesTheDocumentTheSettingsAndTheFiles)
{
    TChildForm* c = open();
    ASSERT_NE(c, nullptr);
    c->document().modified = false;
    prompts.onDialog = [](QDialog* d) {
        auto* dialog = qobject_cast<TFormPrinterSet*>(d);
        if (!dialog)
            return false;
        EXPECT_FALSE(child<QComboBox>(dialog, "cbPrintDPI")->isEnabled()) << "model 1 prints at 203 dpi";
        child<QRadioButton>(dialog, "rdCOMPort")->click();
        child<QComboBox>(dialog, "cbComPort")->setCurrentIndex(2);
        child<QComboBox>(dialog, "cbComDevice")->setEditText(QStringLiteral("/dev/ttyUSB0"));
        child<QComboBox>(dialog, "cbBaudRate")->setCurrentIndex(3);
        child<QComboBox>(dialog, "cbThickness")->setCurrentIndex(24);
        // Letter keys: "X" focuses the feed box, "L" checks the parallel radio, "C" serial again.
        QKeyEvent x(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(child<QComboBox>(dialog, "cbThickness"), &x);
        QKeyEvent l(QEvent::KeyPress, Qt::Key_L, Qt::NoModifier, QStringLiteral("l"));
        QApplication::sendEvent(child<QComboBox>(dialog, "cbThickness"), &l);
        EXPECT_TRUE(child<QRadioButton>(dialog, "rdLPTPort")->isChecked());
        QKeyEvent cKey(QEvent::KeyPress, Qt::Key_C, Qt::NoModifier, QStringLiteral("c"));
        QApplication::sendEvent(child<QComboBox>(dialog, "cbThickness"), &cKey);
        EXPECT_TRUE(child<QRadioButton>(dialog, "rdCOMPort")->isChecked());
        child<QComboBox>(dialog, "cbFeedType")->setCurrentIndex(3);
        emit child<QComboBox>(dialog, "cbFeedType")->activated(3);
        EXPECT_FALSE(child<QDoubleSpinBox>(dialog, "seOutDistance")->isEnabled());
        dialog->accept();
        return dialog->result() == QDialog::Accepted;
    };
    EXPECT_EQ(c->dispatch(Command::PrinterSettings), 1);
    const TPrinterSetting& p = c->document().printer;
    EXPECT_EQ(p.ComPort, 7);
    EXPECT_EQ(p.BaudRate, 9600);
    EXPECT_EQ(p.PrintThickness, 24);
    EXPECT_EQ(p.FeedType, 3);
    EXPECT_TRUE(c->document().modified);
    EXPECT_EQ(form->settings().current, p);
    EXPECT_EQ(form->settings().profile(1), p);
    EXPECT_NE(form->statusPanel(2)->text().indexOf(QStringLiteral("COM3")), -1);

    // Label.dat and Printer.ini hold the new profile at once; the device map is in registry.ini.
    SystemSettings read = DefaultSystemSettings();
    ASSERT_TRUE(LoadSystemSettings(home.path(), nullptr, read).ok);
    EXPECT_EQ(read.current.ComPort, 7);
    EXPECT_EQ(read.current.PrintThickness, 24);
    EXPECT_TRUE(readFile(QDir(home.path()).filePath(QStringLiteral("registry.ini"))).contains("/dev/ttyUSB0"));
}
