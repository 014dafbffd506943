#pragma once

#include "editor/creation/ObjectCreation.h"

#include <QElapsedTimer>
#include <QObject>

class QAction;
class QActionGroup;

namespace korvel {

class TChildForm;
class TMainForm;

/// The drawing toolbar and the Create menu: which tool is chosen, one-shot or repeat, and the
/// tool of every document window.
class DrawingTools : public QObject {
    Q_OBJECT
public:
    explicit DrawingTools(TMainForm* frame);

    /// Wires the tool buttons and menu items (after the frame built its actions).
    void wire();
    int tool() const { return mode_.tool(); }
    bool repeating() const { return mode_.repeating(); }
    /// Chooses a tool as a click on its button would (0 the arrow).
    void choose(int tool);
    /// A document window finished a creation step.
    void stepDone(bool stepRan);
    /// Gives a (new or activated) document window the current tool.
    void applyTo(TChildForm* child);

private:
    void showTool();

    TMainForm* frame_;
    ToolMode mode_;
    QElapsedTimer clock_;
    QActionGroup* group_ = nullptr;
};

} // namespace korvel
