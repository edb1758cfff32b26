// The hook's per-event path natively (HandleMouseEvent, as MouseHook runs it): a move and
// each button class in each state, and the empty hook as the baseline. Before a press or
// a release the states are put back, so that each is decided in the state it is named
// for; a move never changes them (see the unit tests), so it runs as the hook gets it.
#include <benchmark/benchmark.h>

#include <stdint.h>

#include <string>

#include "bench/empty_hook.h"
#include "hooklib/hook_event.h"

namespace {

// Stand-ins for the calls out: they do no system work, so only our own work is timed.
int g_posts = 0;

void CountPost(int32_t, uint32_t, uint16_t, uint32_t) { ++g_posts; }
bool NotOverMenu() { return false; }
intptr_t NoNextHook(int, uint16_t, intptr_t) { return 0; }
bool CtrlHeld() { return true; }
void NoForeground(int32_t) {}
// A task button of Wine's taskbar: a child of the taskbar (kTaskButtons below).
int32_t ParentIsTaskbar(uintptr_t) { return 0x2468; }

const HookSeams kSeams = {CountPost, NotOverMenu, NoNextHook, CtrlHeld, NoForeground,
                          ParentIsTaskbar};

const uint32_t kMove = 0x0200;  // WM_MOUSEMOVE

typedef intptr_t (*HookPath)(int, uintptr_t, intptr_t, SharedBlock&, intptr_t&,
                             const HookSeams&);

// Where the taskbar keeps its task buttons, which decides what a right button's event
// checks besides the task tabs.
enum Taskbar {
  kClassic,          // the task tabs alone: one comparison
  kWineTaskButtons,  // Wine's: the event's window's parent is asked
  kSecondaryLists,   // the secondary taskbars' lists, all taken: the clicked window is last
};

void RunEvents(benchmark::State& state, HookPath path, uint32_t message, HookStates states,
               int32_t trigger, Taskbar taskbar) {
  SharedBlock block = {};
  block.hwndNotify = 0x1234;
  block.hwndTaskTabs = 0x5678;
  block.trigger = trigger;
  if (taskbar == kWineTaskButtons) block.hwndTaskButtons = 0x2468;
  for (int i = 0; taskbar == kSecondaryLists && i < MORE_TASK_LISTS; ++i) {
    block.hwndMoreTaskLists[i] = 0x9AB0 + (i + 1 == MORE_TASK_LISTS ? 0xC : i);
  }
  MouseEventRecord record = {400, 300, 0x9ABC};
  intptr_t current = 0;
  intptr_t lParam = reinterpret_cast<intptr_t>(&record);
  block.extraMenuState = states.extraMenu;
  block.startMenuState = states.startMenu;
  if (message == kMove) {
    for (auto _ : state) {
      intptr_t result = path(0, message, lParam, block, current, kSeams);
      benchmark::DoNotOptimize(result);
    }
    return;
  }
  for (auto _ : state) {
    block.extraMenuState = states.extraMenu;
    block.startMenuState = states.startMenu;
    block.triggerPress = states.triggerPress;
    intptr_t result = path(0, message, lParam, block, current, kSeams);
    benchmark::DoNotOptimize(result);
  }
}

struct Named {
  const char* name;
  uint32_t value;
};

const Named kMessages[] = {
    {"move", kMove}, {"left_press", 0x0201}, {"left_release", 0x0202},
    {"right_press", 0x0204}, {"right_release", 0x0205},
};

struct NamedStates {
  const char* name;
  HookStates states;
  int32_t trigger;
};

// Under the Ctrl trigger a right press asks the Ctrl test (held here), and a release ends the
// trigger's press.
const NamedStates kStates[] = {
    {"idle", {0, 0}, TRIGGER_ANY},
    {"popup_pending", {1, 0}, TRIGGER_ANY},
    {"start_menu_watched", {0, 1}, TRIGGER_ANY},
    {"ctrl_trigger_idle", {0, 0, 1}, TRIGGER_CTRL},
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("empty_hook", RunEvents, EmptyHook, kMove, HookStates{0, 0},
                               TRIGGER_ANY, kClassic);
  for (const NamedStates& s : kStates) {
    for (const Named& m : kMessages) {
      std::string name = std::string("hook/") + s.name + "/" + m.name;
      benchmark::RegisterBenchmark(name.c_str(), RunEvents, HandleMouseEvent, m.value, s.states,
                                   s.trigger, kClassic);
    }
  }
  // The task-list test on the other taskbars: right buttons only (a left button and a move
  // never ask), on a window that is a task button, so that the whole test runs.
  const Named kTaskbars[] = {{"wine_task_button", kWineTaskButtons},
                             {"secondary_task_list", kSecondaryLists}};
  for (const Named& t : kTaskbars) {
    for (const Named& m : kMessages) {
      if (m.value == kMove) continue;
      std::string name = std::string("hook/idle/") + m.name + "/" + t.name;
      benchmark::RegisterBenchmark(name.c_str(), RunEvents, HandleMouseEvent, m.value,
                                   HookStates{0, 0}, TRIGGER_ANY, static_cast<Taskbar>(t.value));
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
