#include "dialog_rules.h"

int32_t CentreCoordinate(int32_t screen, int32_t size) {
  int64_t at = (static_cast<int64_t>(screen) - size) / 2;
  return at < 0 ? 0 : static_cast<int32_t>(at);
}

static size_t AppendText(wchar_t (&command)[HELP_COMMAND_SIZE], size_t length,
                         const wchar_t* text) {
  while (length < HELP_COMMAND_SIZE - 1 && text != NULL && *text != L'\0') {
    command[length++] = *text++;
  }
  command[length] = L'\0';
  return length;
}

size_t BuildHelpCommandLine(const wchar_t* helpDir, wchar_t (&command)[HELP_COMMAND_SIZE]) {
  size_t length = AppendText(command, 0, L"write.exe \"");
  length = AppendText(command, length, helpDir);
  return AppendText(command, length, L"\\PIVOTRIX.wri\"");
}
