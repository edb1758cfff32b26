#include "activation.h"

#include "../hooklib/hook_interface.h"
#include "control_marks.h"
#include "program_state.h"
#include "settings.h"

void SwitchActivation(bool on) {
  bool done = true;
  if (on) {
    done = InstallMouseHook(Program.hwndMain) != NULL;
  } else {
    UninstallMouseHook();
  }
  ActivationOutcome outcome = DecideActivation(on, done, Program.enabled);
  if (outcome.store) WriteSetting(kKeyEnable, on);
  Program.enabled = outcome.enabled;
  if (outcome.report) {
    MessageBoxA(Program.hwndMain,
                "Pivotrix could not install its mouse hook, so the popup stays off. "
                "Try \"Activate Pivotrix\" again, or restart Pivotrix.",
                "Pivotrix", MB_OK | MB_ICONWARNING);
  }
}
