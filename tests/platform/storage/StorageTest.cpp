// Storages and streams: round trips through files and memory, the mini-stream cutoff,
// in-place writing, element operations and the status codes they give.
#include "platform/storage/Storage.h"
#include "platform/text/ItemStream.h"

#include "StorageTestSupport.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::cfb;
using namespace kelvo::cfb::test;

namespace {

std::string ReadStream(Storage& storage, std::u16string_view name) {
    auto stream = storage.OpenStream(name);
    EXPECT_TRUE(stream) << StatusName(stream.code());
    if (!stream)
        return {};
    auto bytes = stream->ReadAll();
    EXPECT_TRUE(bytes);
    return bytes ? *bytes : std::string{};
}

void WriteStream(Storage& storage, std::u16string_view name, const std::string& bytes) {
    auto stream = storage.CreateStream(name);
    ASSERT_TRUE(stream) << StatusName(stream.code());
    ASSERT_TRUE(stream->WriteAll(bytes));
}

std::vector<std::u16string> Names(const Storage& storage) {
    std::vector<std::u16string> out;
    auto list = storage.Enumerate();
    EXPECT_TRUE(list);
    for (const auto& st : *list)
        out.push_back(st.name);
    return out;
}

const std::size_t Sizes[] = {0, 1, 63, 64, 65, 511, 512, 513, 4095, 4096, 4097, 10000, 70000};

} // namespace

TEST(Storage, RoundTripsNestedStoragesAndStreamsOfEverySize) {
    TempDir dir;
    const auto path = dir / "файл.cfb";
    {
        auto root = Storage::CreateFile(path);
        ASSERT_TRUE(root) << StatusName(root.code());
        unsigned seed = 0;
        for (std::size_t size : Sizes)
            WriteStream(*root, u"s" + std::u16string(1, static_cast<char16_t>(u'A' + seed)),
                        Pattern(size, seed)),
                ++seed;
        auto sub = root->CreateStorage(u"Папка");
        ASSERT_TRUE(sub);
        auto inner = sub->CreateStorage(u"inner");
        ASSERT_TRUE(inner);
        WriteStream(*inner, u"deep", Pattern(5000, 99));
        WriteStream(*sub, u"\x05SummaryInformation", Pattern(300, 98));
    }
    auto root = Storage::OpenFile(path);
    ASSERT_TRUE(root) << StatusName(root.code());
    unsigned seed = 0;
    for (std::size_t size : Sizes) {
        EXPECT_EQ(ReadStream(*root, u"s" + std::u16string(1, static_cast<char16_t>(u'A' + seed))),
                  Pattern(size, seed))
            << size;
        ++seed;
    }
    auto sub = root->OpenStorage(u"Папка");
    ASSERT_TRUE(sub);
    EXPECT_EQ(ReadStream(*sub, u"\x05SummaryInformation"), Pattern(300, 98));
    auto inner = sub->OpenStorage(u"inner");
    ASSERT_TRUE(inner);
    EXPECT_EQ(ReadStream(*inner, u"deep"), Pattern(5000, 99));
    auto st = root->Stat();
    ASSERT_TRUE(st);
    EXPECT_EQ(st->type, ElementType::Root);
    EXPECT_EQ(st->name, path.u16string());
}

TEST(Storage, StreamsMoveAcrossTheMiniCutoffBothWays) {
    auto root = Storage::CreateInMemory();
    ASSERT_TRUE(root);
    auto stream = root->CreateStream(u"grow");
    ASSERT_TRUE(stream);
    std::string model;
    // Small pieces through the cutoff, then shrink below it and grow again.
    for (int i = 0; i < 100; ++i) {
        const std::string piece = Pattern(97, static_cast<unsigned>(i));
        ASSERT_TRUE(stream->Write(piece.data(), piece.size()));
        model += piece;
    }
    ASSERT_TRUE(stream->SetSize(3000));
    model.resize(3000);
    ASSERT_TRUE(stream->SetSize(9000)); // grows with zeros
    model.resize(9000, '\0');
    ASSERT_TRUE(stream->Seek(8000, SeekOrigin::Begin));
    ASSERT_TRUE(stream->Write("xyz", 3));
    model.replace(8000, 3, "xyz");
    ASSERT_TRUE(stream->Seek(12000, SeekOrigin::Begin)); // a write past the end leaves zeros
    ASSERT_TRUE(stream->Write("end", 3));
    model.resize(12000, '\0');
    model += "end";
    ASSERT_TRUE(stream->SetSize(4096));
    model.resize(4096);
    ASSERT_TRUE(stream->SetSize(4095));
    model.resize(4095);
    EXPECT_EQ(*stream->ReadAll(), model);
    stream = Stream();
    auto bytes = root->MemoryBytes();
    ASSERT_TRUE(bytes);
    auto again = Storage::OpenMemory(*bytes);
    ASSERT_TRUE(again) << StatusName(again.code());
    EXPECT_EQ(ReadStream(*again, u"grow"), model);
}

TEST(Storage, RewritesGoBesideTheCommittedDataAndReuseItsSectorsLater) {
    TempDir dir;
    const auto path = dir / "inplace.cfb";
    {
        auto root = Storage::CreateFile(path);
        ASSERT_TRUE(root);
        WriteStream(*root, u"big", Pattern(1 << 20, 1));
        WriteStream(*root, u"small", Pattern(1000, 2));
    }
    const auto size = std::filesystem::file_size(path);
    // A rewrite needs room for the old and the new data until it commits; after that the old
    // sectors are free again, so the file never grows past both copies.
    const auto bound = 2 * size + 64 * 1024;
    for (unsigned round = 3; round < 9; ++round) {
        auto root = Storage::OpenFile(path);
        ASSERT_TRUE(root);
        auto big = root->OpenStream(u"big");
        ASSERT_TRUE(big);
        ASSERT_TRUE(big->WriteAll(Pattern(1 << 20, round)));
        auto small = root->OpenStream(u"small");
        ASSERT_TRUE(small->WriteAll(Pattern(1000, round)));
        ASSERT_TRUE(root->Commit());
        EXPECT_LE(std::filesystem::file_size(path), bound) << "round " << round;
    }
    {
        // Destroying and writing the same amount again reuses the freed sectors.
        auto root = Storage::OpenFile(path);
        ASSERT_TRUE(root->DestroyElement(u"big"));
        WriteStream(*root, u"other", Pattern(1 << 20, 7));
    }
    EXPECT_LE(std::filesystem::file_size(path), bound);
    auto root = Storage::OpenFile(path);
    EXPECT_EQ(ReadStream(*root, u"other"), Pattern(1 << 20, 7));
    EXPECT_EQ(ReadStream(*root, u"small"), Pattern(1000, 8));
}

TEST(Storage, NamesSortByLengthThenUpperCaseAndAreUniqueThatWay) {
    auto root = Storage::CreateInMemory();
    for (auto name : {u"bb", u"a", u"AAA", u"Ab", u"ж", u"Я", u"z"})
        ASSERT_TRUE(root->CreateStream(name));
    EXPECT_EQ(Names(*root),
              (std::vector<std::u16string>{u"a", u"z", u"ж", u"Я", u"Ab", u"bb", u"AAA"}));
    EXPECT_EQ(root->CreateStream(u"AB", mode::ReadWrite | mode::ShareExclusive).code(),
              hr::FileAlreadyExists);
    EXPECT_TRUE(root->OpenStream(u"ЖЖ").code() == hr::FileNotFound);
    EXPECT_TRUE(root->OpenStream(u"Ж")); // found case-insensitively, as Windows does
    EXPECT_EQ(root->CreateStream(u"a/b").code(), hr::InvalidName);
    EXPECT_EQ(root->CreateStream(u"").code(), hr::InvalidName);
    EXPECT_EQ(root->CreateStorage(std::u16string(32, u'x')).code(), hr::InvalidName);
    EXPECT_TRUE(root->CreateStorage(std::u16string(31, u'x')));
}

TEST(Storage, ElementsAreExclusiveAndReleasedWithTheirHandles) {
    auto root = Storage::CreateInMemory();
    {
        auto stream = root->CreateStream(u"s");
        ASSERT_TRUE(stream);
        EXPECT_EQ(root->OpenStream(u"s").code(), hr::AccessDenied);
        EXPECT_EQ(root->DestroyElement(u"s").code(), hr::AccessDenied);
        EXPECT_EQ(root->RenameElement(u"s", u"t").code(), hr::AccessDenied);
        auto sub = root->CreateStorage(u"d");
        auto inner = sub->CreateStream(u"x");
        ASSERT_TRUE(inner);
        sub = Storage();
        EXPECT_EQ(root->DestroyElement(u"d").code(), hr::AccessDenied); // something inside open
    }
    EXPECT_TRUE(root->OpenStream(u"s"));
    EXPECT_TRUE(root->DestroyElement(u"d"));
    EXPECT_EQ(root->OpenStorage(u"d").code(), hr::FileNotFound);
    EXPECT_EQ(root->OpenStorage(u"s").code(), hr::FileNotFound); // a stream, not a storage
}

TEST(Storage, ReadOnlyHandlesRefuseWrites) {
    TempDir dir;
    const auto path = dir / "ro.cfb";
    {
        auto root = Storage::CreateFile(path);
        WriteStream(*root, u"s", "data");
    }
    auto root = Storage::OpenFile(path, mode::OpenRead);
    ASSERT_TRUE(root);
    auto stream = root->OpenStream(u"s", mode::OpenRead);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Write("x", 1).code(), hr::AccessDenied);
    EXPECT_EQ(root->CreateStream(u"t").code(), hr::AccessDenied);
    EXPECT_EQ(root->OpenStream(u"s").code(), hr::AccessDenied); // already open
    EXPECT_EQ(*stream->ReadAll(), "data");
}

TEST(Storage, FileLevelStatusCodes) {
    TempDir dir;
    EXPECT_EQ(Storage::OpenFile(dir / "missing.cfb").code(), hr::FileNotFound);
    EXPECT_EQ(Storage::OpenFile(dir / "no" / "such" / "x.cfb").code(), hr::PathNotFound);
    EXPECT_EQ(Storage::CreateFile(dir / "no" / "x.cfb").code(), hr::PathNotFound);
    WriteFileBytes(dir / "text.txt", "just some text, not a compound file at all");
    EXPECT_EQ(Storage::OpenFile(dir / "text.txt").code(), hr::FileAlreadyExists);
    WriteFileBytes(dir / "empty.tmp", "");
    EXPECT_EQ(Storage::OpenFile(dir / "empty.tmp").code(), hr::FileAlreadyExists);
    EXPECT_EQ(Storage::OpenFile(dir.path()).code(), hr::AccessDenied);
    // Creating replaces what is there.
    auto created = Storage::CreateFile(dir / "text.txt");
    ASSERT_TRUE(created);
    EXPECT_EQ(Names(*created).size(), 0u);
}

TEST(Storage, ASecondOpenOfAnOpenFileFailsUntilReleased) {
    TempDir dir;
    const auto path = dir / "lock.cfb";
    auto first = Storage::CreateFile(path);
    ASSERT_TRUE(first);
    WriteStream(*first, u"keep", "precious");
    EXPECT_EQ(Storage::OpenFile(path).code(), hr::ShareViolation);
    EXPECT_EQ(Storage::OpenFile(path, mode::OpenRead).code(), hr::ShareViolation);
    // Creating over an open file must not empty it.
    EXPECT_EQ(Storage::CreateFile(path).code(), hr::ShareViolation);
    first = Storage();
    auto second = Storage::OpenFile(path);
    ASSERT_TRUE(second);
    EXPECT_EQ(ReadStream(*second, u"keep"), "precious");
}

TEST(Storage, TheEngineLivesWhileAnyHandleDoes) {
    TempDir dir;
    const auto path = dir / "handles.cfb";
    Stream stream;
    {
        auto root = Storage::CreateFile(path);
        auto s = root->CreateStream(u"s");
        stream = std::move(*s);
    }
    ASSERT_TRUE(stream.Write("late", 4)); // the root is gone; the file is still open
    EXPECT_EQ(Storage::OpenFile(path).code(), hr::ShareViolation);
    stream = Stream();
    auto root = Storage::OpenFile(path);
    ASSERT_TRUE(root);
    EXPECT_EQ(ReadStream(*root, u"s"), "late");
}

TEST(Storage, CopyToMergesStoragesAndReplacesStreams) {
    auto src = Storage::CreateInMemory();
    auto dst = Storage::CreateInMemory();
    {
        WriteStream(*src, u"stream", "new");
        auto a = src->CreateStorage(u"A");
        const Clsid clsid{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        ASSERT_TRUE(a->SetClass(clsid));
        ASSERT_TRUE(a->SetStateBits(0x55, 0xFF));
        WriteStream(*a, u"x", Pattern(5000, 1));
        WriteStream(*dst, u"stream", Pattern(9000, 2));
        auto da = dst->CreateStorage(u"A");
        WriteStream(*da, u"x", "old");
        WriteStream(*da, u"onlyInTarget", "survives");
        WriteStream(*dst, u"other", "also survives");
    }
    ASSERT_TRUE(src->CopyTo(*dst));
    EXPECT_EQ(ReadStream(*dst, u"stream"), "new");
    EXPECT_EQ(ReadStream(*dst, u"other"), "also survives");
    auto a = dst->OpenStorage(u"A");
    ASSERT_TRUE(a);
    EXPECT_EQ(ReadStream(*a, u"x"), Pattern(5000, 1));
    EXPECT_EQ(ReadStream(*a, u"onlyInTarget"), "survives");
    EXPECT_EQ(a->Stat()->clsid[15], 16);
    EXPECT_EQ(a->Stat()->stateBits, 0x55u);
    // A storage cannot be copied into itself or below itself.
    auto inner = a->CreateStorage(u"inner");
    EXPECT_EQ(a->CopyTo(*inner).code(), hr::AccessDenied);
    EXPECT_EQ(dst->CopyTo(*dst).code(), hr::AccessDenied);
}

TEST(Storage, CopyAndMoveOneElementUnderANewName) {
    auto root = Storage::CreateInMemory();
    auto d1 = root->CreateStorage(u"d1");
    auto d2 = root->CreateStorage(u"d2");
    WriteStream(*d1, u"body", Pattern(6000, 3));
    WriteStream(*d2, u"copy", "old");
    ASSERT_TRUE(d1->CopyElementTo(u"body", *d2, u"copy"));
    EXPECT_EQ(ReadStream(*d2, u"copy"), Pattern(6000, 3));
    EXPECT_EQ(d1->CopyElementTo(u"body", *d2, u"copy", false, false).code(), hr::FileAlreadyExists);
    ASSERT_TRUE(d1->CopyElementTo(u"body", *d2, u"moved", true));
    EXPECT_EQ(d1->OpenStream(u"body").code(), hr::FileNotFound);
    EXPECT_EQ(ReadStream(*d2, u"moved"), Pattern(6000, 3));
    // Between files, and a storage with what is in it.
    auto other = Storage::CreateInMemory();
    d2 = Storage();
    ASSERT_TRUE(root->CopyElementTo(u"d2", *other, u"копия"));
    auto copied = other->OpenStorage(u"копия");
    ASSERT_TRUE(copied);
    EXPECT_EQ(ReadStream(*copied, u"moved"), Pattern(6000, 3));
    d1 = Storage();
    ASSERT_TRUE(root->RenameElement(u"d2", u"renamed"));
    EXPECT_EQ(Names(*root), (std::vector<std::u16string>{u"d1", u"renamed"}));
    EXPECT_EQ(root->RenameElement(u"d1", u"RENAMED").code(), hr::FileAlreadyExists);
}

TEST(Storage, ManyStreamsKeepABalancedDirectory) {
    auto root = Storage::CreateInMemory();
    for (int i = 0; i < 3000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%08X", i * 7919);
        std::u16string u(name, name + 8);
        ASSERT_TRUE(root->CreateStream(u));
    }
    for (int i = 0; i < 3000; i += 2) {
        char name[16];
        std::snprintf(name, sizeof name, "%08X", i * 7919);
        ASSERT_TRUE(root->DestroyElement(std::u16string(name, name + 8)));
    }
    auto again = Storage::OpenMemory(*root->MemoryBytes());
    ASSERT_TRUE(again);
    auto names = Names(*again);
    EXPECT_EQ(names.size(), 1500u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
}

TEST(Storage, ItemStreamPrimitivesRunOverEngineStreams) {
    auto root = Storage::CreateInMemory();
    {
        auto stream = root->CreateStream(u"ObPool");
        ASSERT_TRUE(stream);
        LineWriter writer(*stream);
        for (int i = 0; i < 2000; ++i)
            ASSERT_TRUE(writer.WriteLine("line " + std::to_string(i)));
        ASSERT_TRUE(writer.Flush());
        ASSERT_TRUE(WriteLine(*stream, "last", false));
    }
    auto stream = root->OpenStream(u"ObPool");
    ASSERT_TRUE(stream);
    LineReader reader(*stream);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(reader.ReadLine(), "line " + std::to_string(i));
    EXPECT_EQ(reader.ReadLine(), "last");
    EXPECT_TRUE(reader.AtEnd());
}
