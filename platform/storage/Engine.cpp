// One open compound file: loading with every structure checked, allocation, flushing,
// element creation, destruction and copying.
#include "platform/storage/Engine.h"

#include "platform/storage/Chain.h"
#include "platform/storage/StreamIo.h"

#include <algorithm>
#include <chrono>

namespace kelvo::cfb {

namespace {
Error Corrupt(const std::string& what) {
    return MakeError(hr::DocFileCorrupt, what);
}
} // namespace

std::uint64_t Engine::Now() {
    using namespace std::chrono;
    const auto ticks =
        duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
    return static_cast<std::uint64_t>(ticks) + 116444736000000000ull;
}

Result<std::shared_ptr<Engine>> Engine::Open(std::unique_ptr<SectorFile> file, bool writable) {
    std::shared_ptr<Engine> engine(new Engine(std::move(file)));
    engine->m_writable = writable;
    if (auto r = engine->Load(); !r) {
        engine->m_writable = false; // nothing to flush from a file that failed to load
        return r.error();
    }
    return engine;
}

Result<void> Engine::ReadSector(std::uint32_t sector, std::uint8_t* out) const {
    return m_file->ReadAt(m_header.SectorOffset(sector), out, m_header.SectorSize());
}

Result<std::vector<std::uint8_t>>
Engine::ReadSectors(const std::vector<std::uint32_t>& chain) const {
    const std::uint32_t ss = m_header.SectorSize();
    std::vector<std::uint8_t> out(chain.size() * std::size_t{ss});
    for (std::size_t i = 0; i < chain.size();) {
        const std::size_t run = Chain::RunLength(chain, i, chain.size());
        if (auto r = m_file->ReadAt(m_header.SectorOffset(chain[i]), out.data() + i * ss, run * ss);
            !r)
            return r.error();
        i += run;
    }
    return out;
}

Result<void> Engine::Load() {
    const std::uint64_t fileSize = m_file->Size();
    if (fileSize < sizeof Signature)
        return MakeError(hr::FileAlreadyExists, "not a compound file (too short)");
    std::uint8_t headerBytes[HeaderSize];
    if (auto r = m_file->ReadAt(0, headerBytes, HeaderSize); !r)
        return r;
    auto header = Header::Parse(headerBytes, fileSize);
    if (!header)
        return header.error();
    m_header = *header;
    const std::uint32_t ss = m_header.SectorSize();
    const std::uint32_t eps = m_header.EntriesPerSector();
    const std::uint64_t physical = std::min<std::uint64_t>(
        fileSize > ss ? (fileSize - ss + ss - 1) / ss : 0, MaxRegSect + 1ull);
    SectorClaims claims(static_cast<std::uint32_t>(physical));

    auto reader = [this](std::uint32_t s, std::uint8_t* out) { return ReadSector(s, out); };
    if (auto r = m_difat.Load(m_header, claims, reader); !r)
        return r;

    // The FAT: its size follows the FAT sector count, which is bounded by the file size.
    std::vector<std::uint32_t> fat;
    {
        auto bytes = ReadSectors(m_difat.FatSectors());
        if (!bytes)
            return bytes.error();
        fat.resize(bytes->size() / 4);
        for (std::size_t i = 0; i < fat.size(); ++i)
            fat[i] = Get32(bytes->data() + 4 * i);
    }
    // The FAT must describe its own sectors and the DIFAT's, or they would be handed out
    // as free and overwritten. Marks a writer left out are put right in memory.
    // Entries past the end of the file cannot describe data; they are taken as free so that
    // the file does not grow to cover them. Both repairs are reported by the validator.
    for (std::uint32_t s : m_difat.FatSectors()) {
        if (s >= fat.size())
            return Corrupt("FAT sector " + std::to_string(s) + " is not covered by the FAT");
        if (fat[s] != FatSect)
            m_repairs.push_back("FAT sector " + std::to_string(s) + " is not marked FATSECT");
        fat[s] = FatSect;
    }
    for (std::uint32_t s : m_difat.DifatSectors()) {
        if (s >= fat.size())
            return Corrupt("DIFAT sector " + std::to_string(s) + " is not covered by the FAT");
        if (fat[s] != DifSect)
            m_repairs.push_back("DIFAT sector " + std::to_string(s) + " is not marked DIFSECT");
        fat[s] = DifSect;
    }
    std::uint64_t pastEnd = 0;
    for (std::uint64_t i = physical; i < fat.size(); ++i) {
        if (fat[i] != FreeSect) {
            fat[i] = FreeSect;
            ++pastEnd;
        }
    }
    if (pastEnd)
        m_repairs.push_back(std::to_string(pastEnd) +
                            " FAT entries past the end of the file are not free");
    m_fat = Fat(eps);
    m_fat.Load(std::move(fat));
    m_fat.KeepCommitted();

    auto dirChain = Chain::Walk(m_fat, m_header.m_firstDirSector, claims, "directory");
    if (!dirChain)
        return dirChain.error();
    m_dirChain = std::move(*dirChain);
    if (m_dirChain.empty())
        return Corrupt("the directory is empty");
    {
        auto dirBytes = ReadSectors(m_dirChain);
        if (!dirBytes)
            return dirBytes.error();
        m_dir.Parse(dirBytes->data(), dirBytes->size(), m_header.m_majorVersion == 3);
    }

    const std::uint32_t firstMini =
        m_header.m_firstMiniFatSector == FreeSect ? EndOfChain : m_header.m_firstMiniFatSector;
    auto miniChain = Chain::Walk(m_fat, firstMini, claims, "mini FAT");
    if (!miniChain)
        return miniChain.error();
    m_miniFatChain = std::move(*miniChain);
    {
        auto bytes = ReadSectors(m_miniFatChain);
        if (!bytes)
            return bytes.error();
        std::vector<std::uint32_t> mini(bytes->size() / 4);
        for (std::size_t i = 0; i < mini.size(); ++i)
            mini[i] = Get32(bytes->data() + 4 * i);
        m_miniFat = MiniFat(eps);
        m_miniFat.Load(std::move(mini));
    }

    if (auto r = m_dir.Link(); !r)
        return r;
    m_chains.assign(m_dir.Count(), {});

    // The mini stream is the root entry's chain; its size bounds every mini sector.
    const DirEntry& root = m_dir[Directory::Root];
    const std::uint64_t rootSize = root.size & 0xFFFFFFFFull;
    if (rootSize > 0 || (root.start != EndOfChain && root.start != FreeSect)) {
        auto rootChain = Chain::Walk(m_fat, root.start == FreeSect ? EndOfChain : root.start,
                                     claims, "mini stream");
        if (!rootChain)
            return rootChain.error();
        m_chains[Directory::Root] = std::move(*rootChain);
    }
    if (rootSize > std::uint64_t{m_chains[Directory::Root].size()} * ss)
        return Corrupt("the mini stream is longer than its chain");
    const std::uint64_t miniCapacity = rootSize / MiniSectorSize;
    SectorClaims miniClaims(
        static_cast<std::uint32_t>(std::min<std::uint64_t>(miniCapacity, m_miniFat.Size())));

    for (std::uint32_t i = 1; i < m_dir.Count(); ++i) {
        const DirEntry& e = m_dir[i];
        if (e.type != TypeStream || e.owner == NoStream || e.size == 0)
            continue;
        if (e.size > fileSize)
            return Corrupt("stream " + std::to_string(i) + " is larger than the file");
        const bool mini = e.size < MiniStreamCutoff;
        auto chain = mini ? Chain::Walk(m_miniFat, e.start, miniClaims, "mini stream chain")
                          : Chain::Walk(m_fat, e.start, claims, "stream chain");
        if (!chain)
            return chain.error();
        const std::uint64_t capacity = std::uint64_t{chain->size()} * (mini ? MiniSectorSize : ss);
        if (capacity < e.size)
            return Corrupt("stream " + std::to_string(i) + " is longer than its chain");
        m_chains[i] = std::move(*chain);
    }
    return {};
}

Result<std::shared_ptr<Engine>> Engine::Create(std::unique_ptr<SectorFile> file) {
    std::shared_ptr<Engine> engine(new Engine(std::move(file)));
    Engine& e = *engine;
    e.m_writable = true;
    e.m_header = Header::NewVersion3();
    const std::uint32_t eps = e.m_header.EntriesPerSector();
    e.m_fat = Fat(eps);
    e.m_miniFat = MiniFat(eps);
    e.m_difat.Reset(eps);
    e.m_fat.AddTableSector();
    e.m_fat.MarkFatSector(0);
    e.m_difat.AddFatSector(0);
    e.m_fat.Set(1, EndOfChain);
    e.m_dirChain = {1};
    e.m_dir.AddEntries(e.m_header.SectorSize() / DirEntrySize);
    DirEntry& root = e.m_dir.Edit(Directory::Root);
    root.name = u"Root Entry";
    root.type = TypeRoot;
    root.color = Black;
    e.m_chains.assign(e.m_dir.Count(), {});
    e.m_headerDirty = true;
    if (auto r = e.Flush(); !r)
        return r.error(); // the engine is unusable now, and goes without writing more
    return engine;
}

Engine::~Engine() {
    if (!m_failure)
        (void)Flush(); // a destructor cannot report; Commit is where failures are seen
}

Error Engine::Fail(Error error) {
    if (!m_failure)
        m_failure = error;
    return error;
}

void Engine::Discard() {
    if (m_writable && !m_failure)
        m_failure = MakeError(hr::Reverted, "the changes to the file were discarded");
}

Result<void> Engine::WriteBytes(std::uint64_t offset, const void* buffer, std::size_t size) {
    if (m_failure)
        return *m_failure;
    if (auto r = m_file->WriteAt(offset, buffer, size); !r)
        return Fail(r.error());
    return {};
}

// ---- handles --------------------------------------------------------------------------

Result<void> Engine::Acquire(std::uint32_t entry) {
    if (entry != Directory::Root && m_open.count(entry) != 0)
        return MakeError(hr::AccessDenied, "the element is already open");
    ++m_open[entry];
    return {};
}

void Engine::Release(std::uint32_t entry) {
    auto it = m_open.find(entry);
    if (it != m_open.end() && --it->second == 0) {
        m_open.erase(it);
        if (auto held = m_content.find(entry); held != m_content.end()) {
            // A handle cannot report a failure; the engine keeps it for the next call.
            if (!m_failure && m_writable) {
                if (auto stored = StoreContent(entry, held->second); !stored)
                    Fail(stored.error());
            }
            m_content.erase(held);
        }
    }
}

// ---- sealing --------------------------------------------------------------------------

std::u16string Engine::PathOf(std::uint32_t entry) const {
    std::vector<const std::u16string*> names;
    std::uint32_t x = entry;
    for (std::uint32_t steps = 0; x != Directory::Root && x != NoStream && steps <= m_dir.Count();
         ++steps) {
        names.push_back(&m_dir[x].name);
        x = m_dir[x].owner;
    }
    std::u16string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (!path.empty())
            path += u'/';
        path += **it;
    }
    return path;
}

void Engine::BeginContent(std::uint32_t entry, bool created) {
    if (!m_sealer || !m_sealer->Seals(PathOf(entry)))
        return;
    Content& content = m_content[entry];
    content = Content{};
    if (created) {
        content.loaded = true;
        content.dirty = m_writable;
    }
}

Result<void> Engine::LoadContent(std::uint32_t entry, Content& content) {
    if (content.loaded)
        return {};
    std::string stored(static_cast<std::size_t>(m_dir[entry].size), '\0');
    auto got = ReadStream(entry, 0, stored.data(), stored.size());
    if (!got)
        return got.error();
    auto opened = m_sealer->Open(PathOf(entry), stored);
    if (!opened)
        return opened.error(); // a damaged stream: the file itself stays usable
    content.bytes = std::move(*opened);
    content.loaded = true;
    return {};
}

std::uint64_t Engine::ContentSize(std::uint32_t entry) const {
    if (auto it = m_content.find(entry); it != m_content.end() && it->second.loaded)
        return it->second.bytes.size();
    return m_sealer ? m_sealer->ContentSize(m_dir[entry].size) : m_dir[entry].size;
}

Result<void> Engine::StoreContent(std::uint32_t entry, Content& content) {
    if (!content.dirty)
        return {};
    auto sealed = m_sealer->Seal(PathOf(entry), content.bytes);
    if (!sealed)
        return sealed.error();
    if (auto r = ResizeStream(entry, sealed->size(), false); !r)
        return r;
    if (auto put = WriteStream(entry, 0, sealed->data(), sealed->size()); !put)
        return put.error();
    content.dirty = false;
    return {};
}

Result<void> Engine::StoreContents() {
    for (auto& [entry, content] : m_content) {
        if (auto r = StoreContent(entry, content); !r)
            return r;
    }
    return {};
}

Result<std::string> Engine::ReadContent(std::uint32_t entry) {
    if (Content* held = HeldContent(entry)) {
        if (auto r = LoadContent(entry, *held); !r)
            return r.error();
        return held->bytes;
    }
    std::string stored(static_cast<std::size_t>(m_dir[entry].size), '\0');
    auto got = ReadStream(entry, 0, stored.data(), stored.size());
    if (!got)
        return got.error();
    if (m_sealer && m_sealer->Seals(PathOf(entry)))
        return m_sealer->Open(PathOf(entry), stored);
    return stored;
}

bool Engine::IsWithin(std::uint32_t inner, std::uint32_t outer) const {
    std::uint32_t x = inner;
    for (std::uint32_t steps = 0; x != NoStream && steps <= m_dir.Count(); ++steps) {
        if (x == outer)
            return true;
        x = m_dir[x].owner;
    }
    return false;
}

bool Engine::IsOpenWithin(std::uint32_t entry) const {
    for (const auto& [open, count] : m_open) {
        if (IsWithin(open, entry))
            return true;
    }
    return false;
}

// ---- allocation -----------------------------------------------------------------------

Result<void> Engine::GrowFat() {
    const std::uint32_t first = m_fat.Size();
    if (std::uint64_t{first} + m_fat.EntriesPerSector() > MaxRegSect)
        return MakeError(hr::MediumFull, "the compound file has reached its largest size");
    m_fat.AddTableSector();
    m_fat.MarkFatSector(first);
    m_difat.AddFatSector(first);
    if (m_difat.DifatSectorsNeeded(m_difat.FatSectors().size()) > m_difat.DifatSectors().size()) {
        const std::uint32_t d = m_fat.FindFree(first + 1);
        m_fat.MarkDifatSector(d);
        m_difat.AddDifatSector(d);
    }
    m_headerDirty = true;
    return {};
}

Result<std::uint32_t> Engine::AllocateSector(std::uint32_t hint) {
    std::uint32_t s = m_fat.FindFree(hint);
    if (s == FreeSect) {
        if (auto r = GrowFat(); !r)
            return r.error();
        s = m_fat.FindFree(hint);
        if (s == FreeSect)
            return MakeError(hr::MediumFull, "no free sector");
    }
    m_fat.Set(s, EndOfChain);
    return s;
}

Result<void> Engine::ExtendChain(std::vector<std::uint32_t>& chain, std::size_t count) {
    chain.reserve(count);
    while (chain.size() < count) {
        const std::uint32_t hint = chain.empty() ? FreeSect : chain.back() + 1;
        auto s = AllocateSector(hint);
        if (!s)
            return s.error();
        if (!chain.empty())
            m_fat.Set(chain.back(), *s);
        chain.push_back(*s);
    }
    return {};
}

void Engine::TruncateChain(std::vector<std::uint32_t>& chain, std::size_t count) {
    for (std::size_t i = count; i < chain.size(); ++i)
        m_fat.Set(chain[i], FreeSect);
    chain.resize(std::min(count, chain.size()));
    if (!chain.empty())
        m_fat.Set(chain.back(), EndOfChain);
}

Result<std::uint32_t> Engine::AllocateMiniSector(std::uint32_t hint) {
    std::uint32_t m = m_miniFat.FindFree(hint);
    if (m == FreeSect) {
        auto s = AllocateSector(m_miniFatChain.empty() ? FreeSect : m_miniFatChain.back() + 1);
        if (!s)
            return s.error();
        if (!m_miniFatChain.empty())
            m_fat.Set(m_miniFatChain.back(), *s);
        m_miniFatChain.push_back(*s);
        m_miniFat.AddTableSector();
        m_headerDirty = true;
        m = m_miniFat.FindFree(hint);
    }
    // The mini stream grows to hold the new mini sector.
    const std::uint64_t needed = (std::uint64_t{m} + 1) * MiniSectorSize;
    if (needed > m_dir[Directory::Root].size) {
        const std::uint32_t ss = m_header.SectorSize();
        auto& rootChain = m_chains[Directory::Root];
        if (auto r = ExtendChain(rootChain, (needed + ss - 1) / ss); !r)
            return r.error();
        m_dir.Edit(Directory::Root).size = needed;
        SyncStart(Directory::Root);
    }
    m_miniFat.Set(m, EndOfChain);
    return m;
}

Result<void> Engine::ExtendMiniChain(std::vector<std::uint32_t>& chain, std::size_t count) {
    chain.reserve(count);
    while (chain.size() < count) {
        const std::uint32_t hint = chain.empty() ? FreeSect : chain.back() + 1;
        auto m = AllocateMiniSector(hint);
        if (!m)
            return m.error();
        if (!chain.empty())
            m_miniFat.Set(chain.back(), *m);
        chain.push_back(*m);
    }
    return {};
}

void Engine::TruncateMiniChain(std::vector<std::uint32_t>& chain, std::size_t count) {
    for (std::size_t i = count; i < chain.size(); ++i)
        m_miniFat.Set(chain[i], FreeSect);
    chain.resize(std::min(count, chain.size()));
    if (!chain.empty())
        m_miniFat.Set(chain.back(), EndOfChain);
}

Result<std::uint32_t> Engine::AllocateEntry() {
    std::uint32_t i = m_dir.FindUnused();
    if (i != NoStream)
        return i;
    auto s = AllocateSector(m_dirChain.back() + 1);
    if (!s)
        return s.error();
    m_fat.Set(m_dirChain.back(), *s);
    m_dirChain.push_back(*s);
    m_dir.AddEntries(m_header.SectorSize() / DirEntrySize);
    m_chains.resize(m_dir.Count());
    m_headerDirty = true;
    return m_dir.FindUnused();
}

void Engine::SyncStart(std::uint32_t entry) {
    const auto& chain = m_chains[entry];
    const std::uint32_t start = chain.empty() ? EndOfChain : chain.front();
    if (m_dir[entry].start != start)
        m_dir.Edit(entry).start = start;
}

bool Engine::IsMini(std::uint32_t entry) const {
    return m_dir[entry].type == TypeStream && m_dir[entry].size < MiniStreamCutoff;
}

// ---- relocation and committing -------------------------------------------------------

Result<void> Engine::Relocate(std::vector<std::uint32_t>& chain, std::size_t k, bool copy) {
    const std::uint32_t old = chain[k];
    auto s = AllocateSector(k > 0 ? chain[k - 1] + 1 : FreeSect);
    if (!s)
        return s.error();
    if (copy) {
        const std::uint32_t ss = m_header.SectorSize();
        std::vector<std::uint8_t> bytes(ss);
        if (auto r = ReadSector(old, bytes.data()); !r)
            return Fail(r.error());
        if (auto r = WriteBytes(m_header.SectorOffset(*s), bytes.data(), ss); !r)
            return r;
    }
    m_fat.Set(*s, m_fat.Next(old));
    if (k > 0)
        m_fat.Set(chain[k - 1], *s);
    m_fat.Set(old, FreeSect); // free in the new state only: the committed one still uses it
    chain[k] = *s;
    return {};
}

Result<void> Engine::Flush() {
    if (m_failure)
        return *m_failure;
    if (!m_writable || !m_file)
        return {};
    if (auto r = StoreContents(); !r)
        return Fail(r.error());
    const bool changed = m_headerDirty || !m_dir.DirtyEntries().empty() || m_fat.AnyDirty() ||
                         m_miniFat.AnyDirty() || m_difat.IsDirty();
    if (!changed)
        return {};
    if (auto r = WriteTransaction(); !r)
        return Fail(r.error());
    // Committed: the sectors of the old state are free from now on.
    m_fat.KeepCommitted();
    m_dir.ClearDirty();
    m_fat.ClearDirty();
    m_miniFat.ClearDirty();
    m_difat.ClearDirty();
    m_headerDirty = false;
    // Free sectors at the end of the file go. The committed state does not reach them, so a
    // failure here costs only space, and the next commit tries again: the transaction itself
    // has succeeded and is not reported as failed (callers would undo what is on disk).
    const std::uint64_t end = m_header.SectorOffset(m_fat.UsedEnd());
    if (m_file->Size() > end)
        (void)m_file->Resize(end);
    return {};
}

Result<void> Engine::WriteTransaction() {
    const std::uint32_t ss = m_header.SectorSize();
    const std::uint32_t eps = m_header.EntriesPerSector();
    const std::uint32_t perSector = ss / DirEntrySize;

    // Everything that changed moves off the sectors of the committed state first; moving a
    // table sector changes the FAT, so the FAT and the DIFAT are moved until nothing that is
    // still to be written lies on a committed sector.
    std::vector<std::uint32_t> dirSectors;
    for (std::uint32_t i : m_dir.DirtyEntries())
        dirSectors.push_back(i / perSector);
    std::sort(dirSectors.begin(), dirSectors.end());
    dirSectors.erase(std::unique(dirSectors.begin(), dirSectors.end()), dirSectors.end());
    for (std::uint32_t j : dirSectors) {
        if (m_fat.Committed(m_dirChain[j])) {
            if (auto r = Relocate(m_dirChain, j, false); !r)
                return r;
        }
    }
    for (std::uint32_t k = 0; k < m_miniFat.TableSectors(); ++k) {
        if (m_miniFat.IsDirty(k) && m_fat.Committed(m_miniFatChain[k])) {
            if (auto r = Relocate(m_miniFatChain, k, false); !r)
                return r;
        }
    }
    std::uint32_t hint = FreeSect;
    auto moveTableSector = [&](std::uint32_t old, std::uint32_t mark) -> Result<std::uint32_t> {
        auto s = AllocateSector(hint);
        if (!s)
            return s.error();
        m_fat.Set(*s, mark);
        m_fat.Set(old, FreeSect);
        hint = *s + 1;
        return *s;
    };
    for (bool moved = true; moved;) {
        moved = false;
        for (std::uint32_t k = 0; k < m_difat.FatSectors().size(); ++k) {
            const std::uint32_t old = m_difat.FatSectors()[k];
            if (!m_fat.IsDirty(k) || !m_fat.Committed(old))
                continue;
            auto s = moveTableSector(old, FatSect);
            if (!s)
                return s.error();
            m_difat.MoveFatSector(k, *s);
            moved = true;
        }
        if (!m_difat.IsDirty())
            continue;
        for (std::uint32_t j = 0; j < m_difat.DifatSectors().size(); ++j) {
            const std::uint32_t old = m_difat.DifatSectors()[j];
            if (!m_fat.Committed(old))
                continue;
            auto s = moveTableSector(old, DifSect);
            if (!s)
                return s.error();
            m_difat.MoveDifatSector(j, *s);
            moved = true;
        }
    }

    // The new sectors, adjacent ones in one write.
    std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> out;
    for (std::uint32_t j : dirSectors) {
        std::vector<std::uint8_t> bytes(ss);
        for (std::uint32_t i = 0; i < perSector; ++i)
            m_dir.SerializeEntry(j * perSector + i, bytes.data() + i * DirEntrySize);
        out.emplace_back(m_dirChain[j], std::move(bytes));
    }
    auto tableSector = [&](const AllocationTable& table, std::uint32_t k) {
        std::vector<std::uint8_t> bytes(ss);
        for (std::uint32_t i = 0; i < eps; ++i)
            Put32(bytes.data() + 4 * i, table.Next(k * eps + i));
        return bytes;
    };
    for (std::uint32_t k = 0; k < m_miniFat.TableSectors(); ++k) {
        if (m_miniFat.IsDirty(k))
            out.emplace_back(m_miniFatChain[k], tableSector(m_miniFat, k));
    }
    if (m_difat.IsDirty()) {
        for (std::uint32_t j = 0; j < m_difat.DifatSectors().size(); ++j)
            out.emplace_back(m_difat.DifatSectors()[j], m_difat.SerializeDifatSector(j));
    }
    for (std::uint32_t k = 0; k < m_fat.TableSectors(); ++k) {
        if (m_fat.IsDirty(k))
            out.emplace_back(m_difat.FatSectors()[k], tableSector(m_fat, k));
    }
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::uint8_t> run;
    for (std::size_t i = 0; i < out.size();) {
        std::size_t n = 1;
        while (i + n < out.size() && out[i + n].first == out[i].first + n)
            ++n;
        run.resize(n * std::size_t{ss});
        for (std::size_t m = 0; m < n; ++m)
            std::copy(out[i + m].second.begin(), out[i + m].second.end(), run.begin() + m * ss);
        if (auto r = WriteBytes(m_header.SectorOffset(out[i].first), run.data(), run.size()); !r)
            return r;
        i += n;
    }
    // Whole sectors: the file reaches the end of the last sector in use.
    const std::uint64_t needed = m_header.SectorOffset(m_fat.UsedEnd());
    if (m_file->Size() < needed) {
        if (auto r = m_file->Resize(needed); !r)
            return r;
    }
    if (auto r = m_file->Sync(); !r)
        return r;

    // The commit point.
    m_header.m_firstDirSector = m_dirChain.front();
    m_header.m_numDirSectors =
        m_header.m_majorVersion == 3 ? 0 : static_cast<std::uint32_t>(m_dirChain.size());
    m_header.m_firstMiniFatSector = m_miniFatChain.empty() ? EndOfChain : m_miniFatChain.front();
    m_header.m_numMiniFatSectors = static_cast<std::uint32_t>(m_miniFatChain.size());
    m_difat.StoreInHeader(m_header);
    const auto headerBytes = m_header.Serialize();
    if (auto r = m_file->WriteAt(0, headerBytes.data(), headerBytes.size()); !r)
        return r;
    return m_file->Sync();
}

// ---- elements -------------------------------------------------------------------------

Result<std::uint32_t> Engine::Find(std::uint32_t storage, std::u16string_view name) const {
    if (name.empty() || name.size() > MaxNameUnits)
        return MakeError(hr::InvalidName, "bad element name");
    const std::uint32_t x = m_dir.Find(storage, name);
    if (x == NoStream)
        return MakeError(hr::FileNotFound, "no such element");
    return x;
}

Result<std::uint32_t> Engine::CreateElement(std::uint32_t storage, std::u16string_view name,
                                            std::uint8_t type) {
    if (!Directory::ValidName(name))
        return MakeError(hr::InvalidName, "bad element name");
    if (m_dir.Find(storage, name) != NoStream)
        return MakeError(hr::FileAlreadyExists, "the element exists");
    auto entry = AllocateEntry();
    if (!entry)
        return entry.error();
    DirEntry& e = m_dir.Edit(*entry);
    e = DirEntry{};
    e.name.assign(name);
    e.type = type;
    if (type == TypeStorage)
        e.created = e.modified = Now();
    m_chains[*entry].clear();
    m_dir.Insert(storage, *entry);
    return entry;
}

Result<void> Engine::DestroyElement(std::uint32_t entry) {
    if (entry == Directory::Root || !m_dir[entry].InUse())
        return MakeError(hr::InvalidParameter, "not an element");
    if (IsOpenWithin(entry))
        return MakeError(hr::AccessDenied, "the element or something in it is open");
    m_dir.Remove(m_dir[entry].owner, entry);
    std::vector<std::uint32_t> stack{entry};
    while (!stack.empty()) {
        const std::uint32_t x = stack.back();
        stack.pop_back();
        if (m_dir[x].type == TypeStorage) {
            for (std::uint32_t c : m_dir.Children(x))
                stack.push_back(c);
        } else if (IsMini(x)) {
            TruncateMiniChain(m_chains[x], 0);
        } else {
            TruncateChain(m_chains[x], 0);
        }
        m_chains[x].clear();
        m_chains[x].shrink_to_fit();
        m_dir.Free(x);
    }
    return {};
}

Result<void> Engine::RenameElement(std::uint32_t entry, std::u16string_view newName) {
    if (!Directory::ValidName(newName))
        return MakeError(hr::InvalidName, "bad element name");
    if (IsOpen(entry))
        return MakeError(hr::AccessDenied, "the element is open");
    const std::uint32_t owner = m_dir[entry].owner;
    const std::uint32_t other = m_dir.Find(owner, newName);
    if (other != NoStream && other != entry)
        return MakeError(hr::FileAlreadyExists, "an element of that name exists");
    m_dir.Remove(owner, entry);
    m_dir.Edit(entry).name.assign(newName);
    m_dir.Insert(owner, entry);
    return {};
}

Result<void> Engine::MoveElement(std::uint32_t entry, std::uint32_t dstStorage,
                                 std::u16string_view newName) {
    if (!Directory::ValidName(newName))
        return MakeError(hr::InvalidName, "bad element name");
    if (IsOpenWithin(entry))
        return MakeError(hr::AccessDenied, "the element is open");
    if (IsWithin(dstStorage, entry))
        return MakeError(hr::AccessDenied, "cannot move a storage into itself");
    if (m_dir.Find(dstStorage, newName) != NoStream)
        return MakeError(hr::FileAlreadyExists, "an element of that name exists");
    m_dir.Remove(m_dir[entry].owner, entry);
    m_dir.Edit(entry).name.assign(newName);
    m_dir.Insert(dstStorage, entry);
    return {};
}

void Engine::SetClass(std::uint32_t entry, const Clsid& clsid) {
    if (m_dir[entry].clsid != clsid)
        m_dir.Edit(entry).clsid = clsid;
}

void Engine::SetStateBits(std::uint32_t entry, std::uint32_t bits, std::uint32_t mask) {
    const std::uint32_t value = (m_dir[entry].stateBits & ~mask) | (bits & mask);
    if (m_dir[entry].stateBits != value)
        m_dir.Edit(entry).stateBits = value;
}

ElementStat Engine::Stat(std::uint32_t entry) const {
    const DirEntry& e = m_dir[entry];
    ElementStat st;
    if (entry == Directory::Root) {
        st.type = ElementType::Root;
        if (!m_file->IsMemory())
            st.name = m_file->Path().u16string();
    } else {
        st.name = e.name;
        st.type = e.type == TypeStorage ? ElementType::Storage : ElementType::Stream;
    }
    st.size = e.type == TypeStream ? e.size : 0;
    if (e.type == TypeStream && m_sealer && m_sealer->Seals(PathOf(entry)))
        st.size = ContentSize(entry);
    st.clsid = e.clsid;
    st.stateBits = e.stateBits;
    st.created = e.created;
    st.modified = e.modified;
    return st;
}

// ---- streams --------------------------------------------------------------------------

Result<std::size_t> Engine::ReadStream(std::uint32_t entry, std::uint64_t pos, void* buffer,
                                       std::size_t size) {
    return StreamIo(*this).Read(entry, pos, buffer, size);
}

Result<std::size_t> Engine::WriteStream(std::uint32_t entry, std::uint64_t pos, const void* buffer,
                                        std::size_t size) {
    return StreamIo(*this).Write(entry, pos, buffer, size);
}

Result<void> Engine::ResizeStream(std::uint32_t entry, std::uint64_t size, bool zeroFill) {
    return StreamIo(*this).Resize(entry, size, zeroFill ? size : 0);
}

// ---- copying --------------------------------------------------------------------------

Result<void> Engine::Copy(Engine& src, std::uint32_t srcEntry, Engine& dst,
                          std::uint32_t dstStorage, std::u16string_view name, bool contentsOnly) {
    const bool same = &src == &dst;
    if (same && src.m_dir[srcEntry].type != TypeStream && dst.IsWithin(dstStorage, srcEntry))
        return MakeError(hr::AccessDenied, "cannot copy a storage into itself");
    struct Job {
        std::uint32_t src;
        std::uint32_t dstParent;
        std::u16string name;
        bool contents;
    };
    std::vector<Job> jobs{{srcEntry, dstStorage, std::u16string(name), contentsOnly}};
    std::string chunk;
    while (!jobs.empty()) {
        Job job = std::move(jobs.back());
        jobs.pop_back();
        const DirEntry s = src.m_dir[job.src]; // a copy: the directory may grow below
        std::uint32_t target = job.dstParent;
        if (!job.contents) {
            const std::uint32_t existing = dst.m_dir.Find(job.dstParent, job.name);
            const bool merge = existing != NoStream && s.type != TypeStream &&
                               dst.m_dir[existing].type == TypeStorage;
            if (existing != NoStream && !merge) {
                if (same && existing == job.src)
                    continue; // a stream onto itself
                if (same && src.IsWithin(job.src, existing))
                    return MakeError(hr::AccessDenied, "the copy would destroy its source");
                if (auto r = dst.DestroyElement(existing); !r)
                    return r;
            }
            if (merge) {
                target = existing;
            } else {
                auto created = dst.CreateElement(job.dstParent, job.name,
                                                 s.type == TypeStream ? TypeStream : TypeStorage);
                if (!created)
                    return created.error();
                target = *created;
            }
            if (s.type == TypeStream && (src.m_sealer || dst.m_sealer)) {
                // Opened from the source's sealed form and sealed for the target's path.
                auto content = src.ReadContent(job.src);
                if (!content)
                    return content.error();
                std::string stored;
                if (const std::u16string path = dst.PathOf(target);
                    dst.m_sealer && dst.m_sealer->Seals(path)) {
                    auto sealed = dst.m_sealer->Seal(path, *content);
                    if (!sealed)
                        return sealed.error();
                    stored = std::move(*sealed);
                } else {
                    stored = std::move(*content);
                }
                if (auto r = dst.ResizeStream(target, stored.size(), false); !r)
                    return r;
                if (auto put = dst.WriteStream(target, 0, stored.data(), stored.size()); !put)
                    return put.error();
                continue;
            }
            if (s.type == TypeStream) {
                if (auto r = dst.ResizeStream(target, s.size, false); !r)
                    return r;
                const std::uint64_t step = 1u << 20;
                for (std::uint64_t pos = 0; pos < s.size; pos += step) {
                    const std::size_t n = static_cast<std::size_t>(std::min(step, s.size - pos));
                    chunk.resize(n);
                    auto got = src.ReadStream(job.src, pos, chunk.data(), n);
                    if (!got)
                        return got.error();
                    auto put = dst.WriteStream(target, pos, chunk.data(), n);
                    if (!put)
                        return put.error();
                }
                continue;
            }
        }
        dst.SetClass(target, s.clsid);
        dst.SetStateBits(target, s.stateBits, 0xFFFFFFFF);
        const auto children = src.m_dir.Children(job.src);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            jobs.push_back({*it, target, src.m_dir[*it].name, false});
    }
    return {};
}

} // namespace kelvo::cfb
