// The dialog font: maps a template's Japanese font name onto the best installed Japanese
// Gothic, and measures the dialog base units from it. Qt-side part of the framework layer.
#pragma once

#include <QFont>

#include "core/DialogUnits.h"

QFont MapDialogFont(const char* faceName, int pointSize);
DialogBaseUnits MeasureBaseUnits(const QFont& font);
