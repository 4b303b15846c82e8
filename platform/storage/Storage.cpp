// Storage and stream handles: mode checks and element-level exclusivity over the engine.
#include "platform/storage/Storage.h"

#include "platform/storage/Engine.h"
#include "platform/storage/FileSystem.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace kelvo::cfb {

namespace {

constexpr std::uint32_t KnownModeBits = 0x3 | 0x70 | mode::Create;

Result<void> CheckMode(std::uint32_t accessMode) {
    if ((accessMode & ~KnownModeBits) != 0 || (accessMode & 0x3) == 0x3)
        return MakeError(hr::InvalidFlag, "unsupported access mode");
    return {};
}

bool WantsWrite(std::uint32_t accessMode) {
    return (accessMode & 0x3) != 0;
}

// The handle holds an engine that can still be used (no failed write, nothing discarded).
Result<void> Live(const std::shared_ptr<Engine>& engine) {
    if (!engine)
        return MakeError(hr::InvalidHandle, "the handle is not open");
    return engine->Usable();
}

} // namespace

// ---- Storage --------------------------------------------------------------------------

Storage::Storage(std::shared_ptr<Engine> engine, std::uint32_t entry, std::uint32_t accessMode)
    : m_engine(std::move(engine)), m_entry(entry), m_mode(accessMode) {}

Storage::Storage(Storage&& other) noexcept
    : m_engine(std::move(other.m_engine)), m_entry(other.m_entry), m_mode(other.m_mode) {}

Storage& Storage::operator=(Storage&& other) noexcept {
    if (this != &other) {
        if (m_engine)
            m_engine->Release(m_entry);
        m_engine = std::move(other.m_engine);
        m_entry = other.m_entry;
        m_mode = other.m_mode;
    }
    return *this;
}

Storage::~Storage() {
    if (m_engine)
        m_engine->Release(m_entry);
}

Result<void> Storage::CheckWritable() const {
    if (auto live = Live(m_engine); !live)
        return live.error();
    if (!WantsWrite(m_mode) || !m_engine->Writable())
        return MakeError(hr::AccessDenied, "the storage is open for reading only");
    return {};
}

Result<Storage> Storage::OpenFile(const std::filesystem::path& path, std::uint32_t accessMode) {
    if (auto r = CheckMode(accessMode); !r)
        return r.error();
    if (accessMode & mode::Create)
        return MakeError(hr::InvalidFlag, "open does not create; use CreateFile");
    auto file = SectorFile::OpenPath(path, WantsWrite(accessMode), false, {});
    if (!file)
        return file.error();
    auto engine = Engine::Open(std::move(*file), WantsWrite(accessMode));
    if (!engine)
        return engine.error();
    (void)(*engine)->Acquire(0);
    return Storage(std::move(*engine), 0, accessMode);
}

Result<Storage> Storage::CreateFile(const std::filesystem::path& path, std::uint32_t accessMode,
                                    std::filesystem::perms permissions) {
    if (auto r = CheckMode(accessMode); !r)
        return r.error();
    if (!WantsWrite(accessMode))
        return MakeError(hr::InvalidFlag, "creating a file needs write access");
    if (!(accessMode & mode::Create) && Files().Exists(path))
        return MakeError(hr::FileAlreadyExists, "the file exists");
    auto file = SectorFile::OpenPath(path, true, true, permissions);
    if (!file)
        return file.error();
    auto engine = Engine::Create(std::move(*file));
    if (!engine)
        return engine.error();
    (void)(*engine)->Acquire(0);
    return Storage(std::move(*engine), 0, accessMode);
}

Result<Storage> Storage::CreateInMemory() {
    auto engine = Engine::Create(SectorFile::OverMemory({}));
    if (!engine)
        return engine.error();
    (void)(*engine)->Acquire(0);
    return Storage(std::move(*engine), 0, mode::CreateNew);
}

Result<Storage> Storage::OpenMemory(std::string bytes, std::uint32_t accessMode) {
    if (auto r = CheckMode(accessMode); !r)
        return r.error();
    auto engine = Engine::Open(SectorFile::OverMemory(std::move(bytes)), WantsWrite(accessMode));
    if (!engine)
        return engine.error();
    (void)(*engine)->Acquire(0);
    return Storage(std::move(*engine), 0, accessMode);
}

Result<std::uint32_t> Storage::OpenChild(std::u16string_view name, std::uint32_t accessMode,
                                         std::uint8_t type) {
    if (auto live = Live(m_engine); !live)
        return live.error();
    if (auto r = CheckMode(accessMode); !r)
        return r.error();
    if (accessMode & mode::Create)
        return MakeError(hr::InvalidFlag, "open does not create");
    if (WantsWrite(accessMode) && (!WantsWrite(m_mode) || !m_engine->Writable()))
        return MakeError(hr::AccessDenied, "the parent is open for reading only");
    auto entry = m_engine->Find(m_entry, name);
    if (!entry)
        return entry.error();
    if (m_engine->Dir()[*entry].type != type)
        return MakeError(hr::FileNotFound, type == TypeStorage ? "no storage of that name"
                                                               : "no stream of that name");
    if (auto r = m_engine->Acquire(*entry); !r)
        return r.error();
    return *entry;
}

Result<std::uint32_t> Storage::CreateChild(std::u16string_view name, std::uint32_t accessMode,
                                           std::uint8_t type) {
    if (auto r = CheckWritable(); !r)
        return r.error();
    if (auto r = CheckMode(accessMode); !r)
        return r.error();
    if (!Directory::ValidName(name))
        return MakeError(hr::InvalidName, "bad element name");
    if (const std::uint32_t old = m_engine->Dir().Find(m_entry, name); old != NoStream) {
        if (!(accessMode & mode::Create))
            return MakeError(hr::FileAlreadyExists, "the element exists");
        if (auto r = m_engine->DestroyElement(old); !r)
            return r.error();
    }
    auto entry = m_engine->CreateElement(m_entry, name, type);
    if (!entry)
        return entry.error();
    (void)m_engine->Acquire(*entry);
    return *entry;
}

Result<Storage> Storage::OpenStorage(std::u16string_view name, std::uint32_t accessMode) {
    auto entry = OpenChild(name, accessMode, TypeStorage);
    if (!entry)
        return entry.error();
    return Storage(m_engine, *entry, accessMode);
}

Result<Storage> Storage::CreateStorage(std::u16string_view name, std::uint32_t accessMode) {
    auto entry = CreateChild(name, accessMode, TypeStorage);
    if (!entry)
        return entry.error();
    return Storage(m_engine, *entry, accessMode);
}

Result<Stream> Storage::OpenStream(std::u16string_view name, std::uint32_t accessMode) {
    auto entry = OpenChild(name, accessMode, TypeStream);
    if (!entry)
        return entry.error();
    m_engine->BeginContent(*entry, false);
    return Stream(m_engine, *entry, accessMode);
}

Result<Stream> Storage::CreateStream(std::u16string_view name, std::uint32_t accessMode) {
    auto entry = CreateChild(name, accessMode, TypeStream);
    if (!entry)
        return entry.error();
    m_engine->BeginContent(*entry, true);
    return Stream(m_engine, *entry, accessMode);
}

Result<std::vector<ElementStat>> Storage::Enumerate() const {
    if (auto live = Live(m_engine); !live)
        return live.error();
    std::vector<ElementStat> out;
    for (std::uint32_t child : m_engine->Dir().Children(m_entry))
        out.push_back(m_engine->Stat(child));
    return out;
}

Result<void> Storage::DestroyElement(std::u16string_view name) {
    if (auto r = CheckWritable(); !r)
        return r;
    auto entry = m_engine->Find(m_entry, name);
    if (!entry)
        return entry.error();
    return m_engine->DestroyElement(*entry);
}

Result<void> Storage::RenameElement(std::u16string_view oldName, std::u16string_view newName) {
    if (auto r = CheckWritable(); !r)
        return r;
    auto entry = m_engine->Find(m_entry, oldName);
    if (!entry)
        return entry.error();
    // A sealed element's stored form is bound to its path: it is sealed again under the new one.
    if (m_engine->Sealer())
        return CopyElementTo(oldName, *this, newName, true, false);
    return m_engine->RenameElement(*entry, newName);
}

Result<void> Storage::CopyElementTo(std::u16string_view name, Storage& dest,
                                    std::u16string_view newName, bool move, bool replace) {
    if (auto r = move ? CheckWritable() : Result<void>{}; !r)
        return r;
    if (auto live = Live(m_engine); !live)
        return live.error();
    if (auto r = dest.CheckWritable(); !r)
        return r;
    auto entry = m_engine->Find(m_entry, name);
    if (!entry)
        return entry.error();
    if (!Directory::ValidName(newName))
        return MakeError(hr::InvalidName, "bad element name");
    Engine& src = *m_engine;
    Engine& dst = *dest.m_engine;
    const bool same = &src == &dst;
    if (same && src.IsWithin(dest.m_entry, *entry))
        return MakeError(hr::AccessDenied, "cannot copy a storage into itself");
    if (move && src.IsOpenWithin(*entry))
        return MakeError(hr::AccessDenied, "the element is open");
    if (const std::uint32_t old = dst.Dir().Find(dest.m_entry, newName); old != NoStream) {
        if (same && old == *entry)
            return {}; // onto itself
        if (!replace)
            return MakeError(hr::FileAlreadyExists, "an element of that name exists");
        if (same && src.IsWithin(*entry, old))
            return MakeError(hr::AccessDenied, "the copy would destroy its source");
        if (auto r = dst.DestroyElement(old); !r)
            return r;
    }
    if (move && same && !src.Sealer())
        return src.MoveElement(*entry, dest.m_entry, newName);
    if (auto r = Engine::Copy(src, *entry, dst, dest.m_entry, newName, false); !r)
        return r;
    if (move)
        return src.DestroyElement(*entry);
    return {};
}

Result<void> Storage::CopyTo(Storage& dest) const {
    if (auto live = Live(m_engine); !live)
        return live.error();
    if (auto r = dest.CheckWritable(); !r)
        return r;
    if (m_engine == dest.m_engine && m_engine->IsWithin(dest.m_entry, m_entry))
        return MakeError(hr::AccessDenied, "cannot copy a storage into itself");
    return Engine::Copy(*m_engine, m_entry, *dest.m_engine, dest.m_entry, {}, true);
}

Result<void> Storage::SetClass(const Clsid& clsid) {
    if (auto r = CheckWritable(); !r)
        return r;
    m_engine->SetClass(m_entry, clsid);
    return {};
}

Result<void> Storage::SetStateBits(std::uint32_t bits, std::uint32_t mask) {
    if (auto r = CheckWritable(); !r)
        return r;
    m_engine->SetStateBits(m_entry, bits, mask);
    return {};
}

Result<void> Storage::Commit() {
    if (auto live = Live(m_engine); !live)
        return live.error();
    return m_engine->Flush();
}

Result<void> Storage::Status() const {
    return Live(m_engine);
}

void Storage::Discard() {
    if (m_engine)
        m_engine->Discard();
}

void Storage::SetSealer(std::shared_ptr<const StreamSealer> sealer) {
    if (m_engine)
        m_engine->SetSealer(std::move(sealer));
}

std::shared_ptr<const StreamSealer> Storage::Sealer() const {
    return m_engine ? m_engine->Sealer() : nullptr;
}

Result<ElementStat> Storage::Stat() const {
    if (auto live = Live(m_engine); !live)
        return live.error();
    return m_engine->Stat(m_entry);
}

Result<std::string> Storage::MemoryBytes() const {
    if (auto live = Live(m_engine); !live)
        return live.error();
    const std::string* bytes = m_engine->File().MemoryBytes();
    if (!bytes)
        return MakeError(hr::InvalidFunction, "not a memory compound file");
    if (auto r = m_engine->Flush(); !r)
        return r.error();
    return *bytes;
}

// ---- Stream ---------------------------------------------------------------------------

Stream::Stream(std::shared_ptr<Engine> engine, std::uint32_t entry, std::uint32_t accessMode)
    : m_engine(std::move(engine)), m_entry(entry), m_mode(accessMode) {}

Stream::Stream(Stream&& other) noexcept
    : m_engine(std::move(other.m_engine)), m_entry(other.m_entry), m_mode(other.m_mode),
      m_pos(other.m_pos) {}

Stream& Stream::operator=(Stream&& other) noexcept {
    if (this != &other) {
        if (m_engine)
            m_engine->Release(m_entry);
        m_engine = std::move(other.m_engine);
        m_entry = other.m_entry;
        m_mode = other.m_mode;
        m_pos = other.m_pos;
    }
    return *this;
}

Stream::~Stream() {
    if (m_engine)
        m_engine->Release(m_entry);
}

Result<void> Stream::CheckWritable() const {
    if (auto live = Live(m_engine); !live)
        return live.error();
    if (!WantsWrite(m_mode) || !m_engine->Writable())
        return MakeError(hr::AccessDenied, "the stream is open for reading only");
    return {};
}

Result<std::size_t> Stream::Read(void* buffer, std::size_t size) {
    if (auto live = Live(m_engine); !live)
        return live.error();
    if (Engine::Content* held = m_engine->HeldContent(m_entry)) {
        if (auto r = m_engine->LoadContent(m_entry, *held); !r)
            return r.error();
        if (m_pos >= held->bytes.size())
            return std::size_t{0};
        const std::size_t n =
            std::min<std::uint64_t>(size, held->bytes.size() - static_cast<std::size_t>(m_pos));
        std::memcpy(buffer, held->bytes.data() + m_pos, n);
        m_pos += n;
        return n;
    }
    auto n = m_engine->ReadStream(m_entry, m_pos, buffer, size);
    if (n)
        m_pos += *n;
    return n;
}

Result<std::size_t> Stream::Write(const void* buffer, std::size_t size) {
    if (auto r = CheckWritable(); !r)
        return r.error();
    if (Engine::Content* held = m_engine->HeldContent(m_entry)) {
        if (auto r = m_engine->LoadContent(m_entry, *held); !r)
            return r.error();
        if (size == 0)
            return std::size_t{0};
        if (m_pos > std::numeric_limits<std::uint32_t>::max())
            return MakeError(hr::MediumFull, "a stream beyond 4 GB");
        if (held->bytes.size() < m_pos + size)
            held->bytes.resize(static_cast<std::size_t>(m_pos + size));
        std::memcpy(held->bytes.data() + m_pos, buffer, size);
        held->dirty = true;
        m_pos += size;
        return size;
    }
    auto n = m_engine->WriteStream(m_entry, m_pos, buffer, size);
    if (n)
        m_pos += *n;
    return n;
}

Result<std::uint64_t> Stream::Seek(std::int64_t offset, SeekOrigin origin) {
    if (auto live = Live(m_engine); !live)
        return live.error();
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current)
        base = static_cast<std::int64_t>(m_pos);
    else if (origin == SeekOrigin::End)
        base = static_cast<std::int64_t>(m_engine->HeldContent(m_entry)
                                             ? m_engine->ContentSize(m_entry)
                                             : m_engine->Dir()[m_entry].size);
    if ((offset < 0 && base + offset < 0) ||
        (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset))
        return MakeError(hr::InvalidFunction, "seek outside the stream");
    m_pos = static_cast<std::uint64_t>(base + offset);
    return m_pos;
}

Result<std::uint64_t> Stream::Size() const {
    if (auto live = Live(m_engine); !live)
        return live.error();
    if (m_engine->HeldContent(m_entry))
        return m_engine->ContentSize(m_entry);
    return m_engine->Dir()[m_entry].size;
}

Result<void> Stream::SetSize(std::uint64_t size) {
    if (auto r = CheckWritable(); !r)
        return r;
    if (Engine::Content* held = m_engine->HeldContent(m_entry)) {
        if (size == 0) { // a rewrite from scratch needs nothing of the old content
            held->bytes.clear();
            held->loaded = true;
        } else if (auto r = m_engine->LoadContent(m_entry, *held); !r) {
            return r;
        }
        if (size > std::numeric_limits<std::uint32_t>::max())
            return MakeError(hr::MediumFull, "a stream beyond 4 GB");
        held->bytes.resize(static_cast<std::size_t>(size));
        held->dirty = true;
        return {};
    }
    return m_engine->ResizeStream(m_entry, size);
}

Result<ElementStat> Stream::Stat() const {
    if (auto live = Live(m_engine); !live)
        return live.error();
    return m_engine->Stat(m_entry);
}

Result<std::string> Stream::ReadAll() {
    if (auto live = Live(m_engine); !live)
        return live.error();
    if (Engine::Content* held = m_engine->HeldContent(m_entry)) {
        if (auto r = m_engine->LoadContent(m_entry, *held); !r)
            return r.error();
        m_pos = held->bytes.size();
        return held->bytes;
    }
    std::string out(static_cast<std::size_t>(m_engine->Dir()[m_entry].size), '\0');
    auto n = m_engine->ReadStream(m_entry, 0, out.data(), out.size());
    if (!n)
        return n.error();
    m_pos = out.size();
    return out;
}

Result<void> Stream::WriteAll(std::string_view bytes) {
    if (auto r = CheckWritable(); !r)
        return r;
    if (Engine::Content* held = m_engine->HeldContent(m_entry)) {
        held->bytes.assign(bytes);
        held->loaded = true;
        held->dirty = true;
        m_pos = bytes.size();
        return {};
    }
    if (auto r = m_engine->ResizeStream(m_entry, bytes.size(), false); !r)
        return r;
    auto n = m_engine->WriteStream(m_entry, 0, bytes.data(), bytes.size());
    if (!n)
        return n.error();
    m_pos = bytes.size();
    return {};
}

// ---- status names ---------------------------------------------------------------------

const char* StatusName(HResult code) {
    switch (code) {
    case hr::Ok:
        return "S_OK";
    case hr::False:
        return "S_FALSE";
    case hr::Fail:
        return "E_FAIL";
    case hr::InvalidArg:
        return "E_INVALIDARG";
    case hr::Unexpected:
        return "E_UNEXPECTED";
    case hr::InvalidFunction:
        return "STG_E_INVALIDFUNCTION";
    case hr::FileNotFound:
        return "STG_E_FILENOTFOUND";
    case hr::PathNotFound:
        return "STG_E_PATHNOTFOUND";
    case hr::TooManyOpenFiles:
        return "STG_E_TOOMANYOPENFILES";
    case hr::AccessDenied:
        return "STG_E_ACCESSDENIED";
    case hr::InvalidHandle:
        return "STG_E_INVALIDHANDLE";
    case hr::InsufficientMemory:
        return "STG_E_INSUFFICIENTMEMORY";
    case hr::InvalidPointer:
        return "STG_E_INVALIDPOINTER";
    case hr::NoMoreFiles:
        return "STG_E_NOMOREFILES";
    case hr::WriteFault:
        return "STG_E_WRITEFAULT";
    case hr::ReadFault:
        return "STG_E_READFAULT";
    case hr::ShareViolation:
        return "STG_E_SHAREVIOLATION";
    case hr::LockViolation:
        return "STG_E_LOCKVIOLATION";
    case hr::FileAlreadyExists:
        return "STG_E_FILEALREADYEXISTS";
    case hr::InvalidParameter:
        return "STG_E_INVALIDPARAMETER";
    case hr::MediumFull:
        return "STG_E_MEDIUMFULL";
    case hr::InvalidHeader:
        return "STG_E_INVALIDHEADER";
    case hr::InvalidName:
        return "STG_E_INVALIDNAME";
    case hr::Unknown:
        return "STG_E_UNKNOWN";
    case hr::InvalidFlag:
        return "STG_E_INVALIDFLAG";
    case hr::Reverted:
        return "STG_E_REVERTED";
    case hr::CantSave:
        return "STG_E_CANTSAVE";
    case hr::OldFormat:
        return "STG_E_OLDFORMAT";
    case hr::OldDll:
        return "STG_E_OLDDLL";
    case hr::SharedRequired:
        return "STG_E_SHAREREQUIRED";
    case hr::NotFileBasedStorage:
        return "STG_E_NOTFILEBASEDSTORAGE";
    case hr::ExtantMarshallings:
        return "STG_E_EXTANTMARSHALLINGS";
    case hr::DocFileCorrupt:
        return "STG_E_DOCFILECORRUPT";
    default:
        return "unknown status";
    }
}

} // namespace kelvo::cfb
