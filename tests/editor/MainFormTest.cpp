#include "EditorTestSupport.h"

#include "document/OARectangle.h"
#include "editor/FirstForm.h"
#include "editor/OAWorkSpace.h"
#include "editor/PageLayoutDialogs.h"
#include "persistence/RecentFileList.h"
#include "persistence/RegistryStore.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

namespace korvel::test {
namespace {

using Answer = UserPrompts::Answer;

QStringList recentPaths(TMainForm& form)
{
    return form.recentFiles()->GetFileList();
}

// ---- start-up ---------------------------------------------------------------------------

TEST_F(DesignerTest, StartWithALabelPathOpensThatLabelOnly)
{
    form->startUp({ QStringLiteral("korvel"), starter() });
    ASSERT_EQ(form->childForms().size(), 1);
    TChildForm* child = form->activeChild();
    EXPECT_EQ(child->windowTitle(), QStringLiteral("Starter"));
    EXPECT_FALSE(child->document().untitled);
    EXPECT_EQ(form->startPage(), nullptr);
    EXPECT_EQ(recentPaths(*form).value(0), QFileInfo(starter()).absoluteFilePath());
    // The status bar shows the label size, the printer, the port and the zoom.
    EXPECT_EQ(form->statusPanel(0)->text(), QStringLiteral("标签:60毫米*40毫米"));
    EXPECT_EQ(form->statusPanel(1)->text(), QStringLiteral("打印机:VTX-M1"));
    EXPECT_TRUE(form->statusPanel(3)->text().endsWith(QLatin1Char('%')));
}

TEST_F(DesignerTest, StartArgumentThatIsNotALabelFallsBackToTheStartPage)
{
    const QString other = QDir(home.path()).filePath(QStringLiteral("notes.txt"));
    writeFile(other, "text");
    form->startUp({ QStringLiteral("korvel"), other });
    EXPECT_TRUE(form->childForms().isEmpty());
    ASSERT_NE(form->startPage(), nullptr); // a fresh settings folder shows the start page
}

TEST_F(DesignerTest, StartOptionsWithoutTheStartPage)
{
    const QString a = label(QStringLiteral("a.kvl"));
    struct Row {
        int option;
        bool withRecent;
        int windows;
        int dialogs;
        const char* caption;
    };
    const Row rows[] = {
        { 0, true, 1, 0, "a" }, // the most recent label
        { 0, false, 0, 0, "" }, // nothing recent: nothing opens
        { 1, false, 0, 1, "" }, // the new-label dialog (cancelled here)
        { 2, false, 1, 0, "Label1" }, // an empty label named by the counter
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.option);
        form.reset();
        form = std::make_unique<TMainForm>(home.path());
        ASSERT_TRUE(form->initialize());
        form->show();
        form->settings().setShowStartPage(false);
        form->settings().setStartOption(row.option);
        if (row.withRecent)
            form->recentFiles()->AddFileName(a);
        else // deleted entries stay in the store beyond the count: they must not come back
            while (!form->recentFiles()->GetFileList().isEmpty())
                form->recentFiles()->DeleteFileName(form->recentFiles()->GetFileList().first());
        prompts.dialogsRun = 0;
        form->startUp({ QStringLiteral("korvel") });
        EXPECT_EQ(form->childForms().size(), row.windows);
        EXPECT_EQ(prompts.dialogsRun, row.dialogs);
        if (row.windows) {
            EXPECT_EQ(form->activeChild()->windowTitle(), QString::fromLatin1(row.caption));
        }
    }
}

TEST_F(DesignerTest, StartPageOpensTheChosenRecentLabelAndCanBeSwitchedOff)
{
    const QString a = label(QStringLiteral("a.kvl"));
    const QString b = label(QStringLiteral("b.kvl"));
    form->recentFiles()->AddFileName(a);
    form->recentFiles()->AddFileName(b); // b is newest
    form->startUp({ QStringLiteral("korvel") });
    TFirstForm* page = form->startPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->choice(), TFirstForm::Choice::Recent);
    page->setRecentRow(1);
    page->setDontShowAgain(true);
    form->startPageChosen();
    ProcessEvents();
    ASSERT_EQ(form->childForms().size(), 1);
    EXPECT_EQ(form->activeChild()->windowTitle(), QStringLiteral("a"));
    EXPECT_FALSE(form->settings().showStartPage());
    EXPECT_EQ(form->startPage(), nullptr);
}

TEST_F(DesignerTest, StartPageOtherLabelStartsInTheSamples)
{
    form->startUp({ QStringLiteral("korvel") });
    ASSERT_NE(form->startPage(), nullptr);
    form->startPage()->setChoice(TFirstForm::Choice::Other);
    prompts.openNames.push_back(starter());
    form->startPageChosen();
    ASSERT_EQ(prompts.openDirectories.size(), 1);
    EXPECT_TRUE(prompts.openDirectories.first().endsWith(QStringLiteral("/Samples")));
    EXPECT_EQ(form->childForms().size(), 1);
}

// ---- opening ----------------------------------------------------------------------------

TEST_F(DesignerTest, OpeningAnOpenLabelActivatesItsWindow)
{
    const QString a = label(QStringLiteral("a.kvl"));
    const QString b = label(QStringLiteral("b.kvl"));
    TChildForm* first = form->openLabel(a);
    form->openLabel(b);
    ASSERT_EQ(form->activeChild()->windowTitle(), QStringLiteral("b"));
    // The same file under another spelling of its path is the same label.
    QDir(home.path()).mkpath(QStringLiteral("sub"));
    TChildForm* again = form->openLabel(QDir(home.path()).filePath(QStringLiteral("sub/../a.kvl")));
    EXPECT_EQ(again, first);
    EXPECT_EQ(form->childForms().size(), 2);
    EXPECT_EQ(form->activeChild(), first);
}

TEST_F(DesignerTest, OpeningAMissingFileTellsAndChangesNothing)
{
    const QString missing = QDir(home.path()).filePath(QStringLiteral("gone.kvl"));
    EXPECT_EQ(form->openLabel(missing), nullptr);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("文件%1不存在").arg(missing));
    EXPECT_TRUE(form->childForms().isEmpty());
    EXPECT_TRUE(recentPaths(*form).isEmpty());
}

TEST_F(DesignerTest, AFileThatIsNotALabelIsRefused)
{
    const QString junk = QDir(home.path()).filePath(QStringLiteral("junk.kvl"));
    writeFile(junk, QByteArray(200, 'x'));
    EXPECT_EQ(form->openLabel(junk), nullptr);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(junk));
    EXPECT_TRUE(form->childForms().isEmpty());
    EXPECT_TRUE(recentPaths(*form).isEmpty());
}

TEST_F(DesignerTest, ADamagedLabelOpensInPartAndTheUserIsTold)
{
    const QString path = QDir(home.path()).filePath(QStringLiteral("damaged.kvl"));
    {
        LabelDocument doc;
        doc.setPage(TPageRecord::defaultRecord());
        for (int i = 0; i < 3; ++i) {
            auto box = std::make_unique<TOARectangle>();
            box->setAbsLeft(2 + i * 5);
            box->setAbsTop(2);
            box->setAbsWidth(4);
            box->setAbsHeight(4);
            doc.addObject(std::move(box));
        }
        ASSERT_EQ(WriteLabelFile(path, doc).status, LabelFileResult::Status::Ok);
    }
    QByteArray bytes = readFile(path);
    bytes.chop(bytes.size() / 3);
    writeFile(path, bytes);
    TChildForm* child = form->openLabel(path);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->openResult().status, LabelFileResult::Status::Damaged);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(path));
}

TEST_F(DesignerTest, AnOpenedLabelKeepsTheDrawingModeOfTheOptions)
{
    form->applyOptions(0, 0, 0, true);
    TChildForm* child = form->openLabel(label(QStringLiteral("a.kvl")));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->workspace()->drawingMode(), 0);
    form->applyOptions(0, 0, 1, true);
    EXPECT_EQ(child->workspace()->drawingMode(), 1);
    EXPECT_EQ(child->dispatch(Command::DrawingMode, 5), 0);
    EXPECT_EQ(child->workspace()->drawingMode(), 1);
}

TEST_F(DesignerTest, TheFifthLabelDropsTheOldestRecentEntry)
{
    QStringList paths;
    for (int i = 1; i <= 5; ++i)
        paths << label(QStringLiteral("r%1.kvl").arg(i));
    for (const QString& p : paths)
        form->openLabel(p);
    EXPECT_EQ(recentPaths(*form), (QStringList { paths[4], paths[3], paths[2], paths[1] }));
    // The menu is rebuilt by the posted message.
    ProcessEvents();
    const QList<QAction*> entries = form->recentMenu()->actions();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0]->data().toString(), paths[4]);
    EXPECT_EQ(entries[3]->data().toString(), paths[1]);
    // An open label is only brought forward; opened anew it moves to the front of the list
    // without being listed twice.
    form->openLabel(paths[2]);
    EXPECT_EQ(recentPaths(*form).value(0), paths[4]);
    form->closeAll();
    ProcessEvents();
    form->openLabel(paths[2]);
    EXPECT_EQ(recentPaths(*form), (QStringList { paths[2], paths[4], paths[3], paths[1] }));
}

TEST_F(DesignerTest, ARecentLabelThatVanishedIsToldAndDropped)
{
    const QString a = label(QStringLiteral("a.kvl"));
    const QString b = label(QStringLiteral("b.kvl"));
    form->recentFiles()->AddFileName(a);
    form->recentFiles()->AddFileName(b);
    QFile::remove(a);
    EXPECT_EQ(form->openRecent(a), nullptr);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(a));
    EXPECT_EQ(recentPaths(*form), QStringList { b });
}

// ---- closing and saving -----------------------------------------------------------------

TEST_F(DesignerTest, CloseQuestionAnswers)
{
    struct Row {
        Answer answer;
        bool stays;
        bool written;
    };
    const Row rows[] = { { Answer::Cancel, true, false }, { Answer::No, false, false }, { Answer::Yes, false, true } };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.answer));
        const QString path = label(QStringLiteral("q.kvl"));
        const QByteArray before = readFile(path);
        TChildForm* child = form->openLabel(path);
        ASSERT_NE(child, nullptr);
        child->document().printPositionAdjust = 7; // an edit that changes the written bytes
        child->document().markModified();
        prompts.questions.clear();
        prompts.answers = { row.answer };
        EXPECT_EQ(form->closeActive(), !row.stays);
        ProcessEvents();
        ASSERT_EQ(prompts.questions.size(), 1u);
        EXPECT_TRUE(prompts.questions[0].text.contains(QStringLiteral("\"q.kvl\"")));
        EXPECT_EQ(form->childForms().size(), row.stays ? 1 : 0);
        EXPECT_EQ(readFile(path) != before, row.written);
        if (row.stays) {
            child->document().modified = false;
            form->closeAll();
            ProcessEvents();
        }
    }
}

TEST_F(DesignerTest, AnUnmodifiedLabelClosesWithoutAQuestion)
{
    form->openLabel(label(QStringLiteral("a.kvl")));
    EXPECT_TRUE(form->closeActive());
    EXPECT_TRUE(prompts.questions.empty());
}

TEST_F(DesignerTest, YesOnAnUntitledLabelAsksForANameAndCancellingKeepsItOpen)
{
    TChildForm* child = form->newEmptyLabel(TPageRecord::defaultRecord());
    child->document().markModified();
    prompts.answers = { Answer::Yes };
    prompts.saveNames = { QString() }; // the save dialog is cancelled
    EXPECT_FALSE(form->closeActive());
    EXPECT_EQ(form->childForms().size(), 1);
    EXPECT_TRUE(child->document().modified);

    const QString target = QDir(home.path()).filePath(QStringLiteral("named.kvl"));
    prompts.answers = { Answer::Yes };
    prompts.saveNames = { target };
    EXPECT_TRUE(form->closeActive());
    ProcessEvents();
    EXPECT_TRUE(form->childForms().isEmpty());
    EXPECT_TRUE(IsLabelFile(target));
}

TEST_F(DesignerTest, SaveOfAnUntitledLabel)
{
    TChildForm* child = form->newEmptyLabel(TPageRecord::defaultRecord());
    EXPECT_EQ(child->windowTitle(), QStringLiteral("Label1"));
    // An unchanged new label: Save does nothing (and is not offered).
    EXPECT_FALSE(form->action(QStringLiteral("mnuSave"))->isEnabled());
    EXPECT_EQ(form->sendCommand(Command::Save), 0);
    EXPECT_TRUE(prompts.saveDialogs.empty());

    child->document().markModified();
    form->updateCommandStates();
    EXPECT_TRUE(form->action(QStringLiteral("mnuSave"))->isEnabled());
    const QString target = QDir(home.path()).filePath(QStringLiteral("first"));
    prompts.saveNames = { target };
    EXPECT_EQ(form->sendCommand(Command::Save), 1);
    ASSERT_EQ(prompts.saveDialogs.size(), 1u);
    EXPECT_EQ(prompts.saveDialogs[0].title, QStringLiteral("保存标签"));
    EXPECT_EQ(prompts.saveDialogs[0].text, QStringLiteral("Label1"));
    const QString written = target + QStringLiteral(".kvl");
    EXPECT_TRUE(IsLabelFile(written));
    EXPECT_EQ(child->document().fileName, written);
    EXPECT_FALSE(child->document().untitled);
    EXPECT_FALSE(child->document().modified);
    EXPECT_EQ(child->windowTitle(), QStringLiteral("first"));
    EXPECT_EQ(recentPaths(*form).value(0), written);

    // A second Save writes to the same file without asking.
    child->document().markModified();
    EXPECT_EQ(form->sendCommand(Command::Save), 1);
    EXPECT_EQ(prompts.saveDialogs.size(), 1u);
}

TEST_F(DesignerTest, SaveAsWritesANewFileAndCancelWritesNothing)
{
    TChildForm* child = form->openLabel(label(QStringLiteral("a.kvl")));
    prompts.saveNames = { QString() };
    EXPECT_EQ(form->sendCommand(Command::SaveAs), 0);

    const QString copy = QDir(home.path()).filePath(QStringLiteral("copy.kvl"));
    prompts.saveNames = { copy };
    EXPECT_EQ(form->sendCommand(Command::SaveAs), 1);
    EXPECT_EQ(prompts.saveDialogs.back().title, QStringLiteral("标签另存为"));
    EXPECT_EQ(prompts.saveDialogs.back().text, QStringLiteral("a.kvl"));
    EXPECT_TRUE(IsLabelFile(copy));
    EXPECT_EQ(child->document().fileName, copy);
    EXPECT_EQ(child->windowTitle(), QStringLiteral("copy"));
    EXPECT_EQ(recentPaths(*form).value(0), copy);
}

TEST_F(DesignerTest, AFailedSaveIsToldAndTheLabelStaysModifiedAndOpen)
{
    TChildForm* child = form->newEmptyLabel(TPageRecord::defaultRecord());
    child->document().markModified();
    const QString impossible = QDir(home.path()).filePath(QStringLiteral("no/such/folder/x.kvl"));
    prompts.saveNames = { impossible };
    EXPECT_EQ(form->sendCommand(Command::Save), 0);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(impossible));
    EXPECT_TRUE(child->document().modified);
    EXPECT_TRUE(child->document().untitled);

    prompts.answers = { Answer::Yes };
    prompts.saveNames = { impossible };
    EXPECT_FALSE(form->closeActive());
    EXPECT_EQ(form->childForms().size(), 1);
}

TEST_F(DesignerTest, CloseAllClosesLastFirstClearsTheStatusAndDisablesCommands)
{
    form->openLabel(label(QStringLiteral("a.kvl")));
    TChildForm* b = form->openLabel(label(QStringLiteral("b.kvl")));
    form->openLabel(label(QStringLiteral("c.kvl")));
    EXPECT_TRUE(form->action(QStringLiteral("mnuZoomIn"))->isEnabled());
    EXPECT_TRUE(form->action(QStringLiteral("mnuClose"))->isEnabled());

    // A Cancel on the middle window stops the run there: the last one is already closed.
    b->document().markModified();
    prompts.answers = { Answer::Cancel };
    EXPECT_FALSE(form->closeAll());
    ProcessEvents();
    ASSERT_EQ(form->childForms().size(), 2);
    EXPECT_EQ(form->childForms()[1], b);

    b->document().modified = false;
    EXPECT_TRUE(form->closeAll());
    ProcessEvents();
    EXPECT_TRUE(form->childForms().isEmpty());
    EXPECT_TRUE(form->statusPanel(0)->text().isEmpty());
    for (const char* name : { "mnuZoomIn", "mnuSave", "mnuSaveAs", "mnuPageSetup", "mnuClose", "mnuCloseAll",
             "mnuCascade", "ToolButtonZoomIn" })
        EXPECT_FALSE(form->action(QLatin1String(name))->isEnabled()) << name;
    for (const char* name : { "mnuNew", "mnuOpen", "mnuExit", "mnuOptions", "mnuHelpContents" })
        EXPECT_TRUE(form->action(QLatin1String(name))->isEnabled()) << name;
}

TEST_F(DesignerTest, CommandsOfUnbuiltPartsArePresentButDisabled)
{
    form->openLabel(label(QStringLiteral("a.kvl")));
    for (const char* name : { "mnuUndo", "mnuRedo", "mnuCut", "mnuCopy", "mnuPaste", "mnuDelete", "mnuSelectAll",
             "mnuAlignLeft", "mnuMoveUp", "mnuRotateRight", "SpeedButtonAlignLeft", "ToolButtonLocate",
             "ToolButtonDisconnect", "ToolButtonFirst" }) {
        QAction* a = form->action(QLatin1String(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_FALSE(a->isEnabled()) << name;
    }
    EXPECT_EQ(form->sendCommand(Command::DeleteSelection), 0);
    // The USB identifier tool is an outside program; the test build has none, and says so.
    QAction* usb = form->action(QStringLiteral("mnuUsbId"));
    EXPECT_FALSE(usb->isEnabled());
    EXPECT_TRUE(usb->text().endsWith(QStringLiteral("（未安装）")));
    for (const char* name :
        { "mnuZoomIn", "mnuZoomOut", "mnuFitWindow", "mnuActualSize", "mnuSaveAs", "mnuPageSetup", "ToolButtonSetDatabase" })
        EXPECT_TRUE(form->action(QLatin1String(name))->isEnabled()) << name;
}

TEST_F(DesignerTest, EveryCommandActionCarriesItsMessageNumber)
{
    const struct {
        const char* name;
        Command command;
        int wParam;
    } rows[] = {
        { "mnuSave", Command::Save, 0 },
        { "mnuSaveAs", Command::SaveAs, 0 },
        { "mnuPrint", Command::Print, 1 },
        { "mnuQuickPrint", Command::Print, 0 },
        { "mnuPrinterSet", Command::PrinterSettings, 0 },
        { "mnuPageSetup", Command::PageSetup, 0 },
        { "mnuUndo", Command::Undo, 0 },
        { "mnuRedo", Command::Redo, 0 },
        { "mnuDelete", Command::DeleteSelection, 0 },
        { "mnuSelectAll", Command::SelectAll, 0 },
        { "mnuZoomIn", Command::ZoomIn, 0 },
        { "mnuFitWindow", Command::FitToWindow, 0 },
        { "mnuActualSize", Command::ActualSize, 0 },
        { "mnuAlignHCenter", Command::Arrange, 4 },
        { "mnuAlignVCenter", Command::Arrange, 1 },
        { "SpeedButtonAlignCenter", Command::Arrange, 1 },
        { "SpeedButtonAlignMiddle", Command::Arrange, 4 },
        { "mnuMoveLeft", Command::MoveSelection, 2 },
        { "mnuRotateRight", Command::Rotate, 450 },
        { "SpeedButtonRotateRight", Command::Rotate, 90 },
        { "ToolButtonLast", Command::MoveRecord, 3 },
    };
    for (const auto& row : rows) {
        QAction* a = form->action(QLatin1String(row.name));
        ASSERT_NE(a, nullptr) << row.name;
        EXPECT_EQ(a->property("command").toInt(), static_cast<int>(row.command)) << row.name;
        EXPECT_EQ(a->property("wParam").toInt(), row.wParam) << row.name;
    }
    EXPECT_EQ(static_cast<int>(Command::DeleteSelection), 0x400);
    EXPECT_EQ(static_cast<int>(Command::AnotherInstance), 0x466);
}

TEST_F(DesignerTest, ZoomCommandsGoThroughTheDispatch)
{
    TChildForm* child = form->openLabel(label(QStringLiteral("a.kvl")));
    LabelDocument& d = child->document();
    d.setZoom(137);
    d.FitMode = 1;
    EXPECT_EQ(form->sendCommand(Command::ZoomIn), 1);
    EXPECT_EQ(d.zoom(), 200);
    EXPECT_EQ(d.FitMode, 0);
    EXPECT_EQ(form->statusPanel(3)->text(), QStringLiteral("200%"));
    form->sendCommand(Command::ZoomOut);
    EXPECT_EQ(d.zoom(), 100);
    form->sendCommand(Command::ActualSize);
    EXPECT_EQ(d.zoom(), 100);

    d.setZoom(600);
    form->updateCommandStates();
    EXPECT_FALSE(form->action(QStringLiteral("mnuZoomIn"))->isEnabled());
    EXPECT_EQ(form->sendCommand(Command::ZoomIn), 0);
    EXPECT_EQ(d.zoom(), 600);

    // The toolbar's actual-size button leaves the zoom at 100 % and fit mode off.
    d.FitMode = 1;
    form->action(QStringLiteral("ToolButtonActualSize"))->trigger();
    EXPECT_EQ(d.zoom(), 100);
    EXPECT_EQ(d.FitMode, 0);

    form->sendCommand(Command::FitToWindow);
    EXPECT_EQ(d.FitMode, 1);
    EXPECT_EQ(d.zoom(), d.FitZoom);
}

TEST_F(DesignerTest, NewLabelsAreCountedAndTakeTheDialogsPage)
{
    form->newEmptyLabel(TPageRecord::defaultRecord());
    EXPECT_EQ(form->activeChild()->windowTitle(), QStringLiteral("Label1"));

    prompts.onDialog = [](QDialog* dialog) {
        auto* d = qobject_cast<TNewForm*>(dialog);
        if (!d)
            return false;
        d->findChild<QDoubleSpinBox*>(QStringLiteral("EditLabelWidth"))->setValue(42.5);
        return d->okButton()->isEnabled();
    };
    TChildForm* child = form->newLabel();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->windowTitle(), QStringLiteral("Label2"));
    EXPECT_TRUE(child->document().untitled);
    EXPECT_EQ(child->document().page().LabelWidth, 425);
    EXPECT_EQ(form->settings().defaultPage.LabelWidth, 425);
}

TEST_F(DesignerTest, ANewLabelFromASampleIsUntitledAndLeavesTheSampleAlone)
{
    prompts.onDialog = [](QDialog* dialog) {
        auto* d = qobject_cast<TNewForm*>(dialog);
        d->tabs()->setCurrentIndex(2);
        const auto found = d->samples()->findItems(QStringLiteral("Starter"), Qt::MatchExactly);
        if (found.isEmpty())
            return false;
        d->samples()->setCurrentItem(found.first());
        return d->sampleChosen();
    };
    TChildForm* child = form->newLabel();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->windowTitle(), QStringLiteral("Label1"));
    EXPECT_TRUE(child->document().untitled);
    EXPECT_EQ(child->document().page().LabelWidth, 600);
    EXPECT_TRUE(recentPaths(*form).isEmpty());
}

TEST_F(DesignerTest, PageSetupThroughTheDispatch)
{
    TChildForm* child = form->openLabel(label(QStringLiteral("a.kvl")));
    prompts.onDialog = [](QDialog* dialog) {
        auto* d = qobject_cast<TPageSetupForm*>(dialog);
        d->findChild<QSpinBox*>(QStringLiteral("EditColumns"))->setValue(2);
        return true;
    };
    EXPECT_EQ(form->sendCommand(Command::PageSetup), 1);
    EXPECT_EQ(child->document().page().LabelColumn, 2);
    EXPECT_EQ(child->document().page().PaperWidth, 1100); // 2 x 60.0 mm, capped
    EXPECT_TRUE(child->document().modified);
    EXPECT_EQ(child->document().FitMode, 1);
    EXPECT_EQ(form->settings().defaultPage.LabelColumn, 2);

    // A cancelled page setup changes nothing.
    child->document().modified = false;
    prompts.onDialog = nullptr;
    EXPECT_EQ(form->sendCommand(Command::PageSetup), 0);
    EXPECT_FALSE(child->document().modified);
}

TEST_F(DesignerTest, ExitAsksForChangesAndWritesTheSettings)
{
    const QString a = label(QStringLiteral("a.kvl"));
    const QString b = label(QStringLiteral("b.kvl"));
    form->openLabel(a);
    TChildForm* second = form->openLabel(b);
    form->recentFiles()->DeleteFileName(a);
    form->applyOptions(0, 2, 0, false);

    second->document().markModified();
    prompts.answers = { Answer::Cancel };
    EXPECT_FALSE(form->close());
    EXPECT_EQ(form->childForms().size(), 2);

    prompts.answers = { Answer::No };
    EXPECT_TRUE(form->close());
    // The open labels are back in the recent list; the settings are on disk.
    EXPECT_TRUE(recentPaths(*form).contains(a));
    SystemSettings stored;
    ASSERT_TRUE(LoadSystemSettings(home.path(), nullptr, stored).ok);
    EXPECT_EQ(stored.startOption(), 2);
    EXPECT_EQ(stored.drawingMode(), 0);
    EXPECT_FALSE(stored.showStartPage());
}

TEST_F(DesignerTest, ASettingsFolderThatCannotBeWrittenIsTold)
{
    // A folder where the settings file should be makes every write fail.
    QFile::remove(QDir(home.path()).filePath(QStringLiteral("Printer.ini")));
    QDir(home.path()).mkpath(QStringLiteral("Printer.ini/blocked"));
    EXPECT_FALSE(form->writeSettings());
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_TRUE(prompts.messages.back().text.startsWith(QStringLiteral("保存系统信息失败!")));
}

TEST_F(DesignerTest, AnotherInstanceOpensOrActivatesItsLabel)
{
    const QString a = label(QStringLiteral("a.kvl"));
    form->anotherInstance(a);
    ASSERT_EQ(form->childForms().size(), 1);
    form->openLabel(label(QStringLiteral("b.kvl")));
    form->anotherInstance(a);
    EXPECT_EQ(form->childForms().size(), 2);
    EXPECT_EQ(form->activeChild()->windowTitle(), QStringLiteral("a"));
    // Anything but an existing label is ignored; so is a start without a path.
    const QString text = QDir(home.path()).filePath(QStringLiteral("x.txt"));
    writeFile(text, "x");
    form->anotherInstance(text);
    form->anotherInstance(QString());
    EXPECT_EQ(form->childForms().size(), 2);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(DesignerTest, AHandedOverPathMayComeThroughTheRegistry)
{
    const QString a = label(QStringLiteral("a.kvl"));
    RegistryStore other(QDir(home.path()).filePath(QStringLiteral("registry.ini")));
    other.setValue(RecentFilesKey, "ExtendRecentFileName", a.toUtf8());
    ASSERT_TRUE(other.save());
    form->sendCommand(Command::AnotherInstance);
    EXPECT_EQ(form->childForms().size(), 1);
}

TEST_F(DesignerTest, WindowMenuTilesAndLists)
{
    form->openLabel(label(QStringLiteral("a.kvl")));
    form->openLabel(label(QStringLiteral("b.kvl")));
    form->action(QStringLiteral("mnuTileVer"))->trigger();
    const QList<TChildForm*> open = form->childForms();
    const QWidget* left = open[0]->parentWidget();
    const QWidget* right = open[1]->parentWidget();
    EXPECT_EQ(left->y(), right->y());
    EXPECT_LT(left->x(), right->x());
    form->action(QStringLiteral("mnuTileHor"))->trigger();
    EXPECT_EQ(left->x(), right->x());
    EXPECT_LT(left->y(), right->y());

    // The window list names every open label and marks the active one.
    auto* windowMenu = form->findChild<QMenu*>(QStringLiteral("mnuWindow"));
    emit windowMenu->aboutToShow();
    QStringList listed;
    for (QAction* a : windowMenu->actions())
        if (a->isCheckable())
            listed << a->text() + (a->isChecked() ? QStringLiteral("*") : QString());
    EXPECT_EQ(listed, (QStringList{QStringLiteral("&1 a"), QStringLiteral("&2 b*")}));
}

TEST(ChildFormCaption, FileNameWithoutFolderAndExtension)
{
    const struct {
        const char* file;
        const char* caption;
    } rows[] = {
        { "/labels/Starter.kvl", "Starter" },
        { "Label3", "Label3" },
        { "/a/my.label.kvl", "my.label" },
        { "/a/b/noextension", "noextension" },
        { "/a/.kvl", ".kvl" },
    };
    for (const auto& row : rows)
        EXPECT_EQ(TChildForm::CaptionOf(QString::fromUtf8(row.file)), QString::fromUtf8(row.caption)) << row.file;
}

} // namespace
} // namespace korvel::test
