// Fuzz target: stored settings values. ParseSettingValue's result is checked against the
// number as text: the digits after the blanks and the sign, their leading zeros dropped,
// compared with the 32-bit limits as strings, give the value printed in decimal; and a
// value printed back reads as itself. Every text is an exactly-sized heap copy, so a read
// past its terminator is an AddressSanitizer error.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <memory>
#include <string>

#include "program/settings_rules.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int32_t Parse(const std::string& text) {
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  memcpy(copy.get(), text.c_str(), text.size() + 1);
  return ParseSettingValue(copy.get());
}

// The value of text as its decimal spelling, worked out on the characters alone.
std::string ExpectedSpelling(const std::string& text) {
  size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool negative = at < text.size() && text[at] == '-';
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  size_t end = at;
  while (end < text.size() && IsDigit(text[end])) ++end;
  while (at < end && text[at] == '0') ++at;
  std::string digits = text.substr(at, end - at);
  if (digits.empty()) return "0";
  const std::string limit = negative ? "2147483648" : "2147483647";
  if (digits.size() > limit.size() || (digits.size() == limit.size() && digits > limit)) {
    digits = limit;
  }
  return (negative ? "-" : "") + digits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A value ends at its first NUL.
  std::string text(reinterpret_cast<const char*>(data),
                   strnlen(reinterpret_cast<const char*>(data), size));
  int32_t value = Parse(text);
  FUZZ_CHECK(std::to_string(value) == ExpectedSpelling(text));
  FUZZ_CHECK(Parse(std::to_string(value)) == value);
  return 0;
}
