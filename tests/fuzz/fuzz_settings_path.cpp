// Fuzz target: the kept start-up directory and the settings file's path, for directory
// bytes of any length. Input and output buffers are exactly-sized heap blocks, so a read
// or write past them is an AddressSanitizer error; each result is made twice, in buffers
// filled with different bytes first, so that a leftover byte shows as a difference.
// Checked: a directory is kept whole or not at all, and keeping it again changes nothing;
// the path is the directory's text, at most one backslash and "PIVOTRIX.INI".
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

const char kFile[] = "PIVOTRIX.INI";
const size_t kFileLength = sizeof kFile - 1;

std::string Kept(const char* dir, char fill) {
  std::unique_ptr<DirBuffer[]> kept(new DirBuffer[1]);
  memset(kept[0], fill, SETTINGS_DIR_SIZE);
  KeepStartupDirectory(dir, kept[0]);
  FUZZ_CHECK(memchr(kept[0], '\0', SETTINGS_DIR_SIZE) != NULL);
  return kept[0];
}

std::string Path(const DirBuffer& dir, char fill) {
  std::unique_ptr<PathBuffer[]> path(new PathBuffer[1]);
  memset(path[0], fill, SETTINGS_PATH_SIZE);
  BuildIniPath(dir, path[0]);
  FUZZ_CHECK(memchr(path[0], '\0', SETTINGS_PATH_SIZE) != NULL);
  return path[0];
}

// dir may lack a terminator: its text is then its first SETTINGS_DIR_SIZE - 1 characters.
void CheckIniPath(const DirBuffer& dir) {
  std::string path = Path(dir, '#');
  FUZZ_CHECK(path == Path(dir, '\xFF'));
  std::string text(dir, strnlen(dir, SETTINGS_DIR_SIZE - 1));
  FUZZ_CHECK(path.compare(0, text.size(), text) == 0);
  FUZZ_CHECK(path.size() >= text.size() + kFileLength);
  FUZZ_CHECK(path.compare(path.size() - kFileLength, kFileLength, kFile) == 0);
  std::string between = path.substr(text.size(), path.size() - text.size() - kFileLength);
  // A drive root ("C:\") takes the name as it is; anything else gets a backslash first.
  FUZZ_CHECK(between == (text.size() == 3 ? "" : "\\"));
}

void CheckKept(const char* dir) {
  std::string kept = Kept(dir, '#');
  FUZZ_CHECK(kept == Kept(dir, '\xFF'));
  bool fits = dir != NULL && strlen(dir) < SETTINGS_DIR_SIZE;
  FUZZ_CHECK(kept == (fits ? dir : ""));
  FUZZ_CHECK(Kept(kept.c_str(), '#') == kept);

  std::unique_ptr<DirBuffer[]> buffer(new DirBuffer[1]);
  memcpy(buffer[0], kept.c_str(), kept.size() + 1);
  CheckIniPath(buffer[0]);
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
