// A bare Motif program with the main window's widgets and nothing else: the
// yardstick for the operator program's own start-up work.
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>

#include <cstdio>

int main(int argc, char** argv) {
    XtAppContext app;
    Widget top = XtAppInitialize(&app, "bare", nullptr, 0, &argc, argv, nullptr, nullptr, 0);
    Widget form = XtVaCreateManagedWidget("VOK", xmFormWidgetClass, top, XmNwidth, 770, XmNheight,
                                          560, XmNresizePolicy, XmRESIZE_NONE, nullptr);
    for (int i = 0; i < 10; ++i) {
        int x = i < 5 ? 30 : 690, y = 56 + 96 * (i % 5);
        XtVaCreateManagedWidget("button", xmPushButtonWidgetClass, form, XmNx, x, XmNy, y, XmNwidth,
                                66, XmNheight, 66, XmNrecomputeSize, False, nullptr);
        if (i < 5)
            XtVaCreateManagedWidget("light", xmPushButtonWidgetClass, form, XmNx, x - 23, XmNy,
                                    y + 25, XmNwidth, 16, XmNheight, 16, XmNrecomputeSize, False,
                                    nullptr);
    }
    XtVaCreateManagedWidget("Winfo", xmLabelWidgetClass, form, XmNx, 250, XmNy, 525, XmNwidth, 565,
                            XmNheight, 20, XmNrecomputeSize, False, nullptr);
    XtRealizeWidget(top);
    XFlush(XtDisplay(top));
    std::printf("ready\n");
    std::fflush(stdout);
    XtAppMainLoop(app);
    return 0;
}
