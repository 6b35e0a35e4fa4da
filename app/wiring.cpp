// The program's wiring.
#include "wiring.h"

#include "dialogs.h"
#include "entries.h"
#include "exitscreen.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "operator_hooks.h"
#include "servicescreen.h"
#include "startup.h"
#include "viewer.h"

#include <string>

namespace {

void CloseExitScreen() {
    ExitScreenCancel(nullptr, nullptr, nullptr);
}

// The viewer's print: request 10 with the copy's path.
int SendPrintCopy(const std::string& path) {
    if (!SetPrintPath(path)) return -1;
    return SendCommand("FILE/COPY;", MSG_PRINT_COPY, MSG_PRINT_COPY);
}

} // namespace

void WireProgram() {
    // The controller link's operator interface, with the screens' question
    // before a task is stopped.
    InstallOperatorHooks();
    SetStopTasksQuestion(ConfirmStopTasks);
    // Toolkit: the toolbars' Help, the pumps' drain and the viewer's print.
    SetToolbarHelpViewer(ShowHelpText);
    SetPumpDrain(DrainReplies);
    SetViewerPrintSender(SendPrintCopy);
    // Shell: the screens of the main-menu buttons, and the one that the poll
    // closes.
    MainMenuScreens screens{};
    screens.loadProg = ShowPartSelect;
    screens.execute = ShowExecuteScreen;
    screens.pause = ShowExitScreen;
    screens.status = ShowInfoScreen;
    screens.utilities = ShowServiceMenu;
    screens.fileUtil = ShowFileMenu;
    screens.progFunct = ShowPartProgMenu;
    SetMainMenuScreens(screens);
    SetExitScreenCloser(CloseExitScreen);
    // Screens: the end of the program.
    SetExitVokHook(ExitVok);
}
