#include "popup_rules.h"

#include <string.h>

#include "../common/private_messages.h"

static bool StopsWalk(WindowId window, const WindowTree& tree) {
  return (tree.styleOf(tree.context, window) & STYLE_POPUP) != 0 ||
         tree.parentOf(tree.context, window) == 0;
}

WindowId ResolveTargetWindow(WindowId clicked, const WindowTree& tree) {
  if (SameWindow16(clicked, tree.desktop)) return clicked;
  WindowId window = clicked;
  while (!StopsWalk(window, tree)) window = tree.parentOf(tree.context, window);
  return window;
}

static void Append(PopupLayout& layout, PopupItem item) {
  if (layout.count < POPUP_MAX_ITEMS) layout.items[layout.count++] = item;
}

static void AppendWindowCommands(PopupLayout& layout, const PopupTarget& target) {
  uint32_t s = target.style;
  if ((s & (STYLE_MINIMIZEBOX | STYLE_MAXIMIZEBOX)) == 0) return;
  Append(layout, ITEM_SEPARATOR);
  if ((s & STYLE_MINIMIZE) && !target.isMainWindow) {
    Append(layout, ITEM_RESTORE);
    if (s & STYLE_MAXIMIZEBOX) Append(layout, ITEM_MAXIMIZE);
  } else if (s & STYLE_MAXIMIZE) {
    Append(layout, ITEM_RESTORE);
  } else if (s & STYLE_MAXIMIZEBOX) {
    Append(layout, ITEM_MAXIMIZE);
  }
  if ((s & STYLE_MINIMIZEBOX) && !(s & STYLE_MINIMIZE)) Append(layout, ITEM_MINIMIZE);
}

PopupLayout BuildPopupLayout(const PopupTarget& target, int32_t extraItems) {
  PopupLayout layout = {};
  Append(layout, ITEM_START_MENU);
  if (extraItems != 1) return layout;
  Append(layout, ITEM_SEPARATOR);
  Append(layout, ITEM_FREESPOT);
  AppendWindowCommands(layout, target);
  if (!target.isDesktop && (target.style & STYLE_SYSMENU)) {
    Append(layout, ITEM_SEPARATOR);
    Append(layout, ITEM_CLOSE);
  }
  return layout;
}

static bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

void BuildCloseText(const char16_t* title, int titleLength, char16_t (&text)[CLOSE_TEXT_SIZE]) {
  static const char16_t kExit[] = u"EXIT ";
  size_t length = 0;
  for (; kExit[length] != 0; ++length) text[length] = kExit[length];
  if (titleLength <= 0 || title == NULL) {
    text[length++] = u' ';
    text[length] = 0;
    return;
  }
  size_t kept = 0;
  while (kept < CLOSE_TITLE_LIMIT - 1 && title[kept] != 0) ++kept;
  // Half a pair would show as a box: a cut that falls inside one keeps neither half.
  if (kept == CLOSE_TITLE_LIMIT - 1 && IsHighSurrogate(title[kept - 1])) --kept;
  for (size_t i = 0; i < kept; ++i) text[length++] = title[i];
  text[length] = 0;
}

int32_t PopupAnchorX(int32_t x, int32_t monitorLeft, int32_t monitorRight) {
  int64_t centre = monitorLeft + (static_cast<int64_t>(monitorRight) - monitorLeft) / 2;
  if (x < static_cast<int64_t>(monitorLeft) + 169) return static_cast<int32_t>(centre);
  if (x > static_cast<int64_t>(monitorRight) - 169) return static_cast<int32_t>(centre + 100);
  return x;
}

int32_t PopupAnchorY(int32_t y) { return y + 20; }

uint32_t PopupPoint(uint32_t message, uint32_t namedPoint, uint32_t postedCursor) {
  return message == UM_POPUP_REQUEST ? postedCursor : namedPoint;
}

int32_t ScaleToDpi(int32_t pixels, uint32_t dpi) {
  if (dpi == 0) return pixels;
  return static_cast<int32_t>((static_cast<int64_t>(pixels) * dpi + 48) / 96);
}

bool PressIsOnPopup(uint32_t menuThreadUnderCursor, uint32_t popupThread) {
  return menuThreadUnderCursor != 0 && menuThreadUnderCursor == popupThread;
}
