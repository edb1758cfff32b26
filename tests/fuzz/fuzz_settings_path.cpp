// Fuzz target: the kept start-up directory and the settings file's path, for directory
// bytes of any length. Input and output buffers are exactly-sized heap blocks filled with
// '#' first, so a read or write past them is an AddressSanitizer error and a leftover
// byte shows in the result.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <memory>
#include <string>

#include "program/settings_rules.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

typedef char DirBuffer[SETTINGS_DIR_SIZE];
typedef char PathBuffer[SETTINGS_PATH_SIZE];

// The path as it must be: dir's text (up to its terminator, at most 255 characters) with
// the file name appended directly after exactly 3 characters, after a backslash otherwise.
void CheckIniPath(const DirBuffer& dir) {
  std::string text(dir, strnlen(dir, SETTINGS_DIR_SIZE - 1));
  std::string expected = text + (text.size() == 3 ? "PIVOTRIX.INI" : "\\PIVOTRIX.INI");

  std::unique_ptr<PathBuffer[]> path(new PathBuffer[1]);
  memset(path[0], '#', SETTINGS_PATH_SIZE);
  BuildIniPath(dir, path[0]);
  FUZZ_CHECK(memchr(path[0], '\0', SETTINGS_PATH_SIZE) != NULL);
  FUZZ_CHECK(expected == path[0]);
}

void CheckKept(const char* dir) {
  std::unique_ptr<DirBuffer[]> kept(new DirBuffer[1]);
  memset(kept[0], '#', SETTINGS_DIR_SIZE);
  KeepStartupDirectory(dir, kept[0]);
  FUZZ_CHECK(memchr(kept[0], '\0', SETTINGS_DIR_SIZE) != NULL);
  if (dir != NULL && strlen(dir) < SETTINGS_DIR_SIZE) {
    FUZZ_CHECK(strcmp(kept[0], dir) == 0);
  } else {
    FUZZ_CHECK(kept[0][0] == '\0');
  }
  CheckIniPath(kept[0]);
}

}  // namespace

// A directory that could not be read is one case, not an input: checked once at start.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  CheckKept(NULL);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);

  // The directory as obtained at start-up: text up to the first NUL, of any length.
  size_t length = strnlen(bytes, size);
  std::unique_ptr<char[]> dir(new char[length + 1]);
  memcpy(dir.get(), bytes, length);
  dir[length] = '\0';
  CheckKept(dir.get());

  // The path from any directory buffer, unterminated ones included.
  std::unique_ptr<DirBuffer[]> raw(new DirBuffer[1]);
  memset(raw[0], '#', SETTINGS_DIR_SIZE);
  memcpy(raw[0], bytes, size < SETTINGS_DIR_SIZE ? size : SETTINGS_DIR_SIZE);
  CheckIniPath(raw[0]);
  return 0;
}
