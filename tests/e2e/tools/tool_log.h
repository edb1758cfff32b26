// The test tools' log: lines "<ms> text", milliseconds since the tool started, printed on
// stdout and, once a log file is open, appended to it too. Every line is flushed at once, so
// that a test reading the file sees it as soon as it is written.
#ifndef PIVOTRIX_TESTS_E2E_TOOLS_TOOL_LOG_H
#define PIVOTRIX_TESTS_E2E_TOOLS_TOOL_LOG_H

#include <windows.h>
#include <stdarg.h>
#include <stdio.h>

inline FILE* logFile;       // the file of --log, or null
inline DWORD logStartTick;  // GetTickCount() when the tool started

inline void StartLogClock(void) { logStartTick = GetTickCount(); }

// Opens the log file for appending. The C runtime ends each line with CR LF in text mode
// ("a") and with LF alone in binary mode ("ab"); stdout is always in text mode.
inline bool OpenLogFile(const char* path, const char* mode) {
  logFile = fopen(path, mode);
  return logFile != NULL;
}

inline void CloseLogFile(void) {
  if (logFile != NULL) fclose(logFile);
  logFile = NULL;
}

// Appends "<ms> text" to the log file, when one is open.
inline void AppendToLogFile(unsigned long ms, const char* text) {
  if (logFile == NULL) return;
  fprintf(logFile, "%lu %s\n", ms, text);
  fflush(logFile);
}

// "<ms> text" on stdout and in the log file, with a time of the caller's.
inline void LogAt(unsigned long ms, const char* text) {
  printf("%lu %s\n", ms, text);
  fflush(stdout);
  AppendToLogFile(ms, text);
}

// A line formatted like printf (up to 511 characters), stamped with the time since
// StartLogClock().
inline void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline void Log(const char* format, ...) {
  unsigned long ms = GetTickCount() - logStartTick;
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  LogAt(ms, text);
}

#endif
