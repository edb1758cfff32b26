// The Find box: which names hold the typed text and their order, marks dropped, its place.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "program/find_rules.h"

namespace {

typedef std::u16string Text;

// The names as the box holds them: folded, sorted by shown name.
const std::vector<Text> kNames = {
    u"backgammon", u"calculator", u"free cell", u"game (beta)", u"hearts",
    u"minesweeper", u"mine", u"notepad", u"spider-mine", u"tic tac toe",
};

std::vector<Text> Found(const Text& typed) {
  std::vector<const char16_t*> names;
  for (const Text& name : kNames) names.push_back(name.c_str());
  std::vector<int8_t> groups(names.size());
  std::vector<int> order(names.size());
  int count = FindMatches(names.data(), static_cast<int>(names.size()), typed.c_str(),
                          groups.data(), order.data());
  std::vector<Text> found;
  for (int i = 0; i < count; ++i) found.push_back(kNames[order[i]]);
  return found;
}

TEST(FindRules, BeginsThenWordThenContainsEachInNameOrder) {
  struct Case {
    Text typed;
    std::vector<Text> found;
  } cases[] = {
      {u"mine", {u"minesweeper", u"mine", u"spider-mine"}},
      {u"e", {u"free cell", u"game (beta)", u"hearts", u"minesweeper", u"mine", u"notepad",
              u"spider-mine", u"tic tac toe"}},
      {u"c", {u"calculator", u"free cell", u"backgammon", u"tic tac toe"}},
      {u"t", {u"tic tac toe", u"calculator", u"game (beta)", u"hearts", u"notepad"}},
      {u"(b", {u"game (beta)"}},
      {u"cell", {u"free cell"}},
      {u"ell", {u"free cell"}},
      {u"tac toe", {u"tic tac toe"}},
      {u"minez", {}},
      {u"", kNames},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Found(c.typed), c.found) << std::string(c.typed.begin(), c.typed.end());
  }
}

// The names sorted by their first letters only, so that equal ones show the sort's stability.
int FirstLetterOrder(const void* context, int a, int b) {
  const Text* names = static_cast<const Text*>(context);
  return names[a][0] - names[b][0];
}

TEST(FindRules, NamesAreSortedStably) {
  const Text names[] = {u"mine", u"calc", u"more", u"apple", u"moon", u"cell", u"zed"};
  struct Case {
    int count;  // of the names, from the first
    std::vector<int> sorted;
  } cases[] = {{0, {}}, {1, {0}}, {2, {1, 0}}, {7, {3, 1, 5, 0, 2, 4, 6}}};
  for (const Case& c : cases) {
    std::vector<int> order(c.count), scratch(c.count);
    for (int i = 0; i < c.count; ++i) order[i] = i;
    SortIndexes(order.data(), c.count, scratch.data(), FirstLetterOrder, names);
    EXPECT_EQ(order, c.sorted) << c.count;
  }
}

TEST(FindRules, CombiningMarksAreDropped) {
  Text text = u"e\u0301cole mu\u0308ller \u0130\u0307 \u00df";
  EXPECT_EQ(DropCombiningMarks(&text[0]), 16);
  EXPECT_EQ(Text(text.c_str()), u"ecole muller \u0130 \u00df");
}

TEST(FindRules, TheBoxStandsOnTheAnchorWithinTheWorkArea) {
  const int32_t area[4] = {-1280, 0, 0, 1000};  // a monitor left of the primary one
  struct Case {
    int32_t x, y, width, height;
    FindPlace place;
  } cases[] = {
      {-1000, 800, 300, 200, {-1000, 600}},
      {-100, 800, 300, 200, {-300, 600}},   // past the right edge
      {-1280, 100, 300, 200, {-1280, 0}},   // past the top
      {-500, 1040, 300, 200, {-500, 800}},  // anchor on the taskbar below the area
      {-500, 900, 300, 2000, {-500, 0}},    // taller than the area
  };
  for (const Case& c : cases) {
    FindPlace place = PlaceFindBox(c.x, c.y, c.width, c.height, area);
    EXPECT_EQ(place.x, c.place.x) << c.x << "," << c.y;
    EXPECT_EQ(place.y, c.place.y) << c.x << "," << c.y;
  }
}

}  // namespace
