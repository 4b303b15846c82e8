// LibreOffice, an independent RTF reader, reads what our writer produces: the same text
// (per-font code pages, \uN, soft breaks) and the pictures.
#include "RtfTestUtil.h"

#include "platform/rtf/Metafile.h"
#include "platform/rtf/RtfPlainText.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace kelvo {
namespace {

namespace fs = std::filesystem;

bool HaveSoffice() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

class LibreOffice : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveSoffice())
            GTEST_SKIP() << "soffice (libreoffice-writer-nogui) is not installed";
        m_dir = fs::temp_directory_path() / ("kelvo-rtf-lo-" + std::to_string(getpid())) / "данные";
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        if (!m_dir.empty())
            fs::remove_all(m_dir.parent_path());
    }

    // Converts the files with one soffice run; a private profile keeps it apart from any
    // other LibreOffice of the user.
    void Convert(const std::vector<fs::path>& files, const std::string& filter) {
        std::string command = "timeout 300 soffice -env:UserInstallation=file://" +
                              (m_dir.parent_path() / "profile").string() +
                              " --headless --convert-to '" + filter + "' --outdir '" +
                              (m_dir / "out").string() + "'";
        for (const auto& f : files)
            command += " '" + f.string() + "'";
        command += " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    fs::path Write(const std::string& name, const std::string& bytes) {
        const fs::path path = m_dir / (name + ".rtf");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // LibreOffice's text: UTF-8 with a BOM, LF line ends, a final line end.
    std::string Output(const std::string& name, const std::string& extension) {
        const fs::path path = m_dir / "out" / (name + extension);
        EXPECT_TRUE(fs::exists(path)) << "LibreOffice did not convert " << name;
        std::string text = rtftest::ReadFileBytes(path);
        if (text.rfind("\xEF\xBB\xBF", 0) == 0)
            text.erase(0, 3);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    }

    static std::string Lf(std::string text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
                out += text[i];
        return out;
    }

    fs::path m_dir;
};

TEST_F(LibreOffice, ReadsTheTextOurWriterProduces) {
    // Bodies of the corpus, written back by us, and one the editor could build.
    const std::vector<std::string> corpus = {"cyrillic_fonts", "unicode_uc",    "paragraphs",
                                             "msftedit",       "object_pbrush", "picture_png"};
    std::vector<fs::path> files;
    std::vector<std::string> expected;
    for (const std::string& name : corpus) {
        files.push_back(Write(name, WriteRtf(ReadRtf(rtftest::Corpus(name + ".rtf")))));
        expected.push_back(rtftest::Corpus(name + ".txt"));
    }
    RtfDocument edited;
    RtfParagraph p;
    RtfRun run;
    run.format.font = RtfFont{"Arial", 204, "swiss", 0};
    run.text = "Ёлка — ёж\u2028Ωμέγα ß € 😀 {скобки} \\ «кавычки»";
    p.content.push_back(run);
    edited.paragraphs = {p, p};
    files.push_back(Write("edited", WriteRtf(edited)));
    expected.push_back(PlainText(edited));

    Convert(files, "txt:Text (encoded):UTF8");
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string name = files[i].stem().string();
        SCOPED_TRACE(name);
        std::string want = Lf(expected[i]);
        if (name == "unicode_uc") // LibreOffice keeps Symbol-font text in private use
            want = want.substr(0, want.rfind("\nsym:"));
        std::string got = Output(name, ".txt");
        if (name == "unicode_uc")
            got = got.substr(0, got.rfind("\nsym:"));
        EXPECT_EQ(got, want);
    }
}

TEST_F(LibreOffice, ShowsOurPicturesAndBullets) {
    RtfDocument doc = ReadRtf(rtftest::Corpus("bullets_lines.rtf"));
    RtfPicture png;
    png.kind = RtfPictureKind::Png;
    png.data = rtftest::Corpus("bitmap_2x2.png");
    png.width = png.height = 2;
    png.goalWidth = png.goalHeight = 600;
    png.fallbackMetafile = *MakeBitmapMetafile(*BmpToDib(rtftest::Corpus("bitmap_2x2.bmp")));
    doc.paragraphs.back().content.push_back(png);
    const fs::path file = Write("pictures", WriteRtf(doc));
    Convert({file}, "fodt");
    const std::string fodt = Output("pictures", ".fodt");
    EXPECT_NE(fodt.find("<draw:image"), std::string::npos);
    EXPECT_NE(fodt.find("первый"), std::string::npos);
    EXPECT_NE(fodt.find("text:list"), std::string::npos); // the bullets became a list
    EXPECT_NE(fodt.find("<text:line-break/>продолжение"), std::string::npos);
}

} // namespace
} // namespace kelvo
