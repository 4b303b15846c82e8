// kvb rm, rm-password, mv, import, cleanup, show with the body text and --body, run as the
// built program against real bank files; the body streams are checked with python3-olefile.
#include "core/QuorvellineDoc.h"
#include "platform/storage/Storage.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;
using nlohmann::json;
using namespace std::string_literals;

namespace {

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct Ran {
    int status = -1;
    std::string out;
    json Json() const { return json::parse(out); }
};

Ran Shell(const std::string& command) {
    Ran r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return r;
    std::array<char, 4096> buf;
    while (std::size_t n = fread(buf.data(), 1, buf.size(), pipe))
        r.out.append(buf.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

class KvbOps : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelvo-kvbops-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_base = pattern;
        dir = m_base / "данные";
        fs::create_directories(dir);
        bank = dir / "банк.Kvb";
        ASSERT_EQ(Kvb("new " + Quote(bank.string())).status, 0);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_base, ec);
    }

    // kvb with `args` (already quoted), standard error dropped unless asked for.
    Ran Kvb(const std::string& args, bool withErrors = false) {
        return Shell(Quote(std::string(KELVO_BINARY_DIR) + "/cli/kvb") + " " + args +
                     (withErrors ? " 2>&1" : " 2>/dev/null"));
    }
    Ran KvbJson(const std::string& args) { return Kvb("--json " + args); }

    std::uint32_t AddRecord(const fs::path& in, std::uint32_t parent, const std::string& title,
                            const std::string& bodyFile = "") {
        std::string args = "add-record " + Quote(in.string()) + " --parent " +
                           std::to_string(parent) + " --title " + Quote(title);
        if (!bodyFile.empty())
            args += " --body " + Quote(bodyFile);
        Ran r = KvbJson(args);
        EXPECT_EQ(r.status, 0) << args;
        return r.status == 0 ? r.Json()["uid"].get<std::uint32_t>() : 0;
    }

    // The streams of RecData as olefile sees them: name -> size.
    json Bodies(const fs::path& file) {
        Ran r = Shell("/usr/bin/python3 -c " +
                      Quote("import json,sys,olefile\n"
                            "o=olefile.OleFileIO(sys.argv[1])\n"
                            "print(json.dumps({e[1]:o.get_size(e) for e in "
                            "o.listdir(streams=True) if len(e)==2 and e[0]=='RecData'}))") +
                      " " + Quote(file.string()));
        EXPECT_EQ(r.status, 0);
        return r.status == 0 ? r.Json() : json::object();
    }

    json Tree(const fs::path& file, bool folders = false) {
        return KvbJson("tree " + Quote(file.string()) + (folders ? " --folders" : ""))
            .Json()["nodes"];
    }

    fs::path m_base, dir, bank;
};

TEST_F(KvbOps, RmDeletesTheSubtreeWithItsBodiesAndRefusesTheRoot) {
    const fs::path text = dir / "текст.txt";
    WriteBytes(text, "строка\n");
    const auto a = AddRecord(bank, 1, "A", text.string());
    const auto a1 = AddRecord(bank, a, "A1", text.string());
    const auto a2 = AddRecord(bank, a, "A2", text.string());
    const auto b = AddRecord(bank, 1, "B", text.string());
    EXPECT_EQ(Bodies(bank).size(), 4u);

    EXPECT_EQ(KvbJson("rm " + Quote(bank.string()) + " " + std::to_string(a)).out, "{}\n");
    const json bodies = Bodies(bank);
    EXPECT_EQ(bodies.size(), 1u);
    EXPECT_TRUE(bodies.contains("0000000" + std::to_string(b)));
    const json nodes = Tree(bank);
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[1]["title"], "B");
    (void)a1;
    (void)a2;

    const std::string before = ReadBytes(bank);
    Ran root = Kvb("rm " + Quote(bank.string()) + " 1", true);
    EXPECT_EQ(root.status, 3);
    EXPECT_NE(root.out.find("Корневую запись удалить нельзя"), std::string::npos);
    EXPECT_EQ(Kvb("rm " + Quote(bank.string()) + " 99").status, 3);
    EXPECT_EQ(Kvb("rm " + Quote(bank.string()) + " 1 --folder").status, 3);
    EXPECT_EQ(ReadBytes(bank), before);
    EXPECT_EQ(Kvb("rm " + Quote((dir / "нет.Kvb").string()) + " 2").status, 2);
}

TEST_F(KvbOps, RmFolderMovesItsEntriesUpAndRmPasswordDeletesOne) {
    const std::string b = Quote(bank.string());
    const auto f = KvbJson("add-folder " + b + " --parent 1 --title Почта").Json()["uid"];
    const auto g =
        KvbJson("add-folder " + b + " --parent " + to_string(f) + " --title Работа").Json()["uid"];
    for (const auto& folder : {f, g, g}) {
        ASSERT_EQ(Kvb("add-password " + b + " --folder " + to_string(folder) + " --title p").status,
                  0);
    }
    ASSERT_EQ(Kvb("rm " + b + " " + to_string(f) + " --folder").status, 0);
    json list = KvbJson("passwords " + b).Json()["passwords"];
    ASSERT_EQ(list.size(), 3u);
    for (const json& p : list)
        EXPECT_EQ(p["folder"], 1);
    EXPECT_EQ(Tree(bank, true).size(), 1u);

    ASSERT_EQ(Kvb("rm-password " + b + " " + to_string(list[1]["uid"])).status, 0);
    EXPECT_EQ(KvbJson("passwords " + b).Json()["passwords"].size(), 2u);
    EXPECT_EQ(Kvb("rm-password " + b + " 77").status, 3);
}

TEST_F(KvbOps, MvRefusesItsOwnSubtreeAndKeepsUidBodyAndChildren) {
    const std::string b = Quote(bank.string());
    const fs::path rtf = dir / "тело.rtf";
    WriteBytes(rtf, "{\\rtf1\\ansi body of A}");
    const auto a = AddRecord(bank, 1, "A", rtf.string());
    const auto a1 = AddRecord(bank, a, "A1");
    const auto bb = AddRecord(bank, 1, "B");
    const std::string before = ReadBytes(bank);
    EXPECT_EQ(Kvb("mv " + b + " " + std::to_string(a) + " --to " + std::to_string(a1)).status, 3);
    EXPECT_EQ(Kvb("mv " + b + " " + std::to_string(a) + " --to " + std::to_string(a)).status, 3);
    EXPECT_EQ(Kvb("mv " + b + " 1 --to " + std::to_string(bb)).status, 3);
    EXPECT_EQ(Kvb("mv " + b + " " + std::to_string(bb) + " --to 1 --after").status, 3);
    EXPECT_EQ(ReadBytes(bank), before);

    ASSERT_EQ(Kvb("mv " + b + " " + std::to_string(a) + " --to " + std::to_string(bb)).status, 0);
    json nodes = Tree(bank);
    ASSERT_EQ(nodes.size(), 4u);
    EXPECT_EQ(nodes[1]["title"], "B");
    EXPECT_EQ(nodes[2]["uid"], a);
    EXPECT_EQ(nodes[2]["level"], 3);
    EXPECT_EQ(nodes[3]["title"], "A1");
    EXPECT_EQ(nodes[3]["level"], 4);
    EXPECT_EQ(Kvb("show " + b + " " + std::to_string(a) + " --rtf").out,
              "{\\rtf1\\ansi body of A}");

    // --after: the sibling right after the target.
    ASSERT_EQ(Kvb("mv " + b + " " + std::to_string(a1) + " --to " + std::to_string(bb) + " --after")
                  .status,
              0);
    nodes = Tree(bank);
    EXPECT_EQ(nodes[3]["uid"], a1);
    EXPECT_EQ(nodes[3]["level"], 2);
}

TEST_F(KvbOps, ImportCopiesATreeWithFreshUidsSourceTimesAndIdenticalBodies) {
    const fs::path source = dir / "источник.Kvb";
    ASSERT_EQ(Kvb("new " + Quote(source.string())).status, 0);
    std::string binary;
    for (int i = 0; i < 70000; ++i)
        binary.push_back(static_cast<char>(i * 7 % 256));
    const fs::path big = dir / "big.rtf";
    WriteBytes(big, "{\\rtf1 " + binary + "}");
    const auto x = AddRecord(source, 1, "X", big.string());
    AddRecord(source, x, "X1");
    const fs::path small = dir / "small.txt";
    WriteBytes(small, "мало");
    AddRecord(source, x, "X2", small.string());
    // The destination already uses the UIDs the source has.
    const auto under = AddRecord(bank, 1, "Сюда");
    AddRecord(bank, 1, "Другая");

    const std::string sourceBefore = ReadBytes(source);
    Ran r = KvbJson("import " + Quote(bank.string()) + " --from " + Quote(source.string()) +
                    " --record 1 --under " + std::to_string(under));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.Json()["uid"], 4);
    EXPECT_EQ(ReadBytes(source), sourceBefore);

    const json from = Tree(source), to = Tree(bank);
    ASSERT_EQ(from.size(), 4u);
    ASSERT_EQ(to.size(), 7u);
    for (std::size_t i = 0; i < from.size(); ++i) {
        const json& o = from[i];
        const json& c = to[i + 2];
        EXPECT_EQ(c["uid"], 4 + i);
        EXPECT_EQ(c["level"], o["level"].get<int>() + 2);
        for (const char* field : {"title", "created", "saved", "opened", "body_size"})
            EXPECT_EQ(c[field], o[field]) << field;
        const std::string a =
            Kvb("show " + Quote(source.string()) + " " + to_string(o["uid"]) + " --rtf").out;
        const std::string b =
            Kvb("show " + Quote(bank.string()) + " " + to_string(c["uid"]) + " --rtf").out;
        EXPECT_TRUE(a == b) << o["title"];
    }
    EXPECT_EQ(Bodies(bank).size(), 2u);
    EXPECT_EQ(Kvb("import " + Quote(bank.string()) + " --from " + Quote(source.string()) +
                  " --record 42 --under 1")
                  .status,
              3);
}

TEST_F(KvbOps, ImportFromAFileThatIsNotABankChangesNothing) {
    const fs::path other = dir / "документ.doc";
    {
        auto root = kelvo::cfb::Storage::CreateFile(other);
        ASSERT_TRUE(root);
        ASSERT_TRUE(root->CreateStream(u"WordDocument"));
    }
    const std::string otherBefore = ReadBytes(other), bankBefore = ReadBytes(bank);
    EXPECT_EQ(Kvb("import " + Quote(bank.string()) + " --from " + Quote(other.string()) +
                  " --record 1 --under 1")
                  .status,
              3);
    const fs::path text = dir / "plain.Kvb";
    WriteBytes(text, "not a compound file");
    Ran r = Kvb("import " + Quote(bank.string()) + " --from " + Quote(text.string()) +
                    " --record 1 --under 1",
                true);
    EXPECT_EQ(r.status, 2);
    // The message names the file and the reason.
    EXPECT_NE(r.out.find("Не удается открыть банк данных, из которого импортируются записи"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(text.string()), std::string::npos) << r.out;
    EXPECT_EQ(ReadBytes(other), otherBefore);
    EXPECT_EQ(ReadBytes(bank), bankBefore);
}

TEST_F(KvbOps, CleanupChoicesAndTheirResults) {
    const std::string b = Quote(bank.string());
    const fs::path text = dir / "t.txt";
    WriteBytes(text, "x");
    const auto r = AddRecord(bank, 1, "R", text.string());
    ASSERT_EQ(Kvb("edit " + b + " " + std::to_string(r) + " --keywords k --notes n").status, 0);
    ASSERT_EQ(Kvb("add-password " + b + " --folder 1 --title p").status, 0);

    Ran none = Kvb("cleanup " + b, true);
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.out.find("Необходимо выбрать хотя бы один пункт"), std::string::npos);

    ASSERT_EQ(Kvb("cleanup " + b + " --record-texts --record-notes").status, 0);
    json nodes = Tree(bank);
    EXPECT_EQ(nodes[1]["keywords"], "k");
    EXPECT_EQ(nodes[1]["notes"], "");
    EXPECT_TRUE(nodes[1]["body_size"].is_null());
    EXPECT_EQ(KvbJson("passwords " + b).Json()["passwords"].size(), 1u);

    ASSERT_EQ(Kvb("cleanup " + b + " --passwords --record-keywords").status, 0);
    EXPECT_EQ(Tree(bank)[1]["keywords"], "");
    EXPECT_TRUE(KvbJson("passwords " + b).Json()["passwords"].empty());
    EXPECT_EQ(Tree(bank).size(), 2u);
}

TEST_F(KvbOps, BodiesFromTextAndRtfFilesAndShowTheirText) {
    const std::string b = Quote(bank.string());
    const fs::path text = dir / "заметка.txt";
    WriteBytes(text, "Привет,\r\nмир\tтаб\n");
    const auto t = AddRecord(bank, 1, "T", text.string());
    json shown = KvbJson("show " + b + " " + std::to_string(t)).Json();
    EXPECT_EQ(shown["text"], "Привет,\r\nмир\tтаб");
    const std::string rtf = Kvb("show " + b + " " + std::to_string(t) + " --rtf").out;
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(rtf.find("\\'cf\\'f0\\'e8"), std::string::npos); // "При" in Windows-1251
    EXPECT_EQ(shown["body_size"], rtf.size());

    // Windows-1251 text, and an .rtf file taken byte for byte.
    WriteBytes(text, "\xcc\xe8\xf0"); // "Мир"
    ASSERT_EQ(Kvb("edit " + b + " " + std::to_string(t) + " --body " + Quote(text.string())).status,
              0);
    EXPECT_EQ(KvbJson("show " + b + " " + std::to_string(t)).Json()["text"], "Мир");
    const fs::path file = dir / "as-is.RTF";
    const std::string raw = "{\\rtf1\\ansi\\ansicpg1251 \\'cc\\'e8\\'f0\\par }\r\n\0tail"s;
    WriteBytes(file, raw);
    ASSERT_EQ(Kvb("edit " + b + " " + std::to_string(t) + " --body " + Quote(file.string())).status,
              0);
    EXPECT_EQ(Kvb("show " + b + " " + std::to_string(t) + " --rtf").out, raw);
    Ran plain = Kvb("show " + b + " " + std::to_string(t));
    EXPECT_NE(plain.out.find("Текст:\nМир\n"), std::string::npos) << plain.out;

    // A record never shown has no body: show creates none.
    const auto empty = AddRecord(bank, 1, "E");
    shown = KvbJson("show " + b + " " + std::to_string(empty)).Json();
    EXPECT_EQ(shown["text"], "");
    EXPECT_TRUE(shown["body_size"].is_null());
    EXPECT_EQ(
        Kvb("add-record " + b + " --parent 1 --title X --body " + Quote((dir / "нет.txt").string()))
            .status,
        3);
}

} // namespace

// A bank the window holds open (its document holds the session lock) may be read by kvb but
// not changed: every editing command is refused with status 3 and a message naming the bank,
// and the file stays byte for byte as it was. Once the window lets it go, kvb changes it.
TEST_F(KvbOps, ABankHeldOpenByTheWindowIsReadButNotChanged) {
    const std::string b = Quote(bank.string());
    const std::uint32_t record = AddRecord(bank, 1, "Запись");
    ASSERT_NE(record, 0u);
    auto window = std::make_unique<kelvo::CQuorvellineDoc>();
    ASSERT_TRUE(window->OnOpenDocument(bank).ok());
    const std::string before = ReadBytes(bank);

    const std::string uid = std::to_string(record);
    for (const std::string& edit :
         {"edit " + b + " " + uid + " --title Другое", "add-record " + b + " --parent 1 --title x",
          "rm " + b + " " + uid, "cleanup " + b + " --record-notes",
          "set-summary " + b + " --title T", "index " + b + " --rebuild"}) {
        Ran r = Kvb(edit, true);
        EXPECT_EQ(r.status, 3) << edit << "\n" << r.out;
        EXPECT_NE(r.out.find("Банк данных\n" + bank.string() + "\nуже открыт для изменения"),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(ReadBytes(bank), before) << edit;
    }
    // Reading is allowed meanwhile.
    Ran tree = KvbJson("tree " + b);
    ASSERT_EQ(tree.status, 0);
    EXPECT_EQ(tree.Json()["nodes"][1]["title"], "Запись");
    EXPECT_EQ(Kvb("search " + b + " Запись").status, 0);
    EXPECT_EQ(ReadBytes(bank), before);

    window.reset(); // the window closes the bank
    EXPECT_EQ(Kvb("edit " + b + " " + uid + " --title Другое").status, 0);
    EXPECT_EQ(Tree(bank)[1]["title"], "Другое");
}
