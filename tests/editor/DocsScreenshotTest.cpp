#include "DataTestSupport.h"

#include "editor/data/DataSourceForm.h"

#include <QDockWidget>
#include <QTabWidget>
#include <QTreeWidget>

namespace korvel::test {
namespace {

// Makes the screenshots of docs/ (the data-source panel with a bound label, and the pages of
// the data-source dialog): KORVEL_SHOTS=<folder> editor_tests --gtest_filter='*Screenshots'.
// Skipped in the test run.
TEST_F(DesignerTest, DataSourceScreenshots)
{
    const QString out = qEnvironmentVariable("KORVEL_SHOTS");
    if (out.isEmpty())
        GTEST_SKIP();
    const QString csvPath = QDir(home.path()).filePath(QStringLiteral("parcels.csv"));
    ASSERT_TRUE(writeFile(csvPath, QStringLiteral("Barcode,Town,Weight\n590123412345,北京,12\n590123412352,Oslo,7\n590123412369,Lyon,3\n").toUtf8()));
    form->resize(1100, 700);
    TChildForm* child = form->newEmptyLabel(TPageRecord::defaultRecord());
    prompts.onDialog = onOk<TDataSourceForm>([&](TDataSourceForm& d) {
        d.chooseFile(DataFileType::Text, csvPath);
        d.setTextOptions(TextSeparator::Comma, QString(), true);
    });
    ASSERT_EQ(form->sendCommand(Command::SetDatabase), 1);
    form->sendCommand(Command::AddVariable, 1);
    form->sendCommand(Command::AddVariable, 3);
    LabelDocument& doc = child->document();
    auto* text = addBoundText(doc, VariableKind::Database, "Town");
    text->SetFontSizePt(16);
    text->setGeometry(QRect(40, 30, 200, 40));
    auto* bar = addBoundBarcode(doc, VariableKind::Database, "Barcode");
    bar->SetBarCodeType(TBarCodeType::bcCodeEAN13);
    bar->setGeometry(QRect(40, 90, 220, 90));
    auto* date = addBoundText(doc, VariableKind::Date, "Date1");
    date->SetFontSizePt(12);
    date->setGeometry(QRect(40, 200, 200, 30));
    form->dataSourcePanel()->show();
    form->sendCommand(Command::MoveRecord, 2);
    auto* tree = qobject_cast<QTreeWidget*>(form->dataSourcePanel()->widget());
    tree->expandAll();
    ProcessEvents();
    form->grab().save(out + QStringLiteral("/designer-data-panel.png"));

    TDataSourceForm dialog(doc.database, false);
    dialog.findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(1);
    dialog.show();
    ProcessEvents();
    dialog.grab().save(out + QStringLiteral("/data-source-dialog-fields.png"));
    dialog.findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(5);
    ProcessEvents();
    dialog.grab().save(out + QStringLiteral("/data-source-dialog-result.png"));
    dialog.findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(0);
    ProcessEvents();
    dialog.grab().save(out + QStringLiteral("/data-source-dialog-source.png"));
}

} // namespace
} // namespace korvel::test
