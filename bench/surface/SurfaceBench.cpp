// The design surface with the 200-object label of BenchLabel.h in a real document window
// (offscreen): one drag step, undo and redo of a 200-object move, opening the label.
#include "BenchLabel.h"

#include "editor/ChildForm.h"
#include "editor/OAWorkSpace.h"
#include "editor/editing/Operation.h"
#include "editor/editing/SurfaceEditor.h"
#include "persistence/LabelFile.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace korvel::bench {
namespace {

std::unique_ptr<TChildForm> windowWithLabel(int zoom)
{
    auto form = std::make_unique<TChildForm>();
    BuildBenchLabel(form->document());
    form->document().setZoom(zoom);
    form->document().FitMode = 0;
    form->resize(1200, 800);
    form->show();
    form->workspace()->refresh();
    QCoreApplication::processEvents();
    return form;
}

void sendMouse(TOAWorkspace* w, QEvent::Type type, QPoint surface)
{
    const QPointF local = surface + w->origin();
    QMouseEvent e(type, local, w->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
    QCoreApplication::sendEvent(w, &e);
}

/// One pointer movement of a drag until the window has painted it, for one object or for
/// all 200 selected.
void BM_DragStep(benchmark::State& state)
{
    auto form = windowWithLabel(200);
    LabelDocument& doc = form->document();
    TOAControl* first = doc.object(0);
    if (state.range(0) == 200)
        form->dispatch(Command::SelectAll);
    else
        doc.selectOnly(first);
    TOAWorkspace* w = form->workspace();
    const QPoint start = first->geometry().center();
    sendMouse(w, QEvent::MouseButtonPress, start); // grips the selection
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 40;
        sendMouse(w, QEvent::MouseMove, start + QPoint(10 + step, 5 + step / 2));
        QCoreApplication::processEvents(); // the paint of what changed
    }
    sendMouse(w, QEvent::MouseButtonRelease, start);
    doc.modified = false;
}
BENCHMARK(BM_DragStep)->Arg(1)->Arg(200)->Unit(benchmark::kMillisecond);

/// Undo, then redo, of one move of all 200 objects, with the surface painted again.
void BM_UndoRedoMoveGroup(benchmark::State& state)
{
    auto form = windowWithLabel(200);
    form->dispatch(Command::SelectAll);
    form->dispatch(Command::MoveSelection, 1, 1);
    for (auto _ : state) {
        form->dispatch(state.range(0) == 0 ? Command::Undo : Command::Redo);
        form->dispatch(state.range(0) == 0 ? Command::Redo : Command::Undo);
    }
    state.SetLabel("undo + redo per iteration");
    form->document().modified = false;
}
BENCHMARK(BM_UndoRedoMoveGroup)->Arg(0)->Unit(benchmark::kMillisecond);

/// History only: undo and redo of the 200-object move group without the repaint.
void BM_UndoRedoMoveGroupModel(benchmark::State& state)
{
    LabelDocument doc;
    BuildBenchLabel(doc);
    TOperation history(doc);
    SurfaceEditor editor(doc, history);
    editor.selectAll();
    editor.moveSelection(1, true);
    for (auto _ : state) {
        history.undo();
        history.redo();
    }
}
BENCHMARK(BM_UndoRedoMoveGroupModel)->Unit(benchmark::kMillisecond);

/// Opening the label file into a new document window until it has painted.
void BM_OpenIntoWindow(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.kvl"));
    {
        LabelDocument doc;
        BuildBenchLabel(doc);
        WriteLabelFile(path, doc);
    }
    for (auto _ : state) {
        auto form = std::make_unique<TChildForm>();
        form->resize(1200, 800);
        form->setFileToOpen(path);
        form->dispatch(Command::FinishOpening, 1);
        form->show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.get());
    }
}
BENCHMARK(BM_OpenIntoWindow)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace korvel::bench

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Recovery copies of the benchmark's windows go to a folder of their own.
    QTemporaryDir home;
    qputenv("KORVEL_HOME", home.path().toUtf8());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
