// Titles where no window manager draws them: a dialog then shows its title on a line of its
// own at its top, so the user still reads what it asks or shows.
#pragma once

class QWidget;

// True when something draws window titles: a window manager on X11, or any other desktop
// platform. False on a bare X server and offscreen.
bool WindowManagerDrawsTitles();
// Puts the window's title on a bold line across its top (object name "titleLine"), unless a
// window manager draws titles; the window's layout or contents move down by that line.
// Returns the line's height (0 when there is none).
int AddTitleLine(QWidget* window);
