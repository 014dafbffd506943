// Recovery copies: written while a document changes, gone after a save, offered after an
// abnormal end, set aside when damaged.
#include "EditorTestSupport.h"

#include "document/OAInvertArea.h"
#include "editor/RecoveryCopies.h"

#include <QFile>
#include <QFileInfo>

namespace korvel::test {
namespace {

void addArea(LabelDocument& doc)
{
    auto o = std::make_unique<TOAInvertArea>();
    o->setVirBounds(10, 10, 40, 30);
    doc.addObject(std::move(o));
}

TEST_F(DesignerTest, AModifiedDocumentKeepsARecoveryCopyUntilItIsSaved)
{
    auto child = std::make_unique<TChildForm>();
    addArea(child->document());
    child->dispatch(Command::RepaintSurface);
    ASSERT_TRUE(child->recoveryCopy().writeNow());
    const QString copy = child->recoveryCopy().path();
    EXPECT_TRUE(copy.startsWith(RecoveryFolder()));
    EXPECT_TRUE(QFileInfo::exists(copy));
    EXPECT_FALSE(child->recoveryCopy().writeNow()); // nothing new to keep

    prompts.saveNames.push_back(QDir(home.path()).filePath(QStringLiteral("saved.kvl")));
    ASSERT_TRUE(child->save());
    EXPECT_FALSE(QFileInfo::exists(copy));
}

TEST_F(DesignerTest, CopiesLeftByAnAbnormalEndAreOfferedAndDamagedOnesSetAside)
{
    QDir().mkpath(RecoveryFolder());
    LabelDocument doc;
    addArea(doc);
    // A process number no process has: the designer that wrote these is gone.
    const QString good = QDir(RecoveryFolder()).filePath(QStringLiteral("999999999-1.kvl"));
    ASSERT_TRUE(writeFile(good, WriteLabelBytes(doc, nullptr)));
    ASSERT_TRUE(writeFile(QDir(RecoveryFolder()).filePath(QStringLiteral("999999999-1.txt")),
        "file\n/somewhere/Parcel.kvl"));
    const QString bad = QDir(RecoveryFolder()).filePath(QStringLiteral("999999999-2.kvl"));
    ASSERT_TRUE(writeFile(bad, "not a label at all"));

    const int windowsBefore = static_cast<int>(form->childForms().size());
    prompts.answers.push_back(UserPrompts::Answer::Yes);
    form->offerRecoveryCopies();
    ProcessEvents();

    ASSERT_EQ(static_cast<int>(form->childForms().size()), windowsBefore + 1);
    TChildForm* restored = form->childForms().last();
    EXPECT_EQ(restored->document().fileName, QStringLiteral("/somewhere/Parcel.kvl"));
    EXPECT_TRUE(restored->document().modified);
    EXPECT_EQ(restored->document().objectCount(), 1);
    EXPECT_FALSE(QFileInfo::exists(good));

    EXPECT_FALSE(QFileInfo::exists(bad));
    EXPECT_TRUE(QFileInfo::exists(bad + QStringLiteral(".damaged")));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages.front().text.contains(QStringLiteral(".damaged")));
    restored->document().modified = false;
}

} // namespace
} // namespace korvel::test
