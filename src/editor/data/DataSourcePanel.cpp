#include "editor/data/DataSourcePanel.h"

#include "document/LabelDocument.h"
#include "editor/Language.h"
#include "editor/data/DataTexts.h"
#include "variables/DataSourceTree.h"

#include <QContextMenuEvent>
#include <QMenu>

#include <set>

namespace korvel {

TDataSourcePanel::TDataSourcePanel(QWidget* parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("TreeViewDataSource"));
    setHeaderHidden(true);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
        int top = -1, child = -1;
        position(item, &top, &child);
        activateNode(top, child);
    });
}

void TDataSourcePanel::position(const QTreeWidgetItem* item, int* top, int* child)
{
    *top = -1;
    *child = -1;
    if (!item)
        return;
    if (const QTreeWidgetItem* parent = item->parent()) {
        *top = parent->treeWidget()->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(parent));
        *child = parent->indexOfChild(const_cast<QTreeWidgetItem*>(item));
    } else {
        *top = item->treeWidget()->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item));
    }
}

void TDataSourcePanel::showDocument(const LabelDocument* document, bool connected)
{
    std::set<int> open;
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->isExpanded())
            open.insert(i);
    int currentTop = -1, currentChild = -1;
    position(currentItem(), &currentTop, &currentChild);

    clear();
    if (!document)
        return;
    const KindWords words = LanguageKindWords();
    DataSourceTree tree = BuildDataSourceTree(*document, words, connected);
    // Without a connection the database node stands empty: its variables are the last query's,
    // kept for the objects that name them.
    if (!connected && !tree.nodes.empty()) {
        tree.nodes[0].children.clear();
        tree.nodes[0].text = TopNodeText(VariableKind::Database, 0, words, false);
    }
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
        const DataSourceNode& node = tree.nodes[i];
        auto* top = new QTreeWidgetItem(this, QStringList(node.text));
        for (const DataSourceNode& c : node.children) {
            auto* item = new QTreeWidgetItem(top, QStringList(c.text));
            item->setData(0, Qt::UserRole, c.imageIndex);
        }
        top->setExpanded(open.count(static_cast<int>(i)) > 0);
    }
    if (QTreeWidgetItem* top = topLevelItem(currentTop)) {
        QTreeWidgetItem* item = currentChild >= 0 ? top->child(currentChild) : top;
        setCurrentItem(item ? item : top);
    }
}

QMenu* TDataSourcePanel::menuFor(int top, int child)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenuTree"));
    for (const TreeMenuItem& item : DataSourceTreeMenu(top, child)) {
        QAction* a = menu->addAction(LookupText(QStringLiteral("ChildForm"), QString::fromLatin1(item.key), item.text));
        const Command c = static_cast<Command>(item.message);
        const int first = item.first;
        const int second = item.second;
        connect(a, &QAction::triggered, this, [this, c, first, second] { emit command(c, first, second); });
    }
    return menu;
}

void TDataSourcePanel::activateNode(int top, int child)
{
    if (const auto item = DataSourceTreeDoubleClick(top, child))
        emit command(static_cast<Command>(item->message), item->first, item->second);
}

void TDataSourcePanel::contextMenuEvent(QContextMenuEvent* event)
{
    QTreeWidgetItem* item = itemAt(event->pos());
    if (!item)
        return;
    setCurrentItem(item);
    int top = -1, child = -1;
    position(item, &top, &child);
    QMenu* menu = menuFor(top, child);
    // Opened where the button was pressed.
    menu->exec(event->globalPos());
    menu->deleteLater();
}

} // namespace korvel
