// The Find box's decisions over plain values: which names match the typed text and in what
// order, and where the box stands. Names and the typed text are UTF-16, already folded by
// the caller to the form they are compared in (decomposed, marks dropped, lower case).
#ifndef PIVOTRIX_PROGRAM_FIND_RULES_H
#define PIVOTRIX_PROGRAM_FIND_RULES_H

#include <stdint.h>

// How a name holds the typed text, best first.
enum FindMatch : int8_t {
  MATCH_BEGINS,    // the name begins with it (every name begins with empty text)
  MATCH_WORD,      // a later word of the name begins with it
  MATCH_CONTAINS,  // it stands elsewhere in the name
  MATCH_NONE,
};

// A word begins after a unit that is neither a letter nor a digit: ASCII punctuation,
// spaces and symbols, and the Latin-1, general and CJK punctuation blocks.
FindMatch MatchName(const char16_t* name, const char16_t* typed);

// The names that hold `typed`, as indexes into `names`, in `order`: those that begin with
// it, then those with a word that begins with it, then the rest, each group in the order
// of `names` (which the caller sorts by shown name). `groups` is scratch for `count`
// values. Returns how many match.
int FindMatches(const char16_t* const* names, int count, const char16_t* typed, int8_t* groups,
                int* order);

// Sorts `indexes` stably by `order` (below 0, 0 or above 0 as the item at index a comes
// before, with or after the one at b); `scratch` holds `count` values.
typedef int (*IndexOrder)(const void* context, int a, int b);
void SortIndexes(int* indexes, int count, int* scratch, IndexOrder order, const void* context);

// Drops the combining marks (U+0300-U+036F and the other combining blocks) that the
// system's decomposition leaves after their base letters, so that "É" matches "e". Works
// in place; returns the new length.
int DropCombiningMarks(char16_t* text);

// The box's top-left corner: its bottom-left corner at the anchor, moved the least that
// keeps it within the work area (left, top, right, bottom); a box larger than the area
// keeps its top-left corner in it.
struct FindPlace {
  int32_t x;
  int32_t y;
};
FindPlace PlaceFindBox(int32_t anchorX, int32_t anchorY, int32_t width, int32_t height,
                       const int32_t (&area)[4]);

#endif
