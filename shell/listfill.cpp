// List loaders of the file screens.
#include "listfill.h"

#include "dialogs.h"
#include "filelists.h"
#include "labels.h"
#include "mainmenu.h"
#include "makers.h"
#include "media.h"

#include <Xm/List.h>

#include <cstdio>

namespace {

constexpr int kNotFoundLabel = 155;
constexpr int kContinueLabel = 100;

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

int FillTarList(Widget list, std::vector<ArchiveMember>* members, const std::string& device,
                ShowText show) {
    members->clear();
    if (!MediaDeviceUsable(device)) {
        ListSetNames(list, {});
        std::printf("FillTarList: no usable device (\"%s\")\n", device.c_str());
        std::fflush(stdout);
        const std::string text =
            RefusedMediumText(LabText(kNotFoundLabel), LabText(kContinueLabel));
        if (show)
            show(text);
        else
            MessageDialog(text, 0);
        return -1;
    }
    const int ready = WaitForMedia(1, device.c_str());
    if (ready < 0) {
        ListSetNames(list, {});
        return ready;
    }
    int status = 0;
    const bool listed = ListArchive(device, members, &status);
    std::vector<std::string> names;
    names.reserve(members->size());
    for (const ArchiveMember& m : *members) names.push_back(m.name);
    ListSetNames(list, names);
    if (list && !names.empty()) XmListDeselectPos(list, 1);
    if (listed) return 0;
    ReportToolFailure("FillTarList", "tar", status, show);
    return 1;
}
