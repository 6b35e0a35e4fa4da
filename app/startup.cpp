// Start-up sequence and program end.
#include "startup.h"

#include "colors.h"
#include "dialogs.h"
#include "filescreen.h"
#include "homing.h"
#include "keyfilter.h"
#include "labels.h"
#include "launch.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "ospath.h"
#include "nap.h"
#include "partprog.h"
#include "partsel.h"
#include "paths.h"
#include "password.h"
#include "settings.h"
#include "sysgen.h"
#include "teardown.h"
#include "vok.h"
#include "wiring.h"
#include "xmwrap.h"

#include <Mrm/MrmPublic.h>
#include <X11/cursorfont.h>
#include <Xm/Form.h>
#include <Xm/LabelG.h>
#include <Xm/Label.h>
#include <Xm/Protocols.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

int ExitShutdownWaitSeconds = 60;

namespace {

// The toolkit keeps argc and argv for the program's life.
int gArgc = 0;

void Echo(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

[[noreturn]] void QuitAfterKey(const char* prompt) {
    std::fputs(prompt, stdout);
    std::fflush(stdout);
    std::getchar();
    std::exit(1);
}

// The sandbox folder goes into shell commands as it stands: one that the
// shell would read as more than a folder name ends the program at once.
void RefuseUnsafeSandbox() {
    const char* root = std::getenv("QEL_SANDBOX");
    if (!root || SandboxRootIsSafe(root)) return;
    std::printf("QEL_SANDBOX refused: '%s' holds characters other than A-Z a-z 0-9 _ . / -\n",
                root);
    std::fflush(stdout);
    std::exit(1);
}

void MakeLogo() {
    ArgBuilder a;
    a.Add(XmNtopAttachment, XmATTACH_FORM).Add(XmNrightAttachment, XmATTACH_FORM);
    a.Add(XmNheight, 44).Add(XmNwidth, 215).Add(XmNrecomputeSize, False);
    a.Add(XmNshadowThickness, 0).Add(XmNmarginWidth, 0);
    LogoGadget = XmCreateLabelGadget(MainForm, XtRes("logo"), a.list(), a.count());
    SetWidgetIcon(LogoGadget, "VokOndryLogo", "LOGO.ICN", 2, 0, 10);
    XtManageChild(LogoGadget);
}

void RegisterMainMenuCallbacks() {
    for (MainMenuEntry& row : MainMenuTable) {
        if (row.widget) XtAddCallback(row.widget, XmNactivateCallback, row.callback, nullptr);
    }
    for (Widget light : MainMenuIndicators) IndicatorOff(light);
}

void RefuseWindowClose() {
    WmDeleteWindow = XmInternAtom(TheDisplay, XtRes("WM_DELETE_WINDOW"), False);
    XtVaSetValues(TopShell, XmNdeleteResponse, XmDO_NOTHING, nullptr);
    XmAddWMProtocolCallback(TopShell, WmDeleteWindow, DeleteWindowCB, nullptr);
}

} // namespace

void MakeMainForm(bool synchronous) {
    ArgBuilder a;
    a.Add(XmNx, 0).Add(XmNy, 0);
    a.Add(XmNwidth, ScreenWidth - 30).Add(XmNheight, ScreenHeight - 40);
    a.Add(XmNresizePolicy, XmRESIZE_NONE).Add(XmNnoResize, True);
    MainForm = XmCreateForm(TopShell, XtRes("VOK"), a.list(), a.count());
    SetWidgetColors(MainForm, "VokMainWindow", 2, 0, 1);
    XtManageChild(MainForm);
    XtVaSetValues(TopShell, XmNmappedWhenManaged, True, nullptr);
    if (synchronous) XSynchronize(TheDisplay, True);
    XtRealizeWidget(TopShell);
    TopWindow = XtWindow(TopShell);
}

void MakeStatusLine() {
    ArgBuilder a;
    a.Add(XmNheight, 20).Add(XmNmarginBottom, 0).Add(XmNmarginTop, 0);
    a.Add(XmNmarginHeight, 0).Add(XmNmarginWidth, 0);
    a.Add(XmNalignment, XmALIGNMENT_CENTER).Add(XmNwidth, WorkArea.width);
    a.Add(XmNlabelType, XmSTRING).Add(XmNy, ScreenHeight - 75).Add(XmNx, 250);
    a.Add(XmNrecomputeSize, False);
    if (FontListBig) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(FontListBig));
    StatusLine = XmCreateLabel(MainForm, XtRes("Winfo"), a.list(), a.count());
    SetWidgetColors(StatusLine, "VokLargeHint", 2, 3, 0);
    XtManageChild(StatusLine);
}

std::string RewriteDriveForm(const std::string& value, bool* changed) {
    *changed = value.size() >= 3 && value[0] == '/' && value[2] == '=';
    if (!*changed) return value;
    std::string v = value;
    v[2] = ':';
    return v.substr(1);
}

void RewriteEnvironment() {
    for (const char* name : {"QELPART", "QELUSER"}) {
        const char* value = std::getenv(name);
        if (!value) continue;
        bool changed = false;
        std::string v = RewriteDriveForm(value, &changed);
        if (!changed) continue;
        setenv(name, v.c_str(), 1);
        std::printf("%s=%s", name, v.c_str());
    }
    const char* drive = std::getenv("QEL_Win_Install_Drive");
    if (drive && std::string(drive).size() > 2)
        setenv("QEL_Win_Install_Drive", std::string(drive, 2).c_str(), 1);
}

int CheckRequiredFiles() {
    int ok = 1;
    if (!FileExists("/temp")) {
        if (f_MkDir("/temp", 0777) == 0) {
            std::printf("Error: required folder /temp missing, creating\n");
        } else {
            std::printf("Error: required folder /temp missing\n");
            ok = 0;
        }
    }
    if (!FileExists("/u/qel/xeq/vtc.exe")) {
        std::printf("Error: required file /u/qel/xeq/vtc.exe missing\n");
        return 0;
    }
    return ok;
}

int InitToolkit(int argc, char** argv) {
    static bool mrmDone = false;
    if (!mrmDone) {
        MrmInitialize();
        mrmDone = true;
    }
    gArgc = argc;
    const char* appClass = (argc > 0 && argv && argv[0]) ? argv[0] : "vok";
    TopShell =
        XtAppInitialize(&AppContext, appClass, nullptr, 0, &gArgc, argv, nullptr, nullptr, 0);
    TheDisplay = XtDisplay(TopShell);
    InstallKeyFilter(TheDisplay);
    InstallWidgetTeardown(TheDisplay);
    return 0;
}

int MainInit(int argc, char** argv) {
    Echo("In MainInit\n");
    InitToolkit(argc, argv);
    Echo("done MainInit\n");
    return 0;
}

void DeleteWindowCB(Widget, XtPointer, XtPointer) {
    std::printf("\nDo not use the Windows title bar 'close' ('X') to close a window. \n"
                " Use the appropriate original QEL button instead.\n");
    std::fflush(stdout);
}

int VokMain(int argc, char** argv) {
    RefuseUnsafeSandbox();
    WireProgram();
    RewriteEnvironment();                                   // 1, 2
    os_unlink("/u/tmp/LastCMMMode.txt");                    // 3
    std::printf("Starting Qel Version %lf\n", kQelVersion); // 4
    std::fflush(stdout);
    nap(1000);
    if (!CheckRequiredFiles()) QuitAfterKey("Press Return to Quit"); // 5
    SystemCmd("/usr/bin/KILL_QELIPC");                               // 6
    if (OpenMessageSystem() == -1) {                                 // 7
        std::printf("Unable to open Message System...\n");
        QuitAfterKey("Press Return to Continue");
    }
    InitXterm(); // 8
    std::printf("\n\n In the event of a 'Error: Can't open display: :0.0' error here, see \n");
    std::printf(" /u/qel/doc/readme.txt #16 for more information.\n\n");
    std::printf("MainInit(");
    for (int i = 1; i < argc; ++i) std::printf("%s,", argv[i]);
    Echo(")\n");
    MainInit(argc, argv);

    Echo("InitConfigure\n"); // 9
    if (InitConfigure() == 0) {
        const char* name = GetSysgenStr(96);
        ColorFileName = name ? name : "";
        CloseSysgen();
    } else {
        ColorFileName = "colors.QEL";
    }
    TheDisplay = XtDisplay(TopShell); // 10
    Echo("ScreenDimensions\n");
    ScreenDimensions();
    Echo("ResourcePaletteCreate\n"); // 11
    ResourcePaletteCreate(ColorFileName);
    MakeMainForm(true); // 12: synchronous from its realise until the notice is up
    MakeLogo();         // 13
    BusyCursor = XCreateFontCursor(TheDisplay, XC_watch); // 14
    NormalCursor = XCreateFontCursor(TheDisplay, XC_left_ptr);
    ChangeCursor(BusyCursor);
    std::signal(SIGCHLD, SIG_IGN);
    ReadSysgen();                                        // 15
    PasswordInit("vok", MainForm, Language, AppContext); // 16
    InitFonts();
    ShowNotice(LabText(129) + "\n" + LabText(173) + "\n" + LabText(174)); // 17
    WaitSeconds(0);
    XSynchronize(TheDisplay, False);
    ActiveMenuButton = 0; // 18
    ShownScreen = nullptr;
    MakeStatusLine();
    SetStatusLine(LabText(173));
    MakeMainMenu(); // 19
    RegisterMainMenuCallbacks();
    RefuseWindowClose(); // 20
    Echo("CheckMess\n"); // 21
    CheckMess(MainForm, nullptr);
    Echo("LoadDataPage\n");
    LoadDataPage(0);
    Echo("LoadContour\n");
    LoadContour(0);
    Echo("MakeLoadMessage\n");
    MakeLoadMessage();
    Echo("MachineState\n"); // 22
    MachineState();
    if (!ServoOn) ShowHomeMessage(101);
    UpdateMainMenu();
    ApplyMainMenu();
    Echo("ChangeCursor\n"); // 23
    ChangeCursor(NormalCursor);
    HideNotice();
    if (SysgenState == 2) // 24
        MessageDialog(LabText(202) + " \n" + LabText(213) + " \n" + LabText(100), 0);
    XFlush(TheDisplay); // 25
    XtAppMainLoop(AppContext);
    return 0;
}

void ExitVok() {
    if (AnyTaskActive()) {
        SendTaskControl(TASK_ABORT, 4);
        // With the queue gone no task can end; nothing to wait for.
        if (!MessageQueueGone()) WaitTasksEnd(7);
    }
    if (TopWindow) XUnmapWindow(TheDisplay, TopWindow);
    if (MainForm) XtUnmanageChild(MainForm);
    if (TheDisplay) XFlush(TheDisplay);
    std::printf("\n\n\nWaiting for Processes to CLOSE DOWN!\n\n\n");
    SystemCmd("/usr/bin/xstop");
    ChangeCursor(NormalCursor);
    if (MainForm) XtDestroyWidget(MainForm);
    if (TopShell) XtDestroyWidget(TopShell);
    if (TheDisplay) XFlush(TheDisplay);
    WaitForShutdownMessage(ExitShutdownWaitSeconds);
    std::fflush(stdout);
    std::exit(0);
}
