// Part-program menu, data page and contour.
#pragma once

// The menu's choice word: 0 until the menu has been used.
extern int PartProgChoiceWord;

// Ask the message server for the data page (request 18) or the contour
// program (request 27) when its program is installed; 0 when nothing is sent.
int LoadDataPage(int flag);
int LoadContour(int flag);
