// Part selection.
#include "partselect.h"

#include "colors.h"
#include "dialogs.h"
#include "filelists.h"
#include "filescreen.h"
#include "labels.h"
#include "linereader.h"
#include "listreader.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "partnames.h"
#include "paths.h"
#include "sysgen.h"
#include "xmwrap.h"

#include <Xm/List.h>
#include <Xm/TextF.h>

#include <algorithm>
#include <cstdint>

namespace {

ChoiceScreen Sel;
Widget PartList = nullptr;
Widget NameField = nullptr;
Widget ScrollButtons[4] = {};
// The names on the screen, whole; none while it is closed.
std::vector<std::string> Names;
PartPaging Paging;
// The names came from the part list file at ListFilePath.
bool UseListFile = false;
std::string ListFilePath;
// The name about to be made current.
std::string TypedName;
int SelectBusy = 0;
int ScrollBusy = 0;

constexpr int kTitleLabel = 7;
constexpr int kPromptLabel = 8;
constexpr int kContinueLabel = 100;
constexpr int kNotFolderLabel = 155;
constexpr int kNotListedLabel = 306;
// Configuration item: the part list file's name under usr_data/misc.
constexpr int kPartListItem = 55;
constexpr const char* kPartListFolder = "/u/qel/usr_data/misc/";
// Main-menu row of the execute button, and the light of a valid part.
constexpr int kExecuteRow = 4;
constexpr int kPartLight = 2;

XtPointer ValueData(int value) {
    return reinterpret_cast<XtPointer>(static_cast<intptr_t>(value));
}

int ValueOf(XtPointer client) {
    return static_cast<int>(reinterpret_cast<intptr_t>(client));
}

// "\"<name>\" <label>": a name that is no part folder or not listed.
void NameMessage(const std::string& name, int label) {
    ScreenMessage("\"" + name + "\" " + LabText(label));
}

// The names of the list file when one is configured and there, else of the
// part folders: 0, or the label of the loader's failure.
int LoadNames() {
    UseListFile = false;
    ListFilePath.clear();
    InitConfigure();
    if (const char* list = GetSysgenStr(kPartListItem)) {
        UseListFile = true;
        ListFilePath = std::string(kPartListFolder) + list;
    }
    CloseSysgen();
    if (UseListFile && FileType(ListFilePath) == 2) return ReadPartList(ListFilePath, &Names);
    UseListFile = false;
    return ReadDirList(kPartRoot, &Names);
}

bool InListFile(const std::string& name) {
    UniqueFile f(f_Fopen(ListFilePath, "r"));
    const std::vector<std::string> lines = ReadListLines(f.get());
    return std::find(lines.begin(), lines.end(), name) != lines.end();
}

void ApplyMove(const PartListMove& move) {
    if (move.top > 0) XmListSetPos(PartList, move.top);
    if (move.select) {
        XmListDeselectAllItems(PartList);
        XmListSelectPos(PartList, Paging.position, False);
    }
}

// The chosen name becomes the current part, when it may.
void TakePart(const std::string& name) {
    if (!CheckPartName(name)) return;
    if (FileType(kPartRoot + name) != 1) {
        NameMessage(name, kNotFolderLabel);
        return;
    }
    PartValid = 1;
    CurrentPart = name;
    if (WritePartname("PartSelectOk", name)) MakeMissingFolders(name, PartSubdirTable);
}

// The closing half of OK and Cancel.
void ClosePartSelect() {
    std::vector<std::string>().swap(Names);
    UpdateMainMenu();
    ApplyMainMenu();
    ShownScreen = nullptr;
    SetStatusLine("");
}

} // namespace

void MakePartSelect() {
    MakeChoiceFrame(Sel, PartSelectOk, PartSelectCancel, -1, 0);
    PartList = MakeList(Sel.window, 75, 85, WorkArea.width - 150, kPartListRows);
    XtAddCallback(PartList, XmNsingleSelectionCallback, PartListSelectCb, nullptr);
    XtAddCallback(PartList, XmNdefaultActionCallback, PartSelectOk, nullptr);
    NameField = MakePartNameField();
    const int h = WorkArea.width / 2;
    const struct {
        int x;
        const char* style;
        int which;
        int hint;
    } buttons[] = {
        {h - 66, "VokUpArrow", kScrollUp, 5},
        {h + 10, "VokDownArrow", kScrollDown, 6},
        {h - 142, "VokPageUp", kScrollPageUp, 4},
        {h + 86, "VokPageDown", kScrollPageDown, 3},
    };
    for (const auto& b : buttons) {
        Widget w = MakeIconButton(Sel.toolbar, b.x, 5, b.style, 2);
        XtAddCallback(w, XmNactivateCallback, PartListScrollCb, ValueData(b.which));
        XtAddEventHandler(w, HintEventMask, False, HintEventHandler, HintLabel(b.hint));
        ScrollButtons[b.which] = w;
    }
}

Widget MakePartNameField() {
    ArgBuilder a;
    a.Add(XmNx, WorkArea.width / 2 - 90).Add(XmNy, WorkArea.height - 115);
    a.Add(XmNcolumns, Language == kTwoByteLanguage ? 10 : 20);
    a.Add(XmNmaxLength, static_cast<int>(kPartNameMax)).Add(XmNmarginHeight, 1);
    if (FontListNormal) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(FontListNormal));
    a.Add(XmNcursorPositionVisible, True).Add(XmNblinkRate, 500);
    a.Add(XmNautoShowCursorPosition, True);
    Widget field = XmCreateTextField(Sel.window, XtRes("PartName"), a.list(), a.count());
    SetWidgetColors(field, "KeyinFocusIn", 2, 3, 7);
    XtManageChild(field);
    XtAddCallback(field, XmNactivateCallback, PartNameFieldCb, nullptr);
    XmAddTabGroup(field);
    XmProcessTraversal(field, XmTRAVERSE_CURRENT);
    return field;
}

void ShowPartSelect() {
    if (ChoiceShown(Sel)) return;
    SetStatusLine("");
    DisableMainMenu();
    const int fault = LoadNames();
    if (Names.empty()) {
        // The loader's failure, if any; a list file that names no part
        // folder says nothing.
        if (fault) ScreenMessage(LabText(fault) + "\n" + LabText(kContinueLabel));
        ApplyMainMenu();
        return;
    }
    TypedName.clear();
    const bool made = Sel.made;
    EnsureChoiceMade(Sel, MakePartSelect);
    if (made) XmTextFieldSetString(NameField, const_cast<char*>(""));
    SetLabelText(LabText(kTitleLabel), Sel.row1);
    SetLabelText(LabText(kPromptLabel), Sel.row2);
    SetWidgetColors(Sel.row2, "VokStatus", 0, 3, 7);
    ShownScreen = Sel.window;
    SetChoiceToolbar(Sel, true);

    SortNoCase(Names);
    ListSetNames(PartList, Names);
    XtManageChild(Sel.window);
    int index = -1;
    if (!CurrentPart.empty()) {
        const auto it = std::find(Names.begin(), Names.end(), CurrentPart);
        if (it != Names.end()) index = static_cast<int>(it - Names.begin());
    }
    ApplyMove(OpenPartList(Paging, static_cast<int>(Names.size()), index));
    FlushEventsNoInput();
    XmProcessTraversal(NameField, XmTRAVERSE_CURRENT);
}

void PartListSelectCb(Widget, XtPointer, XtPointer call) {
    ChoiceGuard guard(SelectBusy);
    if (!guard.entered()) return;
    const auto* cb = static_cast<const XmListCallbackStruct*>(call);
    if (cb && cb->item_position >= 1 && cb->item_position <= Paging.count)
        Paging.position = cb->item_position;
}

void PartListScrollCb(Widget, XtPointer which, XtPointer) {
    ChoiceGuard guard(ScrollBusy);
    if (!guard.entered()) return;
    ApplyMove(ScrollPartList(Paging, ValueOf(which)));
}

void PartSelectOk(Widget, XtPointer client, XtPointer) {
    ChoiceGuard guard(Sel.okBusy);
    if (!guard.entered() || !ChoiceShown(Sel)) return;
    SetChoiceToolbar(Sel, false);
    XmListDeselectPos(PartList, Paging.position);
    XtUnmanageChild(Sel.window);
    FlushEventsNoInput();
    if (ValueOf(client) == 0) {
        const int at = Paging.position - 1;
        TypedName = at >= 0 && at < static_cast<int>(Names.size()) ? Names[at] : "";
    }
    // An invalid name closes the screen too, after its message.
    TakePart(TypedName);
    ClosePartSelect();
}

void PartSelectCancel(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Sel.cancelBusy);
    if (!guard.entered() || !ChoiceShown(Sel)) return;
    SetChoiceToolbar(Sel, false);
    XtUnmanageChild(Sel.window);
    FlushEventsNoInput();
    ClosePartSelect();
}

void PartNameFieldCb(Widget, XtPointer, XtPointer) {
    char* raw = XmTextFieldGetString(NameField);
    const std::string text = raw ? raw : "";
    XtFree(raw);
    if (text.empty()) return;
    if (FileType(kPartRoot + text) != 1) {
        NameMessage(text, kNotFolderLabel);
        return;
    }
    if (UseListFile && !InListFile(text)) {
        NameMessage(text, kNotListedLabel);
        return;
    }
    TypedName = text;
    PartSelectOk(Sel.ok, ValueData(1), nullptr);
}

int CheckPartName(const std::string& name) {
    const int fault = PartNameFault(name, Language);
    if (fault == 0) return 1;
    ScreenMessage(QuotedNameMessage(name, LabText(fault)));
    return 0;
}

int CreatePart(const std::string& name) {
    if (!CheckPartName(name)) return 0;
    std::string failed;
    const int fault = MakeNewPartFolders(name, &failed);
    if (fault == kNoDirfileLabel) {
        ScreenMessage(LabText(fault));
        return 0;
    }
    if (fault) {
        ScreenMessage(QuotedNameMessage(failed.empty() ? name : failed, LabText(fault)));
        return 0;
    }
    CurrentPart = name;
    PartValid = 1;
    WritePartname("CreatePart", name);
    // The main menu's own rule for the execute button.
    if (ServoOn && MachineHomed && !TaskRunning()) MainMenuTable[kExecuteRow - 1].enabled = 1;
    IndicatorOn(MainMenuIndicators[kPartLight]);
    return 1;
}

PartSelectView PartSelectState() {
    return {&Sel,       PartList,
            NameField,  {ScrollButtons[0], ScrollButtons[1], ScrollButtons[2], ScrollButtons[3]},
            &Names,     &Paging,
            UseListFile};
}
