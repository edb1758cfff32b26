#include "dialogs.h"

#include "activation.h"
#include "dialog_rules.h"
#include "program_state.h"
#include "resource.h"
#include "settings.h"

void RunDialog(const char* templateName, DLGPROC procedure) {
  if (DialogBoxParamA(Program.hInstance, templateName, Program.hwndMain, procedure, 0) != -1) return;
  MessageBoxA(Program.hwndMain,
              "Something went wrong when trying to display a required dialogbox. "
              "Terminating Pivotrix.",
              "Pivotrix", MB_OK);
  PostMessageA(Program.hwndMain, WM_CLOSE, 0, 0);
}

void CentreDialog(HWND dialog, HWND insertAfter) {
  RECT rect;
  GetWindowRect(dialog, &rect);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  int x = CentreCoordinate(Program.screenWidth, width);
  int y = CentreCoordinate(Program.screenHeight, height);
  SetWindowPos(dialog, insertAfter, x, y, width, height, SWP_SHOWWINDOW);
}

extern "C" INT_PTR CALLBACK ProcOK(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CentreDialog(dialog, HWND_TOPMOST);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDC_OK) return FALSE;
      EndDialog(dialog, 1);
      return TRUE;
    default:
      return FALSE;
  }
}

// Shows a dialog that only its owner ends.
extern "C" INT_PTR CALLBACK ProcEmpty(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  CentreDialog(dialog, HWND_TOP);
  UpdateWindow(dialog);
  return TRUE;
}

// The viewer is started as WinExec would start it (found the same way, shown as asked), but
// without WinExec's wait until it is ready for input: this thread handles no messages while
// it waits, and on 64-bit Windows the hook's calls for every 32-bit program run on it. The
// command line is UTF-16, as WinExec's ANSI one can't name a folder outside the code page.
static void ViewHelpDocument(void) {
  WCHAR command[HELP_COMMAND_SIZE];
  BuildHelpCommandLine(Program.helpDir, command);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION started;
  if (!CreateProcessW(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started)) {
    MessageBoxA(Program.hwndMain, "Error when running WRITE.EXE", Program.titleVersion,
                MB_ICONWARNING);
    return;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
}

// The help page with a button that opens the help document in the system's viewer.
extern "C" INT_PTR CALLBACK ProcHjelp(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CentreDialog(dialog, HWND_TOPMOST);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_OK) {
        EndDialog(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDC_VIEW_DOCUMENT) {
        EndDialog(dialog, 1);
        ViewHelpDocument();
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

static void ConfirmEnable(HWND dialog) {
  bool enableChecked = SendDlgItemMessageA(dialog, IDC_RADIO_ENABLE, BM_GETCHECK, 0, 0) != 0;
  bool disableChecked = SendDlgItemMessageA(dialog, IDC_RADIO_DISABLE, BM_GETCHECK, 0, 0) != 0;
  if (Program.enabled == 0 && enableChecked) {
    SwitchActivation(true);
  } else if (Program.enabled == 1 && disableChecked) {
    SwitchActivation(false);
  }
}

// Enable/Disable: switches the hook and stores the choice; the control menu's marks are
// left as they are.
extern "C" INT_PTR CALLBACK ProcControl(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      if (Program.enabled == 1) {
        CheckRadioButton(dialog, IDC_RADIO_ENABLE, IDC_RADIO_DISABLE, IDC_RADIO_ENABLE);
      } else if (Program.enabled == 0) {
        CheckRadioButton(dialog, IDC_RADIO_ENABLE, IDC_RADIO_DISABLE, IDC_RADIO_DISABLE);
      }
      CentreDialog(dialog, HWND_TOP);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_OK:
          ConfirmEnable(dialog);
          EndDialog(dialog, 1);
          return TRUE;
        case IDC_NOT_OK:
          EndDialog(dialog, 1);
          return TRUE;
        case IDC_RADIO_ENABLE:
        case IDC_RADIO_DISABLE:
          CheckRadioButton(dialog, IDC_RADIO_ENABLE, IDC_RADIO_DISABLE, LOWORD(wParam));
          return FALSE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}
