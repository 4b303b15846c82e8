// Loading the record tree of another compound file and copying records with their bodies
// into the open bank.
#include "core/RecordImport.h"

#include "core/BankTrees.h"
#include "core/Messages.h"
#include "core/RecordBody.h"
#include "platform/base/MemoryStream.h"
#include "platform/storage/BankStorage.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kelvo {

namespace {

// The loading progress runs over node count + 1 rather than the tree loader's + 2.
class ShorterRange final : public Progress {
public:
    explicit ShorterRange(Progress& inner) : m_inner(inner) {}
    void Start(std::size_t upper) override { m_inner.Start(upper > 0 ? upper - 1 : 0); }
    void Step() override { m_inner.Step(); }

private:
    Progress& m_inner;
};

void Say(Progress* progress, std::string_view text) {
    if (progress)
        progress->SetStatus(text);
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, ec);
}

// The names of the streams directly in `storage`.
std::unordered_set<std::u16string> StreamNames(const cfb::Storage& storage) {
    std::unordered_set<std::u16string> names;
    if (auto children = storage.Enumerate())
        for (const cfb::ElementStat& e : *children)
            if (e.type == cfb::ElementType::Stream)
                names.insert(e.name);
    return names;
}

// Puts `bytes` as the body stream `name` of the open RecData storage `data`.
Result<void> PutBody(cfb::Storage& data, std::u16string_view name, std::string_view bytes) {
    auto stream = data.CreateStream(name, cfb::mode::CreateNew);
    if (!stream)
        return stream.error();
    return stream->WriteAll(bytes);
}

// Removes a stale body under `name`; a missing one is fine.
void DropBody(cfb::Storage& data, std::u16string_view name) {
    (void)data.DestroyElement(name);
}

} // namespace

Result<void> RecordImportSource::Load(const std::filesystem::path& path, Progress* progress,
                                      const PasswordPrompt& prompt) {
    // Read-only: choosing a file to import from must never change it.
    auto root = cfb::Storage::OpenFile(path, cfb::mode::OpenRead);
    if (!root) {
        m_loaded = false;
        return MessageError(root.code(), msg::ImportOpenFailed,
                            {path.string(), ReasonText(root.error())});
    }
    std::shared_ptr<BankSealer> sealer;
    if (IsProtectedRoot(*root)) {
        auto unlocked = UnlockWithPrompt(*root, path, prompt);
        if (!unlocked) {
            m_loaded = false;
            return unlocked.error();
        }
        sealer = std::move(*unlocked);
        root->SetSealer(sealer);
    }
    Say(progress, StringText(msg::ImportLoading));

    std::optional<cfb::Stream> structStream, obPool;
    if (auto recTree = root->OpenStorage(u"RecTree", cfb::mode::OpenRead)) {
        if (auto s = recTree->OpenStream(u"Struct", cfb::mode::OpenRead))
            structStream = std::move(*s);
        if (auto s = recTree->OpenStream(u"ObPool", cfb::mode::OpenRead))
            obPool = std::move(*s);
    }
    MemoryStream noStruct, noPool;
    std::optional<ShorterRange> range;
    if (progress)
        range.emplace(*progress);
    LoadTree(m_tree, structStream ? static_cast<ByteStream&>(*structStream) : noStruct,
             obPool ? static_cast<ByteStream&>(*obPool) : noPool, range ? &*range : nullptr);

    // Only the shape and the items count here: the first record is shown selected and open.
    for (TreeNode* node : m_tree.PreOrder())
        node->expanded = false;
    m_tree.Select(m_tree.first(), false);
    if (TreeNode* first = m_tree.first())
        first->expanded = true;

    m_path = path;
    m_sealer = std::move(sealer);
    m_loaded = true;
    Say(progress, {});
    return {};
}

Result<ImportResult> ImportRecords(CQuorvellineDoc& doc, TreeNode* destination,
                                   const RecordImportSource& source, const TreeNode* sourceNode,
                                   Progress* progress) {
    if (!source.loaded())
        return MessageError(hr::InvalidArg, msg::ImportNotLoaded);
    RecordTree& records = doc.records();
    if (!destination || !records.Contains(destination) || !sourceNode ||
        !source.tree().Contains(sourceNode))
        return MessageError(hr::InvalidArg, msg::ImportNothingChosen);

    // Everything that can fail as a whole is opened before the first record is made.
    auto working = doc.WorkingStorage();
    if (!working)
        return MessageError(working.code(), msg::ImportNoWorkingStorage);
    auto target = OpenOrCreateStorage(*working, kRecDataStorage);
    if (!target)
        return MessageError(target.code(), msg::ImportNoWorkingStorage);
    const std::filesystem::path workingPath = doc.hasFile() ? doc.path() : doc.tempPath();
    const bool sameFile = SameFile(source.path(), workingPath);

    cfb::Storage sourceRoot, sourceData;
    std::unordered_set<std::u16string> sourceBodies;
    if (!sameFile) {
        auto root = cfb::Storage::OpenFile(source.path(), cfb::mode::OpenRead);
        if (!root)
            return MessageError(root.code(), msg::ImportOpenFailed,
                                {source.path().string(), ReasonText(root.error())});
        sourceRoot = std::move(*root);
        sourceRoot.SetSealer(source.sealer());
        if (auto data = sourceRoot.OpenStorage(kRecDataStorage, cfb::mode::OpenRead)) {
            sourceData = std::move(*data);
            sourceBodies = StreamNames(sourceData);
        }
    } else {
        sourceBodies = StreamNames(*target);
    }

    // Importing from the open bank's own file reads and writes the same RecData: the source
    // bodies are taken first, so that a new record cannot overwrite a body not yet copied.
    std::unordered_map<std::uint32_t, std::string> snapshot;
    std::size_t failed = 0;
    const RecordTree& sourceTree = source.tree();
    if (sameFile) {
        WalkSubtree(sourceTree, sourceNode, true, [&](const TreeNode& n) {
            const std::u16string name = BodyStreamName(n.item.uid);
            if (sourceBodies.count(name) && !snapshot.count(n.item.uid)) {
                auto stream = target->OpenStream(name, cfb::mode::OpenRead);
                auto bytes = stream ? stream->ReadAll() : Result<std::string>(stream.error());
                if (bytes)
                    snapshot.emplace(n.item.uid, std::move(*bytes));
                else
                    ++failed;
            }
            return true;
        });
    }

    ImportResult result;
    // The new node of each source node copied so far: the parent of the next ones.
    std::unordered_map<const TreeNode*, TreeNode*> copies;
    WalkSubtree(sourceTree, sourceNode, true, [&](const TreeNode& s) {
        TreeNode* parent = &s == sourceNode ? destination : copies.at(s.parent);
        TreeNode* node = records.Insert(s.title, parent);
        copies.emplace(&s, node);
        if (!result.top)
            result.top = node;
        ++result.records;
        Say(progress, MessageText(msg::ImportCopying, {AnsiToUtf8(s.title)}));
        const TreeItem& from = s.item;
        node->item.notes = from.notes;
        node->item.keywords = from.keywords;
        node->item.created = from.created;
        node->item.saved = from.saved;
        node->item.opened = from.opened;

        const std::u16string fromName = BodyStreamName(from.uid);
        const std::u16string toName = BodyStreamName(node->item.uid);
        if (sameFile) {
            auto it = snapshot.find(from.uid);
            if (it == snapshot.end())
                DropBody(*target, toName);
            else if (PutBody(*target, toName, it->second))
                ++result.bodies;
            else
                ++failed;
        } else if (!sourceBodies.count(fromName)) {
            DropBody(*target, toName);
        } else if (sourceData.CopyElementTo(fromName, *target, toName, false, true)) {
            ++result.bodies;
        } else {
            DropBody(*target, toName);
            ++failed;
        }
        return true;
    });
    result.bodiesFailed = failed;
    // The new records stay only once their bodies are in the file.
    if (auto committed = working->Commit(); !committed) {
        working->Discard();
        if (result.top)
            records.Remove(result.top);
        return ErrorWithReason(msg::ImportWriteFailed, committed.error());
    }
    doc.SetModifiedFlag(true);
    return result;
}

} // namespace kelvo
