#include "editor/DrawingTools.h"

#include "editor/ChildForm.h"
#include "editor/MainForm.h"

#include <QAction>
#include <QActionGroup>

namespace korvel {

namespace {
/// Toolbar buttons and Create menu items with the tool each one chooses.
struct ToolEntry {
    const char* button;
    const char* menuItem;
    int tool;
};
constexpr ToolEntry Entries[] = {
    { "ToolButtonArrow", nullptr, 0 },
    { "ToolButtonText", "mnuCreateText", 1 },
    { "ToolButtonBarcode", "mnuCreateBarcode", 2 },
    { "ToolButtonImage", "mnuCreateImage", 3 },
    { "ToolButtonLine", "mnuCreateLine", 4 },
    { "ToolButtonRectangle", "mnuCreateRectangle", 5 },
    { "ToolButtonEllipse", "mnuCreateEllipse", 6 },
    { "ToolButtonHVLine", "mnuCreateHVLine", 7 },
    { "ToolButtonInverse", "mnuCreateInverse", 8 },
};
} // namespace

DrawingTools::DrawingTools(TMainForm* frame)
    : QObject(frame)
    , frame_(frame)
{
    clock_.start();
}

void DrawingTools::wire()
{
    group_ = new QActionGroup(this);
    group_->setExclusive(true);
    for (const ToolEntry& e : Entries) {
        const int tool = e.tool;
        if (QAction* button = frame_->action(QLatin1String(e.button))) {
            button->setCheckable(true);
            button->setProperty("tool", tool);
            button->setProperty("needsDocument", true);
            group_->addAction(button);
            connect(button, &QAction::triggered, this, [this, tool] { choose(tool); });
        }
        if (!e.menuItem)
            continue;
        if (QAction* item = frame_->action(QLatin1String(e.menuItem))) {
            item->setProperty("needsDocument", true);
            connect(item, &QAction::triggered, this, [this, tool] { choose(tool); });
        }
    }
    showTool();
}

void DrawingTools::choose(int tool)
{
    mode_.click(tool, clock_.elapsed());
    showTool();
    for (TChildForm* child : frame_->childForms())
        applyTo(child);
}

void DrawingTools::stepDone(bool stepRan)
{
    const int before = mode_.tool();
    if (mode_.afterCreation(stepRan) == before)
        return;
    showTool();
    for (TChildForm* child : frame_->childForms())
        applyTo(child);
}

void DrawingTools::applyTo(TChildForm* child)
{
    if (child)
        child->setTool(mode_.tool());
}

void DrawingTools::showTool()
{
    for (const ToolEntry& e : Entries)
        if (e.tool == mode_.tool())
            if (QAction* button = frame_->action(QLatin1String(e.button)))
                button->setChecked(true);
}

} // namespace korvel
