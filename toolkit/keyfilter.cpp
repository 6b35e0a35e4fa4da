// The gate of key events, an event dispatcher of the toolkit.
#include "keyfilter.h"

namespace {

int MinKeycode = 8;
int MaxKeycode = 255;
// The dispatchers that were in place for KeyPress and KeyRelease.
XtEventDispatchProc NextPress = nullptr;
XtEventDispatchProc NextRelease = nullptr;

Boolean DispatchKey(XEvent* event) {
    if (!KeyEventAllowed(*event)) return False;
    XtEventDispatchProc next = event->type == KeyPress ? NextPress : NextRelease;
    return next ? next(event) : False;
}

} // namespace

bool KeyEventAllowed(const XEvent& event) {
    if (event.type != KeyPress && event.type != KeyRelease) return true;
    const auto code = static_cast<int>(event.xkey.keycode);
    return code >= MinKeycode && code <= MaxKeycode;
}

void InstallKeyFilter(Display* display) {
    if (!display) return;
    XDisplayKeycodes(display, &MinKeycode, &MaxKeycode);
    // Installed again, the gate keeps what it had in front of it.
    XtEventDispatchProc press = XtSetEventDispatcher(display, KeyPress, DispatchKey);
    XtEventDispatchProc release = XtSetEventDispatcher(display, KeyRelease, DispatchKey);
    if (press != DispatchKey) NextPress = press;
    if (release != DispatchKey) NextRelease = release;
}
