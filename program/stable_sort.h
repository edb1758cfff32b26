// A stable merge sort over plain values, for the own Start menu's rules and the Find box's.
#ifndef PIVOTRIX_PROGRAM_STABLE_SORT_H
#define PIVOTRIX_PROGRAM_STABLE_SORT_H

// Sorts `count` items so that `before(a, b)` holds for no a that stands after b; items that
// are equal keep their order. Bottom up: runs of 1, 2, 4, ... items merged between `items`
// and `scratch` (room for `count`).
template <typename Item, typename Before>
void StableSort(Item* items, int count, Item* scratch, Before before) {
  Item* from = items;
  Item* to = scratch;
  for (int width = 1; width < count; width *= 2) {
    for (int start = 0; start < count; start += 2 * width) {
      int middle = start + width < count ? start + width : count;
      int end = start + 2 * width < count ? start + 2 * width : count;
      int left = start;
      int right = middle;
      for (int out = start; out < end; ++out) {
        bool takeRight = right < end && (left >= middle || before(from[right], from[left]));
        to[out] = takeRight ? from[right++] : from[left++];
      }
    }
    Item* swap = from;
    from = to;
    to = swap;
  }
  if (from != items) {
    for (int i = 0; i < count; ++i) items[i] = from[i];
  }
}

#endif
