// The facts and figures of the bank properties sheet.
#include "maintenance/BankProperties.h"

#include "core/BankTrees.h"
#include "core/Messages.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo {

namespace {

OleDateTime FromUnix(std::int64_t seconds) {
    return OleDateTime::FromParts(UnixToLocalParts(seconds));
}

// Whether the process belongs to group `gid` (effective or supplementary).
bool InGroup(gid_t gid) {
    if (gid == ::getegid())
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<std::size_t>(i)] == gid)
            return true;
    return false;
}

std::string Unknown() {
    return std::string(StringText(msg::UnknownTime));
}

std::string Number(std::int32_t value) {
    return std::to_string(value);
}

} // namespace

FileFacts ReadFileFacts(const std::filesystem::path& path) {
    FileFacts facts;
    struct statx st {};
    if (::statx(AT_FDCWD, path.c_str(), 0,
                STATX_TYPE | STATX_MODE | STATX_UID | STATX_GID | STATX_SIZE | STATX_ATIME |
                    STATX_MTIME | STATX_BTIME,
                &st) != 0)
        return facts;
    facts.found = true;
    facts.size = st.stx_size;
    if (st.stx_mask & STATX_BTIME)
        facts.created = FromUnix(st.stx_btime.tv_sec);
    if (st.stx_mask & STATX_ATIME)
        facts.accessed = FromUnix(st.stx_atime.tv_sec);
    if (st.stx_mask & STATX_MTIME)
        facts.modified = FromUnix(st.stx_mtime.tv_sec);
    // The bits that apply to this user, as the permissions say (root's override left aside:
    // the box tells what the file's permissions are, not what an administrator may do).
    const mode_t mode = st.stx_mode;
    mode_t write = S_IWOTH;
    if (st.stx_uid == ::geteuid())
        write = S_IWUSR;
    else if (InGroup(st.stx_gid))
        write = S_IWGRP;
    facts.readOnly = (mode & write) == 0;
    const std::string name = path.filename().string();
    facts.hidden = !name.empty() && name.front() == '.';
    return facts;
}

BankFileFacts ReadBankFileFacts(const CQuorvellineDoc& doc) {
    BankFileFacts facts;
    if (doc.hasFile() && !doc.path().empty()) {
        facts.name = doc.path().filename().string();
        facts.folder = doc.path().parent_path();
        if (facts.folder.empty())
            facts.folder = doc.path();
        facts.file = ReadFileFacts(doc.path());
        return facts;
    }
    facts.name = AnsiToUtf8(doc.title());
    if (!doc.tempPath().empty()) {
        facts.folder = doc.tempPath();
        facts.workingFile = true;
    }
    return facts;
}

std::string SummaryDateText(const OleDateTime& date) {
    if (!date.valid || date.days == 0.0)
        return Unknown();
    const AnsiString text = FormatItemDateTime(date);
    return text.empty() ? Unknown() : AnsiToUtf8(text);
}

std::string FileDateText(const std::optional<OleDateTime>& date) {
    return date ? SummaryDateText(*date) : Unknown();
}

std::array<std::string, kStatisticsRows> StatisticsValues(const BankSummary& s) {
    return {AnsiToUtf8(s.templateName),
            Number(s.pages),
            Number(s.words),
            Number(s.characters),
            Number(s.lines),
            Number(s.slides),
            Number(s.hiddenObjects),
            Number(s.notes),
            Number(s.multimediaClips),
            Number(s.paragraphs),
            std::string(StringText(s.linksDirty ? msg::Yes : msg::No)),
            AnsiToUtf8(s.presentationFormat)};
}

BankComposition ReadBankComposition(CQuorvellineDoc& doc) {
    BankComposition out;
    out.title = AnsiToUtf8(doc.summary().title);
    auto titles = [](const RecordTree& tree, std::vector<std::string>& into) {
        into.reserve(tree.size());
        WalkTree(tree, [&](const TreeNode& node) {
            into.push_back(AnsiToUtf8(node.title));
            return true;
        });
    };
    titles(doc.records(), out.records);
    titles(doc.folders(), out.folders);
    const PwdList& list = doc.passwords();
    out.passwords.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i)
        out.passwords.push_back(AnsiToUtf8(list[i].title));
    return out;
}

} // namespace kelvo
