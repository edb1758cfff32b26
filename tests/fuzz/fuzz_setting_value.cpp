// Fuzz target: stored settings values, parsed whole and as the profile read hands them
// over (one character in a SETTING_BUFFER_SIZE buffer). Every text is an exactly-sized
// heap copy, so a read past its terminator is an AddressSanitizer error.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <memory>

#include "program/settings_rules.h"
#include "tests/fuzz/fuzz_check.h"

static_assert(SETTING_BUFFER_SIZE == 2, "the profile read keeps one character");

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Signed decimal text as strtol reads it, clamped to 32 bits: the magnitude saturates
// just past INT32_MAX + 1, which keeps both clamps exact without any wider type.
int32_t ExpectedValue(const char* text) {
  while (IsBlank(*text)) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  const int64_t kSaturated = int64_t{INT32_MAX} + 2;
  int64_t magnitude = 0;
  for (; IsDigit(*text); ++text) {
    magnitude = magnitude * 10 + (*text - '0');
    if (magnitude > kSaturated) magnitude = kSaturated;
  }
  int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

std::unique_ptr<char[]> HeapCopy(const char* text, size_t length) {
  std::unique_ptr<char[]> copy(new char[length + 1]);
  memcpy(copy.get(), text, length);
  copy[length] = '\0';
  return copy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* stored = reinterpret_cast<const char*>(data);
  size_t length = strnlen(stored, size);  // a value ends at its first NUL

  std::unique_ptr<char[]> whole = HeapCopy(stored, length);
  FUZZ_CHECK(ParseSettingValue(whole.get()) == ExpectedValue(whole.get()));

  // The profile read copies at most SETTING_BUFFER_SIZE - 1 characters and terminates.
  size_t kept = length < SETTING_BUFFER_SIZE - 1 ? length : SETTING_BUFFER_SIZE - 1;
  std::unique_ptr<char[]> read = HeapCopy(stored, kept);
  int32_t value = ParseSettingValue(read.get());
  FUZZ_CHECK(value >= 0 && value <= 9);
  FUZZ_CHECK(value == (kept == 1 && IsDigit(stored[0]) ? stored[0] - '0' : 0));
  return 0;
}
