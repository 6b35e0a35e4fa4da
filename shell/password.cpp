// The password dialog on top of the user-level core: one form dialog for the
// program's life, shown by CheckPassword with the pointer confined to it
// while its own event loop waits for the answer.
#include "password.h"

#include "dialogs.h"
#include "labels.h"
#include "nap.h"
#include "ospath.h"
#include "pwcore.h"
#include "xmwrap.h"

#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>
#include <Xm/Separator.h>
#include <Xm/Text.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

namespace {

struct PwDialog {
    Widget dialog = nullptr;
    Widget frame = nullptr;
    Widget form = nullptr;
    Widget label = nullptr;
    Widget text = nullptr;
    Widget sep = nullptr;
    Widget abort = nullptr;
    Widget ok = nullptr;
    Widget eyes = nullptr;
    int visible = 1;
    int item = 0;
    int level = 0; // the prompt shown and the slots accepted
    int answer = -1;
    bool checking = false;
    std::string title;
    Widget parent = nullptr;
    XtAppContext app = nullptr;
    Pixel red = 0, green = 0, yellow = 0, black = 0, white = 0;
    XmFontList promptFont = nullptr;
    XmFontList textFont = nullptr;
    Pixmap okPixmap = XmUNSPECIFIED_PIXMAP;
    Pixmap cancelPixmap = XmUNSPECIFIED_PIXMAP;
    Pixmap openEyesPixmap = XmUNSPECIFIED_PIXMAP;
    Pixmap closedEyesPixmap = XmUNSPECIFIED_PIXMAP;
};

PwDialog gPw;
CheckPasswordHook gHook = nullptr;

enum { kAbort = 0, kAccept = 1, kFocus = 2, kChanged = 3 };

Pixel NamedColor(Display* dpy, Colormap cmap, const char* name, Pixel fallback) {
    XColor exact, screen;
    if (XAllocNamedColor(dpy, cmap, name, &screen, &exact)) return screen.pixel;
    std::printf("PwInitResources: colour %s not available\n", name);
    return fallback;
}

// The named font, else "fixed", else none (the widget's default).
XmFontList LoadFont(Display* dpy, const char* name) {
    XFontStruct* font = OpenFont(dpy, name);
    if (!font) {
        std::printf("PwInitResources: font %s not found, using fixed\n", name);
        font = OpenFont(dpy, "fixed");
    }
    return font ? MakeFontList(font) : nullptr;
}

XmFontList LoadFontSet(Display* dpy, const char* name) {
    for (const char* n : {name, "fixed"}) {
        if (XFontSet set = OpenFontSet(dpy, n)) return MakeFontSetList(set);
        std::printf("PwInitResources: font set %s not available\n", n);
    }
    return LoadFont(dpy, "fixed");
}

// An icon of the dialog; one that is missing or unreadable is named on the
// console, once.
Pixmap Icon(Screen* screen, const char* name, Pixel fg, Pixel bg) {
    static std::set<std::string> reported;
    const std::string path = std::string("/u/qel/def_data/icon/") + name;
    const Pixmap p = GetPixmapFile(screen, OsPath(path), fg, bg);
    if ((p == 0 || p == XmUNSPECIFIED_PIXMAP) && reported.insert(path).second) {
        std::printf("PwInitResources: unable to read icon file %s\n", path.c_str());
        std::fflush(stdout);
    }
    return p;
}

void PwInitResources(Widget parent) {
    Display* dpy = XtDisplay(parent);
    int scr = DefaultScreen(dpy);
    Colormap cmap = DefaultColormap(dpy, scr);
    gPw.black = BlackPixel(dpy, scr);
    gPw.white = WhitePixel(dpy, scr);
    gPw.red = NamedColor(dpy, cmap, "red", gPw.black);
    gPw.green = NamedColor(dpy, cmap, "forest green", gPw.black);
    gPw.yellow = NamedColor(dpy, cmap, "yellow", gPw.white);
    if (PwLanguage() == 6) {
        gPw.promptFont = LoadFontSet(dpy, "-*-fixed-medium-r-normal--14-*");
        gPw.textFont = gPw.promptFont;
    } else {
        gPw.promptFont = LoadFont(dpy, "-adobe-courier-bold-r-normal--18-*-iso8859-1");
        gPw.textFont = LoadFont(dpy, "-adobe-courier-medium-r-normal--14-*-iso8859-1");
    }
    Screen* screen = XtScreen(parent);
    gPw.okPixmap = Icon(screen, "OK.VOK", gPw.white, gPw.green);
    gPw.cancelPixmap = Icon(screen, "CANCEL.VOK", gPw.white, gPw.red);
    gPw.openEyesPixmap = Icon(screen, "OEYES.VOK", gPw.white, gPw.green);
    gPw.closedEyesPixmap = Icon(screen, "CEYES.VOK", gPw.white, gPw.green);
}

void PwSetPrompt() {
    XmStringHolder prompt(PwPrompt(gPw.level));
    ArgBuilder a;
    a.Add(XmNlabelString, reinterpret_cast<XtArgVal>(static_cast<XmString>(prompt)));
    if (gPw.promptFont) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(gPw.promptFont));
    XtSetValues(gPw.label, a.list(), a.count());
    XmTextSetString(gPw.text, const_cast<char*>(""));
    if (gPw.textFont)
        XtVaSetValues(gPw.text, XmNfontList, reinterpret_cast<XtArgVal>(gPw.textFont), nullptr);
}

// The answer to the entry in the text field.
void PwAnswerEntry() {
    char* entry = XmTextGetString(gPw.text);
    XtUnmanageChild(gPw.dialog);
    gPw.answer = PwAcceptEntry(gPw.item, gPw.level, entry) ? 1 : 0;
    XtFree(entry);
}

void PwDialogCallback(Widget, XtPointer client, XtPointer) {
    switch (static_cast<int>(reinterpret_cast<intptr_t>(client))) {
    case kAbort:
        XtUnmanageChild(gPw.dialog);
        gPw.answer = 0;
        break;
    case kAccept:
        PwAnswerEntry();
        break;
    case kFocus:
        XtVaSetValues(gPw.text, XmNbackground, gPw.yellow, nullptr);
        gPw.answer = -1;
        break;
    default:
        gPw.answer = -1;
        break;
    }
}

void PwEyesToggle(Widget, XtPointer, XtPointer) {
    gPw.visible = !gPw.visible;
    if (gPw.visible) {
        XtVaSetValues(gPw.eyes, XmNlabelPixmap, gPw.openEyesPixmap, nullptr);
        XtVaSetValues(gPw.text, XmNforeground, gPw.black, XmNbackground, gPw.yellow, nullptr);
    } else {
        XtVaSetValues(gPw.eyes, XmNlabelPixmap, gPw.closedEyesPixmap, nullptr);
        XtVaSetValues(gPw.text, XmNforeground, gPw.yellow, nullptr);
    }
}

void AddDialogCallback(Widget w, const char* name, int kind) {
    XtAddCallback(w, XtRes(name), PwDialogCallback,
                  reinterpret_cast<XtPointer>(static_cast<intptr_t>(kind)));
}

Widget IconButton(const char* name, Pixmap pixmap, bool fixedSize) {
    ArgBuilder a;
    a.Add(XmNwidth, 60).Add(XmNheight, 60);
    a.Add(XmNlabelType, XmPIXMAP).Add(XmNlabelPixmap, pixmap);
    a.Add(XmNhighlightThickness, 1).Add(XmNshowAsDefault, 0);
    a.Add(XmNbottomAttachment, XmATTACH_FORM);
    if (fixedSize) a.Add(XmNrecomputeSize, False);
    return XmCreatePushButton(gPw.form, XtRes(name), a.list(), a.count());
}

void PwCreateDialog(const char* title, Widget parent, XtAppContext app) {
    gPw.title = std::string(title ? title : "").substr(0, 70);
    gPw.parent = parent;
    gPw.app = app ? app : XtWidgetToApplicationContext(parent);

    XmStringHolder dialogTitle(gPw.title);
    ArgBuilder d;
    d.Add(XmNwidth, 615).Add(XmNheight, 215);
    d.Add(XmNmarginWidth, 10).Add(XmNmarginHeight, 10);
    d.Add(XmNnoResize, True).Add(XmNresizePolicy, XmRESIZE_NONE);
    d.Add(XmNautoUnmanage, False);
    d.Add(XmNdialogTitle, reinterpret_cast<XtArgVal>(static_cast<XmString>(dialogTitle)));
    d.Add(XmNbackground, gPw.red).Add(XmNforeground, gPw.black);
    gPw.dialog = XmCreateFormDialog(parent, XtRes("formdialog"), d.list(), d.count());
    // The dialog ends only through its buttons: a window manager's close
    // would hide it while the check still waits for an answer.
    XtVaSetValues(XtParent(gPw.dialog), XmNdeleteResponse, XmDO_NOTHING, nullptr);

    ArgBuilder f;
    f.Add(XmNx, 10).Add(XmNy, 10).Add(XmNwidth, 595).Add(XmNheight, 195);
    f.Add(XmNmarginWidth, 10).Add(XmNmarginHeight, 10);
    f.Add(XmNshadowType, XmSHADOW_OUT);
    f.Add(XmNbackground, gPw.black).Add(XmNforeground, gPw.white);
    gPw.frame = XmCreateFrame(gPw.dialog, XtRes("frame"), f.list(), f.count());

    ArgBuilder g;
    g.Add(XmNx, 10).Add(XmNy, 10).Add(XmNwidth, 575).Add(XmNheight, 175);
    g.Add(XmNmarginWidth, 10).Add(XmNmarginHeight, 10);
    g.Add(XmNhorizontalSpacing, 10).Add(XmNverticalSpacing, 10);
    // The form keeps its size whatever its children ask: following the
    // prompt set at a later showing it would shrink to the height of its
    // attachments, with the buttons over the prompt.
    g.Add(XmNresizePolicy, XmRESIZE_NONE);
    g.Add(XmNbackground, gPw.black).Add(XmNforeground, gPw.white);
    gPw.form = XmCreateForm(gPw.frame, XtRes("form"), g.list(), g.count());

    ArgBuilder l;
    l.Add(XmNtopAttachment, XmATTACH_FORM);
    l.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNrightAttachment, XmATTACH_FORM);
    l.Add(XmNbackground, gPw.black).Add(XmNforeground, gPw.white);
    gPw.label = XmCreateLabel(gPw.form, XtRes("label"), l.list(), l.count());

    ArgBuilder t;
    t.Add(XmNeditMode, XmSINGLE_LINE_EDIT).Add(XmNmaxLength, 10);
    t.Add(XmNcolumns, 10).Add(XmNrows, 1);
    t.Add(XmNtopAttachment, XmATTACH_WIDGET)
        .Add(XmNtopWidget, reinterpret_cast<XtArgVal>(gPw.label));
    t.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNleftOffset, 222);
    t.Add(XmNrightAttachment, XmATTACH_FORM).Add(XmNrightOffset, 222);
    t.Add(XmNhighlightThickness, 0);
    t.Add(XmNbackground, gPw.yellow).Add(XmNforeground, gPw.black);
    gPw.text = XmCreateText(gPw.form, XtRes("text"), t.list(), t.count());

    ArgBuilder s;
    s.Add(XmNorientation, XmHORIZONTAL);
    s.Add(XmNtopAttachment, XmATTACH_WIDGET)
        .Add(XmNtopWidget, reinterpret_cast<XtArgVal>(gPw.text));
    s.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNrightAttachment, XmATTACH_FORM);
    gPw.sep = XmCreateSeparator(gPw.form, XtRes("sep"), s.list(), s.count());

    gPw.abort = IconButton("abort", gPw.cancelPixmap, false);
    XtVaSetValues(gPw.abort, XmNleftAttachment, XmATTACH_FORM, nullptr);
    gPw.ok = IconButton("ok", gPw.okPixmap, false);
    XtVaSetValues(gPw.ok, XmNrightAttachment, XmATTACH_FORM, nullptr);
    gPw.eyes = IconButton("eyes", gPw.openEyesPixmap, true);
    XtVaSetValues(gPw.eyes, XmNrightAttachment, XmATTACH_WIDGET, XmNrightWidget, gPw.ok,
                  XmNrightOffset, 10, nullptr);

    AddDialogCallback(gPw.abort, XmNactivateCallback, kAbort);
    AddDialogCallback(gPw.ok, XmNactivateCallback, kAccept);
    AddDialogCallback(gPw.text, XmNactivateCallback, kAccept);
    AddDialogCallback(gPw.text, XmNfocusCallback, kFocus);
    AddDialogCallback(gPw.text, XmNvalueChangedCallback, kChanged);
    XtAddCallback(gPw.eyes, XmNactivateCallback, PwEyesToggle, nullptr);
    gPw.visible = 1;

    Widget children[] = {gPw.label, gPw.text, gPw.sep, gPw.abort, gPw.ok, gPw.eyes};
    XtManageChildren(children, XtNumber(children));
    XtManageChild(gPw.form);
    XtManageChild(gPw.frame);
}

// Confines the pointer to the dialog's inner form, retrying while the
// dialog is not yet viewable. True when the pointer is held.
bool GrabPointer(Display* dpy) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        int r = XGrabPointer(dpy, XtWindow(gPw.dialog), True, 0, GrabModeAsync, GrabModeAsync,
                             XtWindow(gPw.form), None, CurrentTime);
        XFlush(dpy);
        nap(50);
        if (r == GrabSuccess) return true;
    }
    std::printf("\apassword: XGrabPointer() failed!\n");
    std::fflush(stdout);
    return false;
}

} // namespace

void PasswordInit(const char* title, Widget parent, int language, XtAppContext app) {
    PwLoad(language);
    if (!gPw.dialog) {
        if (!parent) {
            std::printf("PasswordInit: no parent for the password dialog\n");
            return;
        }
        PwInitResources(parent);
        PwCreateDialog(title, parent, app);
    }
    PwSetPrompt();
}

int CheckPassword(int item) {
    if (gHook) return gHook(item);
    if (!gPw.dialog) {
        std::printf("CheckPassword: password dialog not set up, item %d refused\n", item);
        return 0;
    }
    if (gPw.checking) {
        // One dialog, one answer: a check from inside another is refused
        // rather than answering for the outer one.
        std::printf("CheckPassword: item %d asked while another check waits, refused\n", item);
        return 0;
    }
    int level = PwLevelToAsk(item);
    if (level < 0) return 1;
    gPw.item = item;
    gPw.level = level;
    Display* dpy = XtDisplay(gPw.dialog);
    PwSetPrompt();
    XtManageChild(gPw.dialog);
    XmProcessTraversal(gPw.text, XmTRAVERSE_CURRENT);
    XFlush(dpy);
    if (GrabPointer(dpy)) {
        // The keys follow the pointer into the dialog even where no window
        // manager hands the focus to it (the dialog is viewable now).
        XSetInputFocus(dpy, XtWindow(XtParent(gPw.dialog)), RevertToPointerRoot, CurrentTime);
    }

    gPw.answer = -1;
    gPw.checking = true;
    {
        // Every kind of input, timers included, one at a time, unfiltered.
        WaitingDialog waiting(gPw.dialog);
        while (gPw.answer == -1) ServeEverythingOnce(gPw.app);
    }
    gPw.checking = false;

    XUngrabPointer(dpy, CurrentTime);
    XFlush(dpy);
    return gPw.answer;
}

Widget PasswordDialogWidget() {
    return gPw.dialog;
}

void SetCheckPasswordHook(CheckPasswordHook hook) {
    gHook = hook;
}
