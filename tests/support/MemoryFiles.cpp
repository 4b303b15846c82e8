// The in-memory file system of the fault tests.
#include "tests/support/MemoryFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kelvo::test {

namespace {

std::filesystem::path Normal(const std::filesystem::path& path) {
    return path.lexically_normal();
}

void Apply(std::string& bytes, const FileOp& op) {
    if (op.kind == FileOp::Write) {
        if (bytes.size() < op.offset + op.bytes.size())
            bytes.resize(op.offset + op.bytes.size(), '\0');
        std::memcpy(bytes.data() + op.offset, op.bytes.data(), op.bytes.size());
    } else if (op.kind == FileOp::Resize) {
        bytes.resize(op.offset, '\0');
    }
}

} // namespace

/// An open file of the memory file system; holds the file's lock while open.
class MemoryFile final : public cfb::SectorFile {
public:
    MemoryFile(MemoryFileSystem& fs, std::shared_ptr<MemoryFileSystem::Node> node,
               std::filesystem::path path, bool writable)
        : m_fs(fs), m_node(std::move(node)), m_path(std::move(path)), m_writable(writable) {
        m_node->locked = true;
    }
    ~MemoryFile() override { m_node->locked = false; }

    Result<void> ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const override {
        const std::string& b = m_node->bytes;
        auto* out = static_cast<char*>(buffer);
        const std::size_t avail =
            offset < b.size() ? std::min<std::size_t>(size, b.size() - offset) : 0;
        if (avail)
            std::memcpy(out, b.data() + offset, avail);
        std::memset(out + avail, 0, size - avail);
        return {};
    }
    Result<void> WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) override {
        if (auto refused = Check("write failed"))
            return *refused;
        FileOp op{FileOp::Write,
                  m_node->id,
                  offset,
                  std::string(static_cast<const char*>(buffer), size),
                  {},
                  {}};
        Apply(m_node->bytes, op);
        m_fs.Record(std::move(op));
        return {};
    }
    std::uint64_t Size() const override { return m_node->bytes.size(); }
    Result<void> Resize(std::uint64_t size) override {
        if (auto refused = Check("cannot change the file size"))
            return *refused;
        FileOp op{FileOp::Resize, m_node->id, size, {}, {}, {}};
        Apply(m_node->bytes, op);
        m_fs.Record(std::move(op));
        return {};
    }
    Result<void> Sync() override {
        if (auto refused = Check("cannot be written to disk"))
            return *refused;
        m_fs.Record(FileOp{FileOp::Sync, m_node->id, 0, {}, {}, {}});
        return {};
    }
    const std::filesystem::path& Path() const override { return m_path; }

private:
    std::optional<Error> Check(const char* what) {
        if (!m_writable)
            return MakeError(hr::AccessDenied, cfb::FileFailureText(m_path, what, EBADF));
        return m_fs.Fault(m_path, what);
    }

    MemoryFileSystem& m_fs;
    std::shared_ptr<MemoryFileSystem::Node> m_node;
    std::filesystem::path m_path;
    bool m_writable;
};

MemoryFileSystem::MemoryFileSystem() : m_folders{"/", "/tmp"} {}

MemoryFileSystem::~MemoryFileSystem() {
    Uninstall();
}

void MemoryFileSystem::Install() {
    if (!m_installed)
        m_previous = cfb::InstallFileSystem(this);
    m_installed = true;
}

void MemoryFileSystem::Uninstall() {
    if (m_installed)
        cfb::InstallFileSystem(m_previous);
    m_installed = false;
}

std::shared_ptr<MemoryFileSystem::Node> MemoryFileSystem::NewNode(std::string bytes) {
    auto node = std::make_shared<Node>();
    node->id = m_nextId++;
    node->bytes = std::move(bytes);
    return node;
}

void MemoryFileSystem::Reset(const FileImages& files) {
    m_names.clear();
    for (const auto& [path, bytes] : files)
        m_names[Normal(path)] = NewNode(bytes);
    m_calls = 0;
    m_failFrom = 0;
    m_readOnly = false;
    m_recordOn = false;
    m_recording = Recording{};
}

FileImages MemoryFileSystem::Images() const {
    FileImages out;
    for (const auto& [path, node] : m_names)
        out[path] = node->bytes;
    return out;
}

std::optional<std::string> MemoryFileSystem::Image(const std::filesystem::path& path) const {
    auto it = m_names.find(Normal(path));
    if (it == m_names.end())
        return std::nullopt;
    return it->second->bytes;
}

void MemoryFileSystem::FailFrom(std::uint64_t k, int err) {
    m_failFrom = k;
    m_failOnce = false;
    m_failErr = err;
    m_calls = 0;
}

void MemoryFileSystem::FailOnly(std::uint64_t k, int err) {
    FailFrom(k, err);
    m_failOnce = true;
}

std::optional<Error> MemoryFileSystem::Fault(const std::filesystem::path& path, const char* what) {
    ++m_calls;
    if (m_failFrom != 0 && (m_failOnce ? m_calls == m_failFrom : m_calls >= m_failFrom))
        return MakeError(cfb::StatusFromErrno(m_failErr, hr::WriteFault),
                         cfb::FileFailureText(path, what, m_failErr));
    return std::nullopt;
}

void MemoryFileSystem::Record(FileOp op) {
    if (m_recordOn)
        m_recording.log.push_back(std::move(op));
}

void MemoryFileSystem::StartRecording() {
    m_recordOn = true;
    m_recording = Recording{};
    for (const auto& [path, node] : m_names) {
        m_recording.baseFiles[node->id] = node->bytes;
        m_recording.baseNames[path] = node->id;
    }
}

FileImages Recording::PowerCut(std::size_t cut, std::mt19937& rng) const {
    return Replayed(cut, &rng);
}

FileImages Recording::Replay(std::size_t upTo) const {
    return Replayed(upTo, nullptr);
}

FileImages Recording::Replayed(std::size_t cut, std::mt19937* rng) const {
    struct Replay {
        std::string durable;
        std::vector<const FileOp*> pending;
    };
    std::map<std::uint64_t, Replay> files;
    for (const auto& [id, bytes] : baseFiles)
        files[id].durable = bytes;
    std::map<std::filesystem::path, std::uint64_t> names = baseNames;
    std::vector<const FileOp*> pendingNames;
    auto applyName = [](std::map<std::filesystem::path, std::uint64_t>& to, const FileOp& op) {
        if (op.kind == FileOp::Create) {
            to[op.path] = op.file;
        } else if (op.kind == FileOp::Remove) {
            to.erase(op.path);
        } else if (op.kind == FileOp::Rename) {
            auto it = to.find(op.path);
            if (it == to.end())
                return;
            const std::uint64_t id = it->second;
            to.erase(it);
            to[op.to] = id;
        }
    };
    for (std::size_t i = 0; i < cut && i < log.size(); ++i) {
        const FileOp& op = log[i];
        switch (op.kind) {
        case FileOp::Write:
        case FileOp::Resize:
            files[op.file].pending.push_back(&op);
            break;
        case FileOp::Sync: {
            Replay& r = files[op.file];
            for (const FileOp* p : r.pending)
                Apply(r.durable, *p);
            r.pending.clear();
            break;
        }
        case FileOp::Create:
            files[op.file] = Replay{};
            pendingNames.push_back(&op);
            break;
        case FileOp::Rename:
        case FileOp::Remove:
            pendingNames.push_back(&op);
            break;
        case FileOp::SyncDirectory:
            for (const FileOp* p : pendingNames)
                applyName(names, *p);
            pendingNames.clear();
            break;
        }
    }
    std::uniform_int_distribution<std::size_t> prefix(0, pendingNames.size());
    const std::size_t namesKept = rng ? prefix(*rng) : pendingNames.size();
    for (std::size_t i = 0; i < namesKept; ++i)
        applyName(names, *pendingNames[i]);
    FileImages out;
    std::bernoulli_distribution keep(0.5);
    for (const auto& [path, id] : names) {
        Replay& r = files[id];
        std::vector<const FileOp*> chosen;
        for (const FileOp* p : r.pending)
            if (!rng || keep(*rng))
                chosen.push_back(p);
        if (rng)
            std::shuffle(chosen.begin(), chosen.end(), *rng);
        std::string bytes = r.durable;
        for (const FileOp* p : chosen)
            Apply(bytes, *p);
        out[path] = std::move(bytes);
    }
    return out;
}

Replayer::Replayer(const Recording& recording)
    : m_recording(recording), m_files(recording.baseFiles), m_names(recording.baseNames) {}

void Replayer::Step() {
    const FileOp& op = m_recording.log.at(m_done++);
    switch (op.kind) {
    case FileOp::Write:
    case FileOp::Resize:
        Apply(m_files[op.file], op);
        break;
    case FileOp::Create:
        m_files[op.file].clear();
        m_names[op.path] = op.file;
        break;
    case FileOp::Rename:
        if (auto it = m_names.find(op.path); it != m_names.end()) {
            const std::uint64_t id = it->second;
            m_names.erase(it);
            m_names[op.to] = id;
        }
        break;
    case FileOp::Remove:
        m_names.erase(op.path);
        break;
    case FileOp::Sync:
    case FileOp::SyncDirectory:
        break;
    }
}

FileImages Replayer::Images() const {
    FileImages out;
    for (const auto& [path, id] : m_names) {
        auto it = m_files.find(id);
        out[path] = it == m_files.end() ? std::string() : it->second;
    }
    return out;
}

Result<std::unique_ptr<cfb::SectorFile>> MemoryFileSystem::Open(const std::filesystem::path& raw,
                                                                bool writable, bool create,
                                                                std::filesystem::perms) {
    const std::filesystem::path path = Normal(raw);
    if (writable && m_readOnly)
        return MakeError(hr::AccessDenied, cfb::FileFailureText(path, "cannot be opened", EROFS));
    auto it = m_names.find(path);
    if (it == m_names.end()) {
        if (!m_folders.count(cfb::FolderOf(path)))
            return MakeError(hr::PathNotFound, cfb::FileFailureText(path, "open", ENOENT));
        if (!create)
            return MakeError(hr::FileNotFound, cfb::FileFailureText(path, "open", ENOENT));
        if (auto refused = Fault(path, "cannot be created"))
            return *refused;
        auto node = NewNode({});
        Record(FileOp{FileOp::Create, node->id, 0, {}, path, {}});
        it = m_names.emplace(path, std::move(node)).first;
    }
    if (it->second->locked)
        return MakeError(hr::ShareViolation, path.string() + ": the file is open elsewhere");
    auto file = std::make_unique<MemoryFile>(*this, it->second, path, writable);
    if (create && file->Size() != 0) {
        if (auto r = file->Resize(0); !r)
            return r.error();
    }
    return std::unique_ptr<cfb::SectorFile>(std::move(file));
}

bool MemoryFileSystem::Exists(const std::filesystem::path& path) {
    const std::filesystem::path p = Normal(path);
    return m_names.count(p) != 0 || m_folders.count(p) != 0;
}

Result<std::filesystem::path> MemoryFileSystem::CreateUnique(const std::filesystem::path& dir,
                                                             std::string_view prefix,
                                                             std::string_view suffix) {
    if (!m_folders.count(Normal(dir)))
        return MakeError(hr::PathNotFound, cfb::FileFailureText(dir, "no such folder", ENOENT));
    for (std::uint64_t n = m_nextId;; ++n) {
        const std::filesystem::path path =
            Normal(dir / (std::string(prefix) + std::to_string(n) + std::string(suffix)));
        if (m_names.count(path))
            continue;
        if (auto refused = Fault(path, "cannot create a file"))
            return *refused;
        auto node = NewNode({});
        Record(FileOp{FileOp::Create, node->id, 0, {}, path, {}});
        m_names.emplace(path, std::move(node));
        return path;
    }
}

Result<void> MemoryFileSystem::Rename(const std::filesystem::path& rawFrom,
                                      const std::filesystem::path& rawTo) {
    const std::filesystem::path from = Normal(rawFrom), to = Normal(rawTo);
    auto it = m_names.find(from);
    if (it == m_names.end())
        return MakeError(hr::FileNotFound, cfb::FileFailureText(from, "rename", ENOENT));
    if (auto refused = Fault(to, "cannot be replaced"))
        return *refused;
    auto node = it->second;
    m_names.erase(it);
    m_names[to] = std::move(node);
    Record(FileOp{FileOp::Rename, 0, 0, {}, from, to});
    return {};
}

Result<void> MemoryFileSystem::Remove(const std::filesystem::path& raw) {
    const std::filesystem::path path = Normal(raw);
    if (!m_names.count(path))
        return {};
    if (auto refused = Fault(path, "cannot be removed"))
        return *refused;
    m_names.erase(path);
    Record(FileOp{FileOp::Remove, 0, 0, {}, path, {}});
    return {};
}

Result<void> MemoryFileSystem::SyncDirectory(const std::filesystem::path& dir) {
    if (auto refused = Fault(dir, "cannot be written to disk"))
        return *refused;
    Record(FileOp{FileOp::SyncDirectory, 0, 0, {}, Normal(dir), {}});
    return {};
}

} // namespace kelvo::test
