// Servo self-test terminal: to come; until then its entry does nothing.
#include "selftest.h"

void ShowSelfTest() {}
