// The structural validator of compound files.
#include "platform/storage/Validator.h"

#include "platform/storage/Engine.h"
#include "platform/storage/StreamIo.h"

#include <cstdio>

namespace kelvo::cfb {

namespace {

std::string Num(std::uint64_t n) {
    return std::to_string(n);
}

} // namespace

ValidationReport Validator::Check(const Storage& storage) {
    if (!storage.m_engine)
        return ValidationReport{{"the storage is not open"}, {}};
    if (auto r = storage.m_engine->Flush(); !r)
        return ValidationReport{{"pending changes cannot be written: " + r.error().message}, {}};
    return CheckEngine(*storage.m_engine);
}

ValidationReport Validator::CheckBytes(std::string bytes) {
    auto engine = Engine::Open(SectorFile::OverMemory(std::move(bytes)), false);
    if (!engine) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", engine.code());
        return ValidationReport{{std::string("does not open: ") + code + " " +
                                 StatusName(engine.code()) + ": " + engine.error().message},
                                {}};
    }
    return CheckEngine(**engine);
}

Result<ValidationReport> Validator::CheckFile(const std::filesystem::path& path) {
    auto file = SectorFile::OpenPath(path, false, false, {});
    if (!file)
        return file.error();
    auto engine = Engine::Open(std::move(*file), false);
    if (!engine) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", engine.code());
        return ValidationReport{{std::string("does not open: ") + code + " " +
                                 StatusName(engine.code()) + ": " + engine.error().message},
                                {}};
    }
    return CheckEngine(**engine);
}

namespace {

// Keeps a report readable on a badly damaged file: the first few of each list, then a count.
void Cap(std::vector<std::string>& list) {
    constexpr std::size_t Shown = 20;
    if (list.size() <= Shown)
        return;
    const std::size_t more = list.size() - Shown;
    list.resize(Shown);
    list.push_back("... and " + Num(more) + " more");
}

} // namespace

ValidationReport Validator::CheckEngine(const Engine& e) {
    ValidationReport report = CheckAll(e);
    Cap(report.errors);
    Cap(report.warnings);
    return report;
}

ValidationReport Validator::CheckAll(const Engine& e) {
    ValidationReport report;
    auto& errors = report.errors;
    errors = e.m_repairs;
    auto& warnings = report.warnings;
    const Header& h = e.m_header;
    const std::uint32_t ss = h.SectorSize();
    const Directory& dir = e.m_dir;

    // Who uses each regular sector.
    const std::uint32_t fatSize = e.m_fat.Size();
    std::vector<std::uint8_t> use(fatSize, 0);
    enum : std::uint8_t { Unused, FatUse, DifatUse, ChainUse };
    auto claim = [&](std::uint32_t s, std::uint8_t kind, const std::string& what) {
        if (s >= fatSize) {
            errors.push_back(what + ": sector " + Num(s) + " beyond the FAT");
            return;
        }
        if (use[s] != Unused)
            errors.push_back(what + ": sector " + Num(s) + " is used twice");
        use[s] = kind;
    };
    for (std::uint32_t s : e.m_difat.FatSectors())
        claim(s, FatUse, "FAT");
    for (std::uint32_t s : e.m_difat.DifatSectors())
        claim(s, DifatUse, "DIFAT");
    for (std::uint32_t s : e.m_dirChain)
        claim(s, ChainUse, "directory");
    for (std::uint32_t s : e.m_miniFatChain)
        claim(s, ChainUse, "mini FAT");
    for (std::uint32_t s : e.m_chains[Directory::Root])
        claim(s, ChainUse, "mini stream");

    std::vector<std::uint8_t> miniUse(e.m_miniFat.Size(), 0);
    const std::uint64_t miniCapacity = dir[Directory::Root].size / MiniSectorSize;
    for (std::uint32_t i = 1; i < dir.Count(); ++i) {
        const DirEntry& d = dir[i];
        if (!d.InUse())
            continue;
        if (d.owner == NoStream) {
            warnings.push_back("directory entry " + Num(i) + " is in use but not reachable");
            continue;
        }
        if (d.type != TypeStream) {
            continue;
        }
        const std::string what = "stream entry " + Num(i);
        const bool mini = d.size < MiniStreamCutoff;
        const auto& chain = e.m_chains[i];
        const std::uint32_t unit = mini ? MiniSectorSize : ss;
        const std::uint64_t needed = (d.size + unit - 1) / unit;
        if (chain.size() != needed)
            warnings.push_back(what + ": chain of " + Num(chain.size()) + " sectors for " +
                               Num(d.size) + " bytes");
        if (d.child != NoStream)
            warnings.push_back(what + ": a stream with a child link");
        for (std::uint32_t s : chain) {
            if (!mini) {
                claim(s, ChainUse, what);
            } else if (s >= miniUse.size() || s >= miniCapacity) {
                errors.push_back(what + ": mini sector " + Num(s) + " outside the mini stream");
            } else {
                if (miniUse[s])
                    errors.push_back(what + ": mini sector " + Num(s) + " is used twice");
                miniUse[s] = 1;
            }
        }
    }

    // The FAT agrees with the uses.
    const std::uint64_t physical =
        e.m_file->Size() > ss ? (e.m_file->Size() - ss + ss - 1) / ss : 0;
    std::uint64_t leaked = 0;
    for (std::uint32_t s = 0; s < fatSize; ++s) {
        const std::uint32_t v = e.m_fat.Next(s);
        if (use[s] == FatUse && v != FatSect)
            errors.push_back("FAT sector " + Num(s) + " is not marked FATSECT");
        else if (use[s] == DifatUse && v != DifSect)
            errors.push_back("DIFAT sector " + Num(s) + " is not marked DIFSECT");
        else if (use[s] != FatUse && v == FatSect)
            errors.push_back("sector " + Num(s) + " is marked FATSECT but is no FAT sector");
        else if (use[s] != DifatUse && v == DifSect)
            errors.push_back("sector " + Num(s) + " is marked DIFSECT but is no DIFAT sector");
        else if (use[s] == Unused && v != FreeSect) {
            if (s >= physical)
                errors.push_back("sector " + Num(s) + " past the end of the file is not free");
            else
                ++leaked;
        }
    }
    if (leaked)
        warnings.push_back(Num(leaked) + " sectors are allocated but belong to nothing");
    std::uint64_t miniLeaked = 0;
    for (std::uint32_t m = 0; m < miniUse.size(); ++m) {
        const std::uint32_t v = e.m_miniFat.Next(m);
        if (!miniUse[m] && v != FreeSect) {
            if (m >= miniCapacity)
                errors.push_back("mini sector " + Num(m) + " past the mini stream is not free");
            else
                ++miniLeaked;
        }
    }
    if (miniLeaked)
        warnings.push_back(Num(miniLeaked) + " mini sectors are allocated but belong to nothing");

    // Header fields.
    if (h.m_numFatSectors != e.m_difat.FatSectors().size())
        errors.push_back("the header counts " + Num(h.m_numFatSectors) + " FAT sectors, not " +
                         Num(e.m_difat.FatSectors().size()));
    if (h.m_numDifatSectors != e.m_difat.DifatSectors().size())
        warnings.push_back("the header counts " + Num(h.m_numDifatSectors) +
                           " DIFAT sectors, the chain has " + Num(e.m_difat.DifatSectors().size()));
    if (h.m_numMiniFatSectors != e.m_miniFatChain.size())
        warnings.push_back("the header counts " + Num(h.m_numMiniFatSectors) +
                           " mini FAT sectors, the chain has " + Num(e.m_miniFatChain.size()));
    if (h.m_majorVersion == 3 && h.m_numDirSectors != 0)
        warnings.push_back("a version 3 header with a directory sector count");
    if (h.m_majorVersion == 4 && h.m_numDirSectors != e.m_dirChain.size())
        errors.push_back("the version 4 directory sector count is not the chain's length");
    for (std::size_t i = e.m_difat.FatSectors().size(); i < HeaderDifatSlots; ++i) {
        if (h.m_difat[i] != FreeSect) {
            warnings.push_back("unused header DIFAT slots are not FREESECT");
            break;
        }
    }
    if (e.m_file->Size() % ss != 0)
        warnings.push_back("the file does not end on a sector boundary");
    if (dir[Directory::Root].size % MiniSectorSize != 0)
        warnings.push_back("the mini stream size is not a multiple of 64");

    // Directory trees: sorted (else Windows cannot find names) and red-black.
    for (std::uint32_t i = 0; i < dir.Count(); ++i) {
        const DirEntry& d = dir[i];
        if (!(d.type == TypeRoot || (d.type == TypeStorage && d.owner != NoStream)))
            continue;
        const std::string problem = dir.CheckTree(i);
        const std::string where = i == 0 ? "the root" : "storage entry " + Num(i);
        if (problem == "names out of order or repeated")
            errors.push_back(where + ": " + problem);
        else if (!problem.empty())
            warnings.push_back(where + ": " + problem);
        for (std::uint32_t c : dir.Children(i)) {
            if (!Directory::ValidName(dir[c].name))
                warnings.push_back("entry " + Num(c) + " has a name with forbidden characters");
        }
    }
    return report;
}

} // namespace kelvo::cfb
