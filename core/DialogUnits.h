// Dialog units to pixels, as dialog templates are laid out: one horizontal unit is a quarter of
// the dialog font's average character width, one vertical unit an eighth of its height.
#pragma once

struct DialogBaseUnits {
    int cx = 0; // average character width, pixels
    int cy = 0; // character height, pixels
};

// Average width as the dialog manager computes it from the width of the 52 Latin letters.
int AverageCharWidth(int widthOfAlphabet);
int DluToPixelsX(const DialogBaseUnits& units, int dlu);
int DluToPixelsY(const DialogBaseUnits& units, int dlu);
