// The design surface as a user drives it: mouse and keys on a real document window, then
// the document is read.
#include "EditorTestSupport.h"

#include "document/DesignView.h"
#include "document/OAInvertArea.h"
#include "document/OALabel.h"
#include "document/OALine.h"
#include "document/OARectangle.h"
#include "editor/OARuler.h"
#include "editor/OAWorkSpace.h"
#include "editor/PropertyEditors.h"
#include "editor/editing/ObjectMotion.h"
#include "editor/editing/Operation.h"
#include "persistence/LabelFile.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>

namespace korvel::test {
namespace {

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrompts(&prompts);
        form = std::make_unique<TChildForm>();
        form->resize(700, 500);
        form->show();
        ProcessEvents();
    }
    void TearDown() override
    {
        form->document().modified = false;
        form.reset();
        ProcessEvents();
        SetPrompts(nullptr);
    }

    TOAControl* addBox(ObjectKind kind, int l, int t, int w, int h)
    {
        TOAControl* raw = AddBox(form->document(), kind, l, t, w, h);
        form->workspace()->refresh();
        return raw;
    }

    void mouse(QEvent::Type type, QPoint surface, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = {})
    {
        TOAWorkspace* w = form->workspace();
        const QPointF local = surface + w->origin();
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, local, w->mapToGlobal(local), button, buttons, mods);
        QCoreApplication::sendEvent(w, &e);
    }
    void drag(QPoint from, QPoint to)
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }
    void key(int k, Qt::KeyboardModifiers mods = {})
    {
        QKeyEvent e(QEvent::KeyPress, k, mods);
        QCoreApplication::sendEvent(form->workspace(), &e);
    }

    ScopedHome home;
    FakePrompts prompts;
    std::unique_ptr<TChildForm> form;
};

TEST_F(SurfaceTest, DraggingMovesTheObjectAndUndoRedoGoThroughTheCommands)
{
    TOAControl* box = addBox(ObjectKind::InvertArea, 40, 30, 60, 40);
    QString panel4;
    QObject::connect(form.get(), &TChildForm::surfaceStatus, [&](const QString& p, const QString&) {
        if (!p.isEmpty())
            panel4 = p;
    });
    drag({ 50, 40 }, { 90, 60 });
    EXPECT_EQ(box->geometry().topLeft(), QPoint(80, 50));
    EXPECT_TRUE(form->document().modified);
    EXPECT_TRUE(panel4.startsWith(QStringLiteral("X,Y:")));
    EXPECT_TRUE(form->isAvailable(Command::Undo));
    EXPECT_FALSE(form->isAvailable(Command::Redo));
    EXPECT_EQ(form->undoCaption(false), QStringLiteral("撤消移动(&U)"));

    ASSERT_EQ(form->dispatch(Command::Undo), 1);
    EXPECT_EQ(box->geometry().topLeft(), QPoint(40, 30));
    EXPECT_FALSE(form->document().modified); // back at the state it was created in
    ASSERT_EQ(form->dispatch(Command::Redo), 1);
    EXPECT_EQ(box->geometry().topLeft(), QPoint(80, 50));

    // A drag past the left edge stops at the label's edge.
    drag({ 90, 60 }, { -200, 60 });
    EXPECT_EQ(box->Left(), 0);
}

TEST_F(SurfaceTest, KeysMoveTheSelectionAndEnterOpensTheDialog)
{
    TOAControl* box = addBox(ObjectKind::Rectangle, 40, 30, 60, 40);
    mouse(QEvent::MouseButtonPress, { 41, 50 }, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, { 41, 50 }, Qt::NoButton);
    ASSERT_EQ(form->document().selection().size(), 1u);
    const double left = PositionMM(*box).x();
    key(Qt::Key_Right);
    EXPECT_DOUBLE_EQ(PositionMM(*box).x(), left + 1.0);
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(box->Top(), 31);
    EXPECT_EQ(form->history().undoGroups(), 2);

    key(Qt::Key_Return); // the rectangle's own dialog, cancelled: no undo step
    EXPECT_EQ(prompts.dialogsRun, 1);
    EXPECT_EQ(form->history().undoGroups(), 2);
    RegisterPropertyEditor(ObjectKind::Rectangle, nullptr);
    key(Qt::Key_Return);
    ASSERT_EQ(prompts.messages.size(), 1u); // a kind without a dialog is told, not silently ignored

    // With a dialog installed, a cancelled dialog leaves no undo step behind.
    int opened = 0;
    RegisterPropertyEditor(ObjectKind::Rectangle, [&](QWidget*, LabelDocument&, TOAControl&) {
        ++opened;
        return false;
    });
    EXPECT_EQ(form->dispatch(Command::Properties), 0);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(form->history().undoGroups(), 2);
    RegisterPropertyEditor(ObjectKind::Rectangle, nullptr);
}

TEST_F(SurfaceTest, ResizeByAHandleAndDoubleClickOnNothingOpensThePageSetup)
{
    TOAControl* box = addBox(ObjectKind::InvertArea, 40, 30, 60, 40);
    mouse(QEvent::MouseButtonPress, { 50, 40 }, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, { 50, 40 }, Qt::NoButton);
    // Handle 8 sits at (L + W - 5, T + H - 5).
    drag({ 40 + 60 - 3, 30 + 40 - 3 }, { 140, 100 });
    box = form->document().object(0);
    EXPECT_EQ(box->geometry(), QRect(40, 30, 100, 70));

    form->document().clearSelection();
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(300, 300) + form->workspace()->origin(), QPointF(),
        Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(form->workspace(), &dbl);
    EXPECT_EQ(prompts.dialogsRun, 1);
}

TEST_F(SurfaceTest, CtrlWheelZoomsAtThePointerAndTheRulersFollow)
{
    form->document().setZoom(200);
    form->dispatch(Command::RepaintSurface);
    form->dispatch(Command::ZoomIn); // 300 %
    ProcessEvents();
    QScrollArea* box = form->scrollBox();
    const QPoint at(120, 90);
    QScrollBar* h = box->horizontalScrollBar();
    const double before
        = (at.x() + h->value() - form->workspace()->origin().x()) / (form->document().zoom() / 100.0);
    QWheelEvent wheel(at, box->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
        Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(box->viewport(), &wheel);
    EXPECT_EQ(form->document().zoom(), 400);
    const double after = (at.x() + h->value() - form->workspace()->origin().x()) / 4.0;
    EXPECT_NEAR(after, before, 1.0);

    mouse(QEvent::MouseMove, { 10, 20 }, Qt::NoButton);
    EXPECT_EQ(form->ruler(Qt::Horizontal)->guides(), std::vector<int>{ 10 });
    EXPECT_EQ(form->ruler(Qt::Vertical)->guides(), std::vector<int>{ 20 });
}

TEST_F(SurfaceTest, ZoomButtonsKeepTheViewCentreAndFitShowsTheLabelFromItsStart)
{
    form->document().FitMode = 0;
    form->document().setZoom(300);
    form->dispatch(Command::RepaintSurface);
    form->dispatch(Command::ZoomIn); // 400 %: the label is larger than the view
    ProcessEvents();
    QScrollArea* box = form->scrollBox();
    QScrollBar* h = box->horizontalScrollBar();
    QScrollBar* v = box->verticalScrollBar();
    h->setValue(h->maximum() / 2);
    v->setValue(v->maximum() / 2);
    const QPoint centre(box->viewport()->width() / 2, box->viewport()->height() / 2);
    const auto surfaceAtCentre = [&] {
        return QPointF(centre + QPoint(h->value(), v->value()) - form->workspace()->origin())
            / (form->document().zoom() / 100.0);
    };
    const QPointF before = surfaceAtCentre();
    form->dispatch(Command::ZoomIn);
    EXPECT_EQ(form->document().zoom(), 500);
    EXPECT_NEAR(surfaceAtCentre().x(), before.x(), 1.0);
    EXPECT_NEAR(surfaceAtCentre().y(), before.y(), 1.0);

    form->dispatch(Command::FitToWindow);
    ProcessEvents();
    EXPECT_EQ(h->value(), 0);
    EXPECT_EQ(v->value(), 0);
    // A fitted label and its canvas margin need no scrolling.
    EXPECT_LE(form->workspace()->width(), box->viewport()->width());
    EXPECT_LE(form->workspace()->height(), box->viewport()->height());
}

TEST(OpeningTest, AFittedWindowShowsTheLabelAsItLooksAtTheFittedZoom)
{
    // The window fits the label once it is laid out, and what it shows is what the objects
    // of the file look like at that zoom: no picture is left from the stored zoom or from a
    // fit to a size the window never had.
    ScopedHome home;
    FakePrompts prompts;
    SetPrompts(&prompts);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fit.kvl"));
    {
        LabelDocument doc;
        doc.setZoom(200);
        const char* texts[] = {"Narrowed 12345", "Plain text", "WIDE"};
        const int rates[] = {70, 100, 160};
        for (int i = 0; i < 3; ++i) {
            auto t = std::make_unique<TOAText>();
            t->SetText(texts[i]);
            t->SetTextWidthRate(rates[i]);
            t->SetAbsLeft(3);
            t->SetAbsTop(3 + 8 * i);
            ASSERT_NE(doc.addObject(std::move(t)), nullptr);
        }
        auto line = std::make_unique<TOALine>();
        ASSERT_NE(doc.addObject(std::move(line)), nullptr);
        auto box = std::make_unique<TOARectangle>();
        ASSERT_NE(doc.addObject(std::move(box)), nullptr);
        doc.FitMode = 1;
        ASSERT_TRUE(WriteLabelFile(path, doc).opened());
    }
    auto form = std::make_unique<TChildForm>();
    form->resize(700, 500);
    form->setFileToOpen(path);
    ASSERT_TRUE(form->dispatch(Command::FinishOpening, 1));
    form->show();
    ProcessEvents();
    const LabelDocument& shown = form->document();
    ASSERT_EQ(shown.FitMode, 1);
    const int zoom = shown.zoom();
    EXPECT_NE(zoom, 200);

    LabelDocument expected;
    ASSERT_TRUE(ReadLabelFile(path, expected).opened());
    expected.setZoom(zoom);
    ASSERT_EQ(shown.objectCount(), expected.objectCount());
    for (int i = 0; i < expected.objectCount(); ++i) {
        EXPECT_EQ(shown.object(i)->geometry(), expected.object(i)->geometry()) << i;
        EXPECT_TRUE(shown.object(i)->DstBitmap() == expected.object(i)->DstBitmap()) << i;
    }
    EXPECT_TRUE(form->workspace()->picture()
        == RenderDesignView(expected, zoom, form->workspace()->drawingMode()));
    form.reset();
    ProcessEvents();
    SetPrompts(nullptr);
}

} // namespace
} // namespace korvel::test
