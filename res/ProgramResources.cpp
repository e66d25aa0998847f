#include "res/Resources.h"

const ResourceTable& res::ProgramResources()
{
    static const ResourceTable table{DialogTemplates(), StringTable(), Icons(), kDialogFont, kDialogFontPoints};
    return table;
}
