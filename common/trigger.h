// What brings the popup: the menu program stores the choice and hands it to the hook library.
#ifndef PIVOTRIX_COMMON_TRIGGER_H
#define PIVOTRIX_COMMON_TRIGGER_H

enum Trigger {
  TRIGGER_ANY = 0,   // any right click; also every stored value other than 1
  TRIGGER_CTRL = 1,  // a right click with Ctrl held, which the hook keeps from the program
};

#endif
