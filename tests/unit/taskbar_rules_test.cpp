// The taskbar as each shell builds it: its Start button, the window whose right clicks are
// left to the shell, and whether the shell's Start menu can be moved to the mouse.
#include <gtest/gtest.h>

#include <vector>

#include "program/taskbar_rules.h"

namespace {

// One window of a fake taskbar: its handle is its index + 1 in the list, its parent 0 for
// the taskbar itself. Children come in list order (the z-order).
struct FakeWindow {
  WindowId parent;
  const char* className;
  bool atOrigin;
  bool visible;
};
typedef std::vector<FakeWindow> Tree;

const Tree* g_tree;

WindowId After(WindowId parent, WindowId from) {
  for (WindowId id = from + 1; id <= g_tree->size(); ++id) {
    if ((*g_tree)[id - 1].parent == parent) return id;
  }
  return 0;
}
WindowId FirstChild(const void*, WindowId window) { return After(window, 0); }
WindowId NextSibling(const void*, WindowId window) { return After((*g_tree)[window - 1].parent, window); }
TaskbarClass ClassOf(const void*, WindowId w) { return ClassifyTaskbarClass((*g_tree)[w - 1].className); }
bool AtOrigin(const void*, WindowId w) { return (*g_tree)[w - 1].atOrigin; }
bool Visible(const void*, WindowId w) { return (*g_tree)[w - 1].visible; }

TaskbarFound Read(const Tree& tree, WindowId threadButton = 0) {
  g_tree = &tree;
  TaskbarTree seams = {FirstChild, NextSibling, ClassOf, AtOrigin, Visible, nullptr};
  return ReadTaskbar(1, threadButton, seams);
}

const FakeWindow kTray = {0, "Shell_TrayWnd", true, true};

TEST(TaskbarRules, EachShellsLayout) {
  struct Case {
    const char* shell;
    Tree tree;
    WindowId threadButton;
    TaskbarLayout layout;
    WindowId start, taskList, taskButtons;
    bool missing;
  } const cases[] = {
      {"95", {kTray, {1, "Button", true, true}, {1, "MSTaskSwWClass", false, true},
              {3, "SysTabControl32", false, true}}, 0, LAYOUT_CLASSIC, 2, 4, 0, false},
      {"98, 2000: under a rebar", {kTray, {1, "button", true, true}, {1, "ReBarWindow32", false, true},
              {3, "MSTaskSwWClass", false, true}, {4, "SysTabControl32", false, true}},
       0, LAYOUT_CLASSIC, 2, 5, 0, false},
      {"XP", {kTray, {1, "Button", true, true}, {1, "ReBarWindow32", false, true},
              {3, "MSTaskSwWClass", false, true}, {4, "ToolbarWindow32", false, true}},
       0, LAYOUT_CLASSIC, 2, 5, 0, false},
      {"7: the Start button is a window of the taskbar's thread",
       {kTray, {1, "ReBarWindow32", false, true}, {2, "MSTaskSwWClass", false, true},
        {3, "MSTaskListWClass", false, true}, {0, "Button", false, true}},
       5, LAYOUT_TASK_LIST, 5, 4, 0, false},
      {"8.1, 10", {kTray, {1, "Start", true, true}, {1, "ReBarWindow32", false, true},
                   {3, "MSTaskSwWClass", false, true}, {4, "MSTaskListWClass", false, true}},
       0, LAYOUT_TASK_LIST, 2, 5, 0, false},
      {"11: the bridge's input covers the bar; the old list is hidden",
       {kTray, {1, "Start", true, false}, {1, "ReBarWindow32", false, false},
        {3, "MSTaskSwWClass", false, false}, {4, "MSTaskListWClass", false, false},
        {1, "Windows.UI.Composition.DesktopWindowContentBridge", true, true},
        {6, "Windows.UI.Input.InputSite.WindowClass", true, true}},
       0, LAYOUT_BRIDGE, 2, 7, 0, false},
      {"11: a bridge whose input is hidden, then one whose input is shown",
       {kTray, {1, "Windows.UI.Composition.DesktopWindowContentBridge", true, true},
        {2, "Windows.UI.Input.InputSite.WindowClass", true, false},
        {1, "Windows.UI.Composition.DesktopWindowContentBridge", true, true},
        {4, "Windows.UI.Input.InputSite.WindowClass", true, true}},
       0, LAYOUT_BRIDGE, 0, 5, 0, false},
      {"secondary, 8 and later", {{0, "Shell_SecondaryTrayWnd", true, true}, {1, "Start", true, true},
                                 {1, "WorkerW", false, true}, {3, "MSTaskListWClass", false, true}},
       0, LAYOUT_TASK_LIST, 2, 4, 0, false},
      {"secondary whose worker holds no list: no Wine bar",
       {{0, "Shell_SecondaryTrayWnd", true, true}, {1, "Button", true, true},
        {1, "WorkerW", false, true}, {1, "Button", false, true}},
       0, LAYOUT_UNKNOWN, 2, 0, 0, false},
      {"Wine: one button per window", {kTray, {1, "Button", true, true}, {1, "Button", false, true},
                                       {1, "Button", false, true}},
       0, LAYOUT_WINE, 2, 0, 1, false},
      {"a button at (5, 0) is no Start button", {kTray, {1, "Button", false, true},
                                                 {1, "MSTaskSwWClass", false, true},
                                                 {3, "SysTabControl32", false, true}},
       0, LAYOUT_TASK_LIST, 0, 4, 0, false},
      {"task switch without a known list", {kTray, {1, "Button", true, true},
                                            {1, "MSTaskSwWClass", false, true},
                                            {3, "Static", false, true}, {3, "SysTabControl32", false, true}},
       0, LAYOUT_CLASSIC, 2, 0, 0, true},
      {"a bar of another program", {kTray, {1, "Static", true, true}}, 0, LAYOUT_UNKNOWN, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shell);
    TaskbarFound found = Read(c.tree, c.threadButton);
    EXPECT_EQ(found.layout, c.layout);
    EXPECT_EQ(found.startButton, c.start);
    EXPECT_EQ(found.taskList, c.taskList);
    EXPECT_EQ(found.taskButtonsParent, c.taskButtons);
    EXPECT_EQ(found.taskListMissing, c.missing);
  }
  g_tree = nullptr;
  TaskbarTree none = {FirstChild, NextSibling, ClassOf, AtOrigin, Visible, nullptr};
  EXPECT_EQ(ReadTaskbar(0, 0, none).layout, LAYOUT_NONE);
}

TEST(TaskbarRules, TheButtonMovedToTheCursorIsReadAtItsHome) {
  const ScreenCorner now = {539, -404};
  const ScreenCorner home = {0, 738};
  struct Case {
    const char* what;
    WindowId window, moved;
    ScreenCorner expected;
  } const cases[] = {
      {"the moved button", 7, 7, home},
      {"another window while a button is moved", 8, 7, now},
      {"no button moved", 7, 0, now},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScreenCorner read = CornerForReading(c.window, now, c.moved, home);
    EXPECT_EQ(read.x, c.expected.x);
    EXPECT_EQ(read.y, c.expected.y);
  }
}

TEST(TaskbarRules, ClassNamesWithoutRegardToCase) {
  EXPECT_EQ(ClassifyTaskbarClass("mstaskswwclass"), CLASS_TASK_SWITCH);
  EXPECT_EQ(ClassifyTaskbarClass("BUTTON"), CLASS_BUTTON);
  EXPECT_EQ(ClassifyTaskbarClass("Buttons"), CLASS_OTHER);
  EXPECT_EQ(ClassifyTaskbarClass("Butto"), CLASS_OTHER);
  EXPECT_EQ(ClassifyTaskbarClass(nullptr), CLASS_OTHER);
}

}  // namespace
