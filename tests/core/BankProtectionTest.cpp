// Banks protected by a master password: what reaches the disk, what comes back, and what
// happens to a wrong password, a damaged or swapped stream, Densor and the Windows program's
// check. Key derivation runs with the smallest parameters; the file stores them.
#include "core/BankProtection.h"
#include "core/BankHeader.h"
#include "core/QuorvellineDoc.h"
#include "core/RecordImport.h"
#include "densor/Compactor.h"
#include "platform/storage/BankStorage.h"
#include "platform/storage/PropertySet.h"
#include "platform/text/CodePages.h"
#include "tests/support/CompoundContent.h"
#include "tests/support/SampleBank.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <sstream>

using namespace kelvo;
using namespace kelvo::test;

namespace {

const crypto::KdfParams kQuick = crypto::KdfParams::Minimum();
const std::string kPassword = "Тайна-42 пароль";

// Texts of the user's that a protected file must not show in any encoding.
const std::vector<std::string> kKnown = {
    "Секретныйзаголовок", "Kassiopeiatitle",  "Пароль-Лебедь-42", "логин_волк_17",
    "заметкаоблако",      "Гиацинтслово",     "Hyacinthbodyword", "ключсловоберёза",
    "тема_банка_дуб",     "значениесвойства", "ИмяСвойстваКедр",  "https://example.test/lynx"};

void KeepSessionLocksApart() {
    static const ScratchDir folder;
    static const bool set = ::setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1) == 0;
    (void)set;
}

PasswordPrompt Answers(std::vector<std::string> passwords, int* asked = nullptr) {
    return [passwords, asked](const std::filesystem::path&,
                              int attempt) -> std::optional<crypto::SecretBytes> {
        if (asked)
            ++*asked;
        if (attempt >= static_cast<int>(passwords.size()))
            return std::nullopt;
        return crypto::SecretBytes::From(passwords[attempt]);
    };
}

std::string Body(const std::string& words) {
    return "{\\rtf1\\ansi\\ansicpg1251 " + std::string(BankText(words)) + "\\par}";
}

// A bank holding every kind of user text, saved at `path`.
void MakeBank(const std::filesystem::path& path) {
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    TreeNode* root = doc.records().first();
    TreeNode* a = doc.AddNode(TreeKind::Records, root, BankText("Секретныйзаголовок"));
    a->item.notes = BankText("заметкаоблако");
    a->item.keywords = BankText("ключсловоберёза");
    TreeNode* b = doc.AddNode(TreeKind::Records, a, BankText("Kassiopeiatitle"));
    TreeNode* c = doc.AddNode(TreeKind::Records, root, BankText("Третья"));
    ASSERT_TRUE(doc.SaveBody(a, Body("Гиацинтслово Hyacinthbodyword")));
    ASSERT_TRUE(doc.SaveBody(b, Body("второе тело " + std::string(3000, 'x'))));
    ASSERT_TRUE(doc.SaveBody(c, Body("третье тело")));
    auto item = std::make_unique<PwdItem>();
    item->title = BankText("Почта");
    item->login = BankText("логин_волк_17");
    item->password = BankText("Пароль-Лебедь-42");
    item->link = BankText("https://example.test/lynx");
    doc.AddPassword(std::move(item), doc.folders().first());
    doc.summary().subject = BankText("тема_банка_дуб");
    UserProperty property;
    property.name = BankText("ИмяСвойстваКедр");
    property.type = UserProperty::Text;
    property.text = BankText("значениесвойства");
    doc.userProperties().push_back(property);
    const Result<void> saved = doc.SaveAs(path);
    ASSERT_TRUE(saved) << ErrorText(saved.error());
}

void Protect(const std::filesystem::path& path, const std::string& password = kPassword) {
    auto sealer = ProtectBankFile(path, password, kQuick);
    ASSERT_TRUE(sealer) << ErrorText(sealer.error());
}

std::string Utf16Bytes(const std::string& utf8) {
    std::string out;
    for (char16_t c : Utf8ToUtf16(utf8)) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

// The texts of `known` that `bytes` holds, in Windows-1251 or UTF-16.
std::vector<std::string> Found(const std::string& bytes) {
    std::vector<std::string> found;
    for (const std::string& text : kKnown) {
        if (bytes.find(std::string(BankText(text))) != std::string::npos ||
            bytes.find(Utf16Bytes(text)) != std::string::npos)
            found.push_back(text);
    }
    return found;
}

// Everything the document shows of a bank, bodies included, as one text.
std::string Snapshot(CQuorvellineDoc& doc) {
    std::ostringstream out;
    for (TreeKind kind : {TreeKind::Records, TreeKind::Folders}) {
        for (TreeNode* node : doc.tree(kind).PreOrder()) {
            out << node->item.uid << '|' << AnsiToUtf8(node->title) << '|'
                << AnsiToUtf8(node->item.keywords) << '|' << AnsiToUtf8(node->item.notes);
            if (kind == TreeKind::Records) {
                auto body = doc.ReadBody(node->item.uid);
                out << '|' << (body ? *body : "<no body>");
            }
            out << '\n';
        }
    }
    for (const auto& item : doc.passwords())
        out << AnsiToUtf8(item->title) << '|' << AnsiToUtf8(item->login) << '|'
            << AnsiToUtf8(item->password) << '|' << AnsiToUtf8(item->link) << '\n';
    const BankSummary& s = doc.summary();
    out << AnsiToUtf8(s.title) << '|' << AnsiToUtf8(s.subject) << '|' << AnsiToUtf8(s.author) << '|'
        << AnsiToUtf8(s.comments) << '\n';
    for (const UserProperty& p : doc.userProperties())
        out << AnsiToUtf8(p.name) << '=' << AnsiToUtf8(p.text) << '\n';
    return out.str();
}

std::string SnapshotOf(const std::filesystem::path& path, const PasswordPrompt& prompt = {}) {
    CQuorvellineDoc doc;
    doc.SetPasswordPrompt(prompt);
    const Result<void> opened = doc.OnOpenDocument(path, BankAccess::Read);
    EXPECT_TRUE(opened) << ErrorText(opened.error());
    return opened ? Snapshot(doc) : std::string();
}

// Every stream of a compound file by path, read as stored.
void WalkStreams(cfb::Storage& storage, const std::u16string& prefix,
                 std::vector<std::u16string>& out) {
    auto children = storage.Enumerate();
    ASSERT_TRUE(children);
    for (const auto& child : *children) {
        const std::u16string path = prefix.empty() ? child.name : prefix + u"/" + child.name;
        if (child.type == cfb::ElementType::Stream) {
            out.push_back(path);
        } else if (auto sub = storage.OpenStorage(child.name, cfb::mode::OpenRead)) {
            WalkStreams(*sub, path, out);
        }
    }
}

std::vector<std::u16string> StreamsOf(const std::string& bytes) {
    auto root = cfb::Storage::OpenMemory(bytes, cfb::mode::OpenRead);
    EXPECT_TRUE(root);
    std::vector<std::u16string> out;
    if (root)
        WalkStreams(*root, u"", out);
    return out;
}

// Runs `change` on the stored bytes of the stream at `path` of the file at `file`.
void EditStored(const std::filesystem::path& file, const std::u16string& path,
                const std::function<void(std::string&)>& change) {
    auto root = cfb::Storage::OpenFile(file, cfb::mode::Open);
    ASSERT_TRUE(root);
    cfb::Storage parent = std::move(*root);
    std::vector<cfb::Storage> keep;
    std::u16string rest = path;
    for (std::size_t slash; (slash = rest.find(u'/')) != std::u16string::npos;) {
        auto sub = (keep.empty() ? parent : keep.back()).OpenStorage(rest.substr(0, slash));
        ASSERT_TRUE(sub);
        keep.push_back(std::move(*sub));
        rest = rest.substr(slash + 1);
    }
    auto stream = (keep.empty() ? parent : keep.back()).OpenStream(rest);
    ASSERT_TRUE(stream);
    auto bytes = stream->ReadAll();
    ASSERT_TRUE(bytes);
    change(*bytes);
    ASSERT_TRUE(stream->WriteAll(*bytes));
    *stream = cfb::Stream();
    keep.clear();
    ASSERT_TRUE(parent.Commit());
}

bool Sealed(const std::u16string& path) {
    return path != kBankHeaderStream && path != kSealStream &&
           path != cfb::kSummaryInformationName && path != cfb::kDocSummaryInformationName;
}

class BankProtection : public ::testing::Test {
protected:
    void SetUp() override {
        KeepSessionLocksApart();
        MakeBank(m_bank);
    }
    ScratchDir m_dir;
    std::filesystem::path m_bank = m_dir / "Личный.Kvb";
};

} // namespace

TEST_F(BankProtection, AProtectedFileHoldsNoKnownTextInEitherEncoding) {
    // The plain bank shows them (so the search below can find what it looks for).
    EXPECT_EQ(Found(ReadBytes(m_bank)).size(), kKnown.size());
    Protect(m_bank);
    EXPECT_EQ(Found(ReadBytes(m_bank)), std::vector<std::string>{});
    // Edited and saved while protected: the new texts are sealed too, and so is the index.
    {
        CQuorvellineDoc doc;
        doc.SetPasswordPrompt(Answers({kPassword}));
        ASSERT_TRUE(doc.OnOpenDocument(m_bank));
        TreeNode* node = doc.AddNode(TreeKind::Records, doc.records().first(),
                                     BankText("Секретныйзаголовок второй"));
        ASSERT_TRUE(doc.SaveBody(node, Body("Hyacinthbodyword снова")));
        auto working = doc.WorkingStorage();
        ASSERT_TRUE(working);
        ASSERT_TRUE(working->CreateStorage(u"BnkIndx"));
        auto words = working->OpenStorage(u"BnkIndx");
        ASSERT_TRUE(words);
        auto stream = words->CreateStream(u"Words");
        ASSERT_TRUE(stream && stream->WriteAll(std::string(BankText("логин_волк_17"))));
        *stream = cfb::Stream();
        *words = cfb::Storage();
        ASSERT_TRUE(working->Commit());
        *working = cfb::Storage();
        ASSERT_TRUE(doc.Save());
    }
    EXPECT_EQ(Found(ReadBytes(m_bank)), std::vector<std::string>{});
    // The standard property sets show the title and nothing else of the user's.
    auto root = cfb::Storage::OpenFile(m_bank, cfb::mode::OpenRead);
    ASSERT_TRUE(root);
    auto set = cfb::ReadPropertySet(*root, cfb::kSummaryInformationName);
    ASSERT_TRUE(set);
    BankSummary shown;
    ApplySummaryInformation(*set, shown);
    EXPECT_EQ(AnsiToUtf8(shown.title), "Защищённый банк");
    EXPECT_EQ(shown.author, "");
    EXPECT_EQ(shown.subject, "");
    EXPECT_EQ(shown.comments, "");
}

TEST_F(BankProtection, ProtectThenUnprotectGivesBackTheSameBank) {
    const std::string before = SnapshotOf(m_bank);
    auto content = ReadContent(ReadBytes(m_bank));
    ASSERT_TRUE(content);
    Protect(m_bank);
    EXPECT_EQ(SnapshotOf(m_bank, Answers({kPassword})), before);
    // Every stream but the header and the descriptor is sealed.
    for (const std::u16string& path : StreamsOf(ReadBytes(m_bank))) {
        if (!Sealed(path))
            continue;
        auto root = cfb::Storage::OpenFile(m_bank, cfb::mode::OpenRead);
        ASSERT_TRUE(root);
        auto sealer = UnlockBank(*root, kPassword, m_bank.string());
        ASSERT_TRUE(sealer);
        EXPECT_TRUE((*sealer)->Seals(path)) << Utf16ToUtf8(path);
    }
    ASSERT_TRUE(UnprotectBankFile(m_bank, kPassword));
    EXPECT_EQ(SnapshotOf(m_bank), before);
    // Element for element the file is what it was.
    auto after = ReadContent(ReadBytes(m_bank));
    ASSERT_TRUE(after);
    EXPECT_EQ(*after, *content);
}

TEST_F(BankProtection, AWrongPasswordIsRefusedAndChangesNothing) {
    Protect(m_bank);
    const std::string bytes = ReadBytes(m_bank);
    {
        CQuorvellineDoc doc;
        int asked = 0;
        doc.SetPasswordPrompt(Answers({"неверный", "тоже неверный"}, &asked));
        auto opened = doc.OnOpenDocument(m_bank);
        ASSERT_FALSE(opened);
        EXPECT_EQ(opened.error().messageId, msg::WrongPassword);
        EXPECT_EQ(asked, 3); // two wrong answers, then none
        EXPECT_EQ(ErrorText(opened.error()), "Неверный пароль банка данных.");
    }
    {
        CQuorvellineDoc doc; // no way to ask
        auto opened = doc.OnOpenDocument(m_bank);
        ASSERT_FALSE(opened);
        EXPECT_EQ(opened.error().messageId, msg::PasswordNeeded);
        EXPECT_NE(ErrorText(opened.error()).find(m_bank.string()), std::string::npos);
        doc.SetPasswordPrompt(Answers({}));
        EXPECT_EQ(doc.OnOpenDocument(m_bank).error().messageId, msg::OpenCancelled);
    }
    EXPECT_EQ(UnprotectBankFile(m_bank, "неверный").error().messageId, msg::WrongPassword);
    EXPECT_EQ(ChangeBankPassword(m_bank, "неверный", "новый", kQuick).error().messageId,
              msg::WrongPassword);
    EXPECT_EQ(ReadBytes(m_bank), bytes);
    // A document that has a bank open keeps it when another one is refused.
    CQuorvellineDoc doc;
    MakeBank(m_dir / "other.Kvb");
    ASSERT_TRUE(doc.OnOpenDocument(m_dir / "other.Kvb"));
    doc.SetPasswordPrompt(Answers({"неверный"}));
    EXPECT_FALSE(doc.OnOpenDocument(m_bank));
    EXPECT_EQ(doc.path(), m_dir / "other.Kvb");
    EXPECT_FALSE(doc.isProtected());
    EXPECT_NE(Snapshot(doc).find("Секретныйзаголовок"), std::string::npos);
}

TEST_F(BankProtection, AFlippedByteInAnySealedStreamIsDetectedAndNamed) {
    Protect(m_bank);
    const std::string original = ReadBytes(m_bank);
    std::size_t checked = 0;
    for (const std::u16string& path : StreamsOf(original)) {
        if (!Sealed(path))
            continue;
        ++checked;
        WriteBytes(m_bank, original);
        EditStored(m_bank, path, [](std::string& b) { b[b.size() / 2] ^= 0x20; });
        const std::string shown = Utf16ToUtf8(path);
        CQuorvellineDoc doc;
        doc.SetPasswordPrompt(Answers({kPassword}));
        const Result<void> opened = doc.OnOpenDocument(m_bank, BankAccess::Read);
        ASSERT_TRUE(opened) << shown << ": " << ErrorText(opened.error());
        std::string reported = DamagedElementsText(doc.TakeDamagedElements());
        // A body shows up when it is read: the error names it.
        for (TreeNode* node : doc.records().PreOrder()) {
            auto body = doc.ReadBody(node->item.uid);
            if (!body)
                reported += ErrorText(body.error());
        }
        reported += DamagedElementsText(doc.TakeDamagedElements());
        std::string printable;
        for (char ch : shown)
            if (static_cast<unsigned char>(ch) >= 0x20)
                printable.push_back(ch);
        EXPECT_NE(reported.find(printable), std::string::npos) << shown << ": " << reported;
        // The rest of the bank opened: the password entry is there unless its stream broke.
        if (path != u"PwdData/ObPool") {
            EXPECT_EQ(doc.passwords().size(), 1u) << shown;
        }
    }
    EXPECT_GE(checked, 10u); // trees, entries, three bodies, the sealed property sets
}

TEST_F(BankProtection, SwappedOrTruncatedBodyStreamsAreDetected) {
    Protect(m_bank);
    std::string two, three;
    EditStored(m_bank, u"RecData/00000002", [&](std::string& b) { two = b; });
    EditStored(m_bank, u"RecData/00000003", [&](std::string& b) { three = b; });
    EditStored(m_bank, u"RecData/00000002", [&](std::string& b) { b = three; });
    EditStored(m_bank, u"RecData/00000003", [&](std::string& b) { b = two; });
    EditStored(m_bank, u"RecData/00000004", [&](std::string& b) { b.resize(b.size() - 5); });
    CQuorvellineDoc doc;
    doc.SetPasswordPrompt(Answers({kPassword}));
    ASSERT_TRUE(doc.OnOpenDocument(m_bank, BankAccess::Read));
    for (std::uint32_t uid : {2u, 3u, 4u}) {
        auto body = doc.ReadBody(uid);
        ASSERT_FALSE(body) << uid;
        EXPECT_NE(ErrorText(body.error()).find("RecData/0000000" + std::to_string(uid)),
                  std::string::npos)
            << ErrorText(body.error());
    }
    EXPECT_EQ(doc.TakeDamagedElements().size(), 3u);
}

TEST_F(BankProtection, DensorCompactsAProtectedBankAndItStillOpens) {
    Protect(m_bank);
    const std::string before = SnapshotOf(m_bank, Answers({kPassword}));
    std::ostringstream report;
    EXPECT_EQ(densor::Run({m_bank.string()}, report), 0) << report.str();
    EXPECT_EQ(SnapshotOf(m_bank, Answers({kPassword})), before);
    EXPECT_EQ(Found(ReadBytes(m_bank)), std::vector<std::string>{});
}

TEST_F(BankProtection, TheWindowsProgramsCheckRefusesAProtectedBank) {
    Protect(m_bank);
    auto root = cfb::Storage::OpenFile(m_bank, cfb::mode::OpenRead);
    ASSERT_TRUE(root);
    auto header = root->OpenStream(kBankHeaderStream, cfb::mode::OpenRead);
    ASSERT_TRUE(header);
    auto bytes = header->ReadAll();
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), kBankHeaderSize);
    // The only field the Windows program compares: it differs, so the file is "not a bank".
    EXPECT_NE(std::memcmp(bytes->data() + kBankIdOffset, kBankId.data(), 16), 0);
    EXPECT_EQ(std::memcmp(bytes->data() + kBankIdOffset, kProtectedBankId.data(), 16), 0);
    // The rest of the header keeps its layout.
    EXPECT_EQ(bytes->substr(0, 49), "$Quorvelline 2003 Data Bank storage file format\r\n");
    EXPECT_EQ(bytes->substr(300), std::string(212, '\xFF'));
    *header = cfb::Stream();
    *root = cfb::Storage();
    // An independent reader still reads the whole tree of the file.
    if (!HaveOlefile())
        GTEST_SKIP() << "python3-olefile is not installed";
    auto ours = ReadContent(ReadBytes(m_bank));
    ASSERT_TRUE(ours);
    EXPECT_EQ(OlefileContents({m_bank}).at(m_bank), *ours);
}

TEST_F(BankProtection, ThePasswordChangesAndTheOldOneNoLongerOpens) {
    Protect(m_bank);
    const std::string before = SnapshotOf(m_bank, Answers({kPassword}));
    std::string oldDescriptor;
    EditStored(m_bank, std::u16string(kSealStream), [&](std::string& b) { oldDescriptor = b; });
    ASSERT_TRUE(ChangeBankPassword(m_bank, kPassword, "новый пароль", kQuick));
    EXPECT_EQ(SnapshotOf(m_bank, Answers({"новый пароль"})), before);
    CQuorvellineDoc doc;
    doc.SetPasswordPrompt(Answers({kPassword}));
    EXPECT_EQ(doc.OnOpenDocument(m_bank).error().messageId, msg::WrongPassword);
    // The data key is new too: the old descriptor with the old password opens nothing.
    EditStored(m_bank, std::u16string(kSealStream), [&](std::string& b) { b = oldDescriptor; });
    CQuorvellineDoc old;
    old.SetPasswordPrompt(Answers({kPassword}));
    ASSERT_TRUE(old.OnOpenDocument(m_bank, BankAccess::Read));
    EXPECT_FALSE(old.TakeDamagedElements().empty());
}

TEST_F(BankProtection, TheDocumentProtectsSavesAndUnprotectsItsBank) {
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(m_bank));
    doc.records().first()->item.notes = BankText("несохранённое изменение");
    doc.SetModifiedFlag(true);
    EXPECT_EQ(doc.Protect("", kQuick).error().messageId, msg::EmptyPassword);
    ASSERT_TRUE(doc.Protect(kPassword, kQuick));
    EXPECT_TRUE(doc.isProtected());
    EXPECT_FALSE(doc.IsModified()); // saved first
    EXPECT_EQ(doc.Protect(kPassword, kQuick).error().messageId, msg::AlreadyProtected);
    EXPECT_TRUE(IsProtectedBankFile(m_bank));
    // Bodies and saves go on sealed with the same key.
    TreeNode* node = doc.AddNode(TreeKind::Records, nullptr, BankText("После защиты"));
    ASSERT_TRUE(doc.SaveBody(node, Body("тело после защиты")));
    ASSERT_TRUE(doc.Save());
    const std::string protectedView = Snapshot(doc);
    EXPECT_NE(protectedView.find("несохранённое изменение"), std::string::npos);
    EXPECT_EQ(SnapshotOf(m_bank, Answers({kPassword})), protectedView);
    // Save As of a protected bank gives a protected copy that opens with the same password.
    const auto copy = m_dir / "copy.Kvb";
    ASSERT_TRUE(doc.SaveAs(copy));
    EXPECT_TRUE(IsProtectedBankFile(copy));
    EXPECT_EQ(Found(ReadBytes(copy)), std::vector<std::string>{});
    EXPECT_EQ(SnapshotOf(copy, Answers({kPassword})), SnapshotOf(m_bank, Answers({kPassword})));
    doc.SetPasswordPrompt(Answers({kPassword}));
    ASSERT_TRUE(doc.OnOpenDocument(m_bank));
    EXPECT_EQ(doc.Unprotect("неверный").error().messageId, msg::WrongPassword);
    EXPECT_TRUE(doc.isProtected());
    ASSERT_TRUE(doc.ChangePassword(kPassword, "второй", kQuick));
    ASSERT_TRUE(doc.Unprotect("второй"));
    EXPECT_FALSE(doc.isProtected());
    EXPECT_EQ(doc.Unprotect("второй").error().messageId, msg::NotProtected);
    EXPECT_EQ(SnapshotOf(m_bank), protectedView);
    // A plain bank saved over a protected file replaces it whole: nothing sealed stays.
    ASSERT_TRUE(doc.SaveAs(copy));
    EXPECT_FALSE(IsProtectedBankFile(copy));
    for (const std::u16string& path : StreamsOf(ReadBytes(copy)))
        EXPECT_NE(path, kSealStream);
    EXPECT_EQ(SnapshotOf(copy), Snapshot(doc));
}

TEST_F(BankProtection, RecordsAreImportedFromAndIntoAProtectedBank) {
    const auto plain = m_dir / "plain.Kvb";
    MakeBank(plain);
    Protect(m_bank);
    // From the protected bank into the plain one: the source asks for its password.
    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(plain));
    RecordImportSource source;
    EXPECT_EQ(source.Load(m_bank).error().messageId, msg::PasswordNeeded);
    ASSERT_TRUE(source.Load(m_bank, nullptr, Answers({kPassword})));
    TreeNode* chosen = source.tree().first()->children.front(); // "Секретныйзаголовок"
    auto imported = ImportRecords(doc, doc.records().first(), source, chosen);
    ASSERT_TRUE(imported) << ErrorText(imported.error());
    EXPECT_EQ(imported->bodies, 2u);
    auto body = doc.ReadBody(imported->top->item.uid);
    ASSERT_TRUE(body);
    EXPECT_NE(body->find("Hyacinthbodyword"), std::string::npos);
    ASSERT_TRUE(doc.Save());
    // From the plain bank into the protected one: the copies are sealed.
    CQuorvellineDoc sealed;
    sealed.SetPasswordPrompt(Answers({kPassword}));
    ASSERT_TRUE(sealed.OnOpenDocument(m_bank));
    RecordImportSource other;
    ASSERT_TRUE(other.Load(plain));
    auto again = ImportRecords(sealed, sealed.records().first(), other,
                               other.tree().first()->children.front());
    ASSERT_TRUE(again) << ErrorText(again.error());
    ASSERT_TRUE(sealed.Save());
    EXPECT_EQ(Found(ReadBytes(m_bank)), std::vector<std::string>{});
    auto copied = sealed.ReadBody(again->top->item.uid);
    ASSERT_TRUE(copied);
    EXPECT_NE(copied->find("Hyacinthbodyword"), std::string::npos);
}
