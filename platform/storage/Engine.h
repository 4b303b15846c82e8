// One open compound file: the file handle, the header, FAT, mini FAT, DIFAT and directory
// in memory with what changed since the last commit, and each stream's cached sector list.
// Sector allocation and committing live here and nowhere else.
//
// Every change since the last commit is one transaction, written copy-on-write: no sector
// that the committed state uses is written before the next commit. Stream data, directory,
// mini FAT, FAT and DIFAT sectors that change go to sectors the committed state leaves free
// (or past its end); a sector of the mini stream is copied before any of its 64-byte mini
// sectors changes, so mini sectors can be reused at once. A commit writes the changed tables,
// syncs the file, writes the 512-byte header (which names the directory, the FAT, the DIFAT
// and the mini FAT) in one write at offset 0 as the commit point, and syncs again. Only then
// do the sectors of the old state become free for later transactions, and free sectors at the
// end of the file are cut off (a failure to cut them costs only space and is retried at the
// next commit). A failed write, sync or resize before that leaves the engine unusable (every
// call fails with that error) and the file in its committed state.
#pragma once

#include "platform/base/Result.h"
#include "platform/storage/Difat.h"
#include "platform/storage/Directory.h"
#include "platform/storage/Fat.h"
#include "platform/storage/Header.h"
#include "platform/storage/MiniFat.h"
#include "platform/storage/SectorFile.h"
#include "platform/storage/Storage.h"
#include "platform/storage/StreamSealer.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kelvo::cfb {

class StreamIo;
class Validator;

class Engine {
public:
    /// Loads a compound file, checking every structure it relies on.
    static Result<std::shared_ptr<Engine>> Open(std::unique_ptr<SectorFile> file, bool writable);
    /// Writes a fresh, empty version-3 compound file over `file`.
    static Result<std::shared_ptr<Engine>> Create(std::unique_ptr<SectorFile> file);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    /// Flushes what is pending; the file (and its lock) goes with the engine.
    ~Engine();

    bool Writable() const { return m_writable && !m_failure; }
    /// The failure that made the engine unusable, if any.
    Result<void> Usable() const {
        if (m_failure)
            return *m_failure;
        return {};
    }
    const Header& FileHeader() const { return m_header; }
    const Directory& Dir() const { return m_dir; }
    const SectorFile& File() const { return *m_file; }

    // Handles: an element is open through at most one handle at a time.
    Result<void> Acquire(std::uint32_t entry);
    void Release(std::uint32_t entry);
    bool IsOpen(std::uint32_t entry) const { return m_open.count(entry) != 0; }
    /// True when `entry` or anything under it is open.
    bool IsOpenWithin(std::uint32_t entry) const;
    /// True when `inner` is `outer` or lies below it.
    bool IsWithin(std::uint32_t inner, std::uint32_t outer) const;

    // Elements.
    Result<std::uint32_t> Find(std::uint32_t storage, std::u16string_view name) const;
    /// Creates a child of `storage` (which must not have one of that name).
    Result<std::uint32_t> CreateElement(std::uint32_t storage, std::u16string_view name,
                                        std::uint8_t type);
    /// Destroys a child and everything under it, freeing its sectors.
    Result<void> DestroyElement(std::uint32_t entry);
    Result<void> RenameElement(std::uint32_t entry, std::u16string_view newName);
    /// Moves an element under another storage of this file, without copying its data.
    Result<void> MoveElement(std::uint32_t entry, std::uint32_t dstStorage,
                             std::u16string_view newName);
    void SetClass(std::uint32_t entry, const Clsid& clsid);
    void SetStateBits(std::uint32_t entry, std::uint32_t bits, std::uint32_t mask);
    ElementStat Stat(std::uint32_t entry) const;

    // Streams (StreamIo does the work).
    Result<std::size_t> ReadStream(std::uint32_t entry, std::uint64_t pos, void* buffer,
                                   std::size_t size);
    Result<std::size_t> WriteStream(std::uint32_t entry, std::uint64_t pos, const void* buffer,
                                    std::size_t size);
    /// Sets a stream's size; with `zeroFill` new bytes read as zero (a copy that writes them
    /// all at once does without).
    Result<void> ResizeStream(std::uint32_t entry, std::uint64_t size, bool zeroFill = true);

    /// Commits the transaction: the changed structures, a sync, the header, a sync.
    Result<void> Flush();
    /// Drops every change since the last commit: nothing more is written, and every later
    /// call fails with hr::Reverted. The file keeps its committed state.
    void Discard();

    /// Copies element `srcEntry` of `src` into storage `dstStorage` of `dst` as `name`. A
    /// stream replaces an element of that name; a storage merges into a storage of that name.
    /// With `contentsOnly`, the children of storage `srcEntry` are merged into `dstStorage`
    /// itself (and its CLSID and state bits taken over).
    static Result<void> Copy(Engine& src, std::uint32_t srcEntry, Engine& dst,
                             std::uint32_t dstStorage, std::u16string_view name, bool contentsOnly);

    /// Current FILETIME.
    static std::uint64_t Now();

    // Sealing (StreamSealer.h). With a sealer, every stream it seals is held in memory as
    // its content while a handle has it open, opened on first use and sealed again when the
    // handle goes or the file commits; copies open and seal on the way.
    void SetSealer(std::shared_ptr<const StreamSealer> sealer) { m_sealer = std::move(sealer); }
    const std::shared_ptr<const StreamSealer>& Sealer() const { return m_sealer; }
    /// The element names from the root down to `entry`, "/" between them.
    std::u16string PathOf(std::uint32_t entry) const;
    /// A stream handle starts on `entry`: when the sealer seals it, its content is held from
    /// now on (`created`: it is new and empty, and is sealed even if nothing is written).
    void BeginContent(std::uint32_t entry, bool created);
    /// The held content of an open sealed stream, or null for a stream stored as it is.
    struct Content {
        std::string bytes;
        bool loaded = false;
        bool dirty = false;
    };
    Content* HeldContent(std::uint32_t entry) {
        auto it = m_content.find(entry);
        return it == m_content.end() ? nullptr : &it->second;
    }
    /// Opens the stored form into `content` unless that was done.
    Result<void> LoadContent(std::uint32_t entry, Content& content);
    /// The content size of a sealed stream (held or stored).
    std::uint64_t ContentSize(std::uint32_t entry) const;

private:
    friend class StreamIo;
    friend class Validator;
    explicit Engine(std::unique_ptr<SectorFile> file) : m_file(std::move(file)) {}

    Result<void> Load();
    /// Makes the engine unusable with `error` and returns it.
    Error Fail(Error error);
    /// Writes file bytes; a failure makes the engine unusable.
    Result<void> WriteBytes(std::uint64_t offset, const void* buffer, std::size_t size);
    /// The writes of a commit up to the commit point, and the commit point itself.
    Result<void> WriteTransaction();
    /// Moves sector `chain[k]` to a sector the committed state does not use (copying its
    /// bytes when `copy`), keeping the FAT links of the chain; the start of the chain is the
    /// caller's to update.
    Result<void> Relocate(std::vector<std::uint32_t>& chain, std::size_t k, bool copy);
    Result<void> ReadSector(std::uint32_t sector, std::uint8_t* out) const;
    /// The bytes of the sectors of a chain, adjacent sectors read together.
    Result<std::vector<std::uint8_t>> ReadSectors(const std::vector<std::uint32_t>& chain) const;
    bool IsMini(std::uint32_t entry) const;

    // Allocation: the one place that hands out and takes back sectors and entries.
    Result<std::uint32_t> AllocateSector(std::uint32_t hint);
    Result<void> GrowFat();
    Result<void> ExtendChain(std::vector<std::uint32_t>& chain, std::size_t count);
    void TruncateChain(std::vector<std::uint32_t>& chain, std::size_t count);
    Result<std::uint32_t> AllocateMiniSector(std::uint32_t hint);
    Result<void> ExtendMiniChain(std::vector<std::uint32_t>& chain, std::size_t count);
    void TruncateMiniChain(std::vector<std::uint32_t>& chain, std::size_t count);
    Result<std::uint32_t> AllocateEntry();
    /// Keeps a stream's start sector in its entry in step with its chain.
    void SyncStart(std::uint32_t entry);
    /// Seals a changed held content into its stream.
    Result<void> StoreContent(std::uint32_t entry, Content& content);
    /// Seals every changed held content.
    Result<void> StoreContents();
    /// The whole content of stream `entry`: held, opened from its sealed form, or as stored.
    Result<std::string> ReadContent(std::uint32_t entry);

    std::unique_ptr<SectorFile> m_file;
    bool m_writable = false;
    std::optional<Error> m_failure;
    bool m_headerDirty = false;
    Header m_header;
    Fat m_fat;
    MiniFat m_miniFat;
    Difat m_difat;
    Directory m_dir;
    std::vector<std::uint32_t> m_dirChain;
    std::vector<std::uint32_t> m_miniFatChain;
    /// Per directory entry: its stream's sectors (mini sectors for small streams; for the
    /// root, the regular sectors of the mini stream).
    std::vector<std::vector<std::uint32_t>> m_chains;
    std::unordered_map<std::uint32_t, std::uint32_t> m_open;
    std::shared_ptr<const StreamSealer> m_sealer;
    /// Open sealed streams by entry.
    std::unordered_map<std::uint32_t, Content> m_content;
    /// Damage put right in memory while loading (for the validator to report).
    std::vector<std::string> m_repairs;
};

} // namespace kelvo::cfb
