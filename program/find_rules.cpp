#include "find_rules.h"

#include "stable_sort.h"

static bool IsAsciiLetterOrDigit(char16_t unit) {
  return (unit >= u'0' && unit <= u'9') || (unit >= u'a' && unit <= u'z') ||
         (unit >= u'A' && unit <= u'Z');
}

static bool IsWordSeparator(char16_t unit) {
  if (unit < 0x80) return !IsAsciiLetterOrDigit(unit);
  return (unit >= 0x00A0 && unit <= 0x00BF) || unit == 0x00D7 || unit == 0x00F7 ||
         (unit >= 0x2000 && unit <= 0x206F) || (unit >= 0x3000 && unit <= 0x303F);
}

static bool StartsWith(const char16_t* text, const char16_t* prefix) {
  for (; *prefix != 0; ++text, ++prefix) {
    if (*text != *prefix) return false;
  }
  return true;
}

FindMatch MatchName(const char16_t* name, const char16_t* typed) {
  if (StartsWith(name, typed)) return MATCH_BEGINS;
  FindMatch found = MATCH_NONE;
  for (int i = 1; name[i - 1] != 0; ++i) {
    if (!StartsWith(name + i, typed)) continue;
    if (IsWordSeparator(name[i - 1])) return MATCH_WORD;
    found = MATCH_CONTAINS;
  }
  return found;
}

int FindMatches(const char16_t* const* names, int count, const char16_t* typed, int8_t* groups,
                int* order) {
  for (int i = 0; i < count; ++i) groups[i] = MatchName(names[i], typed);
  int found = 0;
  for (int group = MATCH_BEGINS; group < MATCH_NONE; ++group) {
    for (int i = 0; i < count; ++i) {
      if (groups[i] == group) order[found++] = i;
    }
  }
  return found;
}

void SortIndexes(int* indexes, int count, int* scratch, IndexOrder order, const void* context) {
  StableSort(indexes, count, scratch,
             [order, context](int a, int b) { return order(context, a, b) < 0; });
}

static bool IsCombiningMark(char16_t unit) {
  return (unit >= 0x0300 && unit <= 0x036F) || (unit >= 0x1AB0 && unit <= 0x1AFF) ||
         (unit >= 0x1DC0 && unit <= 0x1DFF) || (unit >= 0x20D0 && unit <= 0x20FF) ||
         (unit >= 0xFE20 && unit <= 0xFE2F);
}

int DropCombiningMarks(char16_t* text) {
  int kept = 0;
  for (int i = 0; text[i] != 0; ++i) {
    if (!IsCombiningMark(text[i])) text[kept++] = text[i];
  }
  text[kept] = 0;
  return kept;
}

static int32_t Within(int32_t at, int32_t size, int32_t low, int32_t high) {
  if (at + size > high) at = high - size;
  return at < low ? low : at;
}

FindPlace PlaceFindBox(int32_t anchorX, int32_t anchorY, int32_t width, int32_t height,
                       const int32_t (&area)[4]) {
  FindPlace place = {Within(anchorX, width, area[0], area[2]),
                     Within(anchorY - height, height, area[1], area[3])};
  return place;
}
