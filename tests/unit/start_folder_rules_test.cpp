// The own Start menu: which entries it lists, their texts, the merged order, typed letters.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "program/start_folder_rules.h"

namespace {

typedef std::u16string Text;

// The program orders with the user's locale; an ASCII order ignoring case stands in here.
int AsciiOrder(const char16_t* a, const char16_t* b) {
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  for (; lower(*a) == lower(*b); ++a, ++b) {
    if (*a == 0) return 0;
  }
  return lower(*a) < lower(*b) ? -1 : 1;
}

TEST(StartEntries, DotsAndHiddenItemsAreLeftOutSystemOnesListed) {
  struct Case {
    Text name;
    uint32_t attributes;
    bool listed;
  } cases[] = {
      {u".", ENTRY_FOLDER, false},
      {u"..", ENTRY_FOLDER, false},
      {u"desktop.ini", ENTRY_HIDDEN | ENTRY_SYSTEM | 0x20u, false},
      {u"Hidden", ENTRY_FOLDER | ENTRY_HIDDEN, false},
      {u"Both", ENTRY_FOLDER | ENTRY_HIDDEN | ENTRY_SYSTEM, false},
      {u"System.lnk", ENTRY_SYSTEM, true},  // Explorer shows what is only system
      {u"Tools", ENTRY_FOLDER | ENTRY_SYSTEM, true},
      {u"...", 0x20u, true},
      {u".profile.lnk", 0x20u, true},
      {u"Games", ENTRY_FOLDER | 0x01u, true},  // read-only folders are listed
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsListedEntry(c.name.c_str(), c.attributes), c.listed)
        << std::string(c.name.begin(), c.name.end());
  }
}

Text EntryText(const Text& name, bool folder) {
  char16_t text[START_TEXT_SIZE];
  int length = BuildEntryText(name.c_str(), ShownNameLength(name.c_str(), folder), text);
  EXPECT_EQ(Text(text).size(), static_cast<size_t>(length));
  return text;
}

TEST(StartEntries, TextsDropShortcutExtensionsAndDoubleAmpersands) {
  struct Case {
    Text name;
    bool folder;
    Text text;
  } cases[] = {
      {u"Notepad.lnk", false, u"Notepad"},
      {u"Site.URL", false, u"Site"},
      {u"Old Game.PiF", false, u"Old Game"},
      {u"Readme.txt", false, u"Readme.txt"},
      {u"x.lnk.lnk", false, u"x.lnk"},
      {u"a.lnk", false, u"a"},
      {u".lnk", false, u".lnk"},           // nothing would be left
      {u"Tools.lnk", true, u"Tools.lnk"},  // a folder keeps its name
      {u"Notepadlnk", false, u"Notepadlnk"},
      {u"R&D Tools.lnk", false, u"R&&D Tools"},
      {u"&&", false, u"&&&&"},
      {u"\u0411\u043b\u043e\u043a\u043d\u043e\u0442.lnk", false,
       u"\u0411\u043b\u043e\u043a\u043d\u043e\u0442"},
      {u"\U0001F600 Smile.lnk", false, u"\U0001F600 Smile"},
      {u"a\xD800.lnk", false, u"a\xD800"},  // a lone high surrogate takes no unit of ".lnk"
      {u"", false, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(EntryText(c.name, c.folder), c.text);
}

TEST(StartEntries, LongTextsAreCutBetweenWholeCharacters) {
  // 300 ampersands: 259 of them doubled fill the 519 units, the 260th would need two.
  EXPECT_EQ(EntryText(Text(300, u'&'), false), Text(518, u'&'));
  // A surrogate pair that would straddle the end is left out whole.
  Text name = Text(518, u'a') + u"\U0001F600";
  EXPECT_EQ(EntryText(name, false), Text(518, u'a'));
  EXPECT_EQ(EntryText(Text(517, u'a') + u"\U0001F600", false), Text(517, u'a') + u"\U0001F600");
}

// `shown` empty: shown as named.
struct Arranged {
  Text name;
  bool folder;
  uint32_t sources;
  Text shown = Text();
  bool operator==(const Arranged& o) const {
    return name == o.name && folder == o.folder && sources == o.sources;
  }
};

std::ostream& operator<<(std::ostream& out, const Arranged& a) {
  return out << std::string(a.name.begin(), a.name.end()) << (a.folder ? "/" : "") << "@"
             << a.sources;
}

// A locale's order may hold different names equal: this one ignores hyphens, as word sorts do.
int WordOrder(const char16_t* a, const char16_t* b) {
  Text first, second;
  for (; *a != 0; ++a) first += *a == u'-' ? Text() : Text(1, *a);
  for (; *b != 0; ++b) second += *b == u'-' ? Text() : Text(1, *b);
  return AsciiOrder(first.c_str(), second.c_str());
}

std::vector<Arranged> Arrange(const std::vector<Arranged>& input, NameOrder order = AsciiOrder) {
  std::vector<StartEntry> entries;
  for (const Arranged& a : input) {
    entries.push_back({a.name.c_str(), a.shown.empty() ? a.name.c_str() : a.shown.c_str(),
                       a.folder, a.sources, 0});
  }
  std::vector<StartEntry> scratch(entries.size());
  int count = ArrangeStartEntries(entries.data(), static_cast<int>(entries.size()), scratch.data(),
                                  AsciiOrder, order);
  std::vector<Arranged> output;
  for (int i = 0; i < count; ++i) {
    output.push_back({entries[i].name, entries[i].folder, entries[i].sources, Text()});
  }
  return output;
}

TEST(StartEntries, FoldersFirstEachGroupSortedSameNamedFoldersMerged) {
  // The user's Start Menu is read first (source 1), then all users' (source 2).
  std::vector<Arranged> input = {
      {u"zebra.lnk", false, 1},  {u"Games", true, 1},       {u"Apple.lnk", false, 1},
      {u"Readme.lnk", false, 1}, {u"accessories", true, 1}, {u"GAMES", true, 2},
      {u"Readme.lnk", false, 2}, {u"banana.lnk", false, 2}, {u"Zoo", true, 2},
  };
  std::vector<Arranged> expected = {
      {u"accessories", true, 1}, {u"Games", true, 3},       {u"Zoo", true, 2},
      {u"Apple.lnk", false, 1},  {u"banana.lnk", false, 2}, {u"Readme.lnk", false, 1},
      {u"Readme.lnk", false, 2}, {u"zebra.lnk", false, 1},
  };
  EXPECT_EQ(Arrange(input), expected);
  EXPECT_TRUE(Arrange({}).empty());
  EXPECT_EQ(Arrange({{u"Only", true, 2}}), (std::vector<Arranged>{{u"Only", true, 2}}));
}

TEST(StartEntries, FoldersMergeByFileSystemNameAndSortByShownName) {
  std::vector<Arranged> input = {
      {u"Games", true, 1, u"Spiele"},  {u"GAMES", true, 2, u"Games"},  // one folder
      {u"co-op", true, 1},             {u"coop", true, 2},  // two: the locale's equal isn't
      {u"Tools", true, 1},             {u"Tools", false, 2},  // a folder and a plain file
      {u"zeta.lnk", false, 1, u"Alpha"},
  };
  std::vector<Arranged> expected = {
      {u"co-op", true, 1}, {u"coop", true, 2},      {u"Games", true, 3},
      {u"Tools", true, 1}, {u"zeta.lnk", false, 1}, {u"Tools", false, 2},
  };
  EXPECT_EQ(Arrange(input, WordOrder), expected);
}

TEST(StartEntries, AnAppIsAddedOnceAndOnlyWhenPackaged) {
  std::vector<StartEntry> listed = {{u"Calc.lnk", u"Calculator", false, 1, 0},
                                    {u"Photos", u"Photos", true, 2, 0}};
  struct Case {
    const char16_t* id;
    const char16_t* shown;
    bool added;
  } cases[] = {
      {u"Microsoft.WindowsCalculator_8wekyb3d8bbwe!App", u"calculator", false},  // a shortcut's
      {u"Microsoft.Windows.Photos_8wekyb3d8bbwe!App", u"Photos", true},  // a folder's name
      {u"Microsoft.WindowsStore_8wekyb3d8bbwe!App", u"Store", true},
      {u"{6D809377-6AF0-444B-8957-A3773F02200E}\\Tool\\tool.exe", u"Tool", false},
      {u"Microsoft.Office.WINWORD.EXE.15", u"Word", false},  // a shortcut's own ID
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsAppToAdd(c.id, c.shown, listed.data(), 2, AsciiOrder), c.added)
        << std::string(c.shown, c.shown + std::char_traits<char16_t>::length(c.shown));
  }
}

TEST(StartEntries, HundredsOfEntriesComeOutInOrder) {
  std::vector<Arranged> input;
  for (int i = 0; i < 777; ++i) {
    int key = (i * 7919) % 777;  // every number once, shuffled
    char name[16];
    snprintf(name, sizeof name, "%s%04d", key % 3 == 0 ? "E" : "e", key);
    input.push_back({Text(name, name + strlen(name)), key % 5 == 0, 1});
  }
  std::vector<Arranged> expected = input;
  std::stable_sort(expected.begin(), expected.end(), [](const Arranged& a, const Arranged& b) {
    if (a.folder != b.folder) return a.folder;
    return AsciiOrder(a.name.c_str(), b.name.c_str()) < 0;
  });
  EXPECT_EQ(Arrange(input), expected);
}

TEST(StartEntries, TypedLetterSelectsTheNextMatchOrExecutesTheOnlyOne) {
  const char16_t firsts[] = {u'A', u'A', u'G', 0, u'Z', u'A'};  // 0: the "(Empty)" item
  struct Case {
    const char* name;
    int current;
    char16_t typed;
    LetterChoice expected;
  } cases[] = {
      {"only item: execute", -1, u'G', {2, true}},
      {"only item, selected already", 2, u'G', {2, true}},
      {"several, none selected: the first", -1, u'A', {0, false}},
      {"several: the next after the selected", 0, u'A', {1, false}},
      {"several: past another letter", 1, u'A', {5, false}},
      {"several: round to the first", 5, u'A', {0, false}},
      {"no match", 3, u'Q', {-1, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LetterChoice choice = ChooseItemByLetter(firsts, 6, c.current, c.typed);
    EXPECT_EQ(choice.index, c.expected.index);
    EXPECT_EQ(choice.execute, c.expected.execute);
  }
  EXPECT_EQ(ChooseItemByLetter(firsts, 0, -1, u'A').index, -1);
}

}  // namespace
