#pragma once

#include <cstdint>

class QWidget;

// Window style bits that the page and its controls exchange. They keep the
// values the drive database's layout rules were written for; a widget carries
// them through GetWindowStyle / SetWindowStyle below.
enum : uint32_t {
    WS_CHILD = 0x40000000,
    WS_VISIBLE = 0x10000000,
    WS_DISABLED = 0x08000000,
    WS_VSCROLL = 0x00200000,
    WS_TABSTOP = 0x00010000,
    ES_RIGHT = 0x0002,
    ES_AUTOHSCROLL = 0x0080,
    ES_READONLY = 0x0800,
    CBS_DROPDOWNLIST = 0x0003,
    SS_CENTER = 0x0001,
    SS_RIGHT = 0x0002,
    SS_NOTIFY = 0x0100,
    SS_CENTERIMAGE = 0x0200,
    SS_SUNKEN = 0x1000,
};

// The style bits a widget has now: WS_CHILD for a widget with a parent,
// WS_VISIBLE unless it was hidden, WS_DISABLED when it was disabled itself,
// ES_READONLY for a read-only line edit.
uint32_t GetWindowStyle(const QWidget* window);

// Gives a widget the visibility, enabled and read-only state of a style.
void SetWindowStyle(QWidget* window, uint32_t style);

// Puts a new window into its parent page: parent, rectangle, control id (the
// "controlId" property) and the style's visibility and enabled state.
void PlaceWindow(QWidget* window, uint32_t style, int x, int y, int width, int height,
                 QWidget* parent, int id);
