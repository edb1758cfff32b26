#include "taskbar_rules.h"

static char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

static bool SameName(const char* a, const char* b) {
  for (; *a != 0 && *b != 0; ++a, ++b) {
    if (LowerAscii(*a) != LowerAscii(*b)) return false;
  }
  return *a == *b;
}

TaskbarClass ClassifyTaskbarClass(const char* name) {
  static const struct {
    const char* name;
    TaskbarClass value;
  } kClasses[] = {
      {"Button", CLASS_BUTTON},
      {"Start", CLASS_START},
      {"MSTaskSwWClass", CLASS_TASK_SWITCH},
      {"SysTabControl32", CLASS_TAB_CONTROL},
      {"ToolbarWindow32", CLASS_TOOLBAR},
      {"MSTaskListWClass", CLASS_TASK_LIST},
      {"WorkerW", CLASS_WORKER},
      {"Windows.UI.Composition.DesktopWindowContentBridge", CLASS_CONTENT_BRIDGE},
      {"Windows.UI.Input.InputSite.WindowClass", CLASS_INPUT_SITE},
  };
  if (name == nullptr) return CLASS_OTHER;
  for (const auto& known : kClasses) {
    if (SameName(name, known.name)) return known.value;
  }
  return CLASS_OTHER;
}

// Deep enough for "Shell_TrayWnd" › "ReBarWindow32" › "MSTaskSwWClass" › task list.
enum { SEARCH_DEPTH = 3 };

// The first window of `wanted` class below `parent`, children before grandchildren of the
// same branch (depth first, in z-order), at most `depth` levels down.
static WindowId FindBelow(WindowId parent, TaskbarClass wanted, int depth, const TaskbarTree& tree) {
  if (depth == 0) return 0;
  for (WindowId child = tree.firstChild(tree.context, parent); child != 0;
       child = tree.nextSibling(tree.context, child)) {
    if (tree.classOf(tree.context, child) == wanted) return child;
    WindowId below = FindBelow(child, wanted, depth - 1, tree);
    if (below != 0) return below;
  }
  return 0;
}

// The first child of `parent` whose class is `wanted`, and that is visible when asked.
static WindowId FindChild(WindowId parent, TaskbarClass wanted, bool mustBeVisible,
                          const TaskbarTree& tree) {
  for (WindowId child = tree.firstChild(tree.context, parent); child != 0;
       child = tree.nextSibling(tree.context, child)) {
    if (tree.classOf(tree.context, child) != wanted) continue;
    if (!mustBeVisible || tree.visible(tree.context, child)) return child;
  }
  return 0;
}

// The classic Start button: the first "Button" child with its corner at the origin.
static WindowId FindButtonAtOrigin(WindowId tray, const TaskbarTree& tree) {
  for (WindowId child = tree.firstChild(tree.context, tray); child != 0;
       child = tree.nextSibling(tree.context, child)) {
    if (tree.classOf(tree.context, child) == CLASS_BUTTON && tree.atOrigin(tree.context, child)) {
      return child;
    }
  }
  return 0;
}

// Windows 11 draws its whole bar in one input window inside the content bridge; the older
// task list and Start button it keeps are hidden or unused.
static WindowId FindBridgeInput(WindowId tray, const TaskbarTree& tree) {
  for (WindowId child = tree.firstChild(tree.context, tray); child != 0;
       child = tree.nextSibling(tree.context, child)) {
    if (tree.classOf(tree.context, child) != CLASS_CONTENT_BRIDGE) continue;
    WindowId input = FindChild(child, CLASS_INPUT_SITE, true, tree);
    if (input != 0) return input;
  }
  return 0;
}

static bool IsTaskList(TaskbarClass c) {
  return c == CLASS_TAB_CONTROL || c == CLASS_TOOLBAR || c == CLASS_TASK_LIST;
}

ScreenCorner CornerForReading(WindowId window, ScreenCorner now, WindowId movedButton,
                              ScreenCorner home) {
  return movedButton != 0 && window == movedButton ? home : now;
}

TaskbarFound ReadTaskbar(WindowId tray, WindowId threadButton, const TaskbarTree& tree) {
  TaskbarFound found = {LAYOUT_NONE, 0, 0, 0, false};
  if (tray == 0) return found;
  WindowId classicButton = FindButtonAtOrigin(tray, tree);
  found.startButton = classicButton;
  if (found.startButton == 0) found.startButton = FindChild(tray, CLASS_START, false, tree);
  if (found.startButton == 0) found.startButton = threadButton;

  WindowId bridgeInput = FindBridgeInput(tray, tree);
  if (bridgeInput != 0) {
    found.layout = LAYOUT_BRIDGE;
    found.taskList = bridgeInput;
    return found;
  }

  // The task list is the first child of the task-switch window, wherever that stands.
  WindowId taskSwitch = FindBelow(tray, CLASS_TASK_SWITCH, SEARCH_DEPTH, tree);
  if (taskSwitch != 0) {
    WindowId first = tree.firstChild(tree.context, taskSwitch);
    TaskbarClass firstClass = first != 0 ? tree.classOf(tree.context, first) : CLASS_OTHER;
    if (IsTaskList(firstClass)) {
      found.taskList = first;
    } else {
      found.taskListMissing = true;
    }
    found.layout = classicButton != 0 ? LAYOUT_CLASSIC
                   : found.taskList != 0 ? LAYOUT_TASK_LIST
                                         : LAYOUT_UNKNOWN;
    return found;
  }

  // A secondary taskbar keeps its task list in a worker window.
  WindowId worker = FindChild(tray, CLASS_WORKER, false, tree);
  WindowId list = worker != 0 ? FindChild(worker, CLASS_TASK_LIST, false, tree) : 0;
  if (list != 0) {
    found.layout = LAYOUT_TASK_LIST;
    found.taskList = list;
    return found;
  }

  // Wine's bar holds its task buttons itself; a bar with a worker window is a secondary
  // taskbar of Windows that holds no task list.
  if (classicButton != 0 && worker == 0) {
    found.layout = LAYOUT_WINE;
    found.taskButtonsParent = tray;
    return found;
  }
  found.layout = LAYOUT_UNKNOWN;
  return found;
}
