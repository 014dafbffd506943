#include "EditorTestSupport.h"

#include "editor/PageLayoutDialogs.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

namespace korvel::test {
namespace {

QDoubleSpinBox* length(QDialog& d, const char* name)
{
    return d.findChild<QDoubleSpinBox*>(QLatin1String(name));
}
QSpinBox* count(QDialog& d, const char* name)
{
    return d.findChild<QSpinBox*>(QLatin1String(name));
}

TPageRecord grid(int width, int height, int columns, int rows, int space, int interval, bool autoSize)
{
    TPageRecord p;
    p.AutoSize = autoSize ? 1 : 0;
    p.LabelWidth = static_cast<std::uint16_t>(width);
    p.LabelHeight = static_cast<std::uint16_t>(height);
    p.LabelColumn = static_cast<std::uint16_t>(columns);
    p.LabelRow = static_cast<std::uint16_t>(rows);
    p.LabelSpace = static_cast<std::uint16_t>(space);
    p.LabelInterval = static_cast<std::uint16_t>(interval);
    p.PaperWidth = 1000;
    p.PaperHeight = 1000;
    return p;
}

TEST(NewLabelDialog, AutomaticPageSizeFollowsTheGrid)
{
    TNewForm d(grid(500, 300, 1, 1, 0, 0, true), QString());
    length(d, "EditLabelWidth")->setValue(30.0);
    length(d, "EditLabelSpace")->setValue(2.0);
    count(d, "EditColumns")->setValue(3);
    length(d, "EditLabelHeight")->setValue(20.0);
    length(d, "EditLabelInterval")->setValue(3.0);
    count(d, "EditRows")->setValue(2);
    const TPageRecord p = d.page();
    EXPECT_EQ(p.PaperWidth, 940); // 3 x 30.0 + 2 x 2.0
    EXPECT_EQ(p.PaperHeight, 460); // 2 x (20.0 + 3.0)
    EXPECT_EQ(length(d, "EditPaperWidth")->value(), 94.0);
    EXPECT_FALSE(length(d, "EditPaperWidth")->isEnabled());
    EXPECT_TRUE(d.okButton()->isEnabled());

    // Switching the automatic size off hands the paper fields back to the user.
    d.findChild<QCheckBox*>(QStringLiteral("CheckBoxAutoSize"))->setChecked(false);
    EXPECT_TRUE(length(d, "EditPaperWidth")->isEnabled());
    length(d, "EditPaperWidth")->setValue(50.0);
    EXPECT_EQ(d.page().PaperWidth, 500);
    EXPECT_FALSE(d.okButton()->isEnabled()); // three 30 mm labels do not fit on 50 mm
    EXPECT_FALSE(d.message()->text().isEmpty());
}

TEST(NewLabelDialog, AZeroSizeStartsFromEightyMillimetres)
{
    TPageRecord p = grid(0, 300, 1, 1, 0, 0, false);
    TNewForm d(p, QString());
    EXPECT_EQ(d.page().LabelWidth, 800);
    EXPECT_EQ(d.page().LabelHeight, 800);
    EXPECT_EQ(d.page().PaperWidth, 800);
    EXPECT_EQ(d.page().PaperHeight, 800);
    EXPECT_EQ(d.tabs()->currentWidget()->objectName(), QStringLiteral("TabSheetLabel"));
}

TEST(NewLabelDialog, LengthsAreStoredInTenthsRounded)
{
    TNewForm d(grid(500, 300, 1, 1, 0, 0, false), QString());
    length(d, "EditLabelWidth")->setValue(42.35); // shown with one decimal
    EXPECT_EQ(d.page().LabelWidth, 424); // 42.4 after the field's own rounding
    length(d, "EditLabelWidth")->setValue(500.0); // beyond the range: the bound
    EXPECT_EQ(d.page().LabelWidth, 1100);
    EXPECT_EQ(d.page().PaperRightMargin, 0);
    EXPECT_EQ(d.page().PaperBottomMargin, 0);
}

TEST(NewLabelDialog, TheWideGridIsNotCappedButDoesNotFit)
{
    // Pre-filled only with a layout it takes; a grid typed wider is shown as it is.
    TNewForm d(grid(190, 300, 1, 1, 0, 0, true), QString());
    count(d, "EditColumns")->setValue(10);
    EXPECT_EQ(d.page().PaperWidth, 1900);
    EXPECT_FALSE(d.okButton()->isEnabled()); // cells beyond 110 mm are outlined red
}

TEST(PageSetupDialog, TheAutomaticWidthIsCappedAndTheLastCellsAreRefused)
{
    TPageSetupForm d(grid(190, 300, 10, 1, 0, 0, true));
    EXPECT_EQ(d.page().PaperWidth, 1100);
    EXPECT_FALSE(d.preview()->fits());
    EXPECT_FALSE(d.okButton()->isEnabled());
    EXPECT_EQ(d.message()->text(),
        LookupText(QStringLiteral("NewFormInside"), QStringLiteral("message1"), QStringLiteral("error")));
    count(d, "EditColumns")->setValue(5);
    EXPECT_EQ(d.page().PaperWidth, 950);
    EXPECT_TRUE(d.okButton()->isEnabled());
    EXPECT_TRUE(d.message()->text().isEmpty());
}

TEST(PageSetupDialog, ConfirmingClearsTheFirstReservedByteOnly)
{
    TPageRecord p = grid(500, 300, 1, 1, 0, 20, true);
    p.head[0] = 7;
    p.head[5] = 9;
    TPageSetupForm d(p);
    EXPECT_EQ(d.page().head[0], 0);
    EXPECT_EQ(d.page().head[5], 9);
}

TEST(NewLabelDialog, TheSampleTabListsLabelsAndProbesThem)
{
    QTemporaryDir samples;
    WriteTestLabel(samples.filePath(QStringLiteral("Shelf.kvl")), 450, 250);
    writeFile(samples.filePath(QStringLiteral("Broken.kvl")), QByteArray(64, '\0'));
    writeFile(samples.filePath(QStringLiteral("notes.txt")), "x");
    TNewForm d(TPageRecord::defaultRecord(), samples.path(), false);
    EXPECT_EQ(d.tabs()->currentIndex(), 2);
    ASSERT_EQ(d.samples()->count(), 2);
    EXPECT_EQ(d.samples()->item(0)->text(), QStringLiteral("Broken"));
    EXPECT_EQ(d.samples()->item(1)->text(), QStringLiteral("Shelf"));

    d.samples()->setCurrentRow(0);
    EXPECT_EQ(d.sampleInfo()->text(), QStringLiteral("非V3.0格式文件"));
    EXPECT_FALSE(d.okButton()->isEnabled());
    EXPECT_FALSE(d.sampleChosen());

    d.samples()->setCurrentRow(1);
    EXPECT_TRUE(d.okButton()->isEnabled());
    EXPECT_TRUE(d.sampleChosen());
    EXPECT_EQ(d.samplePath(), samples.filePath(QStringLiteral("Shelf.kvl")));
    EXPECT_TRUE(d.sampleInfo()->text().contains(QStringLiteral("45.0")));

    // Back on a layout tab OK depends on the fields again, and no sample is chosen.
    d.tabs()->setCurrentIndex(1);
    EXPECT_FALSE(d.sampleChosen());
    EXPECT_TRUE(d.okButton()->isEnabled());
}

} // namespace
} // namespace korvel::test
