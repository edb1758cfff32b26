// Fuzz target: the kept start-up directory and the settings file's path, for directories of
// any length (the input's bytes in pairs, as UTF-16 code units). Input and output buffers
// are exactly-sized heap blocks, so a read or write past them is an AddressSanitizer error;
// each result is made twice, in buffers filled with different units first, so that a
// leftover unit shows as a difference.
// Checked: a directory is kept whole or not at all, and keeping it again changes nothing;
// the path is the directory's text, at most one backslash and "PIVOTRIX.INI".
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <wchar.h>

#include <algorithm>
#include <memory>
#include <string>

#include "program/settings_rules.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

typedef wchar_t DirBuffer[SETTINGS_DIR_SIZE];
typedef wchar_t PathBuffer[SETTINGS_PATH_SIZE];

const wchar_t kFile[] = L"PIVOTRIX.INI";
const size_t kFileLength = sizeof kFile / sizeof kFile[0] - 1;

std::wstring Kept(const wchar_t* dir, wchar_t fill) {
  std::unique_ptr<DirBuffer[]> kept(new DirBuffer[1]);
  wmemset(kept[0], fill, SETTINGS_DIR_SIZE);
  KeepStartupDirectory(dir, kept[0]);
  FUZZ_CHECK(wmemchr(kept[0], L'\0', SETTINGS_DIR_SIZE) != NULL);
  return kept[0];
}

std::wstring Path(const DirBuffer& dir, wchar_t fill) {
  std::unique_ptr<PathBuffer[]> path(new PathBuffer[1]);
  wmemset(path[0], fill, SETTINGS_PATH_SIZE);
  BuildIniPath(dir, path[0]);
  FUZZ_CHECK(wmemchr(path[0], L'\0', SETTINGS_PATH_SIZE) != NULL);
  return path[0];
}

// dir may lack a terminator: its text is then its first SETTINGS_DIR_SIZE - 1 characters.
void CheckIniPath(const DirBuffer& dir) {
  std::wstring path = Path(dir, L'#');
  FUZZ_CHECK(path == Path(dir, 0xFFFF));
  std::wstring text(dir, wcsnlen(dir, SETTINGS_DIR_SIZE - 1));
  FUZZ_CHECK(path.compare(0, text.size(), text) == 0);
  FUZZ_CHECK(path.size() >= text.size() + kFileLength);
  FUZZ_CHECK(path.compare(path.size() - kFileLength, kFileLength, kFile) == 0);
  std::wstring between = path.substr(text.size(), path.size() - text.size() - kFileLength);
  // A drive root ("C:\") takes the name as it is; anything else gets a backslash first.
  FUZZ_CHECK(between == (text.size() == 3 ? L"" : L"\\"));
}

void CheckKept(const wchar_t* dir) {
  std::wstring kept = Kept(dir, L'#');
  FUZZ_CHECK(kept == Kept(dir, 0xFFFF));
  bool fits = dir != NULL && wcslen(dir) < SETTINGS_DIR_SIZE;
  FUZZ_CHECK(kept == (fits ? dir : L""));
  FUZZ_CHECK(Kept(kept.c_str(), L'#') == kept);

  std::unique_ptr<DirBuffer[]> buffer(new DirBuffer[1]);
  wmemcpy(buffer[0], kept.c_str(), kept.size() + 1);
  CheckIniPath(buffer[0]);
}

}  // namespace

// A directory that could not be read is one case, not an input: checked once at start.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  CheckKept(NULL);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::wstring units;
  for (size_t i = 1; i < size; i += 2) units += static_cast<wchar_t>(data[i - 1] | data[i] << 8);

  // The directory as obtained at start-up: text up to the first NUL, of any length.
  size_t length = wcsnlen(units.c_str(), units.size());
  std::unique_ptr<wchar_t[]> dir(new wchar_t[length + 1]);
  wmemcpy(dir.get(), units.c_str(), length);
  dir[length] = L'\0';
  CheckKept(dir.get());

  // The path from any directory buffer, unterminated ones included.
  std::unique_ptr<DirBuffer[]> raw(new DirBuffer[1]);
  wmemset(raw[0], L'#', SETTINGS_DIR_SIZE);
  wmemcpy(raw[0], units.c_str(), std::min<size_t>(units.size(), SETTINGS_DIR_SIZE));
  CheckIniPath(raw[0]);
  return 0;
}
