#include "start_names_rules.h"

#include <stddef.h>

static char16_t AsciiLower(char16_t unit) {
  return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
}

static bool IsBlank(char16_t unit) { return unit == u' ' || unit == u'\t'; }

// True when text[start, end) is `word` without regard to ASCII case.
static bool SameWord(const char16_t* text, int start, int end, const char16_t* word) {
  int i = 0;
  for (; start + i < end; ++i) {
    if (word[i] == 0 || AsciiLower(text[start + i]) != AsciiLower(word[i])) return false;
  }
  return word[i] == 0;
}

int FindIniValue(const char16_t* text, int length, const char16_t* section, const char16_t* key,
                 const char16_t** value) {
  bool inSection = false;
  int start = length > 0 && text[0] == 0xFEFF ? 1 : 0;  // a byte-order mark left in
  while (start < length) {
    int end = start;
    while (end < length && text[end] != u'\r' && text[end] != u'\n') ++end;
    int next = end;
    while (next < length && (text[next] == u'\r' || text[next] == u'\n')) ++next;
    while (start < end && IsBlank(text[start])) ++start;
    while (end > start && IsBlank(text[end - 1])) --end;
    if (start < end && text[start] == u'[') {
      int close = start + 1;
      while (close < end && text[close] != u']') ++close;
      inSection = close < end && SameWord(text, start + 1, close, section);
    } else if (inSection && start < end && text[start] != u';') {
      int equals = start;
      while (equals < end && text[equals] != u'=') ++equals;
      int keyEnd = equals;
      while (keyEnd > start && IsBlank(text[keyEnd - 1])) --keyEnd;
      if (equals < end && SameWord(text, start, keyEnd, key)) {
        int from = equals + 1;
        while (from < end && IsBlank(text[from])) ++from;
        if (end - from >= 2 && text[from] == u'"' && text[end - 1] == u'"') {
          ++from;
          --end;
        }
        *value = text + from;
        return end - from;
      }
    }
    start = next;
  }
  return -1;
}

int DesktopIniName(const char16_t* text, int length, const char16_t* fileName,
                   const char16_t** value) {
  int found = fileName == NULL
                  ? FindIniValue(text, length, u".ShellClassInfo", u"LocalizedResourceName", value)
                  : FindIniValue(text, length, u"LocalizedFileNames", fileName, value);
  return found > 0 ? found : -1;
}

bool ParseIndirectString(const char16_t* value, int length, int* moduleStart, int* moduleLength,
                         uint32_t* id) {
  if (length < 4 || value[0] != u'@') return false;
  int comma = length - 1;
  while (comma > 0 && value[comma] != u',') --comma;
  if (comma <= 1 || comma + 2 >= length || value[comma + 1] != u'-') return false;
  uint32_t number = 0;
  for (int i = comma + 2; i < length; ++i) {
    if (value[i] < u'0' || value[i] > u'9' || number > 0xFFFFu) return false;
    number = number * 10 + (value[i] - u'0');
  }
  if (number > 0xFFFFu) return false;  // string ids are 16 bits
  *moduleStart = 1;
  *moduleLength = comma - 1;
  *id = number;
  return true;
}

static bool IsPublisherUnit(char16_t unit) {
  return (unit >= u'a' && unit <= u'z') || (unit >= u'0' && unit <= u'9');
}

bool IsPackagedAppId(const char16_t* id) {
  enum { PUBLISHER_ID_LENGTH = 13 };
  int bang = -1;
  int length = 0;
  for (; id[length] != 0; ++length) {
    if (id[length] == u'\\' || id[length] == u'/' || id[length] == u':') return false;
    if (id[length] == u'!') {
      if (bang >= 0) return false;
      bang = length;
    }
  }
  if (bang < PUBLISHER_ID_LENGTH + 2 || bang + 1 >= length) return false;
  int underscore = bang - PUBLISHER_ID_LENGTH - 1;
  if (id[underscore] != u'_') return false;
  for (int i = underscore + 1; i < bang; ++i) {
    if (!IsPublisherUnit(AsciiLower(id[i]))) return false;
  }
  return true;
}
