// kvb print in process: a record's body and the bank's structure printed into PDF files that
// poppler reads back, the refusals, and a bank left as it was.
#include "cli/Command.h"
#include "core/QuorvellineDoc.h"
#include "platform/rtf/RtfWriter.h"
#include "richtext/RtfTextDocument.h"
#include "tests/print/paint/PdfReader.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace kelvo;
using namespace kelvo::cli;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
    nlohmann::json Json() const { return nlohmann::json::parse(out); }
};

Outcome Kvb(const std::vector<std::string>& args) {
    std::istringstream in;
    std::ostringstream out, err;
    Outcome r;
    r.status = RunKvb(args, in, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs a command line through the shell; its exit status and standard output.
std::pair<int, std::string> Shell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {-1, ""};
    std::array<char, 4096> buf;
    while (std::size_t n = fread(buf.data(), 1, buf.size(), pipe))
        out.append(buf.data(), n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string Title(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Запись %03d", i);
    return buf;
}

class KvbPrint : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HavePoppler())
            GTEST_SKIP() << "poppler-utils (pdftotext, pdftoppm) are not installed";
        std::string pattern = (fs::temp_directory_path() / "kelvo-print-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_base = pattern;
        dir = m_base / "печать";
        fs::create_directories(dir);
        bank = dir / "банк.Kvb";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_base, ec);
    }

    // A bank with a record whose body holds Cyrillic text and a green picture (uid 2), a
    // folder of 200 records (expanded) and a collapsed record with a hidden child.
    void MakeBank() {
        CQuorvellineDoc doc;
        ASSERT_TRUE(doc.OnNewDocument().ok());
        TreeNode* root = doc.records().first();
        TreeNode* note = doc.AddNode(TreeKind::Records, root, Utf8ToAnsiLossy("Заметка"));
        TreeNode* folder = doc.AddNode(TreeKind::Records, root, Utf8ToAnsiLossy("Папка"));
        for (int i = 1; i <= 200; ++i)
            doc.AddNode(TreeKind::Records, folder, Utf8ToAnsiLossy(Title(i)));
        TreeNode* closed = doc.AddNode(TreeKind::Records, root, Utf8ToAnsiLossy("Свёрнутая"));
        doc.AddNode(TreeKind::Records, closed, Utf8ToAnsiLossy("Скрытая"));
        root->expanded = true;
        folder->expanded = true;

        RtfDocument body;
        RtfParagraph text;
        RtfRun run;
        run.text = "Съешь же ещё этих мягких французских булок";
        text.content.emplace_back(run);
        body.paragraphs.push_back(text);
        QImage image(96, 96, QImage::Format_RGB32);
        image.fill(QColor(0, 160, 0));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        RtfParagraph picture;
        picture.content.emplace_back(*PictureFromImageFile(png));
        body.paragraphs.push_back(picture);
        ASSERT_TRUE(doc.SaveAs(bank).ok());
        ASSERT_TRUE(doc.SaveBody(note, WriteRtf(body)).ok());
        noteUid = note->item.uid;
    }

    fs::path m_base, dir, bank;
    std::uint32_t noteUid = 0;
};

TEST_F(KvbPrint, ARecordsBodyWithCyrillicTextAndAPicture) {
    MakeBank();
    const std::string before = Bytes(bank);
    const fs::path pdf = dir / "запись.pdf";
    const Outcome r = Kvb({"--json", "print", bank.string(), "--record", std::to_string(noteUid),
                           "--pdf", pdf.string()});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.Json()["pages"], 1);
    EXPECT_TRUE(r.err.empty()) << r.err;
    const QStringList pages = test::PdfPages(Q(pdf));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(test::PdfLines(pages[0]),
              QStringList{QStringLiteral("Съешь же ещё этих мягких французских булок")});
    // One inch of green at 72 pixels per inch.
    const QImage page = test::PdfPageImage(Q(pdf), 1, 72);
    EXPECT_NEAR(test::CountPixels(page, QColor(0, 160, 0), 30), 72 * 72, 72 * 72 / 10);
    EXPECT_EQ(Bytes(bank), before); // printing changes nothing in the bank

    // A record never shown has no body: an empty page, not a failure.
    const Outcome empty =
        Kvb({"print", bank.string(), "--record", "3", "--pdf", (dir / "пусто.pdf").string()});
    EXPECT_EQ(empty.status, kExitOk) << empty.err;
    EXPECT_NE(empty.out.find("Напечатано страниц: 1"), std::string::npos);
}

TEST_F(KvbPrint, TheStructureAsStoredOnPagesCutAtRows) {
    MakeBank();
    const fs::path pdf = dir / "структура.pdf";
    const Outcome r = Kvb({"--json", "print", bank.string(), "--structure", "--pdf", pdf.string()});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const int reported = r.Json()["pages"];
    const QStringList pages = test::PdfPages(Q(pdf));
    ASSERT_EQ(pages.size(), reported);
    ASSERT_GE(reported, 3);

    // Root, the note, the folder, its 200 records, the collapsed record — not its child.
    QStringList expected{QStringLiteral("Корневая запись"), QStringLiteral("Заметка"),
                         QStringLiteral("Папка")};
    for (int i = 1; i <= 200; ++i)
        expected << QString::fromStdString(Title(i));
    expected << QStringLiteral("Свёрнутая");
    QStringList printed;
    std::vector<qsizetype> perPage;
    for (const QString& page : pages) {
        const QStringList lines = test::PdfLines(page);
        perPage.push_back(lines.size());
        printed << lines;
    }
    EXPECT_EQ(printed, expected);
    // Every page but the last is full: the same number of rows.
    for (std::size_t i = 1; i + 1 < perPage.size(); ++i)
        EXPECT_EQ(perPage[i], perPage[0]);
    EXPECT_LE(perPage.back(), perPage[0]);
}

// The built program with no display at all and a platform asked for that needs one: it still
// prints on its own offscreen platform. Titles in tree order, as many pages as it reports.
TEST_F(KvbPrint, TheProgramPrintsTheStructureWithoutADisplay) {
    MakeBank();
    const fs::path pdf = dir / "структура.pdf";
    const auto [status, out] =
        Shell("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " +
              Quote(std::string(KELVO_BINARY_DIR) + "/cli/kvb") + " --json print " +
              Quote(bank.string()) + " --structure --pdf " + Quote(pdf.string()) + " 2>&1");
    ASSERT_EQ(status, kExitOk) << out;
    const int reported = nlohmann::json::parse(out)["pages"];
    const QStringList pages = test::PdfPages(Q(pdf));
    EXPECT_EQ(pages.size(), reported);
    EXPECT_GE(reported, 3);
    QStringList printed;
    for (const QString& page : pages)
        printed << test::PdfLines(page);
    ASSERT_EQ(printed.size(), 204);
    EXPECT_EQ(printed.front(), QStringLiteral("Корневая запись"));
    EXPECT_EQ(printed[3], QString::fromStdString(Title(1)));
    EXPECT_EQ(printed[202], QString::fromStdString(Title(200)));
    EXPECT_EQ(printed.back(), QStringLiteral("Свёрнутая"));
}

TEST_F(KvbPrint, WhatIsRefused) {
    MakeBank();
    const std::string b = bank.string();
    const std::string pdf = (dir / "out.pdf").string();
    // Nothing, or both subjects, or no file: wrong usage.
    EXPECT_EQ(Kvb({"print", b, "--pdf", pdf}).status, kExitUsage);
    EXPECT_EQ(Kvb({"print", b, "--structure", "--record", "2", "--pdf", pdf}).status, kExitUsage);
    EXPECT_EQ(Kvb({"print", b, "--structure"}).status, kExitUsage);
    // A record that does not exist, a folder that does not exist.
    const Outcome unknown = Kvb({"print", b, "--record", "999", "--pdf", pdf});
    EXPECT_EQ(unknown.status, kExitRefused);
    EXPECT_FALSE(fs::exists(pdf));
    const Outcome nowhere =
        Kvb({"print", b, "--structure", "--pdf", (dir / "нет" / "out.pdf").string()});
    EXPECT_EQ(nowhere.status, kExitRefused);
    EXPECT_NE(nowhere.err.find("Не удается записать файл PDF"), std::string::npos);
    // The bank itself as the PDF: refused, the bank untouched.
    const std::string before = Bytes(bank);
    const Outcome over = Kvb({"print", b, "--structure", "--pdf", b});
    EXPECT_EQ(over.status, kExitRefused);
    EXPECT_NE(over.err.find("на место банка данных"), std::string::npos);
    EXPECT_EQ(Bytes(bank), before);
    // Not a bank.
    std::ofstream(dir / "text.Kvb") << "hello";
    EXPECT_EQ(Kvb({"print", (dir / "text.Kvb").string(), "--structure", "--pdf", pdf}).status,
              kExitBank);
}

} // namespace
