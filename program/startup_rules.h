// Whether the user's Startup folder starts this Pivotrix, over plain text.
#ifndef PIVOTRIX_PROGRAM_STARTUP_RULES_H
#define PIVOTRIX_PROGRAM_STARTUP_RULES_H

// What the Startup folder holds under the name "Pivotrix.lnk".
enum StartupShortcut {
  SHORTCUT_MISSING,    // nothing
  SHORTCUT_THIS,       // a shortcut to this Pivotrix.exe, started in its settings directory
  SHORTCUT_ELSEWHERE,  // another program or directory, or a file that reads as no shortcut
};

// Judges what was found there: whether the file exists, and the shortcut's target and
// working directory (null when the file can't be read as a shortcut), against this
// program's path and the directory of its settings file. Paths are compared as file
// names: case-blind for A to Z and the Latin-1 letters, / the same as \, and a trailing
// separator ignored (C:\Tools\ is C:\Tools), though a root keeps its own (C:\).
StartupShortcut JudgeStartupShortcut(bool exists, const wchar_t* target,
                                     const wchar_t* workingDir, const wchar_t* program,
                                     const wchar_t* settingsDir);

#endif
