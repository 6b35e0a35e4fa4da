// The program's wiring.
#include "wiring.h"

#include "dialogs.h"
#include "exitscreen.h"
#include "makers.h"
#include "msgsys.h"
#include "operator_hooks.h"
#include "startup.h"
#include "viewer.h"

void WireProgram() {
    InstallOperatorHooks();
    SetPumpDrain(DrainReplies);
    SetToolbarHelpViewer(ShowHelpText);
    SetExitVokHook(ExitVok);
}
