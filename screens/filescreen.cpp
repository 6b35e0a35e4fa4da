// File-screen frame. The start-up notice comes with the widget makers; for
// now it is not drawn.
#include "filescreen.h"

Widget ShownScreen = nullptr;

int ShowNotice(const std::string&) {
    return 0;
}
void HideNotice() {}
