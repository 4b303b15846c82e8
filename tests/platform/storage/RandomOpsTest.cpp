// Random operation sequences (create, write, resize, destroy, rename, copy, move, merge, reopen)
// against an in-memory model, with the structural validator after every step and full comparisons
// after reopening.
#include "platform/storage/Directory.h"
#include "platform/storage/Storage.h"
#include "platform/storage/Validator.h"

#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace kelvo;
using namespace kelvo::cfb;
using namespace kelvo::cfb::test;

namespace {

struct NameLess {
    bool operator()(const std::u16string& a, const std::u16string& b) const {
        return Directory::CompareNames(a, b) < 0;
    }
};

struct Node {
    bool storage = true;
    std::string data;
    std::map<std::u16string, Node, NameLess> children;
};

using Path = std::vector<std::u16string>;

bool IsPrefix(const Path& prefix, const Path& path) {
    if (prefix.size() > path.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Directory::CompareNames(prefix[i], path[i]) != 0)
            return false;
    }
    return true;
}

Node* Find(Node& root, const Path& path) {
    Node* n = &root;
    for (const auto& name : path) {
        auto it = n->children.find(name);
        if (it == n->children.end())
            return nullptr;
        n = &it->second;
    }
    return n;
}

void Collect(const Node& n, Path& path, std::vector<Path>& storages, std::vector<Path>& all) {
    for (const auto& [name, child] : n.children) {
        path.push_back(name);
        all.push_back(path);
        if (child.storage) {
            storages.push_back(path);
            Collect(child, path, storages, all);
        }
        path.pop_back();
    }
}

Result<Storage> OpenFrom(Storage& base, const Path& path, std::size_t from) {
    Storage current;
    Storage* at = &base;
    for (std::size_t i = from; i < path.size(); ++i) {
        auto next = at->OpenStorage(path[i]);
        if (!next)
            return next.error();
        current = std::move(*next);
        at = &current;
    }
    return current;
}

// Compares the whole tree under `storage` with the model.
void ExpectTree(Storage& storage, const Node& model, const std::string& where) {
    auto list = storage.Enumerate();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), model.children.size()) << where;
    auto it = model.children.begin();
    for (const auto& st : *list) {
        ASSERT_EQ(st.name, it->first) << where;
        const Node& m = it->second;
        ASSERT_EQ(st.type == ElementType::Stream, !m.storage) << where;
        if (m.storage) {
            auto sub = storage.OpenStorage(st.name);
            ASSERT_TRUE(sub);
            ExpectTree(*sub, m, where + "/" + Utf8(st.name));
        } else {
            auto s = storage.OpenStream(st.name);
            ASSERT_TRUE(s);
            auto bytes = s->ReadAll();
            ASSERT_TRUE(bytes);
            ASSERT_TRUE(*bytes == m.data) << where << "/" << Utf8(st.name) << " size "
                                          << bytes->size() << " vs " << m.data.size();
        }
        ++it;
    }
}

void ExpectClean(const ValidationReport& report, int step) {
    for (const auto& e : report.errors)
        ADD_FAILURE() << "step " << step << ": error: " << e;
    for (const auto& w : report.warnings)
        ADD_FAILURE() << "step " << step << ": warning: " << w;
}

class RandomOps {
public:
    explicit RandomOps(unsigned seed) : m_rng(seed) {}

    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_rng);
    }

    std::u16string Name() {
        static const std::u16string pool[] = {u"a",   u"A",       u"b",      u"Bb",     u"bB",
                                              u"ccc", u"Дом",     u"дом",    u"x1",     u"x2",
                                              u"x3",  u"RecData", u"ObPool", u"\x05Sum"};
        if (Pick(3) == 0) {
            char name[16];
            std::snprintf(name, sizeof name, "%08X", static_cast<unsigned>(Pick(4000)));
            return std::u16string(name, name + 8);
        }
        return pool[Pick(std::size(pool))];
    }

    std::size_t Size() {
        static const std::size_t interesting[] = {0, 1, 63, 64, 65, 4095, 4096, 4097, 8192};
        switch (Pick(4)) {
        case 0:
            return interesting[Pick(std::size(interesting))];
        case 1:
            return Pick(600);
        case 2:
            return Pick(9000);
        default:
            return Pick(40000);
        }
    }

    std::string Bytes(std::size_t n) { return Pattern(n, static_cast<unsigned>(m_rng())); }

    std::mt19937 m_rng;
};

void RunSequence(unsigned seed, int steps, bool onDisk) {
    RandomOps r(seed);
    TempDir dir;
    const auto path = dir / "random.cfb";
    Result<Storage> root = onDisk ? Storage::CreateFile(path) : Storage::CreateInMemory();
    ASSERT_TRUE(root);
    Node model;
    for (int step = 0; step < steps; ++step) {
        std::vector<Path> storages{{}}, all;
        Path scratch;
        Collect(model, scratch, storages, all);
        const Path where = storages[r.Pick(storages.size())];
        Node& parentModel = *Find(model, where);
        auto parent = OpenFrom(*root, where, 0);
        Storage* p = where.empty() ? &*root : &*parent;
        ASSERT_TRUE(where.empty() || parent) << StatusName(parent.code());
        const int op = static_cast<int>(r.Pick(12));
        SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step) + " op " +
                     std::to_string(op));
        if (op <= 2) { // create or replace a stream
            const auto name = r.Name();
            const std::string data = r.Bytes(r.Size());
            auto s = p->CreateStream(name);
            ASSERT_TRUE(s) << StatusName(s.code());
            ASSERT_TRUE(s->WriteAll(data));
            parentModel.children.erase(name);
            parentModel.children[name] = Node{false, data, {}};
        } else if (op == 3) { // create or replace a storage
            const auto name = r.Name();
            ASSERT_TRUE(p->CreateStorage(name));
            parentModel.children.erase(name);
            parentModel.children[name] = Node{};
        } else if (op <= 5 && !all.empty()) { // write into or resize a stream
            std::vector<std::u16string> streams;
            for (const auto& [name, n] : parentModel.children)
                if (!n.storage)
                    streams.push_back(name);
            if (streams.empty())
                continue;
            const auto name = streams[r.Pick(streams.size())];
            Node& m = parentModel.children[name];
            auto s = p->OpenStream(name);
            ASSERT_TRUE(s);
            if (op == 4) {
                const std::size_t at = r.Pick(m.data.size() + 5000);
                const std::string data = r.Bytes(r.Size() / 4 + 1);
                ASSERT_TRUE(s->Seek(static_cast<std::int64_t>(at), SeekOrigin::Begin));
                ASSERT_TRUE(s->Write(data.data(), data.size()));
                if (m.data.size() < at + data.size())
                    m.data.resize(at + data.size(), '\0');
                m.data.replace(at, data.size(), data);
            } else {
                const std::size_t size = r.Size();
                ASSERT_TRUE(s->SetSize(size));
                m.data.resize(size, '\0');
            }
        } else if (op == 6 && !parentModel.children.empty()) { // destroy
            auto it = parentModel.children.begin();
            std::advance(it, static_cast<long>(r.Pick(parentModel.children.size())));
            ASSERT_TRUE(p->DestroyElement(it->first));
            parentModel.children.erase(it);
        } else if (op == 7 && !parentModel.children.empty()) { // rename
            auto it = parentModel.children.begin();
            std::advance(it, static_cast<long>(r.Pick(parentModel.children.size())));
            const auto oldName = it->first;
            const auto newName = r.Name();
            auto other = parentModel.children.find(newName);
            auto result = p->RenameElement(oldName, newName);
            if (other != parentModel.children.end() && other != it) {
                EXPECT_EQ(result.code(), hr::FileAlreadyExists);
            } else {
                ASSERT_TRUE(result) << StatusName(result.code());
                Node moved = std::move(it->second);
                parentModel.children.erase(it);
                parentModel.children[newName] = std::move(moved);
            }
        } else if ((op == 8 || op == 9) && !parentModel.children.empty()) { // copy or move
            auto it = parentModel.children.begin();
            std::advance(it, static_cast<long>(r.Pick(parentModel.children.size())));
            const auto name = it->first;
            Path srcPath = where;
            srcPath.push_back(name);
            const Path dest = storages[r.Pick(storages.size())];
            const auto newName = r.Name();
            Path newPath = dest;
            newPath.push_back(newName);
            const bool move = op == 9;
            // Open the destination without opening anything already open.
            Storage destHolder;
            Storage* d = &*root;
            if (IsPrefix(where, dest) && !dest.empty()) {
                if (dest.size() > where.size()) {
                    auto o = OpenFrom(*p, dest, where.size());
                    ASSERT_TRUE(o);
                    destHolder = std::move(*o);
                    d = &destHolder;
                } else {
                    d = p;
                }
            } else if (!dest.empty()) {
                if (IsPrefix(dest, where)) {
                    // The destination is an ancestor of the open parent: skip this pairing.
                    continue;
                }
                auto o = OpenFrom(*root, dest, 0);
                ASSERT_TRUE(o);
                destHolder = std::move(*o);
                d = &destHolder;
            }
            auto result = p->CopyElementTo(name, *d, newName, move, true);
            const bool intoItself = it->second.storage && IsPrefix(srcPath, dest);
            const bool ontoItself = IsPrefix(newPath, srcPath) && newPath.size() == srcPath.size();
            const bool destroysSource = !ontoItself && IsPrefix(newPath, srcPath);
            if (intoItself || destroysSource) {
                EXPECT_EQ(result.code(), hr::AccessDenied);
            } else if (ontoItself) {
                EXPECT_TRUE(result);
            } else {
                ASSERT_TRUE(result) << StatusName(result.code());
                Node copy = it->second;
                if (move)
                    parentModel.children.erase(it);
                Node& destModel = *Find(model, dest);
                destModel.children.erase(newName);
                destModel.children[newName] = std::move(copy);
            }
        } else if (op == 10) { // reopen
            parent = Storage();
            if (onDisk) {
                root = Storage();
                root = Storage::OpenFile(path);
            } else {
                auto bytes = root->MemoryBytes();
                ASSERT_TRUE(bytes);
                ExpectClean(Validator::CheckBytes(*bytes), step);
                root = Storage::OpenMemory(*bytes);
            }
            ASSERT_TRUE(root) << StatusName(root.code());
            ExpectTree(*root, model, "");
            continue;
        } else if (op == 11 && storages.size() > 1) { // merge one storage into another
            const Path from = storages[r.Pick(storages.size())];
            const Path to = storages[r.Pick(storages.size())];
            if (IsPrefix(from, to) || IsPrefix(to, from) || IsPrefix(from, where) ||
                IsPrefix(to, where) || IsPrefix(where, from) || IsPrefix(where, to))
                continue;
            auto a = OpenFrom(*root, from, 0);
            auto b = OpenFrom(*root, to, 0);
            ASSERT_TRUE(a && b);
            ASSERT_TRUE(a->CopyTo(*b));
            const Node snapshot = *Find(model, from);
            std::vector<std::pair<const Node*, Node*>> work{{&snapshot, Find(model, to)}};
            while (!work.empty()) {
                auto [s, t] = work.back();
                work.pop_back();
                for (const auto& [name, child] : s->children) {
                    auto existing = t->children.find(name);
                    if (child.storage && existing != t->children.end() &&
                        existing->second.storage) {
                        work.emplace_back(&child, &existing->second);
                        continue;
                    }
                    if (existing != t->children.end())
                        t->children.erase(existing);
                    Node& made = t->children[name];
                    if (child.storage) {
                        made = Node{};
                        work.emplace_back(&child, &made);
                    } else {
                        made = child;
                    }
                }
            }
        } else {
            continue;
        }
        ExpectClean(Validator::Check(*root), step);
        if (::testing::Test::HasFailure())
            return;
    }
    ExpectTree(*root, model, "");
}

} // namespace

TEST(RandomOps, InMemorySequencesMatchTheModelAndStaySound) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        RunSequence(seed, 600, false);
        if (HasFailure())
            return;
    }
}

TEST(RandomOps, OnDiskSequencesMatchTheModelAndStaySound) {
    for (unsigned seed = 100; seed <= 102; ++seed) {
        RunSequence(seed, 250, true);
        if (HasFailure())
            return;
    }
}
