// The plain-text sink of the RTF parser (UTF-8 and Windows-1251 output) and the plain text
// of a model.
#include "platform/rtf/RtfPlainText.h"

#include "platform/rtf/RtfParser.h"
#include "platform/text/CodePages.h"

#include <array>
#include <memory>

namespace kelvo {

using namespace rtfdetail;

namespace {

inline void PutUtf8(std::string& out, char32_t ch) {
    if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch == 0x2028) {
        out.append("\r\n", 2);
    } else {
        AppendUtf8(out, ch);
    }
}

// Unicode (BMP) to Windows-1251, '?' where the code page has no byte.
const std::array<char, 65536>& AnsiTable() {
    static const std::unique_ptr<std::array<char, 65536>> table = [] {
        auto t = std::make_unique<std::array<char, 65536>>();
        t->fill('?');
        for (int b = 0; b < 256; ++b)
            (*t)[DecodeByte(kAnsiCodePage, static_cast<unsigned char>(b))] = static_cast<char>(b);
        return t;
    }();
    return *table;
}

inline void PutAnsi(std::string& out, char32_t ch) {
    if (ch < 0x80)
        out.push_back(static_cast<char>(ch));
    else if (ch == 0x2028)
        out.append("\r\n", 2);
    else
        out.push_back(ch < 0x10000 ? AnsiTable()[ch] : '?');
}

template <bool Ansi> inline void Put(std::string& out, char32_t ch) {
    if constexpr (Ansi)
        PutAnsi(out, ch);
    else
        PutUtf8(out, ch);
}

// Paragraphs are joined by CR LF: the separator is written when the next paragraph begins
// (it has content or is ended), so the final \par adds nothing, as in the model.
template <bool Ansi> class TextSink {
public:
    static constexpr bool kModel = false;

    explicit TextSink(std::string& out) : m_out(out) {}

    void Text(char32_t ch, const GroupState& st) {
        if (!m_open)
            Begin();
        if (st.chr.hidden == 0)
            Put<Ansi>(m_out, ch);
    }
    void Ascii(std::string_view text, const GroupState& st) {
        Begin();
        if (st.chr.hidden == 0)
            m_out.append(text);
    }
    // The shown bullet or number goes before the paragraph's text even when the body
    // gives it later.
    void NumberText(char32_t ch, const GroupState&) {
        Begin();
        if (m_out.size() == m_paraStart + m_numberLength) {
            const std::size_t before = m_out.size();
            Put<Ansi>(m_out, ch);
            m_numberLength += m_out.size() - before;
        } else {
            Put<Ansi>(m_lateNumber, ch);
        }
    }
    void ParagraphEnd(const GroupState&) {
        Begin();
        Splice();
        ++m_paragraphs;
        m_open = false;
    }
    void Embedded() { Begin(); }
    void Finish(const GroupState&) { Splice(); }

private:
    void Begin() {
        if (m_open)
            return;
        if (m_paragraphs > 0)
            m_out.append("\r\n", 2);
        m_open = true;
        m_paraStart = m_out.size();
        m_numberLength = 0;
    }
    void Splice() {
        if (m_lateNumber.empty())
            return;
        m_out.insert(m_paraStart + m_numberLength, m_lateNumber);
        m_numberLength += m_lateNumber.size();
        m_lateNumber.clear();
    }

    std::string& m_out;
    std::string m_lateNumber;
    std::size_t m_paraStart = 0;
    std::size_t m_numberLength = 0;
    std::size_t m_paragraphs = 0;
    bool m_open = false;
};

template <bool Ansi> std::string PlainBodyText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out.append("\r\n", 2);
        } else if ((c >= 0x20 || c == '\t') && c != 0x7F) {
            if constexpr (Ansi)
                out.push_back(static_cast<char>(c));
            else
                PutUtf8(out, DecodeByte(kAnsiCodePage, c));
        }
    }
    return out;
}

template <bool Ansi> std::string Convert(std::string_view rtf) {
    if (!LooksLikeRtf(rtf))
        return PlainBodyText<Ansi>(rtf);
    std::string out;
    out.reserve(rtf.size() / 2);
    TextSink<Ansi> sink(out);
    Parser<TextSink<Ansi>> parser(rtf, sink);
    parser.Run();
    return out;
}

} // namespace

std::string RtfToPlainText(std::string_view rtf) {
    return Convert<false>(rtf);
}

AnsiString RtfToPlainTextAnsi(std::string_view rtf) {
    return Convert<true>(rtf);
}

std::string PlainText(const RtfDocument& doc) {
    std::string out;
    bool first = true;
    for (const RtfParagraph& paragraph : doc.paragraphs) {
        if (!first)
            out.append("\r\n", 2);
        first = false;
        if (paragraph.numbering)
            out += paragraph.numbering->text;
        for (const RtfInline& item : paragraph.content) {
            const auto* run = std::get_if<RtfRun>(&item);
            if (run == nullptr || run->format.hidden)
                continue;
            std::size_t pos = 0;
            char32_t ch = 0;
            while (NextUtf8(run->text, pos, ch))
                PutUtf8(out, ch);
        }
    }
    return out;
}

} // namespace kelvo
