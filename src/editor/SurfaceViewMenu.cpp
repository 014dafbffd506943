#include "editor/SurfaceViewMenu.h"

#include "editor/ChildForm.h"
#include "editor/Language.h"
#include "editor/OAWorkSpace.h"
#include "editor/editing/SurfaceEditor.h"

#include <QActionGroup>
#include <QMenu>

namespace korvel {

namespace {
QString text(const char* key, const QString& fallback)
{
    return LookupText(QStringLiteral("DesignSurface"), QString::fromLatin1(key), fallback);
}
} // namespace

void AddGridMenu(QMenu* view, std::function<TChildForm*()> activeChild)
{
    view->addSeparator();
    // Named items take their captions from the window's language section like every menu item.
    QAction* grid = view->addAction(QStringLiteral("网格(&G)"));
    grid->setObjectName(QStringLiteral("mnuGrid"));
    grid->setCheckable(true);
    QMenu* snap = view->addMenu(QStringLiteral("对齐网格(&S)"));
    snap->setObjectName(QStringLiteral("mnuSnap"));
    auto* steps = new QActionGroup(snap);
    const double values[] = { 0, 0.5, 1, 2, 5 };
    for (double v : values) {
        QAction* a = snap->addAction(v == 0 ? text("mnuSnapOff", QStringLiteral("关闭")) : QStringLiteral("%1 mm").arg(v));
        a->setCheckable(true);
        a->setData(v);
        steps->addAction(a);
    }

    QObject::connect(view, &QMenu::aboutToShow, view, [=] {
        TChildForm* child = activeChild();
        grid->setEnabled(child != nullptr);
        snap->setEnabled(child != nullptr);
        if (!child)
            return;
        const SurfaceGrid& g = child->surfaceEditor().grid;
        grid->setChecked(g.visible);
        for (QAction* a : steps->actions()) {
            const double v = a->data().toDouble();
            a->setChecked(g.snap ? v == g.stepMM : v == 0);
            if (v == 0)
                a->setText(text("mnuSnapOff", QStringLiteral("关闭")));
        }
    });
    QObject::connect(grid, &QAction::triggered, view, [=](bool on) {
        if (TChildForm* child = activeChild()) {
            child->surfaceEditor().grid.visible = on;
            child->workspace()->update();
        }
    });
    QObject::connect(steps, &QActionGroup::triggered, view, [=](QAction* a) {
        if (TChildForm* child = activeChild()) {
            SurfaceGrid& g = child->surfaceEditor().grid;
            const double v = a->data().toDouble();
            g.snap = v > 0;
            if (v > 0)
                g.stepMM = v;
        }
    });
}

} // namespace korvel
