// The popup menu's decisions over plain values: which window it acts on, which items it
// holds for that window's style, and where it is anchored.
#ifndef PIVOTRIX_PROGRAM_POPUP_RULES_H
#define PIVOTRIX_PROGRAM_POPUP_RULES_H

#include <stddef.h>
#include <stdint.h>

// Window style bits the popup looks at (the platform's WS_ values).
enum : uint32_t {
  STYLE_POPUP = 0x80000000u,
  STYLE_MINIMIZE = 0x20000000u,
  STYLE_MAXIMIZE = 0x01000000u,
  STYLE_SYSMENU = 0x00080000u,
  STYLE_MINIMIZEBOX = 0x00020000u,
  STYLE_MAXIMIZEBOX = 0x00010000u,
};

// Window handles as plain values; a tree answers for the window system.
typedef uintptr_t WindowId;

struct WindowTree {
  WindowId (*parentOf)(const void* context, WindowId window);
  uint32_t (*styleOf)(const void* context, WindowId window);
  const void* context;
  WindowId desktop;
};

// The window a popup for a click on `clicked` acts on: the clicked window itself when it
// is the desktop, a popup or has no parent, otherwise its nearest ancestor that is a popup
// or has no parent. `clicked` may be a handle widened from 16 bits, so the desktop is
// recognised on the low 16 bits.
WindowId ResolveTargetWindow(WindowId clicked, const WindowTree& tree);

enum PopupItem {
  ITEM_START_MENU,
  ITEM_SEPARATOR,
  ITEM_FREESPOT,
  ITEM_RESTORE,
  ITEM_MAXIMIZE,
  ITEM_MINIMIZE,
  ITEM_CLOSE,
  POPUP_ITEM_COUNT,  // not an item: how many there are
};

enum { POPUP_MAX_ITEMS = 10 };

struct PopupLayout {
  int count;
  PopupItem items[POPUP_MAX_ITEMS];
};

struct PopupTarget {
  uint32_t style;     // 0 when the window is gone
  bool isMainWindow;  // the target is the program's own window
  bool isDesktop;
};

PopupLayout BuildPopupLayout(const PopupTarget& target, int32_t extraItems);

// "EXIT " and the first 13 UTF-16 units of the title (12 when the 13th would be the first
// half of a surrogate pair), or "EXIT  " for an untitled window. The title is read as
// UTF-16, so that titles outside the system's code page keep their letters. titleLength is
// what the title read returned (0 when there is none).
enum { CLOSE_TITLE_LIMIT = 14, CLOSE_TEXT_SIZE = 5 + CLOSE_TITLE_LIMIT };
void BuildCloseText(const char16_t* title, int titleLength, char16_t (&text)[CLOSE_TEXT_SIZE]);

// The menu's right edge, on the monitor that holds the cursor (its left and right edges in
// screen coordinates): the monitor's centre within 169 pixels of its left edge, the centre
// plus 100 within 169 pixels of its right edge, else the cursor's x. On one monitor at the
// origin that is half the screen and half the screen plus 100. Its top edge is 20 pixels
// below the cursor.
int32_t PopupAnchorX(int32_t x, int32_t monitorLeft, int32_t monitorRight);
int32_t PopupAnchorY(int32_t y);

// The popup's point, packed. The hook's request (UM_POPUP_REQUEST) names the point as the
// clicked program sees it: on a scaled display a program unaware of DPI sees it shrunk, an
// aware one in physical pixels. The cursor position that the system recorded when the
// request was posted (postedCursor) is in physical pixels whatever the program, and so is
// taken instead. Any other message (UM_POPUP_NOW) keeps the point its sender named.
uint32_t PopupPoint(uint32_t message, uint32_t namedPoint, uint32_t postedCursor);

// The size in pixels of a picture drawn `pixels` wide (or high) at 96 DPI, drawn for a
// monitor of `dpi`: 16 pixels are 20 at 120 DPI (125 %), 24 at 144, 32 at 192, rounded to
// the nearest pixel. A DPI that could not be read (0) leaves the size as it is.
int32_t ScaleToDpi(int32_t pixels, uint32_t dpi);

// A press reported after a popup request is on the popup exactly when the menu window under
// the cursor belongs to the popup's thread (0: no menu window there). The window that the
// press was reported for says nothing: while another program's own context menu is open
// beside the popup, its menu loop holds the mouse and every press is reported for it.
bool PressIsOnPopup(uint32_t menuThreadUnderCursor, uint32_t popupThread);

#endif
