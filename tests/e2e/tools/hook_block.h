// The hook library's shared block as a test tool sees it: found in the library's own image
// (it is not exported) and read through the library's declaration of it.
#ifndef PIVOTRIX_TESTS_E2E_TOOLS_HOOK_BLOCK_H
#define PIVOTRIX_TESTS_E2E_TOOLS_HOOK_BLOCK_H

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../../../hooklib/hook_shared.h"

// The SHARDATA section of the library loaded as `module`, or null.
inline const volatile SharedBlock* FindSharedBlock(HMODULE module) {
  BYTE* base = reinterpret_cast<BYTE*>(module);
  if (base == NULL) return NULL;
  IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (strncmp(reinterpret_cast<char*>(section->Name), "SHARDATA", 8) == 0) {
      return reinterpret_cast<const volatile SharedBlock*>(base + section->VirtualAddress);
    }
  }
  return NULL;
}

// "notify=0x... extra=N start=N result=N tray=0x... start_button=0x... tabs=0x...
// trigger=N trigger_press=N", the line the end-to-end tests parse.
inline void FormatSharedBlock(char* line, size_t size, const volatile SharedBlock* block) {
  snprintf(line, size,
           "notify=0x%08lX extra=%ld start=%ld result=%ld tray=0x%08lX start_button=0x%08lX "
           "tabs=0x%08lX trigger=%ld trigger_press=%ld",
           static_cast<unsigned long>(block->hwndNotify), static_cast<long>(block->extraMenuState),
           static_cast<long>(block->startMenuState), static_cast<long>(block->hookResult),
           static_cast<unsigned long>(block->hwndTray),
           static_cast<unsigned long>(block->hwndStartButton),
           static_cast<unsigned long>(block->hwndTaskTabs), static_cast<long>(block->trigger),
           static_cast<long>(block->triggerPress));
}

#endif
