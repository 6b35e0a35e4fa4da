// List loaders of the file screens.
#include "listfill.h"

#include "dialogs.h"
#include "filelists.h"
#include "mainmenu.h"
#include "makers.h"

#include <Xm/List.h>

namespace {

int FillFolder(Widget list, std::vector<std::string>* names, const std::string& folder,
               ListRule rule) {
    bool hasSubfolder = false;
    const bool listed = ListFolder(folder, rule, names, &hasSubfolder);
    ListSetNames(list, *names);
    if (!listed) return 0;
    if (list) XmProcessTraversal(list, XmTRAVERSE_CURRENT);
    return hasSubfolder ? 1 : 0;
}

} // namespace

void FillTopList(Widget list, std::vector<std::string>* names, const std::string& key) {
    names->clear();
    *names = TopListNames(key, CurrentPart);
    ListSetNames(list, *names);
    if (list) XmProcessTraversal(list, XmTRAVERSE_CURRENT);
}

int FillDirList(Widget list, std::vector<std::string>* names, const std::string& folder) {
    return FillFolder(list, names, folder, ListRule::kDir);
}

int FillEditList(Widget list, std::vector<std::string>* names, const std::string& folder) {
    return FillFolder(list, names, folder, ListRule::kEdit);
}

int FillTarList(Widget list, std::vector<std::string>* names, const std::string& device) {
    names->clear();
    const int ready = WaitForMedia(1, device.c_str());
    if (ready < 0) {
        ListSetNames(list, *names);
        return ready;
    }
    ListArchive(device, names);
    ListSetNames(list, *names);
    if (list && !names->empty()) XmListDeselectPos(list, 1);
    return 0;
}
