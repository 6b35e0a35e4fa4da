// Paging of the part selection's list.
#include "partpaging.h"

int PartPages(int count) {
    return count < 1 ? 1 : (count - 1) / kPartListRows + 1;
}

int PartPageTop(int page) {
    return (page - 1) * kPartListRows + 1;
}

int PartPageOf(int position) {
    return (position - 1) / kPartListRows + 1;
}

PartListMove OpenPartList(PartPaging& p, int count, int index) {
    p.count = count;
    p.page = 1;
    p.position = 1;
    PartListMove move;
    move.select = count > 0;
    if (index < 0 || index >= count) return move;
    p.position = index + 1;
    const int page = PartPageOf(p.position);
    if (page != 1) {
        p.page = page;
        move.top = PartPageTop(page);
    }
    return move;
}

PartListMove ScrollPartList(PartPaging& p, int which) {
    PartListMove move;
    if (p.count < 1) return move;
    const int pages = PartPages(p.count);
    if (which == kScrollUp || which == kScrollDown) {
        p.position += which == kScrollUp ? -1 : 1;
        if (p.position < 1) p.position = p.count;
        if (p.position > p.count) p.position = 1;
        const int page = PartPageOf(p.position);
        if (page != p.page) {
            p.page = page;
            move.top = PartPageTop(page);
        }
        move.select = true;
        return move;
    }
    if (which != kScrollPageUp && which != kScrollPageDown) return move;
    if (pages <= 1) return move;
    p.page += which == kScrollPageUp ? -1 : 1;
    if (p.page < 1) p.page = pages;
    if (p.page > pages) p.page = 1;
    p.position = PartPageTop(p.page);
    move.top = p.position;
    move.select = true;
    return move;
}
