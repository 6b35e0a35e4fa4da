// File-screen frame: the notices in the work area.
#pragma once

#include <string>

int ShowNotice(const std::string& text);
void HideNotice();
