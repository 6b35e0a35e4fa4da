// Dialogs, the cursor and the local event loops (pumps) with which busy work
// keeps the screen painted while it waits.
#pragma once

#include <X11/Intrinsic.h>

#include <ctime>
#include <string>

// The last answer given to a dialog: -1 while none, 1 OK (or Enter), 0
// Cancel. Each dialog also keeps its own answer, so nested dialogs cannot
// take each other's.
extern int DialogAnswer;
// Widgets of the innermost dialog now open; null when none is open.
extern Widget ResponseOKButton;
extern Widget ResponseCancelButton;
extern Widget AskDialog;
extern Widget AskField;
extern Widget MessageForm;

// State of the ProcessEventsFor that is running.
extern int TimedOut;
extern time_t TimeoutStart;
extern int TimeoutSeconds;
// Set when the widget that WaitForExpose watches is exposed.
extern int ExposedFlag;

// Asks for one line of text (at most 14 characters) in an empty field; the
// initial text is not used. Returns the text after OK or Enter, "" after
// Cancel, in a buffer that the next call overwrites.
const char* AskText(const char* prompt, const char* initial);
inline const char* AskText(const std::string& prompt, const char* initial = nullptr) {
    return AskText(prompt.c_str(), initial);
}
// Shows text with OK and Cancel and waits for the pointer to answer one of
// them: 1 OK, 0 Cancel. The pixmap argument is not used (callers pass 0).
int MessageDialog(const std::string& text, int pixmap);
int MessageDialog(const char* text, int pixmap);
// Activate callback of the dialogs' answering widgets; the client data is
// the answer.
void ResponseButtonCB(Widget w, XtPointer answer, XtPointer call);
// The waits of AskText and MessageDialog: each takes its dialog down and
// returns its answer (-1 for a widget that is not such a dialog).
int WaitResponse(Widget dialog);
int WaitMessageDialog(Widget dialog);

// Marks a dialog as waiting for its answer for the life of the object. The
// dialogs of this module and the password check mark theirs.
class WaitingDialog {
  public:
    explicit WaitingDialog(Widget dialog);
    ~WaitingDialog();
    WaitingDialog(const WaitingDialog&) = delete;
    WaitingDialog& operator=(const WaitingDialog&) = delete;

  private:
    Widget shell_;
};
// Keeps a window of its own (a pop-up shell such as the text viewer) over
// the main window while it is up (on), or no longer (off): the raise below
// raises it again after the main window, as it raises a waiting dialog. A
// window kept already keeps its place.
void KeepOverMainWindow(Widget shell, bool on);
// Raises the main window, and then every dialog that waits and every window
// kept over it, in the order they came up: without a window manager the
// raise would otherwise cover a dialog that still holds the pointer and
// waits for it, or the text viewer.
void RaiseTopWindow();

// One step of a wait that serves every kind of input (X events, timers,
// alternate input), taking at most 10 ms when nothing comes; runs the
// pumps' drain first. The waits of AskText and of the password check.
void ServeEverythingOnce(XtAppContext app);

// A pass of a screen's own loop that serves X events only, no timers: the
// pumps' drain, then every queued X event dispatched (keys and buttons
// included).
void DispatchXEvents();
// Waits up to ms for input on the display connection: the idle step of
// such a loop when it has nothing else to wait on.
void WaitForDisplay(int ms);

// What every pass of a pump and every step of a dialog's wait does first:
// the message system's DrainReplies, which the program's top sets at
// start-up, so that the server's replies do not fill the queue while the
// program waits. Unset, the first pass prints a console line, once.
using PumpDrain = void (*)();
void SetPumpDrain(PumpDrain drain);

void ChangeCursor(Cursor cursor);

// Synchronises with the X server and drops the pointer and key input queued
// so far (clicks that came while a toolbar was live). Exposures and the rest
// stay queued: dropped, a button just made insensitive would stay a plain
// square of its background until something drew it again.
void DropQueuedInput();
// Dispatches the queued events, dropping key events.
void FlushEventsNoKeys();
// Dispatches the queued events, dropping key and button events; returns 0.
int FlushEventsNoInput();
// Passes of queued events for the given seconds (one pass for 0): all
// events, all but keys and buttons, all but keys.
void WaitSecondsAll(int seconds);
void WaitSeconds(int seconds);
void WaitSecondsNoKeys(int seconds);
// Passes of FlushEventsNoInput until w is exposed: 0, or -82 when no Expose
// came within 3 s.
int WaitForExpose(Widget w);
void ExposeEventHandler(Widget w, XtPointer client, XEvent* event, Boolean* continueDispatch);
void CheckTimeout();
// Serves events and timers for the given seconds, dropping keys and
// buttons; always -82.
int ProcessEventsFor(int seconds);

// One pass of a wait that serves all input, one event at a time: the
// pumps' drain, then an X event (dispatched, whatever it is), else one timer
// or alternate input, else the idle wait. The media dialog's wait.
void ServeOneEvent();

// 0 when the medium in the device (a path through the sandbox seam) is
// ready: it exists and opens for reading (writeFlag 1) or writing (0),
// without blocking and without being created. Otherwise the operator sees
// the device, the system's reason and label 100: OK tries again, Cancel
// answers -1.
int WaitForMedia(int writeFlag, const char* device);
// 0 when ready, else the system's error number.
int MediaNotReady(int writeFlag, const char* device);
