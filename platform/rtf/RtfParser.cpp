// The sink-independent half of the RTF parser: byte classes, group skipping, font and
// colour tables, code pages of font character sets, and the model's formats.
#include "platform/rtf/RtfParser.h"

#include "platform/text/CodePages.h"

#include <array>

namespace kelvo::rtfdetail {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20))
            return false;
    return true;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    return s;
}

} // namespace

const std::vector<std::string_view>& UnderlineKeywords() {
    static const std::vector<std::string_view> keywords = {
        "",          "ul",         "uld",       "uldash",     "uldashd", "uldashdd",
        "uldb",      "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash",
        "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave"};
    return keywords;
}

std::uint8_t UnderlineIndex(std::string_view keyword) {
    const auto& keywords = UnderlineKeywords();
    for (std::size_t i = 1; i < keywords.size(); ++i)
        if (keywords[i] == keyword)
            return static_cast<std::uint8_t>(i);
    return 1;
}

int CodePageOfCharset(int charset, int ansiCodePage) {
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return 42; // symbol fonts; decoded by the font, not by a code page
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return ansiCodePage;
    }
}

int CharsetOfCodePage(int codePage) {
    switch (codePage) {
    case 1252:
        return 0;
    case 1251:
        return 204;
    case 1250:
        return 238;
    case 1253:
        return 161;
    case 1254:
        return 162;
    case 1255:
        return 177;
    case 1256:
        return 178;
    case 1257:
        return 186;
    case 874:
        return 222;
    case 932:
        return 128;
    case 949:
        return 129;
    case 936:
        return 134;
    case 950:
        return 136;
    default:
        return 1;
    }
}

bool LooksLikeRtf(std::string_view input) {
    std::size_t p = 0;
    while (p < input.size() &&
           (input[p] == ' ' || input[p] == '\t' || input[p] == '\r' || input[p] == '\n'))
        ++p;
    return input.substr(p, 5) == "{\\rtf";
}

std::size_t FindGroupEnd(std::string_view in, std::size_t pos, int& unclosed) {
    const std::size_t n = in.size();
    int depth = 1;
    std::size_t p = pos;
    while (p < n) {
        const unsigned char c = static_cast<unsigned char>(in[p++]);
        if (kByteClass[c] != kSpecial)
            continue;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                unclosed = 0;
                return p;
            }
        } else if (p < n) {
            // A control word: only \binN matters here (its data may hold braces).
            const std::size_t nameStart = p;
            while (p < n && IsAlpha(static_cast<unsigned char>(in[p])))
                ++p;
            if (p == nameStart) {
                ++p; // a control symbol such as \{ or \'
                continue;
            }
            const bool isBin = in.substr(nameStart, p - nameStart) == "bin";
            bool negative = false;
            if (p < n && in[p] == '-') {
                negative = true;
                ++p;
            }
            long long value = 0;
            while (p < n && IsDigit(static_cast<unsigned char>(in[p]))) {
                if (value < 100000000000LL)
                    value = value * 10 + (in[p] - '0');
                ++p;
            }
            if (p < n && in[p] == ' ')
                ++p;
            if (isBin && !negative && value > 0)
                p += static_cast<std::size_t>(
                    std::min<long long>(value, static_cast<long long>(n - p)));
        }
    }
    unclosed = depth;
    return n;
}

bool AttachPictureFallback(RtfPicture& primary, RtfPicture&& alternative) {
    const bool modern = primary.kind == RtfPictureKind::Png ||
                        primary.kind == RtfPictureKind::Jpeg || primary.kind == RtfPictureKind::Emf;
    if (!modern)
        return false;
    if (primary.fallbackMetafile.empty() && alternative.kind == RtfPictureKind::Wmf)
        primary.fallbackMetafile = std::move(alternative.data);
    return true;
}

const FontDef* ParserBase::FindFont(int number) const {
    auto it = m_fontIndex.find(number);
    return it == m_fontIndex.end() ? nullptr : &m_fonts[it->second];
}

FontDef* ParserBase::BeginFont(int number) {
    ++m_generation;
    auto it = m_fontIndex.find(number);
    if (it != m_fontIndex.end()) {
        m_currentFont = static_cast<int>(it->second);
        m_fonts[it->second] = FontDef{};
        m_fonts[it->second].number = number;
        return &m_fonts[it->second];
    }
    if (m_fonts.size() >= kMaxFonts) {
        m_currentFont = -1;
        return nullptr;
    }
    m_fontIndex.emplace(number, m_fonts.size());
    m_currentFont = static_cast<int>(m_fonts.size());
    m_fonts.emplace_back();
    m_fonts.back().number = number;
    return &m_fonts.back();
}

void ParserBase::FinishFontName() {
    if (m_currentFont >= 0)
        m_fonts[static_cast<std::size_t>(m_currentFont)].nameDone = true;
}

void ParserBase::ResolveDecoder(GroupState& st) const {
    const FontDef* font = FindFont(st.chr.font >= 0 ? st.chr.font : m_defaultFont);
    const int charset = font ? font->charset : -1;
    st.decoderReady = true;
    st.table = nullptr;
    if (charset == 2) {
        st.decodeKind =
            EqualsNoCase(FontName(*font), "Symbol") ? DecodeKind::Symbol : DecodeKind::PrivateUse;
        return;
    }
    st.decodeKind = DecodeKind::Table;
    st.table = CodePageHighTable(CodePageOfCharset(charset, m_ansiCodePage));
}

std::string ParserBase::FontName(const FontDef& font) const {
    // Names of symbol fonts are ordinary text: decode them in the document's code page.
    const int codePage = CodePageOfCharset(font.charset == 2 ? -1 : font.charset, m_ansiCodePage);
    auto decode = [&](const std::u32string& name) {
        std::string out;
        for (char32_t ch : name)
            AppendUtf8(out,
                       ch >= kFontByte
                           ? kelvo::DecodeByte(codePage, static_cast<unsigned char>(ch - kFontByte))
                           : ch);
        return std::string(Trimmed(out));
    };
    std::string alt = decode(font.altName);
    return alt.empty() ? decode(font.rawName) : alt;
}

RtfFont ParserBase::ModelFont(int number) const {
    RtfFont font;
    font.charset = CharsetOfCodePage(m_ansiCodePage);
    const FontDef* def = FindFont(number >= 0 ? number : m_defaultFont);
    if (def == nullptr)
        return font;
    if (def->charset >= 0 && def->charset != 1)
        font.charset = def->charset;
    font.name = FontName(*def);
    font.family = def->family;
    font.pitch = def->pitch;
    return font;
}

RtfColor ParserBase::ModelColor(int index) const {
    if (index <= 0 || static_cast<std::size_t>(index) >= m_colors.size())
        return RtfColor{};
    const ColorDef& c = m_colors[static_cast<std::size_t>(index)];
    if (!c.set)
        return RtfColor{};
    return RtfColor::Rgb(c.red, c.green, c.blue);
}

RtfCharFormat ParserBase::ModelFormat(const CharState& chr) const {
    RtfCharFormat f;
    f.font = ModelFont(chr.font);
    f.fontSize = chr.size;
    f.bold = chr.bold != 0;
    f.italic = chr.italic != 0;
    f.strike = chr.strike != 0;
    f.hidden = chr.hidden != 0;
    const auto& underlines = UnderlineKeywords();
    if (chr.underline < underlines.size())
        f.underline = std::string(underlines[chr.underline]);
    f.vertical = static_cast<RtfVerticalPosition>(chr.vertical);
    f.offset = chr.offset;
    f.foreground = ModelColor(chr.fore);
    f.background = ModelColor(chr.back);
    f.language = chr.lang;
    return f;
}

const NumberDef* ParserBase::Numbering(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_numbering.size())
        return nullptr;
    return &m_numbering[static_cast<std::size_t>(index)];
}

void ParserBase::FillParagraph(const ParaState& para, RtfParagraph& out) const {
    out.alignment = static_cast<RtfAlignment>(para.align);
    out.leftIndent = para.left;
    out.rightIndent = para.right;
    out.firstIndent = para.first;
    out.spaceBefore = para.before;
    out.spaceAfter = para.after;
    out.lineSpacing = para.line;
    out.lineSpacingMultiple = para.lineMultiple != 0;
    out.tabs.clear();
    for (int i = 0; i < para.tabCount; ++i)
        out.tabs.push_back({para.tabs[i].position, static_cast<RtfTabKind>(para.tabs[i].kind),
                            static_cast<RtfTabLeader>(para.tabs[i].leader)});
}

} // namespace kelvo::rtfdetail
