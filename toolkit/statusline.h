// The status line of the main window ("Winfo", made by start-up) and the hint
// that a button shows in it while the pointer is over it.
#pragma once

#include <X11/Intrinsic.h>

#include <cstdint>
#include <string>

inline constexpr EventMask HintEventMask = 0x33;

// Shows a button's hint in the status line while the pointer is over it.
// The client data is the hint's label number, looked up on each Enter, so a
// language change shows the new text.
void HintEventHandler(Widget w, XtPointer hintLabel, XEvent* event, Boolean* continueDispatch);
// Client data of HintEventHandler for a label number.
inline XtPointer HintLabel(int label) {
    return reinterpret_cast<XtPointer>(static_cast<intptr_t>(label));
}

// Shows the text in the status line; a null text shows "".
void SetStatusLine(const std::string& text);
void SetStatusLine(const char* text);
