// The designer's frame as a new user meets it: hand-overs from later starts, settings that
// reach the disk as they change, the new-label dialog over a wide label, the panels, help
// from a dialog, Qt's own texts in the chosen language and the window arrangement.
#include "EditorTestSupport.h"

#include "editor/HelpWindow.h"
#include "editor/PageLayoutDialogs.h"
#include "editor/QtTranslations.h"
#include "editor/SingleInstance.h"
#include "editor/WindowArrangement.h"
#include "persistence/RegistryStore.h"
#include "persistence/SystemSettings.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QUuid>

namespace korvel::test {
namespace {

/// Runs the event loop in rounds of 10 ms until the condition holds, at most the given
/// number of rounds.
bool runUntil(const std::function<bool()>& done, int rounds = 400)
{
    for (int i = 0; i < rounds && !done(); ++i) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return done();
}

/// Lets everything that is under way finish (timers of a few hundred milliseconds included).
void settle()
{
    runUntil([] { return false; }, 40);
}

/// Message boxes that run their own event loop while they are open, as the real ones do: the
/// hand-over's socket is closed and deleted while the box is up.
class BoxPrompts : public FakePrompts {
public:
    void message(QWidget* parent, const QString& title, const QString& text, Icon icon) override
    {
        FakePrompts::message(parent, title, text, icon);
        QEventLoop loop;
        QTimer::singleShot(30, &loop, &QEventLoop::quit);
        loop.exec();
    }
};

class HandOverTest : public DesignerTest {
protected:
    void SetUp() override
    {
        DesignerTest::SetUp();
        SetPrompts(&boxes);
        name = QStringLiteral("korvel-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        ASSERT_TRUE(server.listen(name));
        // Wired as the designer's main() wires it.
        QObject::connect(&server, &InstanceServer::handOver, form.get(), &TMainForm::anotherInstance);
    }

    bool told(const QString& part) const
    {
        for (const auto& m : boxes.messages)
            if (m.text.contains(part))
                return true;
        return false;
    }

    BoxPrompts boxes;
    InstanceServer server;
    QString name;
};

TEST_F(HandOverTest, EveryPathSurvivesAndIsTold)
{
    const QString damaged = QDir(home.path()).filePath(QStringLiteral("damaged.kvl"));
    writeFile(damaged, QByteArray("this is not a label file\n").repeated(20));
    const QString missing = QDir(home.path()).filePath(QStringLiteral("missing.kvl"));
    const QString a = label(QStringLiteral("a.kvl"));

    // A damaged file: the box is answered and the designer goes on.
    ASSERT_TRUE(HandOverToRunningInstance(name, damaged));
    ASSERT_TRUE(runUntil([&] { return boxes.messages.size() == 1; }));
    EXPECT_TRUE(told(damaged));
    EXPECT_TRUE(form->childForms().isEmpty());

    // A missing file is told, not ignored.
    ASSERT_TRUE(HandOverToRunningInstance(name, missing));
    ASSERT_TRUE(runUntil([&] { return boxes.messages.size() == 2; }));
    EXPECT_TRUE(told(QStringLiteral("%1不存在").arg(missing)));

    // A label, then the same label again: one window.
    ASSERT_TRUE(HandOverToRunningInstance(name, a));
    ASSERT_TRUE(runUntil([&] { return form->childForms().size() == 1; }));
    ASSERT_TRUE(HandOverToRunningInstance(name, a));
    settle();
    EXPECT_EQ(form->childForms().size(), 1);
    EXPECT_EQ(boxes.messages.size(), 2u);
}

TEST_F(HandOverTest, SeveralHandOversInQuickSuccessionAreOpenedInTurn)
{
    const QString damaged = QDir(home.path()).filePath(QStringLiteral("damaged.kvl"));
    writeFile(damaged, QByteArray(300, 'x'));
    const QString missing = QDir(home.path()).filePath(QStringLiteral("missing.kvl"));
    const QString a = label(QStringLiteral("a.kvl"));
    const QString b = label(QStringLiteral("b.kvl"));
    for (const QString& path : { damaged, a, missing, damaged, b, a })
        ASSERT_TRUE(HandOverToRunningInstance(name, path));
    ASSERT_TRUE(runUntil([&] { return boxes.messages.size() == 3 && form->childForms().size() == 2; }));
    settle();
    EXPECT_EQ(boxes.messages.size(), 3u);
    ASSERT_EQ(form->childForms().size(), 2);
    // The last hand-over named a: its window is the active one.
    EXPECT_EQ(form->activeChild()->windowTitle(), QStringLiteral("a"));
}

TEST_F(HandOverTest, AHandOverWaitsForAnOpenDialog)
{
    const QString a = label(QStringLiteral("a.kvl"));
    QDialog dialog(form.get());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    ASSERT_TRUE(HandOverToRunningInstance(name, a));
    settle();
    EXPECT_TRUE(form->childForms().isEmpty());
    dialog.reject();
    ASSERT_TRUE(runUntil([&] { return form->childForms().size() == 1; }));
    EXPECT_TRUE(boxes.messages.empty());
}

// ---- start ------------------------------------------------------------------------------

TEST_F(DesignerTest, AMissingLabelOnTheCommandLineIsToldAndTheStartGoesOn)
{
    const QString missing = QDir(home.path()).filePath(QStringLiteral("gone.kvl"));
    form->startUp({ QStringLiteral("korvel"), missing });
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("文件%1不存在").arg(missing));
    EXPECT_NE(form->startPage(), nullptr);
}

// ---- settings ---------------------------------------------------------------------------

SystemSettings onDisk(const QString& folder)
{
    SystemSettings stored;
    EXPECT_TRUE(LoadSystemSettings(folder, nullptr, stored).ok);
    return stored;
}

TEST_F(DesignerTest, AChangedSettingIsOnDiskBeforeExit)
{
    form->applyOptions(1, 1, 0, false);
    SystemSettings stored = onDisk(home.path());
    EXPECT_EQ(stored.languageIndex(), 1);
    EXPECT_EQ(stored.startOption(), 1);
    EXPECT_EQ(stored.drawingMode(), 0);
    EXPECT_FALSE(stored.showStartPage());

    // The new-label dialog's layout becomes the stored default at once.
    prompts.onDialog = [](QDialog* d) {
        auto* dialog = qobject_cast<TNewForm*>(d);
        dialog->findChild<QDoubleSpinBox*>(QStringLiteral("EditLabelWidth"))->setValue(42.5);
        return true;
    };
    ASSERT_NE(form->newLabel(), nullptr);
    EXPECT_EQ(onDisk(home.path()).defaultPage.LabelWidth, 425);

    // So does the window layout, shortly after it changed.
    const QString layout = QDir(home.path()).filePath(QStringLiteral("ToolbarPostion.ini"));
    const QByteArray before = readFile(layout);
    form->action(QStringLiteral("mnuViewArrange"))->setChecked(false);
    EXPECT_TRUE(runUntil([&] { return readFile(layout) != before && !readFile(layout).isEmpty(); }));

    // The formatting bar too: hidden, it stays hidden at the next start.
    const QByteArray withBar = readFile(layout);
    auto* format = form->findChild<QToolBar*>(QStringLiteral("ToolBarFormat"));
    ASSERT_NE(format, nullptr);
    format->hide();
    EXPECT_TRUE(runUntil([&] { return readFile(layout) != withBar; }));
    form.reset();
    form = std::make_unique<TMainForm>(home.path());
    ASSERT_TRUE(form->initialize());
    form->show();
    EXPECT_TRUE(form->findChild<QToolBar*>(QStringLiteral("ToolBarFormat"))->isHidden());
    EXPECT_TRUE(form->toolbar(2)->isHidden());
}

TEST_F(DesignerTest, AFolderThatCannotBeWrittenIsToldOnceNotAtEveryChange)
{
    QFile::remove(QDir(home.path()).filePath(QStringLiteral("Printer.ini")));
    QDir(home.path()).mkpath(QStringLiteral("Printer.ini/blocked"));
    form->applyOptions(1, 1, 0, false);
    form->applyOptions(0, 2, 1, true);
    EXPECT_EQ(prompts.messages.size(), 1u);
}

// ---- new label over a wide label --------------------------------------------------------

TEST_F(DesignerTest, NewWhileAWideLabelIsActiveStartsFromALayoutTheDialogTakes)
{
    // 3 across on a 195.5 mm page: wider than the dialog's fields allow.
    ASSERT_NE(form->openLabel(dataDir() + QStringLiteral("/Samples/Address-3-across.kvl")), nullptr);
    ASSERT_GT(form->activeChild()->document().page().PaperWidth, 1100);
    bool okEnabled = false;
    TPageRecord shown;
    prompts.onDialog = [&](QDialog* d) {
        auto* dialog = qobject_cast<TNewForm*>(d);
        okEnabled = dialog->okButton()->isEnabled();
        shown = dialog->page();
        return false;
    };
    form->newLabel();
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(shown.LabelWidth, TPageRecord::defaultRecord().LabelWidth);
    EXPECT_EQ(shown.LabelColumn, 1);
}

TEST(NewForm, PrefillsOnlyALayoutItTakes)
{
    TPageRecord narrow = TPageRecord::defaultRecord();
    narrow.LabelWidth = 400;
    narrow.LabelHeight = 300;
    narrow.LabelColumn = 2;
    narrow.LabelSpace = 20;
    narrow.applyAutoSize();
    TNewForm kept(narrow, QString());
    EXPECT_EQ(kept.page().LabelWidth, 400);
    EXPECT_EQ(kept.page().LabelColumn, 2);
    EXPECT_TRUE(kept.okButton()->isEnabled());

    // A fixed page wider than the field's 110 mm would be cut to 110 mm: not pre-filled.
    TPageRecord wide = narrow;
    wide.AutoSize = 0;
    wide.PaperWidth = 1500;
    TNewForm replaced(wide, QString());
    EXPECT_EQ(replaced.page().LabelWidth, TPageRecord::defaultRecord().LabelWidth);
    EXPECT_TRUE(replaced.okButton()->isEnabled());

    // A record without sizes keeps the dialog's own 80 x 80 mm start.
    TNewForm blank(TPageRecord {}, QString());
    EXPECT_EQ(blank.page().LabelWidth, 800);
    EXPECT_EQ(blank.page().LabelHeight, 800);
}

TEST(PagePreview, CaptionsStayInsideThePictureAndOffThePage)
{
    for (const QSize size : { QSize(260, 220), QSize(420, 300) }) {
        for (const auto& [w, h] : { std::pair { 1040, 1955 }, std::pair { 1955, 1040 }, std::pair { 100, 3900 } }) {
            TPagePreview preview;
            preview.resize(size);
            TPageRecord page;
            page.PaperWidth = static_cast<std::uint16_t>(w);
            page.PaperHeight = static_cast<std::uint16_t>(h);
            page.LabelWidth = 100;
            page.LabelHeight = 100;
            preview.setPage(page);
            const QRectF area = preview.pageRect();
            ASSERT_FALSE(area.isEmpty());
            const QFontMetricsF fm(preview.font());
            const double widthText = fm.horizontalAdvance(preview.widthCaption());
            const double heightText = fm.horizontalAdvance(preview.heightCaption());
            // The width caption under the page, centred on it; the height caption to its right.
            EXPECT_GE(area.center().x() - widthText / 2, 0) << w << "x" << h;
            EXPECT_LE(area.center().x() + widthText / 2, size.width()) << w << "x" << h;
            EXPECT_LE(area.bottom() + fm.height(), size.height()) << w << "x" << h;
            EXPECT_LE(area.right() + heightText, size.width()) << w << "x" << h;
            EXPECT_GE(area.left(), 0);
            EXPECT_GE(area.top(), 0);
        }
    }
}

// ---- panels, printer, status bar --------------------------------------------------------

TEST_F(DesignerTest, TheDataSourcePanelSurvivesMinimisingTheWindow)
{
    QAction* item = form->action(QStringLiteral("mnuViewDataSource"));
    item->setChecked(true);
    QDockWidget* panel = form->dataSourcePanel();
    ASSERT_TRUE(panel->isVisible());
    // Minimising reports the panel as not visible although nobody closed it.
    emit panel->visibilityChanged(false);
    EXPECT_TRUE(item->isChecked());
    EXPECT_FALSE(panel->isHidden());
    // Closing it does untick the item.
    panel->close();
    EXPECT_FALSE(item->isChecked());
}

TEST_F(DesignerTest, TheCurrentPrinterIsTickedAndTheStatusBarHasNoEmptyBoxes)
{
    EXPECT_TRUE(form->isModelButtonDown(1));
    // Without a label: the printer and its port, nothing else.
    EXPECT_TRUE(form->statusPanel(1)->isVisibleTo(form.get()));
    EXPECT_TRUE(form->statusPanel(2)->isVisibleTo(form.get()));
    for (int i : { 0, 3, 4, 5 })
        EXPECT_FALSE(form->statusPanel(i)->isVisibleTo(form.get())) << i;
    EXPECT_EQ(form->statusPanel(2)->text(), QStringLiteral("端口:COM1 (/dev/ttyS0)"));

    // The port panel names the device the [Ports] group leads COM1 to.
    RegistryStore store(QDir(home.path()).filePath(QStringLiteral("registry.ini")));
    store.setValue(QStringLiteral("Ports"), "Com1", "/dev/ttyUSB3");
    ASSERT_TRUE(store.save());
    form->registry()->reload();
    form->openLabel(label(QStringLiteral("a.kvl")));
    EXPECT_EQ(form->statusPanel(2)->text(), QStringLiteral("端口:COM1 (/dev/ttyUSB3)"));
    // A network printer replaces every label's port, and the panel says so.
    store.setValue(QStringLiteral("Ports"), "Printer", "tcp:printer.local:9100");
    ASSERT_TRUE(store.save());
    form->registry()->reload();
    form->openLabel(label(QStringLiteral("b.kvl")));
    EXPECT_EQ(form->statusPanel(2)->text(), QStringLiteral("端口:tcp:printer.local:9100"));
    for (int i : { 0, 1, 2, 3 })
        EXPECT_TRUE(form->statusPanel(i)->isVisibleTo(form.get())) << i;
    for (int i : { 4, 5 })
        EXPECT_FALSE(form->statusPanel(i)->isVisibleTo(form.get())) << i;
}

// ---- help from a dialog -----------------------------------------------------------------

TEST_F(DesignerTest, HelpFromAModalDialogComesUpInFrontAndOutlivesTheDialog)
{
    SetCurrentLanguage(1);
    QDialog dialog(form.get());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    QTextBrowser* help = ShowHelpTopic(HelpTopic::Options);
    ASSERT_NE(help, nullptr);
    // A window of the dialog is not blocked by it and stands in front of it.
    EXPECT_EQ(help->parentWidget(), &dialog);
    EXPECT_TRUE(help->isWindow());
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Korvel Help"));
    dialog.accept();
    ProcessEvents();
    ASSERT_EQ(CurrentHelpWindow(), help);
    EXPECT_EQ(help->parentWidget(), nullptr);
    EXPECT_TRUE(help->isVisible());
    help->close();
    ProcessEvents();
}

// ---- Qt's own texts ---------------------------------------------------------------------

TEST_F(DesignerTest, QtsOwnButtonsFollowTheLanguage)
{
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    if (!UseQtTranslations(0))
        GTEST_SKIP() << "Qt's translations are not installed";
    EXPECT_EQ(cancel(), QStringLiteral("取消"));
    form->applyOptions(1, 2, 1, true);
    EXPECT_EQ(cancel(), QStringLiteral("Cancel"));
    form->applyOptions(2, 2, 1, true);
    EXPECT_NE(cancel(), QStringLiteral("Cancel"));
    form->applyOptions(0, 2, 1, true);
    EXPECT_EQ(cancel(), QStringLiteral("取消"));
    EXPECT_EQ(QtTranslationLocale(1), QString());
    EXPECT_EQ(QtTranslationLocale(3), QStringLiteral("zh_TW"));
}

// ---- window arrangement -----------------------------------------------------------------

TEST(WindowArrangement, ACascadeStaysInsideTheArea)
{
    for (const QSize area : { QSize(900, 600), QSize(400, 300), QSize(200, 150) }) {
        for (int count : { 1, 3, 8, 25 }) {
            const QList<QRect> rects = CascadeGeometry(area, count, 30);
            ASSERT_EQ(rects.size(), count);
            for (const QRect& r : rects) {
                EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(r)) << area.width() << " " << count;
                EXPECT_EQ(r.size(), rects.first().size());
            }
            if (count > 1) {
                EXPECT_EQ(rects[1].topLeft() - rects[0].topLeft(), area.width() >= 400 ? QPoint(30, 30) : QPoint(0, 0));
            }
        }
    }
}

TEST(WindowArrangement, TilesCoverTheAreaWithoutOverlap)
{
    const QSize area(901, 600);
    for (Qt::Orientation o : { Qt::Horizontal, Qt::Vertical }) {
        const QList<QRect> rects = TileGeometry(area, 4, o);
        ASSERT_EQ(rects.size(), 4);
        int covered = 0;
        for (int i = 0; i < 4; ++i) {
            covered += rects[i].width() * rects[i].height();
            for (int j = i + 1; j < 4; ++j)
                EXPECT_FALSE(rects[i].intersects(rects[j]));
        }
        EXPECT_EQ(covered, area.width() * area.height());
    }
}

TEST_F(DesignerTest, CascadingManyWindowsKeepsThemInTheWorkspace)
{
    for (int i = 0; i < 12; ++i)
        form->openLabel(label(QStringLiteral("w%1.kvl").arg(i)));
    form->action(QStringLiteral("mnuCascade"))->trigger();
    const QRect area(QPoint(0, 0), form->mdiArea()->viewport()->size());
    for (TChildForm* child : form->childForms())
        EXPECT_TRUE(area.contains(child->parentWidget()->geometry())) << child->windowTitle().toStdString();
}

} // namespace
} // namespace korvel::test
