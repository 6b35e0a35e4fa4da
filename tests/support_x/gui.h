// In-process widget harness: a private X server, a sandbox with a label
// file, and the top shell, main form and status line made the way start-up
// makes them; then helpers that find widgets, press them the way a user
// would and read their state back through the toolkit.
#pragma once

#include "sandbox.h"
#include "xvfb.h"

#include <X11/Intrinsic.h>

#include <functional>
#include <map>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

// The labels that a GuiSession writes unless told otherwise: 128 the dialog
// title "MSGTITLE", 182 to 188 the toolbar hints and the loading notice.
std::map<int, std::string> DefaultTestLabels();

// Writes the label file of language 0 with the given labels (every other
// line up to the highest holds "L<n>").
void WriteLabelFile(const Sandbox& box, const std::map<int, std::string>& labels);

class GuiSession {
  public:
    // An 800 x 600 server, then the main window as start-up builds it, with
    // the program wired as start-up wires it.
    explicit GuiSession(const std::map<int, std::string>& labels = DefaultTestLabels());
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

    bool ok() const { return ok_; }
    const XvfbServer& server() const { return *x_; }
    const Sandbox& box() const { return *box_; }

  private:
    std::unique_ptr<XvfbServer> x_;
    std::unique_ptr<Sandbox> box_;
    bool ok_ = false;
};

struct WidgetBox {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WidgetBox& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};
inline std::ostream& operator<<(std::ostream& os, const WidgetBox& b) {
    return os << "(" << b.x << ", " << b.y << ") " << b.width << " x " << b.height;
}

// A descendant of root by name (children and pop-ups), or nullptr.
Widget FindWidget(Widget root, const std::string& name);
// The normal children of a composite widget.
std::vector<Widget> Children(Widget w);
// Presses a button as the pointer does (arm and activate).
void Press(Widget button);
// Calls a widget's action, e.g. "activate" on a text field (the Return key).
void CallAction(Widget w, const char* action);

WidgetBox Geometry(Widget w);
unsigned char GetUChar(Widget w, const char* resource);
int GetInt(Widget w, const char* resource);
// The text of a label's compound string, "\n" between its lines.
std::string LabelText(Widget w);
std::vector<std::string> ListItems(Widget list);
std::vector<int> SelectedPositions(Widget list);
std::string TextOf(Widget textField);

// Has the next event pass of any loop (timers served or not) call handler
// once on MainForm: a property change queued now reaches it there.
void RunInNextEventPass(XtEventHandler handler);
// Runs fn from a toolkit timer after ms (in loops that serve timers).
void After(int ms, std::function<void()> fn);
// Serves events and timers for ms milliseconds.
void Serve(int ms);
// Serves until cond holds or timeoutMs pass; the last value of cond.
bool ServeUntil(const std::function<bool()>& cond, int timeoutMs);

// Runs steps inside a loop of the program that serves X events only and no
// timers (the self test's): while loop() runs, a helper thread changes a
// property of the main form every 20 ms, and each change runs the current
// step until it answers true; the event passes of a step itself run no
// step. Answers the number of steps that completed.
size_t RunStepsDuring(std::vector<std::function<bool()>> steps, const std::function<void()>& loop);

// Saves the screen as PNG with every text cursor's blink off, so that two
// shots of one state look the same.
bool SaveScreenshot(const std::string& pngPath);
