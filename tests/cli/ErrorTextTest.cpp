// What a user is shown for an error from each layer (storage, document, index, search,
// cleanup, import, user properties, the password generator): readable Russian from the
// message table, or a clear reason, always UTF-8, never an unfilled placeholder.
#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "core/RecordImport.h"
#include "core/UserPropertyInput.h"
#include "dialogs/PasswordGenerator.h"
#include "index/IndexStorage.h"
#include "maintenance/BankCleanup.h"
#include "platform/base/SystemReason.h"
#include "platform/text/CodePages.h"
#include "search/SearchCriteria.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

bool ValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    char32_t ch = 0;
    while (NextUtf8(text, pos, ch))
        if (ch == 0xFFFD)
            return false;
    return true;
}

bool HasCyrillic(std::string_view text) {
    std::size_t pos = 0;
    char32_t ch = 0;
    while (NextUtf8(text, pos, ch))
        if (ch >= 0x0400 && ch <= 0x04FF)
            return true;
    return false;
}

void ExpectReadable(const Error& error, const char* what) {
    const std::string shown = ErrorText(error);
    EXPECT_TRUE(ValidUtf8(shown)) << what << ": " << shown;
    EXPECT_TRUE(HasCyrillic(shown)) << what << ": " << shown;
    EXPECT_EQ(shown.find("%s"), std::string::npos) << what << ": " << shown;
    EXPECT_EQ(shown.find("%d"), std::string::npos) << what << ": " << shown;
}

template <class T> Error ErrorOf(const Result<T>& result) {
    EXPECT_FALSE(result.ok());
    return result.ok() ? Error{} : result.error();
}

class ErrorTexts : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelvo-errors-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path dir;
};

} // namespace

TEST_F(ErrorTexts, EveryLayerSaysWhatWentWrongInRussian) {
    // Storage: a system reason, put into a message of the table by ErrorText.
    Error storage = ErrorOf(cfb::Storage::OpenFile(dir / "нет.Kvb", cfb::mode::Open));
    EXPECT_EQ(storage.messageId, 0);
    ExpectReadable(storage, "storage");
    EXPECT_EQ(ErrorText(storage).rfind("Операция не выполнена: ", 0), 0u) << ErrorText(storage);

    // The document: open and save, the session lock, bodies.
    std::ofstream(dir / "text.Kvb") << "not a bank";
    CQuorvellineDoc doc;
    ExpectReadable(ErrorOf(doc.OnOpenDocument(dir / "text.Kvb")), "open");
    ASSERT_TRUE(doc.OnNewDocument().ok());
    ExpectReadable(ErrorOf(doc.SaveAs(dir / "нет" / "папки.Kvb")), "save");
    ExpectReadable(ErrorOf(doc.Save()), "save without a file");
    ASSERT_TRUE(doc.SaveAs(dir / "b.Kvb").ok());
    CQuorvellineDoc other;
    ExpectReadable(ErrorOf(other.OnOpenDocument(dir / "b.Kvb")), "session lock");
    {
        auto held = cfb::Storage::OpenFile(dir / "b.Kvb");
        ASSERT_TRUE(held.ok());
        ExpectReadable(ErrorOf(doc.SaveBody(doc.records().first(), "{\\rtf1 x}")), "body");
        ExpectReadable(ErrorOf(doc.LoadBody(1)), "body load");
    }

    // Index, search, cleanup, import.
    {
        auto readOnly = cfb::Storage::OpenFile(dir / "b.Kvb", cfb::mode::OpenRead);
        ASSERT_TRUE(readOnly.ok());
        KeywordIndex index;
        ExpectReadable(ErrorOf(LoadIndex(index, *readOnly)), "index load");
        ExpectReadable(ErrorOf(SaveIndex(index, *readOnly)), "index save");
    }
    SearchCriteria criteria;
    ExpectReadable(ErrorOf(ValidateCriteria(criteria)), "search text");
    ExpectReadable(ErrorOf(ParseSizeValue("0")), "size value");
    ExpectReadable(ErrorOf(RunBankCleanup(doc, {})), "cleanup");
    RecordImportSource source;
    ExpectReadable(ErrorOf(source.Load(dir / "нет.Kvb")), "import source");
    ExpectReadable(ErrorOf(ImportRecords(doc, doc.records().first(), source, nullptr)), "import");

    // User properties and the password generator.
    ExpectReadable(ErrorOf(MakeUserProperty({}, "n", UserProperty::Number, "-1")), "property");
    ExpectReadable(ErrorOf(ParsePasswordLength("abc")), "generator");
}

TEST_F(ErrorTexts, ReasonsNameTheStatusAndTheSystemsWords) {
    EXPECT_EQ(SystemReason(ENOSPC), "нет места на диске");
    EXPECT_EQ(SystemReason(EACCES), "нет прав доступа");
    EXPECT_NE(SystemReason(12345).find("12345"), std::string::npos);
    EXPECT_EQ(ReasonText(MakeError(hr::ShareViolation)), "файл занят другой программой");
    EXPECT_EQ(ReasonText(MakeError(hr::MediumFull, "нет места на диске")),
              "нет места на диске (нет места на диске)");
    EXPECT_EQ(ReasonText(MakeError(0x80001234)), "ошибка с кодом 0x80001234 (-2147478988)");
    // A text of the table is shown as it is, and wrapping it again keeps it.
    const Error busy = MessageError(hr::ShareViolation, msg::BankBusy, {"/a/b.Kvb"});
    EXPECT_EQ(ErrorText(busy), busy.message);
    EXPECT_EQ(ErrorWithReason(msg::BodySaveFailed, busy).message, busy.message);
    EXPECT_EQ(ErrorWithReason(msg::BodySaveFailed, MakeError(hr::AccessDenied)).message,
              "Не удалось сохранить запись в банке данных: нет доступа к файлу.");
    // Placeholders are filled in order and arguments are taken literally.
    EXPECT_EQ(MessageText(msg::QueryResults, {"2", "a%s, b"}),
              "Результаты для слов (всего 2): a%s, b");
    EXPECT_EQ(StatusError(msg::SaveFailed, "/x%d.Kvb", hr::FileNotFound).message,
              "Не удается сохранить банк данных в файл\n/x%d.Kvb\nпроизошла ошибка с кодом "
              "0x80030002 (-2147287038).\nБанк данных не сохранен.");
    EXPECT_EQ(AnsiMessageText(msg::CleanupRecord, {"\xC0"}),
              AnsiStringText(msg::CleanupRecord).substr(0, 16) + "\xC0");
}
