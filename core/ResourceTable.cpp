#include "core/ResourceTable.h"

namespace {

const ResourceTable*& registered()
{
    // The one process-wide resource handle; set once at start.
    static const ResourceTable* table = nullptr;
    return table;
}

template <typename T> const T* findById(std::span<const T> items, unsigned id)
{
    for (const T& item : items) {
        if (item.id == id)
            return &item;
    }
    return nullptr;
}

} // namespace

void AfxSetResourceTable(const ResourceTable* table)
{
    registered() = table;
}

const ResourceTable& AfxGetResourceTable()
{
    static const ResourceTable none;
    return registered() ? *registered() : none;
}

const DialogTemplate* FindDialogTemplate(unsigned id)
{
    return findById(AfxGetResourceTable().dialogs, id);
}

const char* FindStringResource(unsigned id)
{
    const StringResource* found = findById(AfxGetResourceTable().strings, id);
    return found ? found->text : nullptr;
}

const IconResource* FindIconResource(unsigned id)
{
    return findById(AfxGetResourceTable().icons, id);
}
