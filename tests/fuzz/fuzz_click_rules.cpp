// Fuzz target: the hook's click state machine over random event sequences. Each step is
// a mouse message (mostly the eight button messages) on or off the task tabs, or the menu
// program setting a state or the trigger directly; the menu and Ctrl tests answer from the
// input. After every decision, the machine's rules are checked as properties of before,
// event and after.
#include <fuzzer/FuzzedDataProvider.h>

#include <stddef.h>
#include <stdint.h>

#include "common/private_messages.h"
#include "hooklib/click_rules.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// The menu test is a plain function pointer, so what it reads and records is global.
FuzzedDataProvider* g_input = nullptr;
int g_menuAsks = 0;
bool g_overMenu = false;
int g_ctrlAsks = 0;
bool g_ctrl = false;

bool CursorOverMenu() {
  ++g_menuAsks;
  g_overMenu = g_input->ConsumeBool();
  return g_overMenu;
}

bool CtrlHeld() {
  ++g_ctrlAsks;
  g_ctrl = g_input->ConsumeBool();
  return g_ctrl;
}

uint32_t PickMessage(FuzzedDataProvider& in) {
  static const uint32_t kButtons[] = {513, 514, 516, 517, 161, 162, 164, 165, 518, 166};
  switch (in.ConsumeIntegralInRange(0, 9)) {
    case 0: return in.PickValueInArray({512u, 160u});  // moves
    case 1: return in.ConsumeIntegral<uint32_t>();
    default: return in.PickValueInArray(kButtons);
  }
}

// A state as SignalHookExtraMenu / SignalHookStartMenu may set it: mostly 0 or 1.
int32_t PickState(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return 0;
    case 1: return 1;
    case 2: return in.PickValueInArray({2, -1, 5});
    default: return in.ConsumeIntegral<int32_t>();
  }
}

struct Event {
  ButtonClass button;
  bool onTaskTabs;
  int32_t trigger;
};

bool Implies(bool a, bool b) { return !a || b; }

// 0 and 1 stay 0 or 1; any other value is the program's and is left alone.
void CheckStateKind(int32_t before, int32_t after) {
  if (before == 0 || before == 1) {
    FUZZ_CHECK(after == 0 || after == 1);
  } else {
    FUZZ_CHECK(after == before);
  }
}

void CheckDecision(const Event& e, HookStates s, const ClickDecision& d) {
  // A right double click is a right press for the Ctrl trigger (unless the Start menu is
  // watched), and nothing otherwise.
  const ButtonClass b = e.button != RIGHT_DOUBLE ? e.button
                        : e.trigger == TRIGGER_CTRL && s.startMenu != 1 ? RIGHT_PRESS
                                                                        : BUTTON_NONE;
  const bool press = b == LEFT_PRESS || b == RIGHT_PRESS;
  const bool right = b == RIGHT_PRESS || b == RIGHT_RELEASE;
  const bool watching = s.startMenu == 1;
  const bool pending = !watching && s.extraMenu == 1;
  const bool idle = !watching && s.extraMenu == 0;
  const bool over = g_menuAsks > 0 && g_overMenu;
  const bool ctrlTrigger = e.trigger == TRIGGER_CTRL;

  FUZZ_CHECK(d.result == 0 || d.result == 1);
  FUZZ_CHECK(d.post == 0 || d.post == UM_POPUP_REQUEST || d.post == UM_POPUP_CLICK ||
             d.post == UM_START_CLICK);
  FUZZ_CHECK(g_menuAsks <= 1 && g_ctrlAsks <= 1);
  CheckStateKind(s.extraMenu, d.next.extraMenu);
  CheckStateKind(s.startMenu, d.next.startMenu);
  CheckStateKind(s.triggerPress, d.next.triggerPress);

  // Moves, double clicks and the middle button: nothing at all, and no test asked.
  if (b == BUTTON_NONE) {
    FUZZ_CHECK(d.post == 0 && d.result == 0 && g_menuAsks == 0 && g_ctrlAsks == 0);
    FUZZ_CHECK(d.next.extraMenu == s.extraMenu && d.next.startMenu == s.startMenu &&
               d.next.triggerPress == s.triggerPress);
  }

  // The Ctrl trigger: Ctrl is asked only on a right press off the task tabs that may start
  // a popup; that press is taken when Ctrl is held, and its release requests the popup.
  const bool triggerPress = ctrlTrigger && b == RIGHT_PRESS && (idle || (pending && !over));
  FUZZ_CHECK(Implies(g_ctrlAsks > 0, triggerPress && !e.onTaskTabs));
  FUZZ_CHECK(Implies(triggerPress && !e.onTaskTabs, g_ctrlAsks == 1));
  const bool takesPress = triggerPress && !e.onTaskTabs && g_ctrl;
  const bool triggerRelease = ctrlTrigger && idle && b == RIGHT_RELEASE && s.triggerPress == 1;
  if (triggerPress) {
    FUZZ_CHECK(d.next.triggerPress == (takesPress ? 1 : 0));
  } else if (triggerRelease) {
    FUZZ_CHECK(d.next.triggerPress == 0);
  } else {
    FUZZ_CHECK(d.next.triggerPress == s.triggerPress);
  }
  FUZZ_CHECK(d.allowForeground == (ctrlTrigger && d.post == UM_POPUP_REQUEST));
  // The menu test is asked only where its answer matters.
  FUZZ_CHECK(Implies(g_menuAsks > 0, (watching && b != LEFT_RELEASE) || (pending && right)));

  // Watching the Start menu: a press off the menu reports it; a left release, and a left
  // press or right release off the menu, end the watch; the popup state stays.
  const bool endsWatch = watching && (b == LEFT_RELEASE ||
                                      (!over && (b == LEFT_PRESS || b == RIGHT_RELEASE)));
  FUZZ_CHECK((d.post == UM_START_CLICK) == (watching && press && !over));
  FUZZ_CHECK((d.next.startMenu != s.startMenu) == endsWatch);
  FUZZ_CHECK(Implies(endsWatch, d.next.startMenu == 0));
  FUZZ_CHECK(Implies(watching, d.next.extraMenu == s.extraMenu));

  // Idle: a right release off the task tabs requests a popup and marks it outstanding;
  // under the Ctrl trigger only the release of a taken press does.
  const bool requests = ctrlTrigger ? triggerRelease : idle && b == RIGHT_RELEASE && !e.onTaskTabs;
  FUZZ_CHECK((d.post == UM_POPUP_REQUEST) == requests);
  FUZZ_CHECK((idle && d.next.extraMenu == 1) == requests);

  // Popup requested: a press reports it and clears the request, unless it is a right
  // press on a menu.
  const bool reports = pending && press && !over;
  FUZZ_CHECK((d.post == UM_POPUP_CLICK) == reports);
  FUZZ_CHECK((pending && d.next.extraMenu == 0) == reports);

  // Only right-button messages are swallowed: always while watching, on a menu when a
  // popup is requested, and the Ctrl trigger's press and release.
  FUZZ_CHECK((d.result == 1) ==
             (right && (watching || (pending && over) || takesPress || triggerRelease)));
}

HookStates MouseEvent(FuzzedDataProvider& in, HookStates states, int32_t trigger) {
  Event e = {ClassifyMouseMessage(PickMessage(in)), in.ConsumeBool(), trigger};
  g_menuAsks = 0;
  g_overMenu = false;
  g_ctrlAsks = 0;
  g_ctrl = false;
  ClickDecision d = DecideClick(e.button, states, e.onTaskTabs, CursorOverMenu, trigger, CtrlHeld);
  CheckDecision(e, states, d);
  return d.next;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  g_input = &in;
  HookStates states = {PickState(in), PickState(in), in.ConsumeBool() ? 1 : 0};
  int32_t trigger = PickState(in);
  while (in.remaining_bytes() > 0) {
    switch (in.ConsumeIntegralInRange(0, 15)) {
      case 0: states.extraMenu = PickState(in); break;  // SignalHookExtraMenu
      case 1: states.startMenu = PickState(in); break;  // SignalHookStartMenu
      case 2: trigger = PickState(in); break;           // SignalHookTrigger
      default: states = MouseEvent(in, states, trigger); break;
    }
  }
  return 0;
}
