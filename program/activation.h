// The popup switched on or off: the hook installed or removed, and the stored "Enable".
// Both the control menu and the Enable/Disable dialog switch through here.
#ifndef PIVOTRIX_PROGRAM_ACTIVATION_H
#define PIVOTRIX_PROGRAM_ACTIVATION_H

// Installs or removes the hook; stores "Enable" and sets `enabled` only for what happened.
// A hook that can't be installed is reported in a box and leaves both as they were. The
// control menu's marks are left to the caller.
void SwitchActivation(bool on);

#endif
