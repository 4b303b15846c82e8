// The public face of the compound-file engine: storages and streams of a structured-storage
// file ([MS-CFB]), opened and created with the Windows access modes, failing with the status
// codes Windows gives. Handles are RAII: an element is released when its handle goes away,
// and the file is closed (and its lock released) when the last handle of it goes away.
#pragma once

#include "platform/base/ByteStream.h"
#include "platform/base/Result.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::cfb {

// Status codes (the values Windows' structured storage gives for the same condition):
//   hr::FileNotFound       0x80030002  the file, or the named element (of the kind asked
//                                      for), does not exist
//   hr::PathNotFound       0x80030003  a folder on the file's path does not exist
//   hr::AccessDenied       0x80030005  no permission; a write through a read-only handle or
//                                      file; the element (or something in it) is already open
//                                      through another handle; copying or moving a storage
//                                      into itself
//   hr::InsufficientMemory 0x80030008  a memory compound file cannot grow
//   hr::ShareViolation     0x80030020  the file is open already, in this process or another
//                                      (an exclusive advisory flock is held while it is open)
//   hr::LockViolation      0x80030021  the lock could not be taken for another reason
//   hr::FileAlreadyExists  0x80030050  the file is not a compound file (no signature); an
//                                      element of the name exists and creation may not replace
//   hr::MediumFull         0x80030070  the disk is full; a stream beyond 4 GB
//   hr::InvalidHeader      0x800300FB  the signature is right but a header field is not
//   hr::InvalidName        0x800300FC  an element name that is empty, longer than 31 units or
//                                      holds / \ : !
//   hr::DocFileCorrupt     0x80030109  damaged structure: a chain out of range, cyclic or
//                                      shared, a size beyond its chain, a bad directory link
//   hr::InvalidFlag        0x800300FF  an access mode this engine does not support
//   hr::InvalidHandle      0x80030006  a handle that holds nothing (default or moved from)
//   hr::ReadFault / hr::WriteFault     other I/O errors
// A compound file that fails to open is never changed. A write, sync or resize that fails
// (disk full, I/O error, read-only file system) is returned with the file's path and the
// system's reason; the file keeps its last committed state and every handle of it fails from
// then on with that error.

/// Access modes, as the original passes them.
namespace mode {
inline constexpr std::uint32_t Read = 0x00000000;
inline constexpr std::uint32_t ReadWrite = 0x00000002;
inline constexpr std::uint32_t ShareExclusive = 0x00000010;
inline constexpr std::uint32_t Create = 0x00001000;
/// Open read-write, share-exclusive: the mode of every open.
inline constexpr std::uint32_t Open = 0x00000012;
/// Create read-write, share-exclusive, replacing what is there.
inline constexpr std::uint32_t CreateNew = 0x00001012;
/// Open for reading only, share-exclusive.
inline constexpr std::uint32_t OpenRead = 0x00000010;
} // namespace mode

using Clsid = std::array<std::uint8_t, 16>;

enum class ElementType : std::uint8_t { Storage = 1, Stream = 2, Root = 5 };

struct ElementStat {
    std::u16string name; ///< for the root of a file: its path (UTF-16)
    ElementType type = ElementType::Stream;
    std::uint64_t size = 0; ///< streams only
    Clsid clsid{};
    std::uint32_t stateBits = 0;
    std::uint64_t created = 0;  ///< FILETIME
    std::uint64_t modified = 0; ///< FILETIME
};

class Engine; // one open compound file, shared by all handles into it
class Validator;
class StreamSealer;

class Stream;

/// A storage (the root of a file or a child storage).
class Storage {
public:
    Storage() = default;
    Storage(Storage&&) noexcept;
    Storage& operator=(Storage&&) noexcept;
    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;
    ~Storage();

    /// Opens an existing compound file (mode::Open or mode::OpenRead). A file that exists but
    /// is not a compound file gives hr::FileAlreadyExists; a missing one hr::FileNotFound;
    /// a file open elsewhere (this process or another) hr::ShareViolation / hr::LockViolation.
    static Result<Storage> OpenFile(const std::filesystem::path& path,
                                    std::uint32_t accessMode = mode::Open);
    /// Creates a compound file (version 3), replacing whatever is at the path. New files get
    /// `permissions` (e.g. 0600 for banks).
    static Result<Storage>
    CreateFile(const std::filesystem::path& path, std::uint32_t accessMode = mode::CreateNew,
               std::filesystem::perms permissions = std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::owner_write);
    /// Creates a compound file over a growable memory buffer (the lock-bytes case).
    static Result<Storage> CreateInMemory();
    /// Opens a compound file held in memory (for tests and fuzzing); writes change the copy.
    static Result<Storage> OpenMemory(std::string bytes, std::uint32_t accessMode = mode::Open);

    bool valid() const { return m_engine != nullptr; }

    Result<Storage> OpenStorage(std::u16string_view name, std::uint32_t accessMode = mode::Open);
    /// Creates a child storage; with mode::Create in the mode an existing element of the name
    /// is destroyed first, without it an existing name gives hr::FileAlreadyExists.
    Result<Storage> CreateStorage(std::u16string_view name,
                                  std::uint32_t accessMode = mode::CreateNew);
    Result<Stream> OpenStream(std::u16string_view name, std::uint32_t accessMode = mode::Open);
    Result<Stream> CreateStream(std::u16string_view name,
                                std::uint32_t accessMode = mode::CreateNew);

    /// The direct children, in directory order.
    Result<std::vector<ElementStat>> Enumerate() const;
    /// Destroys a child (a storage with everything under it).
    Result<void> DestroyElement(std::u16string_view name);
    /// Renames a child in place.
    Result<void> RenameElement(std::u16string_view oldName, std::u16string_view newName);
    /// Copies (or moves) one child into `dest` under `newName`. With `replace`, an element of
    /// that name in `dest` is replaced; without, it gives hr::FileAlreadyExists.
    Result<void> CopyElementTo(std::u16string_view name, Storage& dest, std::u16string_view newName,
                               bool move = false, bool replace = true);
    /// Copies everything in this storage into `dest`, merging: a stream of the same name is
    /// replaced, a storage of the same name is merged element by element, elements only in
    /// `dest` survive. CLSIDs and state bits come along. Copying into a storage inside this
    /// one gives hr::AccessDenied.
    Result<void> CopyTo(Storage& dest) const;

    Result<void> SetClass(const Clsid& clsid);
    Result<void> SetStateBits(std::uint32_t bits, std::uint32_t mask);
    /// Commits every change made through any handle of the file since the last commit, as
    /// one transaction: after a crash or a failed write the file holds either the state before
    /// it or the state after it, complete. The last handle of a file to go commits too, but
    /// cannot report a failure; operations that must know call Commit.
    Result<void> Commit();
    /// Drops every change since the last commit: the file keeps its committed state, nothing
    /// more is written, and every handle of the file fails from now on (hr::Reverted).
    void Discard();
    /// Ok while the file can be used; else the failed write (or the Discard) that ended it,
    /// for callers whose own layer kept only that something failed.
    Result<void> Status() const;
    Result<ElementStat> Stat() const;

    /// Seals the streams of this file from now on (StreamSealer.h): content written through
    /// any handle is stored sealed, content read is opened first, copies in and out of the
    /// file open and seal on the way. Null stores everything as it is again. Set it on a root
    /// that has no stream open.
    void SetSealer(std::shared_ptr<const StreamSealer> sealer);
    /// The sealer of this file, or null.
    std::shared_ptr<const StreamSealer> Sealer() const;

    /// The bytes of a compound file created or opened in memory.
    Result<std::string> MemoryBytes() const;

private:
    friend class Engine;
    friend class Stream;
    friend class Validator;
    Storage(std::shared_ptr<Engine> engine, std::uint32_t entry, std::uint32_t accessMode);
    Result<void> CheckWritable() const;
    /// Finds and acquires a child element of the given directory type for opening.
    Result<std::uint32_t> OpenChild(std::u16string_view name, std::uint32_t accessMode,
                                    std::uint8_t type);
    /// Creates (or, with mode::Create, replaces) a child element and acquires it.
    Result<std::uint32_t> CreateChild(std::u16string_view name, std::uint32_t accessMode,
                                      std::uint8_t type);
    std::shared_ptr<Engine> m_engine;
    std::uint32_t m_entry = 0;
    std::uint32_t m_mode = mode::Open;
};

/// A stream of a compound file; also a ByteStream for the item-stream primitives.
class Stream final : public ByteStream {
public:
    Stream() = default;
    Stream(Stream&&) noexcept;
    Stream& operator=(Stream&&) noexcept;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    ~Stream() override;

    bool valid() const { return m_engine != nullptr; }

    Result<std::size_t> Read(void* buffer, std::size_t size) override;
    Result<std::size_t> Write(const void* buffer, std::size_t size) override;
    Result<std::uint64_t> Seek(std::int64_t offset, SeekOrigin origin) override;
    Result<std::uint64_t> Size() const override;
    Result<void> SetSize(std::uint64_t size) override;
    Result<ElementStat> Stat() const;

    /// Reads the whole stream from the start.
    Result<std::string> ReadAll();
    /// Replaces the whole content (set size, then write from the start).
    Result<void> WriteAll(std::string_view bytes);

private:
    friend class Engine;
    friend class Storage;
    Stream(std::shared_ptr<Engine> engine, std::uint32_t entry, std::uint32_t accessMode);
    Result<void> CheckWritable() const;
    std::shared_ptr<Engine> m_engine;
    std::uint32_t m_entry = 0;
    std::uint32_t m_mode = mode::Open;
    std::uint64_t m_pos = 0;
};

/// A human-readable name for a status code ("STG_E_FILENOTFOUND" ...), for tools and tests.
const char* StatusName(HResult code);

} // namespace kelvo::cfb
