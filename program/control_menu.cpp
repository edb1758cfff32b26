#include "control_menu.h"

#include "../hooklib/hook_interface.h"
#include "control_marks.h"
#include "dialogs.h"
#include "program_state.h"
#include "resource.h"
#include "settings.h"

struct ChoicePair {
  UINT first;
  const char* firstText;
  UINT second;
  const char* secondText;
};

static const ChoicePair kActivation = {IDM_ACTIVATE, "A&ctivate Pivotrix", IDM_DEACTIVATE,
                                       "&Deactivate Pivotrix"};
static const ChoicePair kExtraItems = {IDM_EXTRA_ON, "E&nable min/max/rest/exit", IDM_EXTRA_OFF,
                                       "D&isable min/max/rest/exit"};
static const ChoicePair kMenuSize = {IDM_LARGE_MENU, "&Large menu", IDM_SMALL_MENU, "&Small menu"};

static void AppendPair(HMENU menu, const ChoicePair& pair, PairMarks marks) {
  AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
  AppendMenuA(menu, MF_STRING | marks.first, pair.first, pair.firstText);
  AppendMenuA(menu, MF_STRING | marks.second, pair.second, pair.secondText);
}

// The item naming the state in force is checked and greyed so it can't be chosen again.
static void MarkCurrent(const ChoicePair& pair, PairMarks marks) {
  HMENU menu = Program.hmenuSystem;
  ModifyMenuA(menu, pair.first, MF_BYCOMMAND | MF_STRING | marks.first, pair.first, pair.firstText);
  ModifyMenuA(menu, pair.second, MF_BYCOMMAND | MF_STRING | marks.second, pair.second,
              pair.secondText);
}

void BuildControlMenu(void) {
  HMENU menu = GetSystemMenu(Program.hwndMain, FALSE);
  Program.hmenuSystem = menu;
  AppendPair(menu, kActivation, MarkActivation(Program.enabled));
  AppendPair(menu, kExtraItems, MarkExtraItems(Program.extraItems));
  AppendPair(menu, kMenuSize, MarkMenuSize(Program.menuSize));
  AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
  AppendMenuA(menu, MF_STRING, IDM_HELP, "&Help...");
  AppendMenuA(menu, MF_STRING, IDM_ABOUT, "&About...");
}

void SwitchActivation(bool on) {
  if (on) {
    InstallMouseHook(Program.hwndMain);
  } else {
    UninstallMouseHook();
  }
  WriteSetting(kKeyEnable, on);
  Program.enabled = on ? 1 : 0;
}

static void SetEnabled(bool on) {
  SwitchActivation(on);
  MarkCurrent(kActivation, MarkActivation(Program.enabled));
}

static void SetExtraItems(bool on) {
  WriteSetting(kKeyExtra, on);
  Program.extraItems = on ? 1 : 0;
  MarkCurrent(kExtraItems, MarkExtraItems(Program.extraItems));
}

static void SetSmallMenu(bool small) {
  WriteSetting(kKeyMenuSize, small);
  Program.menuSize = small ? 1 : 0;
  MarkCurrent(kMenuSize, MarkMenuSize(Program.menuSize));
}

// Activate or Deactivate for the activation in force (as `enabled` says, whatever the marks
// show after the Enable/Disable dialog) is ignored, like its greyed item: the hook stays as
// it is, and a stored Enable that reads as neither 0 nor 1 is kept until the user chooses.
// The other pairs carry out every command, as they would from their items.
static bool IsActivationInForce(UINT id) {
  PairMarks marks = MarkActivation(Program.enabled);
  return (id == IDM_ACTIVATE ? marks.first : marks.second) == MARK_CURRENT;
}

bool OnControlCommand(UINT id) {
  switch (id) {
    case IDM_ACTIVATE:
    case IDM_DEACTIVATE:
      if (!IsActivationInForce(id)) SetEnabled(id == IDM_ACTIVATE);
      return true;
    case IDM_EXTRA_ON: SetExtraItems(true); return true;
    case IDM_EXTRA_OFF: SetExtraItems(false); return true;
    case IDM_LARGE_MENU: SetSmallMenu(false); return true;
    case IDM_SMALL_MENU: SetSmallMenu(true); return true;
    case IDM_HELP: RunDialog("HELP", ProcOK); return true;
    case IDM_ABOUT: RunDialog("ABOUT", ProcOK); return true;
    default: return false;
  }
}
