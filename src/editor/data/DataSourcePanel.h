#pragma once

#include "editor/Commands.h"

#include <QTreeWidget>

namespace korvel {

class LabelDocument;

/// The data-source tree of the main window: database variables, dates, times, counters and
/// formulas of the active document, with the pop-up menu and double click that send the
/// variable commands.
class TDataSourcePanel : public QTreeWidget {
    Q_OBJECT
public:
    explicit TDataSourcePanel(QWidget* parent = nullptr);

    /// Rebuilds the tree from a document (null: no document, the tree is empty). Open nodes
    /// stay open and the current node stays current where it still exists.
    void showDocument(const LabelDocument* document, bool connected);
    /// The pop-up menu of a node (top index 0-4, child index or -1), as the right button opens it.
    QMenu* menuFor(int top, int child);
    /// A double click on a node.
    void activateNode(int top, int child);

signals:
    /// A command for the active document window.
    void command(korvel::Command command, int wParam, int lParam);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    static void position(const QTreeWidgetItem* item, int* top, int* child);
};

} // namespace korvel
