// A bare Motif program that lists a folder with ls -1 and shows the names
// in a scrolled list, once for each line it reads: the yardstick for the
// copy screen's listing of a large folder. Prints the milliseconds of each
// round, from the start of ls to the list drawn.
//
//   bench_bare_list FOLDER [MAX_NAMES]
#include <Xm/List.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <unistd.h>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_bare_list FOLDER [MAX_NAMES]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const size_t most = argc > 2 ? static_cast<size_t>(std::atol(argv[2])) : 0;
    int one = 1;
    char name[] = "bare_list";
    char* argvOwn[] = {name, nullptr};
    XtAppContext app;
    Widget top = XtAppInitialize(&app, "bare_list", nullptr, 0, &one, argvOwn, nullptr, nullptr, 0);
    Arg args[3];
    XtSetArg(args[0], XmNvisibleItemCount, 9);
    XtSetArg(args[1], XmNwidth, 350);
    XtSetArg(args[2], XmNlistSizePolicy, XmCONSTANT);
    Widget list = XmCreateScrolledList(top, const_cast<char*>("list"), args, 3);
    XtManageChild(list);
    XtRealizeWidget(top);
    XSync(XtDisplay(top), False);
    const std::string out = "/tmp/bench_bare_list." + std::to_string(getpid());
    for (std::string go; std::getline(std::cin, go);) {
        XmListDeleteAllItems(list);
        XSync(XtDisplay(top), False);
        const auto t0 = std::chrono::steady_clock::now();
        const std::string ls = "ls -1 '" + folder + "' > " + out;
        if (std::system(ls.c_str()) != 0) return 1;
        std::vector<std::string> names;
        std::ifstream in(out);
        for (std::string line; std::getline(in, line);) names.push_back(line);
        if (most && names.size() > most) names.resize(most);
        std::vector<XmString> items;
        for (const std::string& n : names)
            items.push_back(XmStringCreate(const_cast<char*>(n.c_str()), const_cast<char*>("")));
        XtVaSetValues(list, XmNitems, items.data(), XmNitemCount, static_cast<int>(items.size()),
                      nullptr);
        for (XmString s : items) XmStringFree(s);
        XmUpdateDisplay(list);
        XSync(XtDisplay(top), False);
        const auto t1 = std::chrono::steady_clock::now();
        std::printf("%.3f\n", std::chrono::duration<double, std::milli>(t1 - t0).count());
        std::fflush(stdout);
    }
    std::remove(out.c_str());
    return 0;
}
