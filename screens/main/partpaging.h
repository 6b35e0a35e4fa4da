// Paging of the part selection's list: pages of 11 rows, the page the list
// shows at its top and the selected entry, moved by the four scroll buttons
// with wrap-around. No X: the screen applies the answers to its list.
#pragma once

inline constexpr int kPartListRows = 11;

// Scroll buttons, as their client data.
inline constexpr int kScrollUp = 0;
inline constexpr int kScrollDown = 1;
inline constexpr int kScrollPageUp = 2;
inline constexpr int kScrollPageDown = 3;

struct PartPaging {
    int count = 0;    // names in the list
    int page = 1;     // 1 .. pages: the page whose first entry is at the top
    int position = 1; // 1 .. count: the selected entry
};

// What the list is to do after a move.
struct PartListMove {
    int top = 0;         // the new top item; 0 when the list stays
    bool select = false; // select position
};

int PartPages(int count);
// The first entry of a page.
int PartPageTop(int page);
// The page that shows an entry.
int PartPageOf(int position);

// The list opened with its names: the entry at index (0-based) selected,
// the first one when index is negative (the current part is not listed);
// the list scrolls to its page when that is not the first.
PartListMove OpenPartList(PartPaging& p, int count, int index);
// A scroll button. Up and down move the selection by one, wrapping at the
// ends, and scroll the list to the page of the new entry when it changed.
// Page up and page down go to the previous or next page, wrapping, and
// select its first entry; with one page they do nothing.
PartListMove ScrollPartList(PartPaging& p, int which);
