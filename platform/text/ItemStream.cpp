#include "platform/text/ItemStream.h"

#include <algorithm>

#include <cstring>

namespace kelvo {

bool WriteLine(ByteStream& stream, AnsiView text, bool crlf) {
    if (!text.empty() && !stream.Write(text.data(), text.size()))
        return false;
    if (crlf && !stream.Write("\r\n", 2))
        return false;
    return true;
}

AnsiString ReadLine(ByteStream& stream) {
    AnsiString line;
    for (;;) {
        char c = 0;
        auto read = stream.Read(&c, 1);
        const bool gotByte = read.ok() && read.value() == 1;
        if (gotByte && c != '\0')
            line.push_back(c);
        if (line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n') {
            line.resize(line.size() - 2);
            return line;
        }
        if (!gotByte)
            return line;
    }
}

bool LineReader::Fill() {
    if (m_end)
        return false;
    if (m_pos > 0) {
        m_buffer.erase(0, m_pos);
        m_pos = 0;
    }
    const std::size_t old = m_buffer.size();
    constexpr std::size_t kChunk = 64 * 1024;
    m_buffer.resize(old + kChunk);
    auto read = m_stream.Read(m_buffer.data() + old, kChunk);
    const std::size_t got = read.ok() ? read.value() : 0;
    m_buffer.resize(old + got);
    if (got == 0)
        m_end = true;
    return got > 0;
}

bool LineReader::AtEnd() {
    return m_pos >= m_buffer.size() && !Fill();
}

AnsiString LineReader::ReadLine() {
    AnsiString line;
    for (;;) {
        if (m_pos >= m_buffer.size() && !Fill())
            return line;
        // Fast path: copy everything up to the next LF, then look at what preceded it.
        const char* begin = m_buffer.data() + m_pos;
        const std::size_t avail = m_buffer.size() - m_pos;
        const void* lf = std::memchr(begin, '\n', avail);
        const std::size_t take = lf ? static_cast<const char*>(lf) - begin + 1 : avail;
        const bool hasZero = std::memchr(begin, '\0', take) != nullptr;
        if (!hasZero) {
            line.append(begin, take);
        } else {
            for (std::size_t i = 0; i < take; ++i)
                if (begin[i] != '\0')
                    line.push_back(begin[i]);
        }
        m_pos += take;
        if (lf && line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n') {
            line.resize(line.size() - 2);
            return line;
        }
    }
}

bool LineWriter::WriteLine(AnsiView text, bool crlf) {
    if (m_failed)
        return false;
    m_buffer.append(text);
    if (crlf)
        m_buffer.append("\r\n");
    if (m_buffer.size() >= 256 * 1024)
        return Flush();
    return true;
}

bool LineWriter::Flush() {
    if (m_failed)
        return false;
    if (m_buffer.empty())
        return true;
    auto written = m_stream.Write(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    if (!written)
        m_failed = true;
    return !m_failed;
}

AnsiString EscapeText(AnsiView text) {
    // Most field texts hold nothing to escape.
    bool plain = true;
    for (char c : text)
        if (c == '\\' || c == '\r' || c == '\n') {
            plain = false;
            break;
        }
    if (plain)
        return AnsiString(text);
    AnsiString out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

AnsiString UnescapeText(AnsiView text) {
    if (text.find('\\') == AnsiView::npos)
        return AnsiString(text);
    AnsiString out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            if (text[i + 1] == '\\') {
                out.push_back('\\');
                ++i;
                continue;
            }
            if (text[i + 1] == 'n') {
                out += "\r\n";
                ++i;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

namespace {
// White space as isspace sees it in the C locale.
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
} // namespace

AnsiView TrimRight(AnsiView text) {
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

AnsiView TrimText(AnsiView text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    return TrimRight(text);
}

void SplitList(AnsiView text, AnsiView separator, bool trim, std::vector<AnsiString>& out) {
    out.clear();
    if (separator.empty())
        return;
    AnsiString work(text);
    work.append(separator);
    std::size_t start = 0;
    std::size_t found = work.find(separator, 0);
    if (found == 0)
        return;
    while (found != AnsiString::npos) {
        AnsiView piece = AnsiView(work).substr(start, found - start);
        if (trim)
            piece = TrimText(piece);
        out.emplace_back(piece);
        start = found + separator.size();
        found = work.find(separator, found + 1);
    }
}

std::vector<AnsiString> SplitList(AnsiView text, AnsiView separator, bool trim) {
    std::vector<AnsiString> out;
    SplitList(text, separator, trim, out);
    return out;
}

std::vector<AnsiString> JoinQuotedPieces(const std::vector<AnsiString>& pieces,
                                         AnsiView separator) {
    // The closing step drops the opening quote, then the closing quote together with the
    // separator's non-blank part that followed it ("," for keywords, nothing for spaces).
    const std::size_t tailLength = TrimRight(separator).size() + 1;
    std::vector<AnsiString> out;
    bool inPhrase = false;
    AnsiString phrase;
    for (const AnsiString& piece : pieces) {
        if (piece.empty())
            continue;
        if (piece.front() == '"') {
            inPhrase = true;
            phrase.clear();
            phrase.append(piece).append(separator);
        } else if (inPhrase) {
            phrase.append(piece).append(separator);
        } else {
            out.push_back(piece);
        }
        if (inPhrase && piece.back() == '"') {
            inPhrase = false;
            AnsiView body = TrimRight(phrase);
            body.remove_prefix(1); // never empty: the phrase starts with the quote
            body.remove_suffix(std::min(tailLength, body.size()));
            out.emplace_back(body);
        }
    }
    return out;
}

AnsiString JoinList(const std::vector<AnsiString>& pieces, AnsiView separator) {
    AnsiString out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i)
            out.append(separator);
        out.append(pieces[i]);
    }
    return out;
}

AnsiString HexText(std::uint32_t value) {
    static const char digits[] = "0123456789ABCDEF";
    AnsiString out(8, '0');
    for (int i = 7; i >= 0; --i) {
        out[i] = digits[value & 0xF];
        value >>= 4;
    }
    return out;
}

std::int32_t HexValue(AnsiView text) {
    // strtol(("0x" + text).upper(), nullptr, 16): the "0X" prefix comes first, so leading
    // white space or a sign inside `text` stops the parse at once and gives 0, unless the
    // text itself continues the prefix with digits.
    AnsiString s = "0X" + AnsiToUpper(text);
    std::size_t i = 0;
    auto hexDigit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    // strtol skips the "0X" prefix only when a hex digit follows it; otherwise it parses
    // the leading "0" alone.
    if (s.size() > 2 && hexDigit(s[2]) >= 0)
        i = 2;
    else
        return 0;
    std::int64_t value = 0;
    for (; i < s.size(); ++i) {
        const int d = hexDigit(s[i]);
        if (d < 0)
            break;
        value = value * 16 + d;
        if (value > 0x7FFFFFFF)
            return 0x7FFFFFFF;
    }
    return static_cast<std::int32_t>(value);
}

AnsiString BlockBegin(AnsiView name) {
    return "begin obj(" + AnsiString(name) + ")";
}
AnsiString BlockEnd(AnsiView name) {
    return "end obj(" + AnsiString(name) + ")";
}

} // namespace kelvo
