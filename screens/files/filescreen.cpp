// File-screen frame: entry and Cancel, the window and its parts, the shared
// helpers, and the start-up notice.
#include "filescreen.h"

#include "colors.h"
#include "dialogs.h"
#include "filematch.h"
#include "labels.h"
#include "mainmenu.h"
#include "makers.h"
#include "partnames.h"
#include "vok.h"
#include "xmwrap.h"

#include <Xm/Label.h>
#include <Xm/List.h>
#include <Xm/PushB.h>
#include <Xm/TextF.h>

#include <cstdint>
#include <cstdio>

Widget FileScreenWindow = nullptr;
Widget FileList = nullptr;
Widget KeyinWidget = nullptr;
Widget HeaderLabel = nullptr;
int PathCut = kInstallRootLength;

namespace {

Widget NoticeWindow = nullptr;
Widget NoticeLabel = nullptr;

// The file-utilities button, which a file screen's window is shown for.
constexpr int kFileUtilButton = 9;
constexpr int kHeaderWidth = 350;

} // namespace

void SetManaged(Widget w, bool on) {
    if (!w) return;
    if (on)
        XtManageChild(w);
    else
        XtUnmanageChild(w);
}

bool Activated(XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    return !cb || cb->reason == XmCR_ACTIVATE;
}

bool OpenFileScreen(FileScreen& s, int loadingLabel, const std::function<void()>& make) {
    if (FileScreenWindow && ShownScreen == FileScreenWindow) return false;
    SetStatusLine("");
    ChangeCursor(BusyCursor);
    ShowLoading(LabText(loadingLabel));
    s = FileScreen{};
    make();
    FileScreenShown(s, ShownScreen);
    FileScreenWindow = s.window;
    HideLoading();
    XtManageChild(s.window);
    ChangeCursor(NormalCursor);
    return true;
}

void FileScreenShown(FileScreen& s, Widget beneath) {
    s.beneath = beneath;
    ShownScreen = s.window;
    ActiveMenuButton = kFileUtilButton;
    SetSensitive(s.ok, true);
    SetSensitive(s.cancel, true);
}

void CloseFileScreen(FileScreen& s, int loadingLabel) {
    SetSensitive(s.ok, false);
    SetSensitive(s.cancel, false);
    ChangeCursor(BusyCursor);
    ShowLoading(LabText(loadingLabel));
    XtUnmanageChild(s.window);
    if (s.list) XmListDeselectAllItems(s.list);
    ChangeCursor(NormalCursor);
    HideLoading();
    // The file menu beneath counts as shown again; the main menu stays
    // greyed until its own Cancel.
    ShownScreen = s.beneath;
    WaitSeconds(0);
    XtDestroyWidget(s.window);
    if (FileScreenWindow == s.window) FileScreenWindow = nullptr;
    FileList = KeyinWidget = HeaderLabel = nullptr;
    const Widget beneath = s.beneath;
    s = FileScreen{};
    s.beneath = beneath;
    SetStatusLine("");
}

void MakeFileWindow(FileScreen& s, int titleLabel, int statusLabel, XtCallbackProc ok,
                    XtCallbackProc cancel, XtPointer client) {
    s.window = MakeBigWorkWindow();
    MakeBigFrameHeader(s.window, &s.title, &s.status);
    SetLabelTextLeft(LabText(titleLabel), s.title);
    SetFileStatusRow(s, statusLabel);
    MakeBigToolbarFor(s.window, ok, cancel, -1, 0, client);
    s.ok = BigOKButton;
    s.cancel = BigCancelButton;
}

void SetFileStatusRow(const FileScreen& s, int label) {
    SetLabelText(LabText(label), s.status);
    SetWidgetColors(s.status, "VokStatus", 0, 3, 7);
}

void MakeFileFrame(FileScreen& s, int titleLabel, int statusLabel, XtCallbackProc ok,
                   XtCallbackProc cancel, XtPointer client) {
    MakeFileWindow(s, titleLabel, statusLabel, ok, cancel, client);
    s.list = MakeScrolledList(s.window, 10, 110, 700, 14);
    s.keyin = MakeKeyinField(s.window);
    FileList = s.list;
    KeyinWidget = s.keyin;
    HeaderLabel = nullptr;
}

Widget MakeToolbarIcon(const FileScreen& s, int x, const char* style, int hint,
                       XtCallbackProc activate, XtPointer client) {
    Widget bar = s.ok ? XtParent(s.ok) : s.window;
    Widget b = MakeIconButton(bar, x, 5, style, 0);
    XtAddCallback(b, XmNactivateCallback, activate, client);
    XtAddEventHandler(b, HintEventMask, False, HintEventHandler, HintLabel(hint));
    XtUnmanageChild(b);
    return b;
}

void DisableFileButtons(const FileScreen& s) {
    SetSensitive(s.ok, false);
    SetSensitive(s.cancel, false);
    SetManaged(s.upOne, false);
}

void EnableFileButtons(const FileScreen& s, const FileNav& nav) {
    SetSensitive(s.ok, true);
    SetSensitive(s.cancel, true);
    SetManaged(s.upOne, nav.state != kNavTop);
}

void DrawHeader(const std::string& path) {
    std::printf("DrawHeader [%s] [%lX]\n", path.c_str(),
                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(&FileScreenWindow)));
    std::fflush(stdout);
    RemoveHeader();
    if (!FileScreenWindow) return;
    HeaderLabel = MakeLabelGadget(FileScreenWindow, 10, 80);
    XtVaSetValues(HeaderLabel, XmNwidth, kHeaderWidth, nullptr);
    SetLabelTextLeft(ShownPath(path), HeaderLabel);
}

void RemoveHeader() {
    if (HeaderLabel) XtDestroyWidget(HeaderLabel);
    HeaderLabel = nullptr;
}

void ClearListSelection(Widget list) {
    if (list) XmListDeselectAllItems(list);
}

void SetKeyinField(Widget w) {
    if (w) SetWidgetColors(w, "KeyinField", 0, 3, 1);
}

void HotkeyOn(Widget w) {
    SetKeyinField(KeyinWidget);
    if (!w) return;
    HotkeyLook(w, true);
    XmProcessTraversal(w, XmTRAVERSE_CURRENT);
}

void HotkeyOff(Widget w) {
    if (w) SetWidgetColors(w, "VokButtonOFF", 0, 3, 1);
}

void HotkeyLook(Widget w, bool on) {
    if (on && w)
        SetWidgetColors(w, "VokButtonON", 0, 0, 4);
    else
        HotkeyOff(w);
}

Widget MakeHotkeyButton(Widget parent, const char* name, int x, int y, const std::string& text,
                        bool on) {
    XmStringHolder label(text);
    ArgBuilder a;
    a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, 350).Add(XmNheight, 30);
    a.Add(XmNlabelType, XmSTRING)
        .Add(XmNlabelString, reinterpret_cast<XtArgVal>(static_cast<XmString>(label)));
    a.Add(XmNrecomputeSize, False).Add(XmNtraversalOn, True);
    if (FontListBig) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(FontListBig));
    Widget w = XmCreatePushButton(parent, XtRes(name), a.list(), a.count());
    SetWidgetColors(w, "VokButtonOFF", 0, 3, 1);
    if (on)
        HotkeyOn(w);
    else
        HotkeyOff(w);
    XtManageChild(w);
    return w;
}

void SetHotkeyLabel(Widget w, const std::string& text) {
    if (!w) return;
    XmStringHolder label(text);
    XtVaSetValues(w, XmNlabelString, static_cast<XmString>(label), nullptr);
}

Widget MakeKeyinField(Widget parent) {
    ArgBuilder a;
    a.Add(XmNx, 45).Add(XmNy, 400);
    a.Add(XmNcolumns, Language == kTwoByteLanguage ? 30 : 60).Add(XmNmarginHeight, 2);
    a.Add(XmNmaxLength, static_cast<int>(kFilePathMax));
    if (FontListBig) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(FontListBig));
    a.Add(XmNtraversalOn, True).Add(XmNsensitive, True).Add(XmNhighlightThickness, 1);
    a.Add(XmNnavigationType, XmEXCLUSIVE_TAB_GROUP);
    Widget w = XmCreateTextField(parent, XtRes(""), a.list(), a.count());
    SetWidgetColors(w, "KeyinField", 0, 3, 1);
    XtManageChild(w);
    return w;
}

std::string KeyinText(Widget keyin) {
    if (!keyin) return "";
    char* raw = XmTextFieldGetString(keyin);
    std::string text = raw ? raw : "";
    XtFree(raw);
    return text;
}

void SetKeyinText(Widget keyin, const std::string& text) {
    if (!keyin) return;
    XmTextFieldSetString(keyin, const_cast<char*>(text.c_str()));
    XmTextFieldSetInsertionPosition(keyin, XmTextFieldGetLastPosition(keyin));
}

int GetListSelection(Widget list, std::vector<int>* positions) {
    if (!list) return 0;
    int count = 0;
    XmStringTable items = nullptr;
    XtVaGetValues(list, XmNselectedItemCount, &count, XmNselectedItems, &items, nullptr);
    if (count <= 0) return 0;
    positions->clear();
    for (int i = 0; i < count; ++i) positions->push_back(XmListItemPos(list, items[i]));
    return count;
}

std::vector<int> SelectedListPositions(Widget list) {
    std::vector<int> out;
    int* positions = nullptr;
    int count = 0;
    if (list && XmListGetSelectedPos(list, &positions, &count)) {
        out.assign(positions, positions + count);
        XtFree(reinterpret_cast<char*>(positions));
    }
    return out;
}

void ListDeleteSelected(Widget list) {
    std::vector<int> positions = SelectedListPositions(list);
    if (!positions.empty())
        XmListDeletePositions(list, positions.data(), static_cast<int>(positions.size()));
}

int ShowNotice(const std::string& text) {
    if (NoticeWindow) XtDestroyWidget(NoticeWindow);
    NoticeWindow = MakeWorkWindow(0);
    ArgBuilder a;
    a.Add(XmNx, 0).Add(XmNy, 0).Add(XmNwidth, WorkArea.width).Add(XmNheight, WorkArea.height);
    a.Add(XmNlabelType, XmSTRING);
    if (FontListNormal) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(FontListNormal));
    a.Add(XmNalignment, XmALIGNMENT_CENTER).Add(XmNrecomputeSize, False);
    NoticeLabel = XmCreateLabel(NoticeWindow, XtRes(""), a.list(), a.count());
    SetLabelText(text, NoticeLabel);
    XtManageChild(NoticeLabel);
    XtManageChild(NoticeWindow);
    return WaitForExpose(NoticeLabel);
}

void HideNotice() {
    if (NoticeWindow) XtUnmanageChild(NoticeWindow);
}
