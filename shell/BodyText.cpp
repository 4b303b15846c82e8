// The plain text of an RTF body for the read-only record view.
#include "shell/PlainRecordView.h"

#include "platform/text/Ansi.h"

#include <cctype>
#include <vector>

namespace kelvo {
namespace {

bool IsSkippedDestination(const std::string& word) {
    static const char* const kSkipped[] = {
        "fonttbl",   "colortbl",  "stylesheet",   "info",      "pict",
        "object",    "header",    "footer",       "listtable", "listoverridetable",
        "themedata", "datastore", "latentstyles", "rsidtbl",   "generator"};
    for (const char* name : kSkipped)
        if (word == name)
            return true;
    return false;
}

} // namespace

QString BodyPlainText(const std::string& rtf) {
    if (rtf.rfind("{\\rtf", 0) != 0)
        return QString::fromStdString(AnsiToUtf8(rtf)); // not RTF: shown as the text it is
    struct Group {
        bool skip = false;
        int unicodeSkip = 1;
    };
    std::vector<Group> groups{Group{}};
    QString out;
    AnsiString pending; // Windows-1251 bytes not yet converted
    auto flush = [&] {
        if (!pending.empty()) {
            out += QString::fromStdString(AnsiToUtf8(pending));
            pending.clear();
        }
    };
    int skipChars = 0;
    const std::size_t n = rtf.size();
    for (std::size_t i = 0; i < n;) {
        const char c = rtf[i];
        if (c == '{') {
            if (groups.size() > 10000) // a damaged body: stop rather than grow without bound
                break;
            groups.push_back(groups.back());
            ++i;
            if (i + 1 < n && rtf[i] == '\\' && rtf[i + 1] == '*')
                groups.back().skip = true;
            continue;
        }
        if (c == '}') {
            if (groups.size() > 1)
                groups.pop_back();
            ++i;
            continue;
        }
        Group& g = groups.back();
        if (c == '\\' && i + 1 < n) {
            const char next = rtf[i + 1];
            if (std::isalpha(static_cast<unsigned char>(next))) {
                std::size_t j = i + 1;
                while (j < n && std::isalpha(static_cast<unsigned char>(rtf[j])))
                    ++j;
                const std::string word = rtf.substr(i + 1, j - i - 1);
                std::size_t k = j;
                if (k < n && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k]))))
                    ++k;
                while (k < n && std::isdigit(static_cast<unsigned char>(rtf[k])) && k - j < 10)
                    ++k;
                const long param =
                    k > j ? std::strtol(rtf.substr(j, k - j).c_str(), nullptr, 10) : 0;
                if (k < n && rtf[k] == ' ')
                    ++k;
                i = k;
                if (IsSkippedDestination(word)) {
                    g.skip = true;
                } else if (word == "uc") {
                    g.unicodeSkip = static_cast<int>(param);
                } else if (!g.skip) {
                    if (word == "par" || word == "line") {
                        flush();
                        out += QLatin1Char('\n');
                    } else if (word == "tab") {
                        flush();
                        out += QLatin1Char('\t');
                    } else if (word == "u") {
                        flush();
                        out += QChar(static_cast<char16_t>(param < 0 ? param + 65536 : param));
                        skipChars = g.unicodeSkip;
                    }
                }
                continue;
            }
            if (next == '\'' && i + 3 < n) {
                const std::string hex = rtf.substr(i + 2, 2);
                i += 4;
                if (skipChars > 0) {
                    --skipChars;
                    continue;
                }
                if (!g.skip)
                    pending.push_back(static_cast<char>(std::strtol(hex.c_str(), nullptr, 16)));
                continue;
            }
            if (!g.skip && (next == '\\' || next == '{' || next == '}'))
                pending.push_back(next);
            i += 2;
            continue;
        }
        ++i;
        if (c == '\r' || c == '\n')
            continue;
        if (skipChars > 0) {
            --skipChars;
            continue;
        }
        if (!g.skip)
            pending.push_back(c);
    }
    flush();
    while (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}

} // namespace kelvo
