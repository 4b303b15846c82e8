// The bank's open-or-create helpers over the compound-file engine, and the target of a save.
#include "platform/storage/BankStorage.h"

#include "platform/storage/FileSystem.h"

namespace kelvo {

bool FileExists(const std::filesystem::path& path) {
    return cfb::Files().Exists(path);
}

namespace {
// Only a missing file, or one that is not a compound file at all (an empty temporary file,
// say), is replaced. A compound file that fails to open (damaged, locked by another program,
// not readable) is kept: replacing it would destroy a bank.
bool Replaceable(HResult openFailure) {
    return openFailure == hr::FileNotFound || openFailure == hr::FileAlreadyExists;
}
} // namespace

Result<cfb::Storage> OpenOrCreateBankFile(const std::filesystem::path& path) {
    auto opened = cfb::Storage::OpenFile(path, cfb::mode::Open);
    if (opened || !Replaceable(opened.code()))
        return opened;
    return cfb::Storage::CreateFile(path, cfb::mode::CreateNew);
}

Result<cfb::Storage> OpenOrCreateStorage(cfb::Storage& parent, std::u16string_view name) {
    auto opened = parent.OpenStorage(name, cfb::mode::Open);
    if (opened)
        return opened;
    return parent.CreateStorage(name, cfb::mode::CreateNew);
}

Result<cfb::Stream> OpenOrCreateStream(cfb::Storage& parent, std::u16string_view name) {
    auto opened = parent.OpenStream(name, cfb::mode::Open);
    if (opened)
        return opened;
    return parent.CreateStream(name, cfb::mode::CreateNew);
}

// ---- the target of a save -------------------------------------------------------------

Result<SaveTarget> SaveTarget::Open(const std::filesystem::path& path) {
    auto opened = cfb::Storage::OpenFile(path, cfb::mode::Open);
    if (opened)
        return SaveTarget(std::move(*opened), path, {});
    if (!Replaceable(opened.code()))
        return opened.error();
    return Beside(path);
}

Result<SaveTarget> SaveTarget::Beside(const std::filesystem::path& path) {
    auto beside = cfb::Files().CreateUnique(cfb::FolderOf(path),
                                            "." + path.filename().string() + ".", ".tmp");
    if (!beside)
        return beside.error();
    auto created = cfb::Storage::CreateFile(*beside, cfb::mode::CreateNew);
    if (!created) {
        (void)cfb::Files().Remove(*beside);
        return created.error();
    }
    return SaveTarget(std::move(*created), path, std::move(*beside));
}

SaveTarget::SaveTarget(SaveTarget&& other) noexcept
    : m_root(std::move(other.m_root)), m_path(std::move(other.m_path)),
      m_beside(std::move(other.m_beside)), m_done(other.m_done) {
    other.m_done = true;
}

SaveTarget::~SaveTarget() {
    if (!m_done)
        Abandon();
}

void SaveTarget::Abandon() {
    m_done = true;
    m_root.Discard();
    m_root = cfb::Storage();
    if (!m_beside.empty())
        (void)cfb::Files().Remove(m_beside);
}

Result<void> SaveTarget::Finish() {
    if (m_done)
        return MakeError(hr::InvalidFunction, "the save target is finished");
    if (auto committed = m_root.Commit(); !committed) {
        Abandon();
        return committed;
    }
    m_root = cfb::Storage();
    m_done = true;
    if (m_beside.empty())
        return {};
    if (auto moved = cfb::Files().Rename(m_beside, m_path); !moved) {
        (void)cfb::Files().Remove(m_beside);
        return moved;
    }
    // The bank is complete at its path now; a folder that cannot be synced leaves only the
    // name's durability in doubt, which the caller hears of.
    return cfb::Files().SyncDirectory(cfb::FolderOf(m_path));
}

} // namespace kelvo
