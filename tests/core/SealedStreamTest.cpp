// Streams of a compound file with a sealer: the handles read and write the content as with
// any file, while the disk holds only sealed forms bound to their paths; copies between
// sealed and plain files open and seal on the way.
#include "core/BankProtection.h"
#include "platform/crypto/Sealing.h"
#include "platform/storage/Storage.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {

std::shared_ptr<crypto::KeySealer> NewSealer() {
    return std::make_shared<crypto::KeySealer>(crypto::NewDataKey(),
                                               std::vector<std::u16string>{u"Plain"});
}

std::string Stored(const std::string& file, std::u16string_view storage, std::u16string_view name) {
    auto root = cfb::Storage::OpenMemory(file, cfb::mode::OpenRead);
    EXPECT_TRUE(root);
    if (storage.empty()) {
        auto s = root->OpenStream(name, cfb::mode::OpenRead);
        return s ? *s->ReadAll() : "<missing>";
    }
    auto sub = root->OpenStorage(storage, cfb::mode::OpenRead);
    EXPECT_TRUE(sub);
    auto s = sub->OpenStream(name, cfb::mode::OpenRead);
    return s ? *s->ReadAll() : "<missing>";
}

} // namespace

TEST(SealedStreams, HandlesSeeTheContentAndTheDiskTheSealedForm) {
    auto sealer = NewSealer();
    auto root = cfb::Storage::CreateInMemory();
    ASSERT_TRUE(root);
    root->SetSealer(sealer);
    auto data = root->CreateStorage(u"RecData");
    ASSERT_TRUE(data);
    const std::string content = "строка за строкой\r\n" + std::string(5000, 'z') + "\r\nконец";
    {
        auto s = data->CreateStream(u"00000001");
        ASSERT_TRUE(s);
        // Written in small pieces, then partly overwritten and grown past the end.
        for (std::size_t i = 0; i < content.size(); i += 7)
            ASSERT_TRUE(s->Write(content.data() + i, std::min<std::size_t>(7, content.size() - i)));
        EXPECT_EQ(*s->Size(), content.size());
        ASSERT_TRUE(s->Seek(2, SeekOrigin::Begin));
        ASSERT_TRUE(s->Write("AB", 2));
        ASSERT_TRUE(s->Seek(0, SeekOrigin::End));
        ASSERT_TRUE(s->Write("!", 1));
        ASSERT_TRUE(s->SetSize(content.size() + 3));
    }
    std::string expected = content;
    expected.replace(2, 2, "AB");
    expected += "!";
    expected.push_back('\0');
    expected.push_back('\0');
    {
        auto made = root->CreateStream(u"Empty"); // never written: sealed all the same
        ASSERT_TRUE(made);
        auto plain = root->CreateStream(u"Plain");
        ASSERT_TRUE(plain && plain->WriteAll("as it is"));
    }
    ASSERT_TRUE(root->Commit());
    {
        auto s = data->OpenStream(u"00000001");
        ASSERT_TRUE(s);
        char piece[10] = {};
        ASSERT_TRUE(s->Seek(-5, SeekOrigin::End));
        EXPECT_EQ(*s->Read(piece, sizeof piece), 5u);
        EXPECT_EQ(std::string(piece, 5), expected.substr(expected.size() - 5));
        EXPECT_EQ(*s->ReadAll(), expected);
        auto stat = s->Stat();
        EXPECT_EQ(stat->size, expected.size());
    }
    auto listed = data->Enumerate();
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->front().size, expected.size());
    *data = cfb::Storage();
    const std::string file = *root->MemoryBytes();
    const std::string sealed = Stored(file, u"RecData", u"00000001");
    EXPECT_EQ(sealed.size(), expected.size() + crypto::SealOverhead());
    EXPECT_EQ(sealed.find("строка"), std::string::npos);
    EXPECT_EQ(Stored(file, u"", u"Empty").size(), crypto::SealOverhead());
    EXPECT_EQ(Stored(file, u"", u"Plain"), "as it is");
    // Every write seals anew: the same content never gives the same bytes twice.
    {
        auto s = root->OpenStream(u"Empty");
        ASSERT_TRUE(s && s->WriteAll(""));
    }
    EXPECT_NE(Stored(*root->MemoryBytes(), u"", u"Empty"), Stored(file, u"", u"Empty"));
}

TEST(SealedStreams, ADamagedStreamFailsAloneAndTheFileGoesOn) {
    auto sealer = NewSealer();
    auto root = cfb::Storage::CreateInMemory();
    root->SetSealer(sealer);
    for (auto name : {u"a", u"b"}) {
        auto s = root->CreateStream(name);
        ASSERT_TRUE(s && s->WriteAll("content of a stream"));
    }
    std::string file = *root->MemoryBytes();
    // Break "a" as stored, behind the sealer's back.
    {
        auto raw = cfb::Storage::OpenMemory(file);
        auto s = raw->OpenStream(u"a");
        std::string bytes = *s->ReadAll();
        bytes.back() ^= 1;
        ASSERT_TRUE(s->WriteAll(bytes));
        *s = cfb::Stream();
        file = *raw->MemoryBytes();
    }
    auto reopened = cfb::Storage::OpenMemory(file);
    reopened->SetSealer(sealer);
    {
        auto a = reopened->OpenStream(u"a");
        ASSERT_TRUE(a);
        auto read = a->ReadAll();
        ASSERT_FALSE(read);
        EXPECT_EQ(read.code(), hr::DocFileCorrupt);
        EXPECT_NE(read.error().message.find("«a»"), std::string::npos);
        char c;
        EXPECT_FALSE(a->Read(&c, 1));
        // Rewritten from scratch it is whole again.
        ASSERT_TRUE(a->SetSize(0));
        ASSERT_TRUE(a->Write("new", 3));
    }
    auto b = reopened->OpenStream(u"b");
    EXPECT_EQ(*b->ReadAll(), "content of a stream");
    *b = cfb::Stream();
    ASSERT_TRUE(reopened->Commit());
    EXPECT_EQ(sealer->TakeFailures(), std::vector<std::u16string>{u"a"});
    EXPECT_EQ(*reopened->OpenStream(u"a")->ReadAll(), "new");
}

TEST(SealedStreams, CopiesAndRenamesSealForTheNewPathAndOpenIntoPlainFiles) {
    auto sealer = NewSealer();
    auto plain = cfb::Storage::CreateInMemory();
    {
        auto sub = plain->CreateStorage(u"RecTree");
        auto s = sub->CreateStream(u"ObPool");
        ASSERT_TRUE(s && s->WriteAll("begin obj(TreeItem)"));
    }
    auto sealedFile = cfb::Storage::CreateInMemory();
    sealedFile->SetSealer(sealer);
    ASSERT_TRUE(plain->CopyTo(*sealedFile));
    ASSERT_TRUE(sealedFile->Commit());
    EXPECT_EQ(Stored(*sealedFile->MemoryBytes(), u"RecTree", u"ObPool").find("begin"),
              std::string::npos);
    // A rename seals the content again under its new path, so it still opens.
    {
        auto sub = sealedFile->OpenStorage(u"RecTree");
        ASSERT_TRUE(sub->RenameElement(u"ObPool", u"Struct"));
        EXPECT_EQ(*sub->OpenStream(u"Struct")->ReadAll(), "begin obj(TreeItem)");
        ASSERT_TRUE(sub->CreateStream(u"Other"));
    }
    ASSERT_TRUE(sealedFile->Commit());
    auto back = cfb::Storage::CreateInMemory();
    ASSERT_TRUE(sealedFile->CopyTo(*back));
    auto sub = back->OpenStorage(u"RecTree");
    EXPECT_EQ(*sub->OpenStream(u"Struct")->ReadAll(), "begin obj(TreeItem)");
    EXPECT_EQ(*sub->OpenStream(u"Other")->ReadAll(), "");
    // A copy with no sealer on either side moves the stored forms as they are (Densor).
    auto raw = cfb::Storage::OpenMemory(*sealedFile->MemoryBytes(), cfb::mode::OpenRead);
    auto compacted = cfb::Storage::CreateInMemory();
    ASSERT_TRUE(raw->CopyTo(*compacted));
    auto again = cfb::Storage::OpenMemory(*compacted->MemoryBytes());
    again->SetSealer(sealer);
    EXPECT_EQ(*again->OpenStorage(u"RecTree")->OpenStream(u"Struct")->ReadAll(),
              "begin obj(TreeItem)");
}

TEST(SealedStreams, TheDescriptorAcceptsOnlyItsPasswordAndBoundedParameters) {
    const crypto::SecretBytes key = crypto::NewDataKey();
    auto descriptor = crypto::WrapDataKey(key, "пароль", crypto::KdfParams::Minimum());
    ASSERT_TRUE(descriptor);
    EXPECT_EQ(descriptor->size(), crypto::kDescriptorSize);
    auto unwrapped = crypto::UnwrapDataKey(*descriptor, "пароль");
    ASSERT_TRUE(unwrapped);
    EXPECT_EQ(unwrapped->view(), key.view());
    EXPECT_EQ(crypto::UnwrapDataKey(*descriptor, "Пароль").code(), hr::AccessDenied);
    EXPECT_EQ(crypto::UnwrapDataKey(*descriptor, "").code(), hr::AccessDenied);
    // The stored parameters are bound to the wrapped key: changed, they give no key.
    std::string changed = *descriptor;
    changed[16] ^= 2; // the operations count, 1 → 3
    EXPECT_EQ(crypto::UnwrapDataKey(changed, "пароль").code(), hr::AccessDenied);
    // Parameters that would ask the machine for too much are refused before any work.
    std::string greedy = *descriptor;
    greedy[31] = '\x7F'; // memory far beyond 4 GiB
    EXPECT_EQ(crypto::UnwrapDataKey(greedy, "пароль").code(), hr::DocFileCorrupt);
    EXPECT_EQ(crypto::UnwrapDataKey(descriptor->substr(0, 100), "пароль").code(),
              hr::DocFileCorrupt);
    EXPECT_FALSE(crypto::WrapDataKey(key, "пароль", {1, 1}));
    const crypto::KdfParams tuned = crypto::KdfParams::Tuned(0.05);
    EXPECT_TRUE(tuned.Acceptable());
}
