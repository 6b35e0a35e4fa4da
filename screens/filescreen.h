// File-screen frame: the screen shown in the work area, and the notices.
#pragma once

#include <X11/Intrinsic.h>

#include <string>

// Work window of the screen now shown; nullptr for none.
extern Widget ShownScreen;

int ShowNotice(const std::string& text);
void HideNotice();
