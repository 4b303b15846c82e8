// Opens bytes as a compound file and walks, reads and modifies everything in it; shared by
// the fuzz target and the tests that replay the damaged-file corpus. Aborts only on an
// engine fault: a file it wrote that does not open again, or a copy that is not sound.
#pragma once

#include "platform/storage/Storage.h"
#include "platform/storage/Validator.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace kelvo::cfb {

inline void ExerciseCompoundFile(std::string bytes) {
    auto opened = Storage::OpenMemory(std::move(bytes));
    if (!opened)
        return;
    Storage root = std::move(*opened);
    std::vector<Storage> pending; // storages still to visit, kept open until then
    int budget = 500;
    auto visit = [&](Storage& storage) {
        auto children = storage.Enumerate();
        if (!children)
            return;
        for (const ElementStat& st : *children) {
            if (--budget <= 0)
                break;
            if (st.type == ElementType::Stream) {
                auto s = storage.OpenStream(st.name);
                if (!s)
                    continue;
                auto data = s->ReadAll();
                if (!data)
                    continue;
                // Grow across the mini cutoff and back, then write at the end.
                (void)s->SetSize(data->size() + 5000);
                (void)s->SetSize(data->size() / 2);
                (void)s->Seek(0, SeekOrigin::End);
                (void)s->Write("fuzz", 4);
            } else if (auto sub = storage.OpenStorage(st.name)) {
                pending.push_back(std::move(*sub));
            }
        }
        if (!children->empty()) {
            (void)storage.RenameElement(children->front().name, u"renamed by fuzz");
            (void)storage.DestroyElement(children->back().name);
        }
        if (auto s = storage.CreateStream(u"new stream"))
            (void)s->WriteAll(std::string(700, 'x'));
    };
    visit(root);
    while (!pending.empty() && budget > 0) {
        Storage storage = std::move(pending.back());
        pending.pop_back();
        visit(storage);
    }
    pending.clear();
    auto written = root.MemoryBytes();
    if (!written)
        return;
    // What this engine wrote must open again.
    auto reopened = Storage::OpenMemory(*written);
    if (!reopened)
        std::abort();
    // A copy into a fresh file holds nothing of the source's untidiness.
    auto copy = Storage::CreateInMemory();
    if (copy && reopened->CopyTo(*copy)) {
        if (!Validator::Check(*copy).Clean())
            std::abort();
    }
}

} // namespace kelvo::cfb
