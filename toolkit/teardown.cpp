// The teardown of Motif's per-window drawing contexts, on the display's
// destroy hook.
#include "teardown.h"

#include <X11/IntrinsicP.h>
#include <X11/StringDefs.h>

#include <set>

// Motif's own table of text drawing contexts by display and window
// (present where Motif draws its texts through Xft; weak, so that a Motif
// without them leaves the teardown without work).
struct _XftDraw;
extern "C" {
_XftDraw* _XmXftDrawCreate(Display* display, Window window) __attribute__((weak));
void _XmXftDrawDestroy(Display* display, Window window, _XftDraw* draw) __attribute__((weak));
}

namespace {

std::set<Display*> Installed;

// Drops the context of every window of the tree. A window without one gets
// one made only to be dropped at once: the table offers no other look-up.
void DropDrawings(Widget w) {
    if (!w || !XtIsWidget(w)) return;
    if (XtIsRealized(w)) {
        Display* dpy = XtDisplay(w);
        const Window window = XtWindow(w);
        if (_XftDraw* draw = _XmXftDrawCreate(dpy, window)) _XmXftDrawDestroy(dpy, window, draw);
    }
    if (XtIsComposite(w)) {
        const CompositeWidget c = reinterpret_cast<CompositeWidget>(w);
        for (Cardinal i = 0; i < c->composite.num_children; ++i)
            DropDrawings(c->composite.children[i]);
    }
    for (Cardinal i = 0; i < w->core.num_popups; ++i) DropDrawings(w->core.popup_list[i]);
}

// The tree's destroy callbacks all run before any part of it is freed and
// before its window goes, and nothing draws in it any more: the root's
// callback, the last of them, drops the whole tree's contexts.
void TreeDestroyedCB(Widget w, XtPointer, XtPointer) {
    DropDrawings(w);
}

void DestroyHookCB(Widget, XtPointer, XtPointer call) {
    const auto* data = static_cast<XtDestroyHookDataRec*>(call);
    if (data && data->widget && XtIsWidget(data->widget))
        XtAddCallback(data->widget, XtNdestroyCallback, TreeDestroyedCB, nullptr);
}

} // namespace

void InstallWidgetTeardown(Display* display) {
    if (!display || !_XmXftDrawCreate || !_XmXftDrawDestroy) return;
    if (!Installed.insert(display).second) return;
    XtAddCallback(XtHooksOfDisplay(display), XtNdestroyHook, DestroyHookCB, nullptr);
}
