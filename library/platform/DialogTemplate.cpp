#include "DialogTemplate.h"

#include <map>

namespace {

std::map<UINT, DialogTemplate>& Layouts()
{
    static std::map<UINT, DialogTemplate> layouts;
    return layouts;
}

} // namespace

bool DialogTemplate::Register(const DialogTemplate& layout)
{
    Layouts().insert_or_assign(layout.id, layout);
    return true;
}

const DialogTemplate* DialogTemplate::Find(UINT id)
{
    const auto found = Layouts().find(id);
    return found == Layouts().end() ? nullptr : &found->second;
}

std::vector<UINT> DialogTemplate::Ids()
{
    std::vector<UINT> ids;
    for (const auto& [id, layout] : Layouts())
        ids.push_back(id);
    return ids;
}
