// How each shell builds its taskbar, over plain values: which child is the Start button,
// which window holds the task buttons, and whether the Start button can be moved to the
// mouse to open the shell's own Start menu there.
#ifndef PIVOTRIX_PROGRAM_TASKBAR_RULES_H
#define PIVOTRIX_PROGRAM_TASKBAR_RULES_H

#include <stdint.h>

#include "popup_rules.h"

// The window classes that tell the layouts apart; every other class is CLASS_OTHER.
enum TaskbarClass {
  CLASS_OTHER,
  CLASS_BUTTON,          // "Button": the classic and Wine's Start button, Wine's task buttons
  CLASS_START,           // "Start": the Start button from Windows 8 on
  CLASS_TASK_SWITCH,     // "MSTaskSwWClass": holds the task list (95 to 10)
  CLASS_TAB_CONTROL,     // "SysTabControl32": the task list of 95, 98 and 2000
  CLASS_TOOLBAR,         // "ToolbarWindow32": the task list of XP
  CLASS_TASK_LIST,       // "MSTaskListWClass": the task list from Windows 7 on
  CLASS_WORKER,          // "WorkerW": holds a secondary taskbar's task list
  CLASS_CONTENT_BRIDGE,  // "Windows.UI.Composition.DesktopWindowContentBridge" (11)
  CLASS_INPUT_SITE,      // "Windows.UI.Input.InputSite.WindowClass": all of 11's bar
};

// The class of a window class name, compared without regard to ASCII letter case.
TaskbarClass ClassifyTaskbarClass(const char* name);

// A taskbar's windows as the window system answers for them.
struct TaskbarTree {
  WindowId (*firstChild)(const void* context, WindowId window);
  WindowId (*nextSibling)(const void* context, WindowId window);
  TaskbarClass (*classOf)(const void* context, WindowId window);
  // The window's top-left corner lies within 5 pixels of the taskbar's client origin.
  bool (*atOrigin)(const void* context, WindowId window);
  bool (*visible)(const void* context, WindowId window);
  const void* context;
};

enum TaskbarLayout {
  LAYOUT_NONE,       // no taskbar
  LAYOUT_CLASSIC,    // 95 to XP: a "Button" at the origin and a task-switch window
  LAYOUT_TASK_LIST,  // 7, 8.1, 10, and the secondary taskbars of 8 and later
  LAYOUT_BRIDGE,     // 11: one input window covers the whole bar
  LAYOUT_WINE,       // a "Button" at the origin and one "Button" child per window
  LAYOUT_UNKNOWN,    // a taskbar whose task buttons were not found
};

struct TaskbarFound {
  TaskbarLayout layout;
  WindowId startButton;  // 0 when there is none
  WindowId taskList;     // the window whose right clicks are left to the shell; 0: none
  // Wine's task buttons are children of the taskbar itself, one per window: right clicks
  // on every child of this window but the Start button are left to the shell. 0: none.
  WindowId taskButtonsParent;
  // A task-switch window whose first child is no known task list: the user is told.
  bool taskListMissing;
};

// A window's top-left corner in screen coordinates.
struct ScreenCorner {
  int32_t x;
  int32_t y;
};

// The corner that the Start-button test reads for `window`, which stands at `now`: the
// button that the Start sequence has moved under the cursor (movedButton; 0 while none is
// moved) counts at its home, where the sequence puts it back, so that a taskbar read in
// the middle of the sequence is read as the shell laid it out.
ScreenCorner CornerForReading(WindowId window, ScreenCorner now, WindowId movedButton,
                              ScreenCorner home);

// Reads a taskbar ("Shell_TrayWnd", or a secondary "Shell_SecondaryTrayWnd"). Windows 7's
// Start button is no child of the taskbar but a top-level window of its thread, found by
// the caller: threadButton, or 0.
TaskbarFound ReadTaskbar(WindowId tray, WindowId threadButton, const TaskbarTree& tree);

#endif
