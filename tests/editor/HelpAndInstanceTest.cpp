#include "EditorTestSupport.h"

#include "editor/HelpWindow.h"
#include "editor/OptionsForm.h"
#include "editor/SingleInstance.h"

#include <QApplication>
#include <QFile>
#include <QShortcut>
#include <QTextBrowser>
#include <QUuid>

namespace korvel::test {
namespace {

// ---- help -------------------------------------------------------------------------------

TEST(Help, EveryTopicHasAChineseAndAnEnglishPage)
{
    ASSERT_EQ(HelpTopic::all().size(), 18);
    for (const QString& topic : HelpTopic::all()) {
        SetCurrentLanguage(0);
        const QString chinese = HelpFilePath(topic);
        EXPECT_FALSE(chinese.isEmpty()) << topic.toStdString();
        SetCurrentLanguage(1);
        const QString english = HelpFilePath(topic);
        EXPECT_TRUE(english.contains(QStringLiteral("/English/"))) << topic.toStdString();
        // A page names its subject: it is not an empty shell.
        EXPECT_GT(readFile(english).size(), 400) << topic.toStdString();
    }
    SetCurrentLanguage(0);
}

TEST(Help, TopicsThatLeaveTheHelpFolderAreRefused)
{
    for (const char* topic : { "", "../Language/English.lan", "/etc/passwd", "sub/x.htm", ".hidden", "nothere.htm" })
        EXPECT_TRUE(HelpFilePath(QString::fromUtf8(topic)).isEmpty()) << topic;
}

TEST(Help, ANewTopicReplacesTheHelpWindow)
{
    SetCurrentLanguage(0);
    QTextBrowser* first = ShowHelpTopic(HelpTopic::Options);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->windowTitle(), HelpWindowTitle);
    EXPECT_TRUE(first->toPlainText().contains(QStringLiteral("系统选项")));
    QTextBrowser* second = ShowHelpTopic(HelpTopic::NewLabel);
    EXPECT_FALSE(first->isVisible());
    EXPECT_TRUE(second->toPlainText().contains(QStringLiteral("新建标签")));
    EXPECT_EQ(CurrentHelpWindow(), second);
    // The pages link to each other by topic name.
    second->setSource(QUrl(QStringLiteral("工具.htm")));
    EXPECT_TRUE(second->toPlainText().contains(QStringLiteral("系统选项")));
    // A topic without a page says so in the window.
    QTextBrowser* missing = ShowHelpTopic(QStringLiteral("nothere.htm"));
    EXPECT_TRUE(missing->toPlainText().contains(QStringLiteral("nothere.htm")));
    missing->close();
    ProcessEvents();
}

TEST(Help, F1InADialogShowsItsTopic)
{
    SetCurrentLanguage(1);
    TOptionsForm dialog(0, 0, 1, true);
    auto* f1 = dialog.findChild<QShortcut*>();
    ASSERT_NE(f1, nullptr);
    EXPECT_EQ(f1->key(), QKeySequence(Qt::Key_F1));
    emit f1->activated();
    ASSERT_NE(CurrentHelpWindow(), nullptr);
    EXPECT_TRUE(CurrentHelpWindow()->toPlainText().contains(QStringLiteral("System options")));
    CurrentHelpWindow()->close();
    ProcessEvents();
    SetCurrentLanguage(0);
}

TEST_F(DesignerTest, F1OfTheMainWindowShowsTheStartPageTopicWhileItIsShown)
{
    EXPECT_EQ(form->currentHelpTopic(), HelpTopic::MainForm);
    form->startUp({ QStringLiteral("korvel") });
    ASSERT_NE(form->startPage(), nullptr);
    EXPECT_EQ(form->currentHelpTopic(), HelpTopic::StartPage);
    form->action(QStringLiteral("mnuHelpContents"))->trigger();
    ASSERT_NE(CurrentHelpWindow(), nullptr);
    EXPECT_TRUE(CurrentHelpWindow()->toPlainText().contains(QStringLiteral("启动向导页")));
    CurrentHelpWindow()->close();
    ProcessEvents();
}

// ---- single instance --------------------------------------------------------------------

QString uniqueName()
{
    return QStringLiteral("korvel-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

/// Runs the event loop until the server has taken a hand-over (bounded by a count of rounds,
/// not by a clock).
bool waitForHandOver(const std::vector<QString>& received, size_t count)
{
    for (int i = 0; i < 2000 && received.size() < count; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return received.size() >= count;
}

TEST(SingleInstance, ASecondStartHandsItsPathToTheRunningOne)
{
    const QString name = uniqueName();
    InstanceServer running;
    ASSERT_TRUE(running.listen(name));
    std::vector<QString> received;
    QObject::connect(&running, &InstanceServer::handOver, [&](const QString& p) { received.push_back(p); });

    EXPECT_TRUE(HandOverToRunningInstance(name, QStringLiteral("/labels/标签 1.kvl")));
    ASSERT_TRUE(waitForHandOver(received, 1));
    EXPECT_EQ(received[0], QStringLiteral("/labels/标签 1.kvl"));

    // A start without a path only brings the running one forward.
    EXPECT_TRUE(HandOverToRunningInstance(name, QString()));
    ASSERT_TRUE(waitForHandOver(received, 2));
    EXPECT_TRUE(received[1].isEmpty());
}

TEST(SingleInstance, WithoutARunningInstanceTheStartGoesOn)
{
    EXPECT_FALSE(HandOverToRunningInstance(uniqueName(), QStringLiteral("/a.kvl"), 200));
}

TEST(SingleInstance, OnlyOneInstanceListensAndAStaleSocketIsTakenOver)
{
    const QString name = uniqueName();
    {
        InstanceServer first;
        ASSERT_TRUE(first.listen(name));
        InstanceServer second;
        EXPECT_FALSE(second.listen(name));
    }
    // A socket file left behind by a crash: nobody answers, so the next start takes it over.
    const QString stale = QDir::tempPath() + QLatin1Char('/') + name;
    ASSERT_TRUE(writeFile(stale, QByteArray()));
    InstanceServer next;
    EXPECT_TRUE(next.listen(name));
}

TEST_F(DesignerTest, AHandOverOpensTheLabelInTheRunningDesigner)
{
    const QString name = uniqueName();
    InstanceServer server;
    ASSERT_TRUE(server.listen(name));
    std::vector<QString> received;
    QObject::connect(&server, &InstanceServer::handOver, form.get(), [&](const QString& p) {
        received.push_back(p);
        form->anotherInstance(p);
    });
    const QString a = label(QStringLiteral("a.kvl"));
    ASSERT_TRUE(HandOverToRunningInstance(name, a));
    ASSERT_TRUE(waitForHandOver(received, 1));
    ASSERT_EQ(form->childForms().size(), 1);
    ASSERT_TRUE(HandOverToRunningInstance(name, a));
    ASSERT_TRUE(waitForHandOver(received, 2));
    EXPECT_EQ(form->childForms().size(), 1);
}

TEST(SingleInstance, TheNameBelongsToTheUserAndTheSettingsFolder)
{
    ScopedHome one;
    const QString first = InstanceServerName();
    ScopedHome two;
    const QString second = InstanceServerName();
    EXPECT_NE(first, second);
    EXPECT_TRUE(first.startsWith(QStringLiteral("KorvelQCML-")));
}

} // namespace
} // namespace korvel::test
