#include "editor/PropertyEditors.h"

#include <map>

namespace korvel {

namespace {
std::map<ObjectKind, PropertyEditor>& registry()
{
    static std::map<ObjectKind, PropertyEditor> editors;
    return editors;
}
} // namespace

void RegisterPropertyEditor(ObjectKind kind, PropertyEditor editor)
{
    if (editor)
        registry()[kind] = std::move(editor);
    else
        registry().erase(kind);
}

const PropertyEditor* FindPropertyEditor(ObjectKind kind)
{
    const auto it = registry().find(kind);
    return it == registry().end() ? nullptr : &it->second;
}

} // namespace korvel
