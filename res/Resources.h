// The program's resources as data, and the one table the program registers at start.
#pragma once

#include <span>

#include "core/ResourceTable.h"

namespace res {
// The font all the program's dialogs are designed for.
inline constexpr const char* kDialogFont = "ＭＳ Ｐゴシック";
inline constexpr int kDialogFontPoints = 9;

std::span<const DialogTemplate> DialogTemplates();
std::span<const StringResource> StringTable();
std::span<const IconResource> Icons(); // generated from res/icons/ by the build
// Everything above, for AfxSetResourceTable.
const ResourceTable& ProgramResources();
}
