// The restore screen's split and extraction.
#include "restoremodel.h"

#include "archive.h"
#include "filelists.h"
#include "linereader.h"
#include "ospath.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Writes the lines to the scratch file as its whole content; false (and
// why, in *why) when any of it fails.
bool WriteLines(const std::string& path, const std::vector<std::string>& a,
                const std::vector<std::string>& b = {}, std::string* why = nullptr) {
    UniqueFile f(os_fopen(path, "w"));
    bool ok = f != nullptr;
    for (const auto* lines : {&a, &b})
        for (const std::string& line : *lines)
            if (ok) ok = std::fprintf(f.get(), "%s\n", line.c_str()) >= 0;
    if (ok) ok = std::fflush(f.get()) == 0;
    if (!ok && why) *why = std::strerror(errno ? errno : EIO);
    if (f && std::fclose(f.release()) != 0) {
        if (ok && why) *why = std::strerror(errno);
        ok = false;
    }
    return ok;
}

} // namespace

void RestoreListed(RestoreModel& m, std::vector<ArchiveMember> members) {
    m.listed = std::move(members);
    m.phase = kRestoreMembers;
    m.missing.clear();
    m.existing.clear();
    m.leftOut.clear();
}

std::vector<std::string> RestoreNames(const RestoreModel& m) {
    std::vector<std::string> names;
    names.reserve(m.listed.size());
    for (const ArchiveMember& member : m.listed) names.push_back(member.name);
    return names;
}

void RestoreSplit(RestoreModel& m, const std::vector<std::string>& chosen, const RestoreUi& ui) {
    MemberSplit split = SplitMembers(ExpandChosen(m.listed, chosen), m.listed, "RestCheckExisting");
    m.missing = std::move(split.missing);
    m.existing = std::move(split.existing);
    m.leftOut = std::move(split.leftOut);
    m.phase = kRestoreExisting;
    // A list of an earlier restore is never left for this one.
    if (!WriteLines(kRestoreList, m.missing)) {
        std::printf("RestCheckExisting: cannot write %s\n", kRestoreList);
        std::fflush(stdout);
    }
    if (!m.leftOut.empty())
        ui.message(
            LeftOutText(m.leftOut, ui.label(kRestoreCannotLabel), ui.label(kRestoreContinueLabel)));
}

void RestoreRemove(RestoreModel& m, const std::vector<int>& positions) {
    std::vector<bool> gone(m.existing.size(), false);
    for (int p : positions)
        if (p >= 1 && p <= static_cast<int>(m.existing.size())) gone[p - 1] = true;
    std::vector<std::string> kept;
    for (size_t i = 0; i < m.existing.size(); ++i)
        if (!gone[i]) kept.push_back(m.existing[i]);
    m.existing.swap(kept);
}

RestoreOutcome RestoreExtract(RestoreModel& m, const std::string& device, const RestoreUi& ui) {
    m.phase = kRestoreDone;
    const std::vector<LeftOutMember> links =
        DropUnwrittenLinkTargets(&m.missing, &m.existing, m.listed, "RestTar");
    if (!links.empty())
        ui.message(
            LeftOutText(links, ui.label(kRestoreCannotLabel), ui.label(kRestoreContinueLabel)));
    m.leftOut.insert(m.leftOut.end(), links.begin(), links.end());
    std::string why;
    errno = 0;
    if (!WriteLines(kRestoreList, m.missing, m.existing, &why)) {
        std::printf("RestTar: cannot write %s: %s\n", kRestoreList, why.c_str());
        std::fflush(stdout);
        ui.message(std::string(kRestoreList) + ": " + why + " \n" +
                   ui.label(kRestoreContinueLabel));
        return RestoreOutcome::kFailed;
    }
    if (m.missing.empty() && m.existing.empty()) return RestoreOutcome::kNothing;
    os_remove(kTarOut);
    const int status = ui.run(RestoreCommand(device));
    if (status == 0) return RestoreOutcome::kExtracted;
    std::printf("RestTar: %s\n", ToolStatusText("tar", status).c_str());
    std::fflush(stdout);
    ui.message(ToolFailureText("tar", status, ui.label(kRestoreContinueLabel)));
    return RestoreOutcome::kFailed;
}

bool RestoreWritePrintList(const RestoreModel& m) {
    return WriteLines(kPrintList, RestoreNames(m));
}
