// Small xcb helpers for the window-manager properties Qt has no API for (X11 builds only).
#pragma once

#ifdef OMBREL_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

// The root window of `window`'s screen.
xcb_window_t XcbRoot(xcb_connection_t* c, xcb_window_t window);
xcb_atom_t XcbAtom(xcb_connection_t* c, const char* name);
// A 32-bit property's values (up to 1024); none when it is missing or of another format.
std::vector<uint32_t> XcbCardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
#endif
