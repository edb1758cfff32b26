#include "control_menu.h"

#include "../hooklib/hook_interface.h"
#include "activation.h"
#include "control_marks.h"
#include "dialogs.h"
#include "program_state.h"
#include "resource.h"
#include "settings.h"
#include "startup_shortcut.h"

// One row per pair of mutually exclusive choices, in menu order: its two items, the marks
// for the settings in force, and what choosing the first or the second item does.
struct ChoicePair {
  UINT first;
  const char* firstText;
  UINT second;
  const char* secondText;
  PairMarks (*marks)(void);
  void (*choose)(bool first);
  bool ignoresInForce;  // a command for the choice in force is ignored, like its greyed item
  bool afterDialogs;    // stands after Help and About, so the others keep their places
};

static PairMarks ActivationMarks(void) { return MarkActivation(Program.enabled); }

static PairMarks ExtraItemsMarks(void) { return MarkExtraItems(Program.extraItems); }

static PairMarks MenuSizeMarks(void) { return MarkMenuSize(Program.menuSize); }

static PairMarks TriggerMarks(void) { return MarkTrigger(Program.trigger); }

static PairMarks StartupMarks(void) { return MarkStartWithWindows(ReadStartupShortcut()); }

static void SwitchExtraItems(bool on) {
  WriteSetting(kKeyExtra, on);
  Program.extraItems = on ? 1 : 0;
}

static void SwitchLargeMenu(bool large) {
  WriteSetting(kKeyMenuSize, !large);
  Program.menuSize = large ? 0 : 1;
}

static void SwitchAnyRightClick(bool any) {
  WriteSetting(kKeyTrigger, !any);
  Program.trigger = any ? TRIGGER_ANY : TRIGGER_CTRL;
  SignalHookTrigger(Program.trigger);
}

// Activate or Deactivate for the activation in force (as `enabled` says, whatever the marks
// show after the Enable/Disable dialog) is ignored: the hook stays as it is, and a stored
// Enable that reads as neither 0 nor 1 is kept until the user chooses. So is a Start with
// Windows choice for what the Startup folder holds already: in particular a shortcut to
// another copy of Pivotrix is not this one's to delete. The other pairs carry out every
// command, as they would from their items.
static const ChoicePair kPairs[] = {
    {IDM_ACTIVATE, "A&ctivate Pivotrix", IDM_DEACTIVATE, "&Deactivate Pivotrix",
     ActivationMarks, SwitchActivation, true, false},
    {IDM_EXTRA_ON, "E&nable min/max/rest/exit", IDM_EXTRA_OFF, "D&isable min/max/rest/exit",
     ExtraItemsMarks, SwitchExtraItems, false, false},
    {IDM_LARGE_MENU, "&Large menu", IDM_SMALL_MENU, "&Small menu", MenuSizeMarks,
     SwitchLargeMenu, false, false},
    {IDM_TRIGGER_ANY, "Any right &click", IDM_TRIGGER_CTRL, "C&trl + right click", TriggerMarks,
     SwitchAnyRightClick, false, true},
    {IDM_START_WITH_WINDOWS, "Start with &Windows", IDM_NO_START_WITH_WINDOWS,
     "&Don't start with Windows", StartupMarks, SwitchStartWithWindows, true, true},
};

static void AppendPair(HMENU menu, const ChoicePair& pair) {
  PairMarks marks = pair.marks();
  AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
  AppendMenuA(menu, MF_STRING | marks.first, pair.first, pair.firstText);
  AppendMenuA(menu, MF_STRING | marks.second, pair.second, pair.secondText);
}

// The item naming the state in force is checked and greyed so it can't be chosen again.
static void MarkCurrent(const ChoicePair& pair) {
  HMENU menu = Program.hmenuSystem;
  PairMarks marks = pair.marks();
  ModifyMenuA(menu, pair.first, MF_BYCOMMAND | MF_STRING | marks.first, pair.first, pair.firstText);
  ModifyMenuA(menu, pair.second, MF_BYCOMMAND | MF_STRING | marks.second, pair.second,
              pair.secondText);
}

void BuildControlMenu(void) {
  HMENU menu = GetSystemMenu(Program.hwndMain, FALSE);
  Program.hmenuSystem = menu;
  for (const ChoicePair& pair : kPairs) {
    if (!pair.afterDialogs) AppendPair(menu, pair);
  }
  AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
  AppendMenuA(menu, MF_STRING, IDM_HELP, "&Help...");
  AppendMenuA(menu, MF_STRING, IDM_ABOUT, "&About...");
  for (const ChoicePair& pair : kPairs) {
    if (pair.afterDialogs) AppendPair(menu, pair);
  }
}

static bool OnPairCommand(UINT id) {
  for (const ChoicePair& pair : kPairs) {
    if (id != pair.first && id != pair.second) continue;
    bool first = id == pair.first;
    PairMarks marks = pair.marks();
    if (pair.ignoresInForce && (first ? marks.first : marks.second) == MARK_CURRENT) return true;
    pair.choose(first);
    MarkCurrent(pair);
    return true;
  }
  return false;
}

// The Startup folder may change while the program runs (the user deletes the shortcut, say),
// so its pair is marked afresh whenever the menu opens.
void OnControlMenuOpen(void) {
  for (const ChoicePair& pair : kPairs) {
    if (pair.first == IDM_START_WITH_WINDOWS) MarkCurrent(pair);
  }
}

bool OnControlCommand(UINT id) {
  if (OnPairCommand(id)) return true;
  switch (id) {
    case IDM_HELP: RunDialog("HELP", ProcOK); return true;
    case IDM_ABOUT: RunDialog("ABOUT", ProcOK); return true;
    default: return false;
  }
}
