// The program's wiring.
#include "wiring.h"

#include "exitscreen.h"
#include "operator_hooks.h"
#include "startup.h"

void WireProgram() {
    InstallOperatorHooks();
    SetExitVokHook(ExitVok);
}
