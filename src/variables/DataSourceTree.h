#pragma once

#include "variables/VariableModel.h"

#include <QPoint>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace korvel {

class LabelDocument;

/// One node of the main window's data-source tree.
struct DataSourceNode {
    QString text;
    VariableKind kind = VariableKind::Database;
    int entry = 0; ///< 1-based entry number of a child; 0 for a top node
    int imageIndex = 0;
    int selectedIndex = 0;
    std::vector<DataSourceNode> children;
};

/// The five top nodes: database variables, dates, times, counters, formulas.
struct DataSourceTree {
    std::vector<DataSourceNode> nodes;
};

/// The word shown for a kind: the language's, or the default of its top node ("3", "1", "",
/// "" and "5"; "database variable" for the database node while a data source is connected).
QString KindWord(VariableKind kind, const KindWords& words, bool connected);
/// A top node's text: word, "(", count, ")".
QString TopNodeText(VariableKind kind, int count, const KindWords& words, bool connected);
/// Rebuilds the tree from the tables: database variables by column name, the others by their
/// displayed names; a child's image and selected index are its kind - 1.
DataSourceTree BuildDataSourceTree(const VariableTables& tables, const KindWords& words, bool connected);
DataSourceTree BuildDataSourceTree(const LabelDocument& document, const KindWords& words, bool connected);

/// Document messages sent from the tree.
enum class TreeMessage : int {
    AddVariable = 0x412,
    EditVariable = 0x413,
    DataSourceDialog = 0x414,
    DeleteVariable = 0x417,
};

struct TreeMenuItem {
    QString text;
    /// Key of the caption in the document window's section of the language file.
    const char* key = "";
    TreeMessage message = TreeMessage::EditVariable;
    int first = 0; ///< 0x412: kind - 1; 0x413/0x417: entry number
    int second = 0; ///< 0x413/0x417: kind - 1
};

/// The pop-up menu of a node: `top` is the top node's index (0-4), `child` the child's index
/// or -1 for the top node itself.
std::vector<TreeMenuItem> DataSourceTreeMenu(int top, int child);
/// A double click acts as "变量属性(&R)" on a child and does nothing on a top node.
std::optional<TreeMenuItem> DataSourceTreeDoubleClick(int top, int child);
/// Where the pop-up opens for a right-button press at `press` within the tree.
inline QPoint TreeMenuPosition(const QPoint& press)
{
    return { press.x(), press.y() + 110 };
}

} // namespace korvel
