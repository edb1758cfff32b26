// Resource names and identifiers of Pivotrix.exe.
#ifndef PIVOTRIX_PROGRAM_RESOURCE_H
#define PIVOTRIX_PROGRAM_RESOURCE_H

// Popup-menu commands (WM_COMMAND).
#define IDM_FREESPOT 43117
#define IDM_CLOSE_TARGET 43118
#define IDM_RESTORE_TARGET 43119
#define IDM_MAXIMIZE_TARGET 43120
#define IDM_MINIMIZE_TARGET 43121
#define IDM_START_MENU 43122

// Control-menu commands (WM_SYSCOMMAND, items of the system menu).
#define IDM_ABOUT 43114
#define IDM_HELP 43115
#define IDM_ACTIVATE 43185
#define IDM_DEACTIVATE 43186
#define IDM_EXTRA_ON 43187
#define IDM_EXTRA_OFF 43188
#define IDM_LARGE_MENU 43189
#define IDM_SMALL_MENU 43190
#define IDM_TRIGGER_ANY 43191
#define IDM_TRIGGER_CTRL 43192
#define IDM_START_WITH_WINDOWS 43193
#define IDM_NO_START_WITH_WINDOWS 43194
#ifndef RC_INVOKED
static_assert(IDM_ABOUT == 43114 && IDM_HELP == 43115 && IDM_ACTIVATE == 43185 &&
                  IDM_DEACTIVATE == 43186 && IDM_EXTRA_ON == 43187 && IDM_EXTRA_OFF == 43188 &&
                  IDM_LARGE_MENU == 43189 && IDM_SMALL_MENU == 43190 &&
                  IDM_TRIGGER_ANY == 43191 && IDM_TRIGGER_CTRL == 43192 &&
                  IDM_START_WITH_WINDOWS == 43193 && IDM_NO_START_WITH_WINDOWS == 43194,
              "other programs send these commands: they never change");
#endif

// Dialog controls. Ids are per dialog, so two dialogs may use one value.
#define IDC_OK 1              // each box's default button: "&OK", and "&Quit help" in HELP
#define IDC_NOT_OK 2          // CONFIG: leaves without a change
#define IDC_HELP_FRAME 2      // HELP: the black frame around the text (sends nothing)
#define IDC_VIEW_DOCUMENT 3   // opens the help document; ProcHjelp answers it, no template has it
#define IDC_RADIO_ENABLE 101  // CONFIG: the two radio buttons
#define IDC_RADIO_DISABLE 102

// Controls of the own Start menu's Find box.
#define IDC_FIND_TEXT 201  // the text field
#define IDC_FIND_LIST 202  // the entries that hold its text

#endif
