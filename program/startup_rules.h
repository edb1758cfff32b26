// Whether the user's Startup folder starts this Pivotrix, over plain values.
#ifndef PIVOTRIX_PROGRAM_STARTUP_RULES_H
#define PIVOTRIX_PROGRAM_STARTUP_RULES_H

#include <stdint.h>

// What the Startup folder holds under the name "Pivotrix.lnk".
enum StartupShortcut {
  SHORTCUT_MISSING,    // nothing
  SHORTCUT_THIS,       // a shortcut to this Pivotrix.exe, started in its settings directory
  SHORTCUT_ELSEWHERE,  // another program or directory, or a file that reads as no shortcut
};

// A file or folder as the system tells it apart from every other: the serial number of its
// volume and its index there, the same whichever path reaches it (a short 8.3 name, another
// case, a \\?\ prefix).
struct FileIdentity {
  bool known;  // the file could be opened and asked
  uint32_t volume;
  uint64_t index;
};

// A path, made full and long by the caller where the system could, and what it reaches.
struct NamedFile {
  const wchar_t* path;
  FileIdentity identity;
};

// Two names reach the same file when both identities are known and equal. When either is
// not known (a deleted target, a folder that can't be opened), the paths are compared as
// file names: case-blind for A to Z and the Latin-1 letters, / the same as \, a \\?\ prefix
// left out (\\?\UNC\srv is \\srv), and a trailing separator ignored (C:\Tools\ is
// C:\Tools), though a root keeps its own (C:\).
bool SameFile(const NamedFile& a, const NamedFile& b);

// Judges what was found there: whether the file exists, and the shortcut's target and
// working directory (null when the file can't be read as a shortcut), against this
// program and the directory of its settings file.
StartupShortcut JudgeStartupShortcut(bool exists, const NamedFile* target,
                                     const NamedFile* workingDir, const NamedFile& program,
                                     const NamedFile& settingsDir);

#endif
