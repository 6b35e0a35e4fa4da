// Paging of the part selection's list: where it opens, and where the four
// scroll buttons take the selection and the list's top, with wrap-around.
#include <gtest/gtest.h>

#include "partpaging.h"

#include <string>
#include <vector>

namespace {

struct Step {
    int which; // a scroll button
    int position, page, top;
    bool select;
};

struct PagingCase {
    const char* name;
    int count, index; // the current part's index, -1 none
    int position, page, top;
    std::vector<Step> steps;
};

TEST(PartPaging, OpenAndScroll) {
    const int up = kScrollUp, down = kScrollDown, pageUp = kScrollPageUp,
              pageDown = kScrollPageDown;
    const PagingCase cases[] = {
        {"11 names: one page",
         11,
         -1,
         1,
         1,
         0,
         {{pageDown, 1, 1, 0, false},
          {pageUp, 1, 1, 0, false},
          {up, 11, 1, 0, true},
          {down, 1, 1, 0, true}}},
        {"12 names",
         12,
         10,
         11,
         1,
         0,
         {{down, 12, 2, 12, true},
          {down, 1, 1, 1, true},
          {pageDown, 12, 2, 12, true},
          {pageDown, 1, 1, 1, true},
          {pageUp, 12, 2, 12, true},
          {up, 11, 1, 1, true}}},
        {"31 names, the current part last",
         31,
         30,
         31,
         3,
         23,
         {{down, 1, 1, 1, true},
          {up, 31, 3, 23, true},
          {pageUp, 23 - 11, 2, 12, true},
          {up, 11, 1, 1, true},
          {pageUp, 23, 3, 23, true},
          {pageDown, 1, 1, 1, true}}},
        {"current part on the first page", 31, 4, 5, 1, 0, {{down, 6, 1, 0, true}}},
        {"current part not listed", 31, -1, 1, 1, 0, {{up, 31, 3, 23, true}}},
    };
    for (const PagingCase& c : cases) {
        SCOPED_TRACE(c.name);
        PartPaging p;
        const PartListMove open = OpenPartList(p, c.count, c.index);
        EXPECT_EQ(p.position, c.position);
        EXPECT_EQ(p.page, c.page);
        EXPECT_EQ(open.top, c.top);
        EXPECT_TRUE(open.select);
        int n = 0;
        for (const Step& s : c.steps) {
            SCOPED_TRACE("step " + std::to_string(++n));
            const PartListMove m = ScrollPartList(p, s.which);
            EXPECT_EQ(p.position, s.position);
            EXPECT_EQ(p.page, s.page);
            EXPECT_EQ(m.top, s.top);
            EXPECT_EQ(m.select, s.select);
        }
    }
    EXPECT_EQ(PartPages(11), 1);
    EXPECT_EQ(PartPages(12), 2);
    EXPECT_EQ(PartPages(31), 3);
}

} // namespace
