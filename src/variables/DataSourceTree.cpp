#include "variables/DataSourceTree.h"

#include "document/LabelDocument.h"

namespace korvel {

namespace {

constexpr VariableKind kNodeKinds[]
    = { VariableKind::Database, VariableKind::Date, VariableKind::Time, VariableKind::Counter, VariableKind::Formula };

bool validTop(int top)
{
    return top >= 0 && top < 5;
}

} // namespace

QString KindWord(VariableKind kind, const KindWords& words, bool connected)
{
    const int k = static_cast<int>(kind);
    if (k >= 0 && k < static_cast<int>(words.size()) && words[static_cast<size_t>(k)])
        return *words[static_cast<size_t>(k)];
    switch (kind) {
    case VariableKind::Database: return connected ? QStringLiteral("database variable") : QStringLiteral("3");
    case VariableKind::Date: return QStringLiteral("1");
    case VariableKind::Formula: return QStringLiteral("5");
    default: return {};
    }
}

QString TopNodeText(VariableKind kind, int count, const KindWords& words, bool connected)
{
    return KindWord(kind, words, connected) + QLatin1Char('(') + QString::number(count) + QLatin1Char(')');
}

DataSourceTree BuildDataSourceTree(const VariableTables& tables, const KindWords& words, bool connected)
{
    DataSourceTree tree;
    for (VariableKind kind : kNodeKinds) {
        const int count = EntryCount(tables, kind);
        DataSourceNode top;
        top.kind = kind;
        top.text = TopNodeText(kind, count, words, connected);
        const QString word = KindWord(kind, words, connected);
        const int image = static_cast<int>(kind) - 1;
        for (int i = 1; i <= count; ++i) {
            DataSourceNode child;
            child.kind = kind;
            child.entry = i;
            child.text = DisplayedVariableName(kind, EntryName(tables, kind, i), word);
            child.imageIndex = child.selectedIndex = image;
            top.children.push_back(std::move(child));
        }
        tree.nodes.push_back(std::move(top));
    }
    return tree;
}

DataSourceTree BuildDataSourceTree(const LabelDocument& document, const KindWords& words, bool connected)
{
    return BuildDataSourceTree(document.variables, words, connected);
}

std::vector<TreeMenuItem> DataSourceTreeMenu(int top, int child)
{
    std::vector<TreeMenuItem> items;
    if (!validTop(top))
        return items;
    if (child < 0) {
        if (top == 0)
            items.push_back({ QStringLiteral("创建/修改查询(&C)"), "pmnuTreeQuery.Caption", TreeMessage::DataSourceDialog, 0, 0 });
        else
            items.push_back({ QStringLiteral("增加(&A)"), "pmnuTreeAdd.Caption", TreeMessage::AddVariable, top, 0 });
        return items;
    }
    items.push_back({ QStringLiteral("变量属性(&R)"), "pmnuTreeAttr.Caption", TreeMessage::EditVariable, child + 1, top });
    if (top != 0)
        items.push_back({ QStringLiteral("删除(&D)"), "pmnuTreeDele.Caption", TreeMessage::DeleteVariable, child + 1, top });
    return items;
}

std::optional<TreeMenuItem> DataSourceTreeDoubleClick(int top, int child)
{
    if (!validTop(top) || child < 0)
        return std::nullopt;
    return TreeMenuItem { QStringLiteral("变量属性(&R)"), "pmnuTreeAttr.Caption", TreeMessage::EditVariable, child + 1, top };
}

} // namespace korvel
