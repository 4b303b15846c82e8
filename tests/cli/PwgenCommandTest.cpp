// Tests of kvb pwgen, run in process: alphabet and passwords as JSON, masks, Cyrillic sets,
// and the refusals with their exit statuses.
#include "cli/Command.h"
#include "platform/text/Ansi.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>

using namespace kelvo::cli;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome Kvb(std::vector<std::string> args) {
    std::istringstream in;
    std::ostringstream out, err;
    Outcome outcome;
    outcome.status = RunKvb(args, in, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

// Bank text (one byte a character) of a UTF-8 text.
kelvo::AnsiString Chars(const std::string& utf8) {
    kelvo::AnsiString ansi;
    EXPECT_TRUE(kelvo::Utf8ToAnsi(utf8, ansi));
    return ansi;
}

} // namespace

TEST(KvbPwgen, DefaultSetsByLength) {
    auto result = Kvb({"--json", "pwgen", "--length", "12", "--count", "3"});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    auto doc = nlohmann::json::parse(result.out);
    std::string alphabet = doc["alphabet"];
    std::string sorted = alphabet;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    ASSERT_EQ(doc["passwords"].size(), 3u);
    for (const auto& password : doc["passwords"]) {
        std::string text = password;
        EXPECT_EQ(text.size(), 12u);
        EXPECT_EQ(text.find_first_not_of(alphabet), std::string::npos);
    }
    EXPECT_NE(doc["passwords"][0], doc["passwords"][1]);

    auto plain = Kvb({"pwgen", "--length", "7", "--count", "2"});
    ASSERT_EQ(plain.status, kExitOk);
    EXPECT_EQ(plain.out.size(), 16u); // two lines of seven
}

TEST(KvbPwgen, CyrillicSetsAndOtherCharactersByMask) {
    auto result = Kvb(
        {"--json", "pwgen", "--sets", "ru-upper,digits", "--other", "0123ё", "--mask", "##-##"});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    auto doc = nlohmann::json::parse(result.out);
    auto alphabet = Chars(doc["alphabet"]);
    EXPECT_EQ(alphabet.size(), 32u + 10u + 5u);
    EXPECT_EQ(std::count(alphabet.begin(), alphabet.end(), '0'), 2);
    EXPECT_EQ(std::count(alphabet.begin(), alphabet.end(), '\xDF'), 1); // Я
    EXPECT_EQ(std::count(alphabet.begin(), alphabet.end(), '\xB8'), 1); // ё
    auto password = Chars(doc["passwords"][0]);
    ASSERT_EQ(password.size(), 5u);
    EXPECT_EQ(password[2], '-');
    EXPECT_NE(alphabet.find(password[0]), std::string::npos);
}

TEST(KvbPwgen, RefusesWhatTheGeneratorRefuses) {
    EXPECT_EQ(Kvb({"pwgen"}).status, kExitUsage);
    EXPECT_EQ(Kvb({"pwgen", "--length", "5", "--mask", "##"}).status, kExitUsage);
    EXPECT_EQ(Kvb({"pwgen", "--sets", "upper,greek", "--length", "5"}).status, kExitUsage);
    EXPECT_EQ(Kvb({"pwgen", "--length", "5", "--count", "0"}).status, kExitUsage);

    auto tooLong = Kvb({"pwgen", "--length", "31"});
    EXPECT_EQ(tooLong.status, kExitRefused);
    EXPECT_NE(tooLong.err.find("от 1 до 30"), std::string::npos);
    EXPECT_EQ(Kvb({"pwgen", "--mask", std::string(31, '#')}).status, kExitRefused);
    EXPECT_EQ(Kvb({"pwgen", "--sets", "digits", "--other", "日本", "--length", "5"}).status,
              kExitRefused);
    auto empty = Kvb({"pwgen", "--sets", ",", "--length", "5"});
    EXPECT_EQ(empty.status, kExitRefused);
    EXPECT_FALSE(empty.err.empty());
}
