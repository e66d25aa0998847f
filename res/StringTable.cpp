#include "res/StringTable.h"

#include "res/Resource.h"

const char* res::LoadStringResource(unsigned id)
{
    switch (id) {
    case IDS_ABOUT_ENTRY:
        return "OmbrelClock の情報と設定(&A)";
    default:
        return nullptr;
    }
}
