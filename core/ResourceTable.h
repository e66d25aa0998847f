// The program's resources as the layers below it look them up: dialog templates, strings and
// icons, registered once at start (as an application's resource handle works).
#pragma once

#include <span>

#include "core/DialogTemplate.h"

struct StringResource {
    unsigned id;
    const char* text;
};

struct IconImage {
    int size; // pixels, square
    std::span<const unsigned char> png;
};

struct IconResource {
    unsigned id;
    std::span<const IconImage> images;
};

struct ResourceTable {
    std::span<const DialogTemplate> dialogs;
    std::span<const StringResource> strings;
    std::span<const IconResource> icons;
    const char* fontName = nullptr; // the font the program's windows and boxes are designed for
    int fontPoints = 0;
};

// Makes `table` the one every lookup reads; it must outlive its use (the program's is static).
void AfxSetResourceTable(const ResourceTable* table);
// The registered table (an empty one before registration).
const ResourceTable& AfxGetResourceTable();

// nullptr when the table has no such resource.
const DialogTemplate* FindDialogTemplate(unsigned id);
const char* FindStringResource(unsigned id);
const IconResource* FindIconResource(unsigned id);
