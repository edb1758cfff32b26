// The popup menu: the window it acts on, its items for that window's style, the close
// item's text, where it is anchored, its point and pictures on scaled displays, and whether
// a press landed on it.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "common/private_messages.h"
#include "program/popup_rules.h"

namespace {

// ---------------------------------------------------------------------------------------
// Target window over a fake window tree

struct FakeWindow {
  WindowId parent;  // for a popup: its owner, as the window system reports it
  uint32_t style;
};

typedef std::map<WindowId, FakeWindow> FakeTree;

// Unknown handles answer like destroyed windows: no parent, style 0.
WindowId FakeParent(const void* context, WindowId window) {
  const FakeTree& tree = *static_cast<const FakeTree*>(context);
  auto it = tree.find(window);
  return it == tree.end() ? 0 : it->second.parent;
}

uint32_t FakeStyle(const void* context, WindowId window) {
  const FakeTree& tree = *static_cast<const FakeTree*>(context);
  auto it = tree.find(window);
  return it == tree.end() ? 0 : it->second.style;
}

const uint32_t kChild = 0x40000000u | 0x10000000u;                     // child, visible
const uint32_t kOverlapped = 0x10000000u | 0x00CF0000u;                // visible, full frame
const uint32_t kPopup = STYLE_POPUP | 0x10000000u | 0x00C80000u;       // popup with caption
const uint32_t kDesktopStyle = STYLE_POPUP | 0x10000000u | 0x06000000u;

const WindowId kDesktop = 0x00010020;
const WindowId kDialog = 0x00010100;
const WindowId kEdit = 0x00010101;
const WindowId kGroup = 0x00010102;
const WindowId kButtonInGroup = 0x00010103;
const WindowId kOwner = 0x00010300;
const WindowId kOwnedPopup = 0x00010200;
const WindowId kChildInPopup = 0x00010201;
const WindowId kGroupInPopup = 0x00010202;
const WindowId kButtonInPopupGroup = 0x00010203;
const WindowId kTopLevel = 0x00010400;
const WindowId kUnownedPopup = 0x00010500;
const WindowId kDestroyed = 0x00010600;

FakeTree MakeTree() {
  FakeTree t;
  t[kDesktop] = {0, kDesktopStyle};
  t[kDialog] = {0, kOverlapped};
  t[kEdit] = {kDialog, kChild};
  t[kGroup] = {kDialog, kChild};
  t[kButtonInGroup] = {kGroup, kChild};
  t[kOwner] = {0, kOverlapped};
  t[kOwnedPopup] = {kOwner, kPopup};
  t[kChildInPopup] = {kOwnedPopup, kChild};
  t[kGroupInPopup] = {kOwnedPopup, kChild};
  t[kButtonInPopupGroup] = {kGroupInPopup, kChild};
  t[kTopLevel] = {0, kOverlapped};
  t[kUnownedPopup] = {0, kPopup};
  return t;
}

struct TargetCase {
  const char* name;
  WindowId clicked;
  WindowId expected;
};

TEST(PopupTarget, ResolvesToTheWindowThePopupActsOn) {
  const FakeTree fake = MakeTree();
  const WindowTree tree = {FakeParent, FakeStyle, &fake, kDesktop};
  const TargetCase cases[] = {
      {"control in a dialog -> the dialog", kEdit, kDialog},
      {"button in a group in a dialog -> the dialog", kButtonInGroup, kDialog},
      {"group in a dialog -> the dialog", kGroup, kDialog},
      {"control in an owned popup -> the popup, not its owner", kChildInPopup, kOwnedPopup},
      {"button in a group in an owned popup -> the popup", kButtonInPopupGroup, kOwnedPopup},
      {"owned popup itself", kOwnedPopup, kOwnedPopup},
      {"unowned popup itself", kUnownedPopup, kUnownedPopup},
      {"top-level window itself", kTopLevel, kTopLevel},
      {"dialog itself", kDialog, kDialog},
      {"owner itself", kOwner, kOwner},
      {"desktop itself", kDesktop, kDesktop},
      {"desktop widened from 16 bits", 0x0020, 0x0020},
      {"destroyed window itself", kDestroyed, kDestroyed},
  };
  for (const TargetCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ResolveTargetWindow(c.clicked, tree), c.expected);
  }
}

// The desktop is the target itself whatever the window system reports about it: here it
// claims a parent and no popup style, under its full handle and under its low 16 bits.
TEST(PopupTarget, DesktopIsItsOwnTargetWhateverTheTreeSaysAboutIt) {
  FakeTree fake = MakeTree();
  fake[kDesktop] = {kTopLevel, kOverlapped};
  fake[0x0020] = {kTopLevel, kOverlapped};
  fake[0x0101] = {kDialog, kChild};  // a control's handle widened from 16 bits
  const WindowTree tree = {FakeParent, FakeStyle, &fake, kDesktop};
  const TargetCase cases[] = {
      {"desktop, full handle", kDesktop, kDesktop},
      {"desktop widened from 16 bits", 0x0020, 0x0020},
      {"other handle widened from 16 bits still walks up", 0x0101, kDialog},
  };
  for (const TargetCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ResolveTargetWindow(c.clicked, tree), c.expected);
  }
}

// ---------------------------------------------------------------------------------------
// Items

std::string ItemName(PopupItem item) {
  switch (item) {
    case ITEM_START_MENU: return "START";
    case ITEM_SEPARATOR: return "SEP";
    case ITEM_FREESPOT: return "FREESPOT";
    case ITEM_RESTORE: return "RESTORE";
    case ITEM_MAXIMIZE: return "MAXIMIZE";
    case ITEM_MINIMIZE: return "MINIMIZE";
    case ITEM_CLOSE: return "CLOSE";
    case POPUP_ITEM_COUNT: break;
  }
  return "?";
}

std::string Spell(const std::vector<PopupItem>& items) {
  std::string s;
  for (PopupItem item : items) s += (s.empty() ? "" : " ") + ItemName(item);
  return s;
}

const PopupItem START = ITEM_START_MENU, SEP = ITEM_SEPARATOR, FREESPOT = ITEM_FREESPOT,
                RESTORE = ITEM_RESTORE, MAXIMIZE = ITEM_MAXIMIZE, MINIMIZE = ITEM_MINIMIZE,
                CLOSE = ITEM_CLOSE;

const uint32_t MIN = STYLE_MINIMIZE, MAX = STYLE_MAXIMIZE, SYS = STYLE_SYSMENU,
               MINBOX = STYLE_MINIMIZEBOX, MAXBOX = STYLE_MAXIMIZEBOX;

struct LayoutCase {
  const char* name;
  uint32_t style;
  bool isMainWindow;
  bool isDesktop;
  int32_t extraItems;
  std::vector<PopupItem> expected;
};

template <size_t N>
void ExpectLayouts(const LayoutCase (&cases)[N]) {
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    PopupLayout layout = BuildPopupLayout({c.style, c.isMainWindow, c.isDesktop}, c.extraItems);
    EXPECT_EQ(Spell(std::vector<PopupItem>(layout.items, layout.items + layout.count)),
              Spell(c.expected));
  }
}

TEST(PopupLayout, StartMenuOnlyWithoutExtraItems) {
  const LayoutCase cases[] = {
      {"disabled, plain window", MINBOX | MAXBOX | SYS, false, false, 0, {START}},
      {"disabled, minimized", MIN | MINBOX | MAXBOX | SYS, false, false, 0, {START}},
      {"disabled, window gone", 0, false, false, 0, {START}},
      {"disabled, main window", MIN | MINBOX | SYS, true, false, 0, {START}},
      {"disabled, desktop", MINBOX | MAXBOX | SYS, false, true, 0, {START}},
      {"odd value 7", MINBOX | MAXBOX | SYS, false, false, 7, {START}},
      {"odd value -1", MAX | MINBOX | MAXBOX | SYS, false, false, -1, {START}},
      {"odd value 2", MINBOX | SYS, false, false, 2, {START}},
  };
  ExpectLayouts(cases);
}

TEST(PopupLayout, ItemsFollowTheTargetsStyle) {
  const LayoutCase cases[] = {
      {"both boxes and system menu", MINBOX | MAXBOX | SYS, false, false, 1,
       {START, SEP, FREESPOT, SEP, MAXIMIZE, MINIMIZE, SEP, CLOSE}},
      {"minimized with maximize box", MIN | MINBOX | MAXBOX | SYS, false, false, 1,
       {START, SEP, FREESPOT, SEP, RESTORE, MAXIMIZE, SEP, CLOSE}},
      {"minimized without maximize box", MIN | MINBOX | SYS, false, false, 1,
       {START, SEP, FREESPOT, SEP, RESTORE, SEP, CLOSE}},
      {"maximized", MAX | MINBOX | MAXBOX | SYS, false, false, 1,
       {START, SEP, FREESPOT, SEP, RESTORE, MINIMIZE, SEP, CLOSE}},
      {"no boxes, system menu", SYS, false, false, 1, {START, SEP, FREESPOT, SEP, CLOSE}},
      {"both boxes, no system menu", MINBOX | MAXBOX, false, false, 1,
       {START, SEP, FREESPOT, SEP, MAXIMIZE, MINIMIZE}},
      {"minimize box only", MINBOX | SYS, false, false, 1,
       {START, SEP, FREESPOT, SEP, MINIMIZE, SEP, CLOSE}},
      {"maximize box only", MAXBOX | SYS, false, false, 1,
       {START, SEP, FREESPOT, SEP, MAXIMIZE, SEP, CLOSE}},
      {"window gone (style 0)", 0, false, false, 1, {START, SEP, FREESPOT}},
      {"no boxes, no system menu", kOverlapped & ~(SYS | MINBOX | MAXBOX), false, false, 1,
       {START, SEP, FREESPOT}},
      {"full overlapped style word", kOverlapped, false, false, 1,
       {START, SEP, FREESPOT, SEP, MAXIMIZE, MINIMIZE, SEP, CLOSE}},
  };
  ExpectLayouts(cases);
}

TEST(PopupLayout, DesktopAndMainWindow) {
  const LayoutCase cases[] = {
      {"desktop never offers close", MINBOX | MAXBOX | SYS, false, true, 1,
       {START, SEP, FREESPOT, SEP, MAXIMIZE, MINIMIZE}},
      {"desktop with system menu only", SYS, false, true, 1, {START, SEP, FREESPOT}},
      {"main window minimized: no restore, two separators in a row", MIN | MINBOX | SYS, true,
       false, 1, {START, SEP, FREESPOT, SEP, SEP, CLOSE}},
      {"main window not minimized", MINBOX | SYS, true, false, 1,
       {START, SEP, FREESPOT, SEP, MINIMIZE, SEP, CLOSE}},
  };
  ExpectLayouts(cases);
}

// ---------------------------------------------------------------------------------------
// Close item text

struct CloseCase {
  const char* name;
  const char16_t* title;
  int titleLength;
  std::u16string expected;
};

TEST(PopupCloseText, ExitAndTheTitlesFirst13Units) {
  const CloseCase cases[] = {
      {"short title", u"Notepad", 7, u"EXIT Notepad"},
      {"one character", u"A", 1, u"EXIT A"},
      {"12 characters kept whole", u"ABCDEFGHIJKL", 12, u"EXIT ABCDEFGHIJKL"},
      {"13 characters kept whole", u"ABCDEFGHIJKLM", 13, u"EXIT ABCDEFGHIJKLM"},
      {"14 characters cut to 13", u"ABCDEFGHIJKLMN", 14, u"EXIT ABCDEFGHIJKLM"},
      {"20 characters cut to 13", u"ABCDEFGHIJKLMNOPQRST", 20, u"EXIT ABCDEFGHIJKLM"},
      {"untitled", u"", 0, u"EXIT  "},
      {"no title at all", nullptr, 0, u"EXIT  "},
      {"Cyrillic", u"Блокнот", 7, u"EXIT Блокнот"},
      {"Greek cut to 13", u"Σημειωματάριο κειμένου", 22, u"EXIT Σημειωματάριο"},
      {"Chinese", u"记事本", 3, u"EXIT 记事本"},
      // U+1F4DD is the pair D83D DCDD.
      {"pair ending at the 13th unit kept", u"ABCDEFGHIJK\U0001F4DD!", 14,
       u"EXIT ABCDEFGHIJK\U0001F4DD"},
      {"pair across the cut dropped whole", u"ABCDEFGHIJKL\U0001F4DD", 14,
       u"EXIT ABCDEFGHIJKL"},
      {"pair at the start kept", u"\U0001F4DD memo", 7, u"EXIT \U0001F4DD memo"},
  };
  for (const CloseCase& c : cases) {
    SCOPED_TRACE(c.name);
    struct {
      char16_t text[CLOSE_TEXT_SIZE];
      char16_t canary[8];
    } g;
    for (char16_t& unit : g.text) unit = u'#';  // the text must end itself
    for (char16_t& unit : g.canary) unit = u'#';
    BuildCloseText(c.title, c.titleLength, g.text);
    const char16_t* end = std::char_traits<char16_t>::find(g.text, CLOSE_TEXT_SIZE, 0);
    ASSERT_NE(end, nullptr) << "not terminated in the buffer";
    EXPECT_EQ(std::u16string(g.text), c.expected);
    for (char16_t unit : g.canary) ASSERT_EQ(unit, u'#') << "write past the text buffer";
  }
}

// ---------------------------------------------------------------------------------------
// Anchor

struct AnchorXCase {
  const char* name;
  int32_t x;
  int32_t monitorLeft;
  int32_t monitorRight;
  int32_t expected;
};

TEST(PopupAnchor, XKeepsTheMenuOnTheCursorsMonitor) {
  const AnchorXCase cases[] = {
      {"800: left edge", 0, 0, 800, 400},
      {"800: near the left", 100, 0, 800, 400},
      {"800: last left-zone pixel", 168, 0, 800, 400},
      {"800: first free pixel", 169, 0, 800, 169},
      {"800: middle", 400, 0, 800, 400},
      {"800: last free pixel", 631, 0, 800, 631},
      {"800: first right-zone pixel", 632, 0, 800, 500},
      {"800: right edge", 799, 0, 800, 500},
      {"1024: last left-zone pixel", 168, 0, 1024, 512},
      {"1024: first free pixel", 169, 0, 1024, 169},
      {"1024: last free pixel", 855, 0, 1024, 855},
      {"1024: first right-zone pixel", 856, 0, 1024, 612},
      {"801: half truncates", 100, 0, 801, 400},
      {"801: last free pixel", 632, 0, 801, 632},
      {"801: right zone, half truncates", 633, 0, 801, 500},
      // A second monitor right of a 1024 primary, 1280 wide.
      {"right monitor: near its left edge", 1100, 1024, 2304, 1664},
      {"right monitor: first free pixel", 1193, 1024, 2304, 1193},
      {"right monitor: beyond the primary's width", 1500, 1024, 2304, 1500},
      {"right monitor: last free pixel", 2135, 1024, 2304, 2135},
      {"right monitor: near its right edge", 2136, 1024, 2304, 1764},
      // Monitors left of the primary have negative coordinates.
      {"left monitor: its left edge", -1280, -1280, 0, -640},
      {"left monitor: last left-zone pixel", -1112, -1280, 0, -640},
      {"left monitor: first free pixel", -1111, -1280, 0, -1111},
      {"left monitor: last free pixel", -169, -1280, 0, -169},
      {"left monitor: near its right edge", -1, -1280, 0, -540},
      {"odd width on the left: centre truncates towards its left edge", -1, -801, 0, -301},
      {"16-bit extremes", 32767, 30000, 32767, 31483},
  };
  for (const AnchorXCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PopupAnchorX(c.x, c.monitorLeft, c.monitorRight), c.expected);
  }
}

TEST(PopupAnchor, PackedPointOnAnyMonitorComesBackWithItsSign) {
  struct {
    const char* name;
    int32_t x, y;
    int32_t monitorLeft, monitorRight;
    int32_t anchorX, anchorY;
  } const cases[] = {
      {"primary", 500, 300, 0, 1024, 500, 320},
      {"above the primary", 500, -700, 0, 1024, 500, -680},
      {"left of and above the primary", -1200, -40, -1280, 0, -640, -20},
      {"right of the primary", 1500, 300, 1024, 2304, 1500, 320},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t packed = PackPoint(c.x, c.y);
    EXPECT_EQ(PopupAnchorX(PackedX(packed), c.monitorLeft, c.monitorRight), c.anchorX);
    EXPECT_EQ(PopupAnchorY(PackedY(packed)), c.anchorY);
  }
}

struct AnchorYCase {
  const char* name;
  int32_t y;
  int32_t expected;
};

TEST(PopupAnchor, YIsTwentyBelowTheCursor) {
  const AnchorYCase cases[] = {
      {"top", 0, 20},
      {"bottom of a 768 screen less 20", 748, 768},
      {"monitor above the primary", -600, -580},
  };
  for (const AnchorYCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PopupAnchorY(c.y), c.expected);
  }
}

// ---------------------------------------------------------------------------------------
// Scaled displays

// A right click at a physical point, as an unaware program reports it (divided by the
// scale) and as the system recorded the cursor with the posted request (physical). The
// hook's request opens at the physical point; another sender's UM_POPUP_NOW where it says.
TEST(PopupScale, RequestsOpenAtThePhysicalCursorAndPicturesGrowWithTheDpi) {
  struct {
    int32_t percent, x, y;
  } const points[] = {{100, 700, 500}, {150, 1500, 900}, {200, -2000, -300}};
  for (const auto& c : points) {
    SCOPED_TRACE(c.percent);
    uint32_t physical = PackPoint(c.x, c.y);
    uint32_t unaware = PackPoint(c.x * 100 / c.percent, c.y * 100 / c.percent);
    EXPECT_EQ(PopupPoint(UM_POPUP_REQUEST, unaware, physical), physical);
    EXPECT_EQ(PopupPoint(UM_POPUP_NOW, unaware, physical), unaware);
  }
  // Pixels at 96 DPI, DPI, pixels drawn: rounded to the nearest; a DPI not read (0) keeps
  // the picture's own size.
  const int32_t sizes[][3] = {{16, 96, 16}, {16, 120, 20}, {16, 144, 24}, {16, 192, 32},
                              {57, 144, 86}, {20, 106, 22}, {16, 72, 12},  {57, 0, 57}};
  for (const auto& c : sizes) {
    EXPECT_EQ(ScaleToDpi(c[0], static_cast<uint32_t>(c[1])), c[2]) << c[0] << " at " << c[1];
  }
}

// ---------------------------------------------------------------------------------------
// Press on the popup

TEST(PopupPress, OnThePopupExactlyWhenTheMenuUnderTheCursorIsThePopupThreads) {
  struct {
    const char* name;
    uint32_t menuThread;
    uint32_t popupThread;
    bool expected;
  } const cases[] = {
      {"the popup's own menu window", 0x2A, 0x2A, true},
      {"another program's context menu beside it", 0x77, 0x2A, false},
      {"no menu window under the cursor", 0, 0x2A, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PressIsOnPopup(c.menuThread, c.popupThread), c.expected);
  }
}

}  // namespace
