// The hook's click state machine: message classes, what each press or release does in each
// pair of states, when the (costly) menu test is asked, the whole per-event path with its
// calls out of the library, and the encodings posted with it.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "common/private_messages.h"
#include "hooklib/click_rules.h"
#include "hooklib/hook_event.h"

namespace {

const char* ClassName(ButtonClass b) {
  switch (b) {
    case BUTTON_NONE: return "none";
    case RIGHT_DOUBLE: return "right double click";
    case LEFT_PRESS: return "left press";
    case LEFT_RELEASE: return "left release";
    case RIGHT_PRESS: return "right press";
    case RIGHT_RELEASE: return "right release";
  }
  return "?";
}

// ---------------------------------------------------------------------------------------
// Message classes

struct ClassifyCase {
  const char* name;
  uint32_t message;
  ButtonClass expected;
};

TEST(ClickClassify, MessagesFallIntoTheirButtonClass) {
  const ClassifyCase cases[] = {
      {"client left press", 513, LEFT_PRESS},
      {"non-client left press", 161, LEFT_PRESS},
      {"client left release", 514, LEFT_RELEASE},
      {"non-client left release", 162, LEFT_RELEASE},
      {"client right press", 516, RIGHT_PRESS},
      {"non-client right press", 164, RIGHT_PRESS},
      {"client right release", 517, RIGHT_RELEASE},
      {"non-client right release", 165, RIGHT_RELEASE},
      {"client move", 512, BUTTON_NONE},
      {"non-client move", 160, BUTTON_NONE},
      {"client left double click", 515, BUTTON_NONE},
      {"client right double click", 518, RIGHT_DOUBLE},
      {"non-client left double click", 163, BUTTON_NONE},
      {"non-client right double click", 166, RIGHT_DOUBLE},
      {"middle press", 519, BUTTON_NONE},
      {"middle release", 520, BUTTON_NONE},
      {"middle double click", 521, BUTTON_NONE},
      {"non-client middle press", 167, BUTTON_NONE},
      {"wheel", 522, BUTTON_NONE},
      {"zero", 0, BUTTON_NONE},
      {"all ones in 16 bits", 0xFFFF, BUTTON_NONE},
      // The hook passes LOWORD(wParam); unmasked upper bits are not ignored here.
      {"left press with upper bits set", 0x10201, BUTTON_NONE},
      {"non-client left press with upper bits set", 0x100A1, BUTTON_NONE},
      {"right release with upper bits set", 0xFFFF0205u, BUTTON_NONE},
  };
  for (const ClassifyCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ClassifyMouseMessage(c.message), c.expected)
        << "got " << ClassName(ClassifyMouseMessage(c.message));
  }
}

// ---------------------------------------------------------------------------------------
// Decisions in every state, over/not over a menu, on/off the task tabs

// A counting stand-in for the menu test (a plain function pointer, so global state).
int g_menuTestCalls = 0;
bool OverMenu() { ++g_menuTestCalls; return true; }
bool NotOverMenu() { ++g_menuTestCalls; return false; }

enum StateKind {
  WATCHING_START,  // startMenu 1, any extraMenu
  POPUP_PENDING,   // startMenu not 1, extraMenu 1
  IDLE,            // startMenu not 1, extraMenu 0
  ODD_EXTRA,       // startMenu not 1, extraMenu neither 0 nor 1
};

const char* KindName(StateKind k) {
  switch (k) {
    case WATCHING_START: return "watching start menu";
    case POPUP_PENDING: return "popup pending";
    case IDLE: return "idle";
    case ODD_EXTRA: return "odd extraMenu";
  }
  return "?";
}

enum Change { KEEP, TO_0, TO_1 };
enum Tabs { ANY_TABS, OFF_TABS, ON_TABS };

struct Outcome {
  uint32_t post;
  Change extraMenu;
  Change startMenu;
  int32_t result;
};

// One row per state kind and button class; a row that does not depend on the menu has
// the same outcome in both columns and must never ask the menu test.
struct Row {
  StateKind kind;
  ButtonClass button;
  Tabs tabs;
  bool asksMenu;
  Outcome overMenu;
  Outcome notOverMenu;
};

constexpr Outcome kNothing0 = {0, KEEP, KEEP, 0};
constexpr Outcome kNothing1 = {0, KEEP, KEEP, 1};

constexpr Row kRows[] = {
    // Watching the Start menu opened from the popup (extraMenu never consulted).
    {WATCHING_START, LEFT_PRESS, ANY_TABS, true, kNothing0, {UM_START_CLICK, KEEP, TO_0, 0}},
    {WATCHING_START, LEFT_RELEASE, ANY_TABS, false, {0, KEEP, TO_0, 0}, {0, KEEP, TO_0, 0}},
    {WATCHING_START, RIGHT_PRESS, ANY_TABS, true, kNothing1, {UM_START_CLICK, KEEP, KEEP, 1}},
    {WATCHING_START, RIGHT_RELEASE, ANY_TABS, true, kNothing1, {0, KEEP, TO_0, 1}},
    {WATCHING_START, BUTTON_NONE, ANY_TABS, false, kNothing0, kNothing0},
    // Idle: only a right release away from the task tabs requests a popup.
    {IDLE, RIGHT_RELEASE, OFF_TABS, false, {UM_POPUP_REQUEST, TO_1, KEEP, 0},
     {UM_POPUP_REQUEST, TO_1, KEEP, 0}},
    {IDLE, RIGHT_RELEASE, ON_TABS, false, kNothing0, kNothing0},
    {IDLE, LEFT_PRESS, ANY_TABS, false, kNothing0, kNothing0},
    {IDLE, LEFT_RELEASE, ANY_TABS, false, kNothing0, kNothing0},
    {IDLE, RIGHT_PRESS, ANY_TABS, false, kNothing0, kNothing0},
    {IDLE, BUTTON_NONE, ANY_TABS, false, kNothing0, kNothing0},
    // A popup request is outstanding.
    {POPUP_PENDING, LEFT_PRESS, ANY_TABS, false, {UM_POPUP_CLICK, TO_0, KEEP, 0},
     {UM_POPUP_CLICK, TO_0, KEEP, 0}},
    {POPUP_PENDING, RIGHT_PRESS, ANY_TABS, true, kNothing1, {UM_POPUP_CLICK, TO_0, KEEP, 0}},
    {POPUP_PENDING, RIGHT_RELEASE, ANY_TABS, true, kNothing1, kNothing0},
    {POPUP_PENDING, LEFT_RELEASE, ANY_TABS, false, kNothing0, kNothing0},
    {POPUP_PENDING, BUTTON_NONE, ANY_TABS, false, kNothing0, kNothing0},
    // Any other extraMenu value does nothing.
    {ODD_EXTRA, LEFT_PRESS, ANY_TABS, false, kNothing0, kNothing0},
    {ODD_EXTRA, LEFT_RELEASE, ANY_TABS, false, kNothing0, kNothing0},
    {ODD_EXTRA, RIGHT_PRESS, ANY_TABS, false, kNothing0, kNothing0},
    {ODD_EXTRA, RIGHT_RELEASE, ANY_TABS, false, kNothing0, kNothing0},
    {ODD_EXTRA, BUTTON_NONE, ANY_TABS, false, kNothing0, kNothing0},
};

constexpr bool TabsMatch(Tabs t, bool onTaskTabs) {
  return t == ANY_TABS || (t == ON_TABS) == onTaskTabs;
}

constexpr ButtonClass kButtons[] = {BUTTON_NONE, LEFT_PRESS, LEFT_RELEASE, RIGHT_PRESS,
                                    RIGHT_RELEASE};

// The table holds one row for each state kind, button and side of the task tabs: a gap or
// an overlap fails the build rather than the product's test.
constexpr bool EachCaseHasOneRow() {
  for (StateKind kind : {WATCHING_START, POPUP_PENDING, IDLE, ODD_EXTRA}) {
    for (ButtonClass button : kButtons) {
      for (bool onTaskTabs : {false, true}) {
        int matches = 0;
        for (const Row& r : kRows) {
          if (r.kind == kind && r.button == button && TabsMatch(r.tabs, onTaskTabs)) ++matches;
        }
        if (matches != 1) return false;
      }
    }
  }
  return true;
}
static_assert(EachCaseHasOneRow(), "one expectation row per state kind, button and tabs");

StateKind KindOf(HookStates s) {
  if (s.startMenu == 1) return WATCHING_START;
  if (s.extraMenu == 1) return POPUP_PENDING;
  if (s.extraMenu == 0) return IDLE;
  return ODD_EXTRA;
}

// The case's one row (EachCaseHasOneRow: the search never runs past the table).
const Row& RowFor(StateKind kind, ButtonClass button, bool onTaskTabs) {
  const Row* row = kRows;
  while (row->kind != kind || row->button != button || !TabsMatch(row->tabs, onTaskTabs)) ++row;
  return *row;
}

int32_t Apply(Change c, int32_t value) {
  return c == KEEP ? value : (c == TO_0 ? 0 : 1);
}

std::string Describe(ButtonClass b, HookStates s, bool tabs, bool over) {
  return std::string(ClassName(b)) + ", extraMenu " + std::to_string(s.extraMenu) +
         ", startMenu " + std::to_string(s.startMenu) + (tabs ? ", on task tabs" : "") +
         (over ? ", over a menu" : ", not over a menu");
}

TEST(ClickDecide, EveryButtonInEveryStateOverAndOffMenus) {
  const int32_t extraValues[] = {0, 1, 2, -1, 5};
  const int32_t startValues[] = {0, 1, 5, -1};
  for (ButtonClass button : kButtons) {
    for (int32_t extra : extraValues) {
      for (int32_t start : startValues) {
        for (bool tabs : {false, true}) {
          for (bool over : {false, true}) {
            HookStates states = {extra, start};
            SCOPED_TRACE(Describe(button, states, tabs, over) + " [" +
                         KindName(KindOf(states)) + "]");
            const Row& row = RowFor(KindOf(states), button, tabs);
            const Outcome& want = over ? row.overMenu : row.notOverMenu;

            g_menuTestCalls = 0;
            ClickDecision got = DecideClick(button, states, tabs, over ? OverMenu : NotOverMenu);
            EXPECT_EQ(got.post, want.post);
            EXPECT_EQ(got.next.extraMenu, Apply(want.extraMenu, extra));
            EXPECT_EQ(got.next.startMenu, Apply(want.startMenu, start));
            EXPECT_EQ(got.result, want.result);
            if (row.asksMenu) {
              EXPECT_LE(g_menuTestCalls, 1) << "the menu test is asked at most once";
            } else {
              EXPECT_EQ(g_menuTestCalls, 0) << "the outcome does not depend on the menu test";
            }
          }
        }
      }
    }
  }
}

// Whole clicks as the hook sees them, message by message, under either trigger. The Ctrl
// trigger: a right press with Ctrl held, off the task tabs, and its release are taken from
// the program and the release requests the popup; other right clicks pass. The Ctrl test
// is asked on right presses that could be the trigger, and nowhere else.
int g_ctrlTests = 0;
bool g_ctrlHeld = false;

bool CtrlTest() {
  ++g_ctrlTests;
  return g_ctrlHeld;
}

struct Step {
  uint32_t message;
  bool overMenu;
  uint32_t post;
  int32_t result;
  bool ctrl = false;  // Ctrl's state, were it asked
  int ctrlTests = 0;  // times the Ctrl test is asked
  bool allowForeground = false;
  bool onTabs = false;
};

struct Sequence {
  const char* name;
  int32_t trigger;
  HookStates start;
  std::vector<Step> steps;
  HookStates end;
};

TEST(ClickDecide, ClickSequences) {
  const Sequence cases[] = {
      {"right click requests a popup, a left click on an item reports it", TRIGGER_ANY,
       {0, 0},
       {{516, false, 0, 0}, {517, false, UM_POPUP_REQUEST, 0},
        {513, true, UM_POPUP_CLICK, 0}, {514, true, 0, 0}},
       {0, 0}},
      {"right click on the popup's menu is swallowed, popup stays requested", TRIGGER_ANY,
       {0, 0},
       {{164, false, 0, 0}, {165, false, UM_POPUP_REQUEST, 0},
        {516, true, 0, 1}, {517, true, 0, 1}},
       {1, 0}},
      {"right click away from the popup reports it, its release requests a new one",
       TRIGGER_ANY, {0, 0},
       {{517, false, UM_POPUP_REQUEST, 0}, {516, false, UM_POPUP_CLICK, 0},
        {517, false, UM_POPUP_REQUEST, 0}},
       {1, 0}},
      {"click outside the watched start menu ends the watch", TRIGGER_ANY,
       {0, 1},
       {{512, false, 0, 0}, {513, false, UM_START_CLICK, 0}, {514, false, 0, 0}},
       {0, 0}},
      {"click inside the watched start menu: its release ends the watch", TRIGGER_ANY,
       {0, 1},
       {{161, true, 0, 0}, {162, true, 0, 0}},
       {0, 0}},
      {"right click inside the watched start menu is swallowed, watch goes on", TRIGGER_ANY,
       {0, 1},
       {{516, true, 0, 1}, {517, true, 0, 1}},
       {0, 1}},
      {"right click outside the watched start menu reports, is swallowed, ends the watch",
       TRIGGER_ANY, {0, 1},
       {{516, false, UM_START_CLICK, 1}, {517, false, 0, 1}, {517, false, UM_POPUP_REQUEST, 0}},
       {1, 0}},
      {"double clicks and middle clicks change nothing", TRIGGER_ANY,
       {1, 0},
       {{515, false, 0, 0}, {518, false, 0, 0}, {519, false, 0, 0}, {520, false, 0, 0}},
       {1, 0}},
      {"Ctrl + right click: both swallowed, the release requests the popup", TRIGGER_CTRL,
       {0, 0, 0},
       {{516, false, 0, 1, true, 1},
        {517, false, UM_POPUP_REQUEST, 1, true, 0, true}},
       {1, 0, 0}},
      {"a plain right click passes untouched", TRIGGER_CTRL, {0, 0, 0},
       {{516, false, 0, 0, false, 1}, {517, false, 0, 0}},
       {0, 0, 0}},
      {"Ctrl let go before the button: the release follows its press", TRIGGER_CTRL, {0, 0, 0},
       {{164, false, 0, 1, true, 1},
        {165, false, UM_POPUP_REQUEST, 1, false, 0, true}},
       {1, 0, 0}},
      {"Ctrl pressed after the button: the release follows its press", TRIGGER_CTRL, {0, 0, 0},
       {{516, false, 0, 0, false, 1}, {517, false, 0, 0, true}},
       {0, 0, 0}},
      {"a quick second Ctrl + right click: its double-click press is the trigger's",
       TRIGGER_CTRL, {0, 0, 0},
       {{518, false, 0, 1, true, 1},
        {517, false, UM_POPUP_REQUEST, 1, true, 0, true}},
       {1, 0, 0}},
      {"Start menu watched: a right double click does nothing", TRIGGER_CTRL, {0, 1, 0},
       {{518, false, 0, 0, true}}, {0, 1, 0}},
      {"Ctrl + right click on the task tabs passes; Ctrl is not asked", TRIGGER_CTRL,
       {0, 0, 0},
       {{516, false, 0, 0, true, 0, false, true}, {517, false, 0, 0, true, 0, false, true}},
       {0, 0, 0}},
      {"left clicks and moves never ask Ctrl", TRIGGER_CTRL, {0, 0, 0},
       {{512, false, 0, 0, true}, {513, false, 0, 0, true},
        {514, false, 0, 0, true}},
       {0, 0, 0}},
      {"popup up: a left press reports it", TRIGGER_CTRL, {1, 0, 0},
       {{513, true, UM_POPUP_CLICK, 0, true}}, {0, 0, 0}},
      {"popup up: Ctrl + right click elsewhere closes it and requests the next", TRIGGER_CTRL,
       {1, 0, 0},
       {{516, false, UM_POPUP_CLICK, 1, true, 1},
        {517, false, UM_POPUP_REQUEST, 1, true, 0, true}},
       {1, 0, 0}},
      {"popup up: a plain right click elsewhere closes it and passes", TRIGGER_CTRL, {1, 0, 0},
       {{516, false, UM_POPUP_CLICK, 0, false, 1},
        {517, false, 0, 0}},
       {0, 0, 0}},
      {"popup up: a right press on its menu is swallowed; Ctrl is not asked", TRIGGER_CTRL,
       {1, 0, 0}, {{516, true, 0, 1, true}}, {1, 0, 0}},
      {"Start menu watched: right clicks swallowed as ever; Ctrl is not asked", TRIGGER_CTRL,
       {0, 1, 0},
       {{516, false, UM_START_CLICK, 1, true},
        {517, false, 0, 1, true}},
       {0, 0, 0}},
      {"a trigger other than 1 is any right click; Ctrl is never asked", 2, {0, 0, 0},
       {{516, false, 0, 0, true},
        {517, false, UM_POPUP_REQUEST, 0, true}},
       {1, 0, 0}},
      {"any right click: Ctrl is never asked", TRIGGER_ANY, {1, 0, 0},
       {{516, false, UM_POPUP_CLICK, 0, true},
        {517, false, UM_POPUP_REQUEST, 0, true}},
       {1, 0, 0}},
  };
  for (const Sequence& c : cases) {
    SCOPED_TRACE(c.name);
    HookStates states = c.start;
    int index = 0;
    for (const Step& s : c.steps) {
      SCOPED_TRACE("step " + std::to_string(index++) + ", message " + std::to_string(s.message));
      g_ctrlTests = 0;
      g_ctrlHeld = s.ctrl;
      ClickDecision d = DecideClick(ClassifyMouseMessage(s.message), states, s.onTabs,
                                    s.overMenu ? OverMenu : NotOverMenu, c.trigger, CtrlTest);
      EXPECT_EQ(d.post, s.post);
      EXPECT_EQ(d.result, s.result);
      EXPECT_EQ(g_ctrlTests, s.ctrlTests);
      EXPECT_EQ(d.allowForeground, s.allowForeground);
      states = d.next;
    }
    EXPECT_EQ(states.extraMenu, c.end.extraMenu);
    EXPECT_EQ(states.startMenu, c.end.startMenu);
    EXPECT_EQ(states.triggerPress, c.end.triggerPress);
  }
}

// ---------------------------------------------------------------------------------------
// One event through the hook procedure's path, with every call out of the library counted

struct Posted {
  int32_t notify;
  uint32_t message;
  uint16_t window;
  uint32_t point;
};

// What the seams saw; plain function pointers, so global.
struct SeamCalls {
  int posts;
  Posted lastPost;
  int menuTests;
  bool overMenu;  // the menu test's answer
  int nextHooks;
  int nextCode;
  uint16_t nextMessage;
  intptr_t nextLParam;
  int ctrlTests;
  int foregrounds;
  int32_t foregroundFor;
  int parentTests;
  int callsOut() const {
    return posts + menuTests + nextHooks + ctrlTests + foregrounds + parentTests;
  }
};
SeamCalls g_seams;

const intptr_t kNextHookResult = 77;

void RecordPost(int32_t notify, uint32_t message, uint16_t window, uint32_t point) {
  ++g_seams.posts;
  g_seams.lastPost = {notify, message, window, point};
}

bool RecordMenuTest() {
  ++g_seams.menuTests;
  return g_seams.overMenu;
}

intptr_t RecordNextHook(int code, uint16_t message, intptr_t lParam) {
  ++g_seams.nextHooks;
  g_seams.nextCode = code;
  g_seams.nextMessage = message;
  g_seams.nextLParam = lParam;
  return kNextHookResult;
}

bool RecordCtrlTest() {
  ++g_seams.ctrlTests;
  return true;
}

void RecordForeground(int32_t notify) {
  ++g_seams.foregrounds;
  g_seams.foregroundFor = notify;
}

// Wine's taskbar in the tests: its children are the windows 0x000201xx.
const int32_t kWineTaskbar = 0x00020100;

int32_t RecordParentTest(uintptr_t window) {
  ++g_seams.parentTests;
  return (window & ~0xFFu) == 0x00020100u ? kWineTaskbar : 0x00020999;
}

// The one place the seams are filled in, so that a new call out is added here once.
HookSeams RecordingSeams(bool overMenu) {
  g_seams = SeamCalls();
  g_seams.overMenu = overMenu;
  HookSeams seams;
  seams.post = RecordPost;
  seams.isCursorOverMenu = RecordMenuTest;
  seams.callNextHook = RecordNextHook;
  seams.isCtrlHeld = RecordCtrlTest;
  seams.allowForeground = RecordForeground;
  seams.parentOf = RecordParentTest;
  return seams;
}

const int32_t kNotify = 0x00C0FFEE;
const int32_t kTaskTabs = 0x0002002A;

SharedBlock BlockWith(HookStates states, int32_t hookResult, int32_t trigger = TRIGGER_ANY) {
  SharedBlock block = {};
  block.hwndNotify = kNotify;
  block.hwndTaskTabs = kTaskTabs;
  block.extraMenuState = states.extraMenu;
  block.startMenuState = states.startMenu;
  block.triggerPress = states.triggerPress;
  block.trigger = trigger;
  block.hookResult = hookResult;
  return block;
}

intptr_t AddressOf(const MouseEventRecord& record) {
  return reinterpret_cast<intptr_t>(&record);
}

// Moves and every other non-button message: decided from the message number alone, in
// every state, under either trigger, on or off the task tabs, over a menu or not.
TEST(HookEvent, NonButtonMessagesCallNothingOutOfTheLibrary) {
  const uint32_t messages[] = {512, 160, 515, 521, 163, 519, 520, 167, 522, 0, 0xFFFF, 0x10200,
                               0xFFFF0200u};
  const HookStates states[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 5}, {-1, -1}, {0, 0, 1}};
  const MouseEventRecord records[] = {{400, 300, 0x1234}, {-5, -7, static_cast<uintptr_t>(kTaskTabs)}};
  for (int32_t trigger : {TRIGGER_ANY, TRIGGER_CTRL}) {
    for (uint32_t message : messages) {
      for (HookStates before : states) {
        for (const MouseEventRecord& record : records) {
          for (bool over : {false, true}) {
            SCOPED_TRACE("message " + std::to_string(message) + ", extraMenu " +
                         std::to_string(before.extraMenu) + ", startMenu " +
                         std::to_string(before.startMenu) + ", trigger " +
                         std::to_string(trigger));
            HookSeams seams = RecordingSeams(over);
            SharedBlock block = BlockWith(before, 1, trigger);
            intptr_t current = 0;
            intptr_t result =
                HandleMouseEvent(0, message, AddressOf(record), block, current, seams);
            EXPECT_EQ(result, 0);
            EXPECT_EQ(g_seams.callsOut(), 0);
            EXPECT_EQ(block.hookResult, 0);
            EXPECT_EQ(block.extraMenuState, before.extraMenu);
            EXPECT_EQ(block.startMenuState, before.startMenu);
            EXPECT_EQ(block.triggerPress, before.triggerPress);
          }
        }
      }
    }
  }
}

struct NextHookCase {
  const char* name;
  int code;
  uintptr_t wParam;
  uint16_t message;  // as the next hook gets it
};

TEST(HookEvent, NegativeCodesGoToTheNextHookOnly) {
  const NextHookCase cases[] = {
      {"right release", -1, 517, 517},
      {"move", -1, 512, 512},
      {"upper bits of wParam dropped", -3, 0xABCD0205u, 0x0205},
      {"lowest code", INT32_MIN, 0xFFFFFFFFu, 0xFFFF},
  };
  for (const NextHookCase& c : cases) {
    SCOPED_TRACE(c.name);
    MouseEventRecord record = {10, 20, 0x1234};
    HookSeams seams = RecordingSeams(false);
    SharedBlock block = BlockWith({0, 0}, 1);
    intptr_t current = 0;
    intptr_t result = HandleMouseEvent(c.code, c.wParam, AddressOf(record), block, current, seams);
    EXPECT_EQ(result, kNextHookResult);
    EXPECT_EQ(g_seams.nextHooks, 1);
    EXPECT_EQ(g_seams.nextCode, c.code);
    EXPECT_EQ(g_seams.nextMessage, c.message);
    EXPECT_EQ(g_seams.nextLParam, AddressOf(record));
    EXPECT_EQ(g_seams.posts + g_seams.menuTests, 0);
    EXPECT_EQ(block.hookResult, 1) << "hookResult is left alone";
    EXPECT_EQ(block.extraMenuState, 0);
  }
}

struct ButtonEventCase {
  const char* name;
  int code;
  uintptr_t wParam;
  HookStates before;
  MouseEventRecord record;
  bool overMenu;
  uint32_t post;       // 0: nothing posted
  uint16_t window;     // posted window
  uint32_t point;      // posted point
  int menuTests;
  int32_t result;
  HookStates after;
  int32_t trigger = TRIGGER_ANY;
  int ctrlTests = 0;    // the seam answers that Ctrl is held
  int foregrounds = 0;  // times Pivotrix was let take the foreground
};

TEST(HookEvent, ButtonsAreDecidedAndReportedFromTheirOwnRecord) {
  const ButtonEventCase cases[] = {
      {"idle right release requests a popup with the window's low 16 bits and the point", 0,
       517, {0, 0}, {300, 200, 0x0001ABCD}, false, UM_POPUP_REQUEST, 0xABCD, 0x00C8012Cu, 0, 0,
       {1, 0}},
      {"the point keeps negative coordinates", 0, 165, {0, 0}, {-1280, -600, 0x42}, false,
       UM_POPUP_REQUEST, 0x0042, 0xFDA8FB00u, 0, 0, {1, 0}},
      {"any code of 0 or more is handled alike", 7, 517, {0, 0}, {1, 2, 0x42}, false,
       UM_POPUP_REQUEST, 0x0042, 0x00020001u, 0, 0, {1, 0}},
      {"wParam's upper bits are dropped", 0, 0xABCD0205u, {0, 0}, {1, 2, 0x42}, false,
       UM_POPUP_REQUEST, 0x0042, 0x00020001u, 0, 0, {1, 0}},
      {"right release on the task tabs", 0, 517, {0, 0},
       {5, 5, static_cast<uintptr_t>(kTaskTabs)}, false, 0, 0, 0, 0, 0, {0, 0}},
      {"a window equal to the task tabs on 16 bits only is another window", 0, 517, {0, 0},
       {5, 5, 0x0001002A}, false, UM_POPUP_REQUEST, 0x002A, 0x00050005u, 0, 0, {1, 0}},
      {"left press with a popup pending reports it, with no point", 0, 513, {1, 0},
       {7, 8, 0x00031234}, true, UM_POPUP_CLICK, 0x1234, 0, 0, 0, {0, 0}},
      {"right press on the popup's menu is swallowed", 0, 516, {1, 0}, {7, 8, 0x1234}, true, 0,
       0, 0, 1, 1, {1, 0}},
      {"right press away from the popup reports it", 0, 164, {1, 0}, {7, 8, 0x1234}, false,
       UM_POPUP_CLICK, 0x1234, 0, 1, 0, {0, 0}},
      {"right press outside the watched Start menu", 0, 516, {0, 1}, {7, 8, 0x5678}, false,
       UM_START_CLICK, 0x5678, 0, 1, 1, {0, 1}},
      {"left release ends the Start menu watch", 0, 514, {1, 1}, {7, 8, 0x5678}, true, 0, 0, 0,
       0, 0, {1, 0}},
      {"idle right press passes", 0, 516, {0, 0}, {7, 8, 0x5678}, false, 0, 0, 0, 0, 0, {0, 0}},
      {"Ctrl trigger: a right press with Ctrl held is taken", 0, 516, {0, 0}, {7, 8, 0x5678},
       false, 0, 0, 0, 0, 1, {0, 0, 1}, TRIGGER_CTRL, 1, 0},
      {"Ctrl trigger: its release requests the popup and lets Pivotrix take the foreground", 0,
       517, {0, 0, 1}, {300, 200, 0x42}, false, UM_POPUP_REQUEST, 0x0042, 0x00C8012Cu, 0, 1,
       {1, 0, 0}, TRIGGER_CTRL, 0, 1},
  };
  for (const ButtonEventCase& c : cases) {
    SCOPED_TRACE(c.name);
    HookSeams seams = RecordingSeams(c.overMenu);
    SharedBlock block = BlockWith(c.before, 1 - c.result, c.trigger);
    intptr_t current = 0;
    intptr_t result = HandleMouseEvent(c.code, c.wParam, AddressOf(c.record), block, current,
                                       seams);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(block.hookResult, c.result);
    EXPECT_EQ(block.extraMenuState, c.after.extraMenu);
    EXPECT_EQ(block.startMenuState, c.after.startMenu);
    EXPECT_EQ(block.triggerPress, c.after.triggerPress);
    EXPECT_EQ(g_seams.menuTests, c.menuTests);
    EXPECT_EQ(g_seams.ctrlTests, c.ctrlTests);
    EXPECT_EQ(g_seams.foregrounds, c.foregrounds);
    EXPECT_EQ(g_seams.foregroundFor, c.foregrounds != 0 ? kNotify : 0);
    EXPECT_EQ(g_seams.nextHooks, 0);
    EXPECT_EQ(g_seams.posts, c.post != 0 ? 1 : 0);
    if (c.post != 0) {
      EXPECT_EQ(g_seams.lastPost.notify, kNotify);
      EXPECT_EQ(g_seams.lastPost.message, c.post);
      EXPECT_EQ(g_seams.lastPost.window, c.window);
      EXPECT_EQ(g_seams.lastPost.point, c.point);
    }
  }
}

// Right clicks on Wine's task buttons (the children of its taskbar but the Start button)
// and on the secondary taskbars' task lists are left to the shell like those on the task
// tabs; the parent is asked for right buttons only, and only where Wine's taskbar is known.
TEST(HookEvent, OtherTaskbarsTaskListsAreLeftToTheShell) {
  struct {
    const char* name;
    uint32_t wParam;
    HookStates before;
    uintptr_t window;
    uint32_t post;
    int parentTests;
  } const cases[] = {
      {"a task button", 517, {0, 0}, 0x00020102, 0, 1},
      {"its press", 516, {0, 0}, 0x00020102, 0, 1},
      {"the Start button", 517, {0, 0}, 0x00020101, UM_POPUP_REQUEST, 0},
      {"the taskbar itself", 517, {0, 0}, 0x00020100, UM_POPUP_REQUEST, 0},
      {"a window elsewhere", 517, {0, 0}, 0x00030102, UM_POPUP_REQUEST, 1},
      {"the last secondary task list", 517, {0, 0}, 0x00040300, 0, 0},
      {"a left press on a task button", 513, {1, 0}, 0x00020102, UM_POPUP_CLICK, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HookSeams seams = RecordingSeams(false);
    SharedBlock block = BlockWith(c.before, 0);
    block.hwndTaskButtons = kWineTaskbar;
    block.hwndStartButton = 0x00020101;
    block.hwndMoreTaskLists[MORE_TASK_LISTS - 1] = 0x00040300;
    MouseEventRecord record = {5, 5, c.window};
    intptr_t current = 0;
    HandleMouseEvent(0, c.wParam, AddressOf(record), block, current, seams);
    EXPECT_EQ(g_seams.posts == 1 ? g_seams.lastPost.message : 0, c.post);
    EXPECT_EQ(g_seams.parentTests, c.parentTests);
  }
}

// ---------------------------------------------------------------------------------------
// Encodings shared by sender and receiver

struct Low16Case {
  const char* name;
  uintptr_t handle;
  uint16_t expected;
};

TEST(PrivateMessages, HandleLow16KeepsTheLow16Bits) {
  const Low16Case cases[] = {
      {"small handle", 0x002A, 0x002A},
      {"upper bits dropped", 0x0001002A, 0x002A},
      {"all ones in 16 bits", 0xFFFF, 0xFFFF},
      {"exactly 65536", 0x00010000, 0x0000},
      {"high bits only", 0xFFFF0000u, 0x0000},
      {"zero", 0, 0},
  };
  for (const Low16Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HandleLow16(c.handle), c.expected);
  }
}

struct SameCase {
  const char* name;
  uintptr_t a;
  uintptr_t b;
  bool same16;
};

// Handles equal on 16 bits are not necessarily the same window: where it matters (the
// task tabs), the hook compares full handles (HookEvent above).
TEST(PrivateMessages, SameWindow16AgreesOnLow16BitsOnly) {
  const SameCase cases[] = {
      {"widened handle vs full handle", 0x0001002A, 0x002A, true},
      {"full handle vs widened handle", 0x002A, 0x0001002A, true},
      {"two full handles sharing low bits", 0x0001002A, 0x0002002A, true},
      {"identical handles", 0x0001002A, 0x0001002A, true},
      {"different low bits", 0x0001002A, 0x0001002B, false},
      {"zero vs 65536", 0, 0x00010000, true},
  };
  for (const SameCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SameWindow16(c.a, c.b), c.same16);
  }
}

struct PackCase {
  const char* name;
  int32_t x;
  int32_t y;
  uint32_t packed;
  int32_t packedX;
  int32_t packedY;
};

TEST(PrivateMessages, PointPacksXLowYHigh) {
  const PackCase cases[] = {
      {"origin", 0, 0, 0x00000000u, 0, 0},
      {"ordinary point", 10, 20, 0x0014000Au, 10, 20},
      {"x only", 799, 0, 0x0000031Fu, 799, 0},
      {"y only", 0, 599, 0x02570000u, 0, 599},
      {"negative x", -1, 5, 0x0005FFFFu, -1, 5},
      {"negative y", 3, -1, 0xFFFF0003u, 3, -1},
      {"both negative", -2, -3, 0xFFFDFFFEu, -2, -3},
      {"monitor left of and above the primary", -1280, -600, 0xFDA8FB00u, -1280, -600},
      {"monitor right of a 1920 primary", 3000, 100, 0x00640BB8u, 3000, 100},
      {"16-bit extremes", 32767, -32768, 0x80007FFFu, 32767, -32768},
      {"x beyond 16 bits is cut", 0x12345, 1, 0x00012345u, 0x2345, 1},
  };
  for (const PackCase& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t packed = PackPoint(c.x, c.y);
    EXPECT_EQ(packed, c.packed);
    EXPECT_EQ(PackedX(packed), c.packedX);
    EXPECT_EQ(PackedY(packed), c.packedY);
  }
}

}  // namespace
