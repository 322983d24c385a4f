#pragma once

#include "ui/VcmMessages.h"

// Messages between the graph window and its plot window. They share numbers
// with the page's messages but only ever reach the two graph windows. All are
// sent (handled at once) except WM_GRAPH_LOAD_DATA, which is posted.
enum GraphMessage : int {
    WM_GRAPH_SET_XINC = WM_APP + 1,    // wParam requested X increment, lParam int32_t* increment in force
    WM_GRAPH_SET_YINC = WM_APP + 2,    // wParam requested Y increment, lParam int32_t* channel 0's increment
    WM_GRAPH_AUTO_SCALE = WM_APP + 3,  // no parameters
    WM_GRAPH_SHOW_DOTS = WM_APP + 5,   // wParam 1 lines with dots, 0 lines only
    WM_GRAPH_LOAD_DATA = WM_APP + 6,   // posted once by the graph window: read the test array
    WM_GRAPH_INC_CHANGED = WM_APP + 7, // plot -> graph window: wParam X increment, lParam Y increment
};
