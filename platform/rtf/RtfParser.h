// The RTF tokenizer and group-state machine shared by the model reader and the plain-text
// converter, so both see exactly the same text. Internal to the RTF layer.
//
// A sink receives the decoded text of the body, the paragraph ends and, when it builds the
// model (Sink::kModel), pictures, objects and numbering definitions. The plain-text sink
// never asks for pictures or objects: their groups are skipped without being decoded.
#pragma once

#include "platform/rtf/RtfDocument.h"
#include "platform/rtf/RtfKeywords.h"
#include "platform/rtf/SymbolFont.h"
#include "platform/text/CodePages.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvo::rtfdetail {

/// Groups nested deeper than this are skipped whole (the control rejects such bodies too).
inline constexpr std::size_t kMaxDepth = 200;
inline constexpr int kMaxTabs = 32; // rich edit keeps at most 32 tab stops
inline constexpr std::size_t kMaxFonts = 4096;
inline constexpr std::size_t kMaxColors = 4096;
inline constexpr int kMaxFallback = 16; // bound for \ucN

/// What the text of a group is for.
enum class Dest : std::uint8_t {
    Body,
    FontTable,
    FontAltName,
    ColorTable,
    NumberText,   // \pntext, \listtext: the shown bullet or number
    NumberDef,    // \pn
    NumberBefore, // \pntxtb
    NumberAfter,  // \pntxta
    Picture,
    Object,
    ObjectClass,
    ObjectResult,
    Upr, // \upr: an ANSI alternative followed by its Unicode form in \*\ud
};

enum GroupFlags : std::uint8_t {
    kInShp = 1,    // inside \*\shppict
    kInNonShp = 2, // inside \nonshppict
    kInObject = 4,
    kInResult = 8,
};

enum class DecodeKind : std::uint8_t { Table, Symbol, PrivateUse };

/// Character formatting as the body gives it (font and colour numbers, not yet resolved).
struct CharState {
    std::int32_t font = -1;
    std::int32_t size = 24;
    std::int32_t offset = 0;
    std::int32_t fore = 0;
    std::int32_t back = 0;
    std::int32_t lang = 0;
    std::uint8_t bold = 0;
    std::uint8_t italic = 0;
    std::uint8_t strike = 0;
    std::uint8_t hidden = 0;
    std::uint8_t underline = 0; // index into UnderlineKeywords(); 0 = none
    std::uint8_t vertical = 0;  // RtfVerticalPosition

    bool operator==(const CharState&) const = default;
};

struct TabState {
    std::int32_t position = 0;
    std::uint8_t kind = 0;   // RtfTabKind
    std::uint8_t leader = 0; // RtfTabLeader
};

struct ParaState {
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t first = 0;
    std::int32_t before = 0;
    std::int32_t after = 0;
    std::int32_t line = 0;
    std::int32_t numbering = -1; // index of the \pn definition in force
    std::uint8_t align = 0;      // RtfAlignment
    std::uint8_t lineMultiple = 0;
    std::uint8_t tabCount = 0;
    std::uint8_t nextTabKind = 0;
    std::uint8_t nextTabLeader = 0;
    TabState tabs[kMaxTabs];
};

/// The state saved and restored by each group.
struct GroupState {
    std::size_t start = 0; // offset of the group's '{'
    Dest dest = Dest::Body;
    bool ownsDest = false; // this group (not a parent) switched to `dest`
    std::uint8_t flags = 0;
    std::uint8_t uc = 1;
    bool decoderReady = false;
    DecodeKind decodeKind = DecodeKind::Table;
    const char16_t* table = nullptr; // code page upper half; nullptr: Latin-1
    CharState chr;
    ParaState para;
};

inline constexpr char32_t kFontByte = 0x110000;

struct FontDef {
    int number = 0;
    // Names up to ';': bytes as kFontByte + byte (decoded once the character set is known),
    // \uN characters as themselves.
    std::u32string rawName;
    std::u32string altName; // \*\fname
    int charset = -1;
    std::string family;
    int pitch = 0;
    bool nameDone = false;
    bool altDone = false;
};

struct ColorDef {
    bool set = false;
    std::uint8_t red = 0, green = 0, blue = 0;
};

struct NumberDef {
    std::string level;
    std::string style;
    int start = 0;
    int indent = 0;
    bool hanging = false;
    int font = INT_MIN; // \pnf; INT_MIN: none
    std::string before, after;
};

/// The underline keywords in CharState::underline order (index 0 is "no underline").
const std::vector<std::string_view>& UnderlineKeywords();
std::uint8_t UnderlineIndex(std::string_view keyword);

/// The Windows code page of a font character set; `ansiCodePage` for the default set and
/// for fonts that give none.
int CodePageOfCharset(int charset, int ansiCodePage);
/// The character set of a code page (1251 → 204); 1 (default) when there is none.
int CharsetOfCodePage(int codePage);

/// Everything of the parser that does not depend on the sink: the tables read from the
/// header and the decoding of bytes to characters.
class ParserBase {
public:
    explicit ParserBase(std::string_view input) : m_in(input) {}

    /// The model's font for a font number (an unknown number gives an unnamed font).
    RtfFont ModelFont(int number) const;
    RtfColor ModelColor(int index) const;
    RtfCharFormat ModelFormat(const CharState& chr) const;
    void FillParagraph(const ParaState& para, RtfParagraph& out) const;
    const NumberDef* Numbering(int index) const;
    int DefaultFont() const { return m_defaultFont; }
    /// Changes whenever the font or colour tables or the code page change, so that a sink
    /// can tell that a format it resolved earlier may now resolve differently.
    unsigned Generation() const { return m_generation; }
    int DefaultTab() const { return m_defaultTab; }
    /// A font's name in UTF-8: the \*\fname name if given, else the table's, trimmed.
    std::string FontName(const FontDef& font) const;

protected:
    const FontDef* FindFont(int number) const;
    void ResolveDecoder(GroupState& st) const;
    char32_t DecodeByte(GroupState& st, unsigned char byte) const {
        if (!st.decoderReady)
            ResolveDecoder(st);
        if (st.decodeKind == DecodeKind::Table)
            return byte < 0x80 || st.table == nullptr ? char32_t{byte}
                                                      : char32_t{st.table[byte - 0x80]};
        if (st.decodeKind == DecodeKind::Symbol)
            return SymbolToUnicode(byte);
        return byte < 0x20 ? char32_t{byte} : char32_t{0xF000u + byte};
    }
    void InvalidateDecoders() {
        ++m_generation;
        for (GroupState& st : m_stack)
            st.decoderReady = false;
    }
    FontDef* BeginFont(int number);
    void FinishFontName();

    std::string_view m_in;
    std::size_t m_pos = 0;
    std::vector<GroupState> m_stack;
    std::vector<FontDef> m_fonts;
    std::unordered_map<int, std::size_t> m_fontIndex;
    int m_currentFont = -1; // index in m_fonts of the entry being read
    std::vector<ColorDef> m_colors;
    ColorDef m_pendingColor;
    std::vector<NumberDef> m_numbering;
    int m_ansiCodePage = 1251;
    int m_defaultFont = -1;
    int m_defaultTab = 720;
    unsigned m_generation = 0;
};

/// True when the bytes are RTF (start with "{\rtf" after white space); anything else is
/// loaded as plain text, as the control does.
bool LooksLikeRtf(std::string_view input);

// Byte classes of the tokenizer.
enum : std::uint8_t { kPlain, kSpecial, kNewline, kControl, kTabChar, kHigh };

constexpr std::array<std::uint8_t, 256> MakeByteClass() {
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        std::uint8_t cls = kPlain;
        if (c == '\\' || c == '{' || c == '}')
            cls = kSpecial;
        else if (c == '\r' || c == '\n')
            cls = kNewline;
        else if (c == '\t')
            cls = kTabChar;
        else if (c < 0x20 || c == 0x7F)
            cls = kControl;
        else if (c >= 0x80)
            cls = kHigh;
        table[static_cast<std::size_t>(c)] = cls;
    }
    return table;
}

inline constexpr std::array<std::uint8_t, 256> kByteClass = MakeByteClass();

inline bool IsAlpha(unsigned char c) {
    return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}
inline bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
constexpr std::array<std::int8_t, 256> MakeHexValues() {
    std::array<std::int8_t, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] =
            c >= '0' && c <= '9'   ? static_cast<std::int8_t>(c - '0')
            : c >= 'a' && c <= 'f' ? static_cast<std::int8_t>(c - 'a' + 10)
            : c >= 'A' && c <= 'F' ? static_cast<std::int8_t>(c - 'A' + 10)
                                   : std::int8_t{-1};
    return table;
}
inline constexpr std::array<std::int8_t, 256> kHexValue = MakeHexValues();

inline int HexDigit(unsigned char c) {
    return kHexValue[c];
}

/// A \nonshppict metafile after a PNG/JPEG/EMF picture becomes its fallback (false when
/// `primary` is not such a picture); other alternatives are dropped, as readers that know the
/// first picture do.
bool AttachPictureFallback(RtfPicture& primary, RtfPicture&& alternative);

/// Finds the end of a group whose '{' is already consumed: returns the offset after its
/// '}' and sets `unclosed` to the number of groups the input left open. \bin data inside
/// is skipped so that binary bytes are not taken for braces.
std::size_t FindGroupEnd(std::string_view in, std::size_t pos, int& unclosed);

template <class Sink> class Parser : public ParserBase {
public:
    Parser(std::string_view input, Sink& sink) : ParserBase(input), m_sink(sink) {}

    void Run() {
        m_stack.reserve(64);
        m_stack.emplace_back(); // the state outside the root group
        const std::size_t n = m_in.size();
        while (m_pos < n && !m_done) {
            const unsigned char c = static_cast<unsigned char>(m_in[m_pos]);
            if (c == '{') {
                OpenGroup();
            } else if (c == '}') {
                ++m_pos;
                CloseGroup();
            } else if (c == '\\') {
                if (!(m_pos + 1 < n && m_in[m_pos + 1] == '\'' && BodyText()))
                    Control();
            } else if (m_stack.size() == 1) {
                ++m_pos; // nothing outside the root group
            } else {
                Literal();
            }
        }
        while (m_stack.size() > 1 && !m_done) {
            ++m_missingBraces;
            CloseGroup();
        }
    }

private:
    GroupState& Top() { return m_stack.back(); }

    // A high surrogate without its low half where the group changes: shown as U+FFFD in the
    // group it was written in.
    void FlushSurrogate() {
        if (m_highSurrogate != 0) {
            m_highSurrogate = 0;
            Emit(0xFFFD);
        }
    }

    void OpenGroup() {
        FlushSurrogate();
        const std::size_t start = m_pos++;
        m_skip = 0;
        m_starred = false;
        if (m_stack.size() >= kMaxDepth) {
            int unclosed = 0;
            m_pos = FindGroupEnd(m_in, m_pos, unclosed);
            m_missingBraces += unclosed;
            return;
        }
        m_stack.push_back(m_stack.back());
        GroupState& st = m_stack.back();
        st.start = start;
        st.ownsDest = false;
    }

    // Skips the rest of the current group and closes it.
    void SkipGroup() {
        int unclosed = 0;
        m_pos = FindGroupEnd(m_in, m_pos, unclosed);
        m_missingBraces += unclosed;
        CloseGroup();
    }

    // Closes the current group (its '}' consumed). Closing the root group ends the body:
    // whatever follows it (a NUL, garbage) is not read.
    void CloseGroup() {
        FlushSurrogate();
        m_skip = 0;
        m_starred = false;
        if (m_stack.size() <= 1) {
            m_done = true;
            return;
        }
        GroupState& st = Top();
        if (st.dest == Dest::FontAltName && st.ownsDest && m_currentFont >= 0)
            m_fonts[static_cast<std::size_t>(m_currentFont)].altDone = true;
        if (m_fontEntryDepth == m_stack.size()) {
            FinishFontName();
            m_fontEntryDepth = 0;
        }
        if (st.ownsDest) {
            switch (st.dest) {
            case Dest::FontTable:
                m_currentFont = -1;
                break;
            case Dest::Picture:
                if constexpr (Sink::kModel)
                    FinishPicture(st.flags);
                break;
            case Dest::NumberDef:
                if (m_stack.size() >= 2)
                    m_stack[m_stack.size() - 2].para.numbering = st.para.numbering;
                break;
            default:
                break;
            }
        }
        if constexpr (Sink::kModel)
            if (m_inObject && m_stack.size() == m_objectDepth)
                FinishObject();
        if (m_stack.size() == 2)
            m_sink.Finish(st);
        const bool fontTable = st.ownsDest && st.dest == Dest::FontTable;
        m_stack.pop_back();
        if (fontTable)
            InvalidateDecoders();
        if (m_stack.size() <= 1)
            m_done = true;
    }

    void Control() {
        const std::size_t n = m_in.size();
        m_keywordStart = m_pos;
        std::size_t p = m_pos + 1;
        if (p >= n) {
            m_pos = n;
            return;
        }
        const unsigned char c = static_cast<unsigned char>(m_in[p]);
        if (!IsAlpha(c)) {
            m_pos = p + 1;
            ControlSymbol(c);
            return;
        }
        const std::size_t nameStart = p;
        while (p < n && IsAlpha(static_cast<unsigned char>(m_in[p])))
            ++p;
        std::string_view name = m_in.substr(nameStart, p - nameStart);
        if (name.size() > 32)
            name = {};
        bool negative = false;
        if (p + 1 < n && m_in[p] == '-' && IsDigit(static_cast<unsigned char>(m_in[p + 1]))) {
            negative = true;
            ++p;
        }
        bool hasParam = false;
        long long value = 0;
        while (p < n && IsDigit(static_cast<unsigned char>(m_in[p]))) {
            hasParam = true;
            if (value < 100000000000LL)
                value = value * 10 + (m_in[p] - '0');
            ++p;
        }
        if (p < n && m_in[p] == ' ')
            ++p;
        m_pos = p;
        if (negative)
            value = -value;
        value = std::clamp<long long>(value, -INT_MAX, INT_MAX);
        Keyword(name, hasParam, static_cast<int>(value));
    }

    void ControlSymbol(unsigned char c) {
        switch (c) {
        case '\'': {
            int value = 0;
            int digits = 0;
            while (digits < 2 && m_pos < m_in.size()) {
                const int d = HexDigit(static_cast<unsigned char>(m_in[m_pos]));
                if (d < 0)
                    break;
                value = value * 16 + d;
                ++digits;
                ++m_pos;
            }
            if (digits > 0)
                HexByte(static_cast<unsigned char>(value));
            break;
        }
        case '\\':
        case '{':
        case '}':
            if (!ConsumeFallback())
                TextByte(c);
            break;
        case '~':
            if (!ConsumeFallback())
                Emit(0x00A0);
            break;
        case '_':
            if (!ConsumeFallback())
                Emit(0x2011);
            break;
        case '-':
            ConsumeFallback(); // optional hyphen: shown only at a line end
            break;
        case '*':
            m_starred = true;
            break;
        case '\r':
        case '\n':
            m_skip = 0;
            Keyword("par", false, 0);
            break;
        default:
            break;
        }
    }

    bool ConsumeFallback() {
        if (m_skip <= 0)
            return false;
        --m_skip;
        return true;
    }

    // The hot path: body text of printable ASCII and \'hh escapes under a code-page font,
    // decoded in one loop. Anything else (control words, braces, fallback characters still to
    // skip, symbol fonts) is left to the general path. False when nothing was taken.
    bool BodyText() {
        GroupState& st = Top();
        if (st.dest != Dest::Body || m_skip != 0 || m_highSurrogate != 0 || m_stack.size() < 2)
            return false;
        if (!st.decoderReady)
            ResolveDecoder(st);
        if (st.decodeKind != DecodeKind::Table)
            return false;
        const char16_t* table = st.table;
        const char* const begin = m_in.data();
        const char* p = begin + m_pos;
        const char* const end = begin + m_in.size();
        const char* const start = p;
        while (p < end) {
            const unsigned char c = static_cast<unsigned char>(*p);
            const std::uint8_t cls = kByteClass[c];
            if (cls == kPlain) {
                const char* run = p;
                do
                    ++p;
                while (p < end && kByteClass[static_cast<unsigned char>(*p)] == kPlain);
                m_sink.Ascii(std::string_view(run, static_cast<std::size_t>(p - run)), st);
            } else if (c == '\\' && end - p >= 4 && p[1] == '\'') {
                const int high = HexDigit(static_cast<unsigned char>(p[2]));
                const int low = HexDigit(static_cast<unsigned char>(p[3]));
                if ((high | low) < 0)
                    break;
                const unsigned byte = static_cast<unsigned>(high * 16 + low);
                const char32_t ch =
                    byte < 0x80 || table == nullptr ? char32_t{byte} : char32_t{table[byte - 0x80]};
                if ((ch >= 0x20 && ch != 0x7F) || ch == '\t')
                    m_sink.Text(ch, st);
                p += 4;
            } else if (cls == kNewline) {
                ++p;
            } else {
                break;
            }
        }
        m_pos = static_cast<std::size_t>(p - begin);
        return p != start;
    }

    void Literal() {
        GroupState& st = Top();
        const unsigned char c = static_cast<unsigned char>(m_in[m_pos]);
        const std::uint8_t cls = kByteClass[c];
        if (st.dest == Dest::Picture) {
            PictureHex();
            return;
        }
        if (cls == kPlain && BodyText())
            return;
        ++m_pos;
        if (cls == kNewline)
            return;
        if (ConsumeFallback())
            return;
        TextByte(c);
    }

    // A byte written as itself in the body.
    void TextByte(unsigned char c) {
        GroupState& st = Top();
        switch (st.dest) {
        case Dest::Body:
        case Dest::NumberText:
        case Dest::NumberBefore:
        case Dest::NumberAfter:
            Emit(c == '\t' ? char32_t{'\t'} : DecodeByte(st, c));
            break;
        case Dest::FontTable:
        case Dest::FontAltName:
            FontByte(c);
            break;
        case Dest::ColorTable:
            if (c == ';') {
                if (m_colors.size() < kMaxColors)
                    m_colors.push_back(m_pendingColor);
                ++m_generation;
                m_pendingColor = {};
            }
            break;
        case Dest::ObjectClass:
            if constexpr (Sink::kModel)
                if (c >= 0x20 && c < 0x7F && m_object.className.size() < 256)
                    m_object.className.push_back(static_cast<char>(c));
            break;
        default:
            break;
        }
    }

    // A byte written as \'hh.
    void HexByte(unsigned char b) {
        if (ConsumeFallback())
            return;
        GroupState& st = Top();
        switch (st.dest) {
        case Dest::Body:
        case Dest::NumberText:
        case Dest::NumberBefore:
        case Dest::NumberAfter:
            Emit(DecodeByte(st, b));
            break;
        case Dest::FontTable:
        case Dest::FontAltName:
            FontByte(b);
            break;
        default:
            break;
        }
    }

    void FontByte(unsigned char c) {
        if (m_currentFont < 0)
            return;
        FontDef& font = m_fonts[static_cast<std::size_t>(m_currentFont)];
        const bool alt = Top().dest == Dest::FontAltName;
        if (alt ? font.altDone : font.nameDone)
            return;
        if (c == ';') {
            (alt ? font.altDone : font.nameDone) = true;
            return;
        }
        if (c >= 0x20 && c != 0x7F)
            FontNameChar(kFontByte + c);
    }

    void FontNameChar(char32_t ch) {
        if (m_currentFont < 0)
            return;
        FontDef& font = m_fonts[static_cast<std::size_t>(m_currentFont)];
        const bool alt = Top().dest == Dest::FontAltName;
        std::u32string& name = alt ? font.altName : font.rawName;
        if (!(alt ? font.altDone : font.nameDone) && name.size() < 256)
            name.push_back(ch);
    }

    // A decoded character in the current destination. Control characters other than the
    // tab never reach the text.
    void Emit(char32_t ch) {
        if ((ch < 0x20 && ch != '\t') || ch == 0x7F)
            return;
        GroupState& st = Top();
        switch (st.dest) {
        case Dest::Body:
            m_sink.Text(ch, st);
            break;
        case Dest::NumberText:
            m_sink.NumberText(ch, st);
            break;
        case Dest::FontTable:
        case Dest::FontAltName:
            if (ch >= 0x20)
                FontNameChar(ch);
            break;
        case Dest::NumberBefore:
        case Dest::NumberAfter:
            if constexpr (Sink::kModel) {
                if (st.para.numbering >= 0) {
                    NumberDef& def = m_numbering[static_cast<std::size_t>(st.para.numbering)];
                    AppendUtf8(st.dest == Dest::NumberBefore ? def.before : def.after, ch);
                }
            }
            break;
        default:
            break;
        }
    }

    void UnicodeChar(int value) {
        GroupState& st = Top();
        char32_t unit = static_cast<char32_t>(value < 0 ? value + 65536 : value) & 0xFFFF;
        if (!st.decoderReady)
            ResolveDecoder(st);
        if (st.decodeKind == DecodeKind::Symbol && unit >= 0xF020 && unit <= 0xF0FF)
            unit = SymbolToUnicode(static_cast<unsigned char>(unit - 0xF000));
        if (IsHighSurrogate(unit)) {
            if (m_highSurrogate != 0)
                Emit(0xFFFD);
            m_highSurrogate = unit;
        } else if (IsLowSurrogate(unit)) {
            if (m_highSurrogate != 0)
                Emit(CombineSurrogates(m_highSurrogate, unit));
            else
                Emit(0xFFFD);
            m_highSurrogate = 0;
        } else {
            if (m_highSurrogate != 0)
                Emit(0xFFFD);
            m_highSurrogate = 0;
            Emit(unit);
        }
        m_skip = st.uc;
    }

    void BinaryData(int count) {
        const std::size_t available = m_in.size() - m_pos;
        const std::size_t size =
            count <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(count), available);
        if (!ConsumeFallback()) {
            if constexpr (Sink::kModel)
                if (Top().dest == Dest::Picture && m_inPicture)
                    m_picture.data.append(m_in.substr(m_pos, size));
        }
        m_pos += size;
    }

    // Sets this group's destination.
    void SetDest(Dest dest) {
        GroupState& st = Top();
        st.dest = dest;
        st.ownsDest = true;
    }

    void Keyword(std::string_view name, bool hasParam, int param) {
        const Kw kw = LookupKeyword(name);
        const bool starred = m_starred;
        m_starred = false;
        if (kw == Kw::Bin) {
            // The data is consumed wherever \bin stands, even after \*, so that it is never
            // read as RTF.
            BinaryData(hasParam ? param : 0);
            return;
        }
        if (m_skip > 0 && kw != Kw::Bin)
            m_skip = 0;
        if (m_stack.size() <= 1)
            return;
        GroupState& st = Top();
        if (m_stack.size() == 2 && (starred || IsDestination(kw)))
            return; // the root group stays the body, whatever it holds
        if (ModelOnly(st) && AffectsDecoding(kw))
            return; // pictures, objects and \pn are not read for plain text: no side effects
        if (kw != Kw::U && m_highSurrogate != 0) {
            m_highSurrogate = 0;
            Emit(0xFFFD);
        }
        if (starred) {
            switch (kw) {
            case Kw::FName:
            case Kw::ShpPict:
            case Kw::Pn:
            case Kw::ObjClass:
            case Kw::Ud:
            case Kw::PnText:
                break;
            default:
                SkipGroup();
                return;
            }
        }
        const int value = hasParam ? param : 0;
        const bool on = !hasParam || param != 0;
        switch (kw) {
        case Kw::Unknown:
        case Kw::Rtf:
        case Kw::FldRslt:
            break;

        // Destinations
        case Kw::FontTable:
            SetDest(Dest::FontTable);
            m_currentFont = -1;
            break;
        case Kw::ColorTable:
            SetDest(Dest::ColorTable);
            m_pendingColor = {};
            break;
        case Kw::FName:
            if (st.dest == Dest::FontTable)
                SetDest(Dest::FontAltName);
            else
                SkipGroup();
            break;
        case Kw::Pict:
            if (st.dest != Dest::Body && st.dest != Dest::ObjectResult) {
                SkipGroup();
            } else if constexpr (!Sink::kModel) {
                if (st.dest == Dest::Body)
                    m_sink.Embedded();
                SkipGroup();
            } else {
                SetDest(Dest::Picture);
                m_picture = RtfPicture{};
                m_inPicture = true;
                m_nibble = -1;
            }
            break;
        case Kw::Object:
            if (st.dest != Dest::Body || (st.flags & kInObject) != 0) {
                SkipGroup();
            } else if constexpr (!Sink::kModel) {
                m_sink.Embedded();
                SkipGroup();
            } else {
                SetDest(Dest::Object);
                st.flags |= kInObject;
                m_inObject = true;
                m_objectDepth = m_stack.size();
                m_objectStart = st.start;
                m_objectKeyword = m_keywordStart;
                m_object = RtfObject{};
            }
            break;
        case Kw::ObjClass:
            if ((st.flags & kInObject) != 0)
                SetDest(Dest::ObjectClass);
            else
                SkipGroup();
            break;
        case Kw::Result:
            if (st.dest == Dest::Object) {
                SetDest(Dest::ObjectResult);
                st.flags |= kInResult;
            }
            break;
        case Kw::ShpPict:
            st.flags |= kInShp;
            break;
        case Kw::NonShpPict:
            st.flags |= kInNonShp;
            break;
        case Kw::Pn:
            if (st.dest != Dest::Body) {
                SkipGroup();
            } else if constexpr (!Sink::kModel) {
                SkipGroup();
            } else {
                SetDest(Dest::NumberDef);
                st.para.numbering = static_cast<int>(m_numbering.size());
                m_numbering.emplace_back();
            }
            break;
        case Kw::PnText:
            if (st.dest == Dest::Body)
                SetDest(Dest::NumberText);
            else
                SkipGroup();
            break;
        case Kw::PnTxtB:
        case Kw::PnTxtA:
            if (st.dest == Dest::NumberDef)
                SetDest(kw == Kw::PnTxtB ? Dest::NumberBefore : Dest::NumberAfter);
            else
                SkipGroup();
            break;
        case Kw::Upr:
            if (st.dest == Dest::Body)
                SetDest(Dest::Upr);
            break;
        case Kw::Ud:
            if (st.dest == Dest::Upr)
                SetDest(Dest::Body);
            else if (starred)
                SkipGroup();
            break;
        case Kw::FldInst:
        case Kw::SkipDest:
            SkipGroup();
            break;

        // Character formatting
        case Kw::B:
            st.chr.bold = on;
            break;
        case Kw::I:
            st.chr.italic = on;
            break;
        case Kw::Strike:
            st.chr.strike = on;
            break;
        case Kw::V:
            st.chr.hidden = on;
            break;
        case Kw::Underline:
            st.chr.underline = on ? UnderlineIndex(name) : 0;
            break;
        case Kw::UlNone:
            st.chr.underline = 0;
            break;
        case Kw::Super:
            st.chr.vertical = static_cast<std::uint8_t>(RtfVerticalPosition::Superscript);
            break;
        case Kw::Sub:
            st.chr.vertical = static_cast<std::uint8_t>(RtfVerticalPosition::Subscript);
            break;
        case Kw::NoSuperSub:
            st.chr.vertical = 0;
            break;
        case Kw::Up:
            st.chr.offset = hasParam ? param : 6;
            break;
        case Kw::Dn:
            st.chr.offset = hasParam ? -param : -6;
            break;
        case Kw::Cf:
            st.chr.fore = value;
            break;
        case Kw::Cb:
            st.chr.back = value;
            break;
        case Kw::F:
            if (st.dest == Dest::FontTable) {
                FinishFontName();
                BeginFont(value);
                m_fontEntryDepth = m_stack.size();
            } else if (st.dest != Dest::FontAltName) {
                st.chr.font = value;
                st.decoderReady = false;
            }
            break;
        case Kw::Fs:
            st.chr.size = hasParam && param > 0 ? std::min(param, 32767) : 24;
            break;
        case Kw::Lang:
            st.chr.lang = value;
            break;
        case Kw::Plain:
            st.chr = CharState{};
            st.chr.font = m_defaultFont;
            st.decoderReady = false;
            break;

        // Paragraph formatting
        case Kw::Pard: {
            const std::int32_t keepNumbering = st.dest == Dest::NumberDef ? st.para.numbering : -1;
            st.para = ParaState{};
            st.para.numbering = keepNumbering;
            break;
        }
        case Kw::Ql:
            st.para.align = static_cast<std::uint8_t>(RtfAlignment::Left);
            break;
        case Kw::Qc:
            st.para.align = static_cast<std::uint8_t>(RtfAlignment::Center);
            break;
        case Kw::Qr:
            st.para.align = static_cast<std::uint8_t>(RtfAlignment::Right);
            break;
        case Kw::Qj:
            st.para.align = static_cast<std::uint8_t>(RtfAlignment::Justify);
            break;
        case Kw::Li:
            st.para.left = value;
            break;
        case Kw::Ri:
            st.para.right = value;
            break;
        case Kw::Fi:
            st.para.first = value;
            break;
        case Kw::Sb:
            st.para.before = value;
            break;
        case Kw::Sa:
            st.para.after = value;
            break;
        case Kw::Sl:
            st.para.line = value;
            break;
        case Kw::SlMult:
            st.para.lineMultiple = on;
            break;
        case Kw::Tx:
        case Kw::Tb:
            if (st.para.tabCount < kMaxTabs) {
                TabState& tab = st.para.tabs[st.para.tabCount++];
                tab.position = value;
                tab.kind =
                    kw == Kw::Tb ? static_cast<std::uint8_t>(RtfTabKind::Bar) : st.para.nextTabKind;
                tab.leader = st.para.nextTabLeader;
            }
            st.para.nextTabKind = 0;
            st.para.nextTabLeader = 0;
            break;
        case Kw::Tqc:
            st.para.nextTabKind = static_cast<std::uint8_t>(RtfTabKind::Center);
            break;
        case Kw::Tqr:
            st.para.nextTabKind = static_cast<std::uint8_t>(RtfTabKind::Right);
            break;
        case Kw::Tqdec:
            st.para.nextTabKind = static_cast<std::uint8_t>(RtfTabKind::Decimal);
            break;
        case Kw::TlDot:
            st.para.nextTabLeader = static_cast<std::uint8_t>(RtfTabLeader::Dot);
            break;
        case Kw::TlHyph:
            st.para.nextTabLeader = static_cast<std::uint8_t>(RtfTabLeader::Hyphen);
            break;
        case Kw::TlUl:
            st.para.nextTabLeader = static_cast<std::uint8_t>(RtfTabLeader::Underline);
            break;
        case Kw::TlTh:
            st.para.nextTabLeader = static_cast<std::uint8_t>(RtfTabLeader::Thick);
            break;
        case Kw::TlEq:
            st.para.nextTabLeader = static_cast<std::uint8_t>(RtfTabLeader::Equal);
            break;
        case Kw::TlMDot:
            st.para.nextTabLeader = static_cast<std::uint8_t>(RtfTabLeader::MiddleDot);
            break;

        // Breaks and special characters
        case Kw::Par:
        case Kw::Row:
            if (st.dest == Dest::Body)
                m_sink.ParagraphEnd(st);
            break;
        case Kw::Line:
            if (st.dest == Dest::Body)
                Emit(0x2028);
            break;
        case Kw::Tab:
        case Kw::Cell:
            Emit('\t');
            break;
        case Kw::Emdash:
            Emit(0x2014);
            break;
        case Kw::Endash:
            Emit(0x2013);
            break;
        case Kw::Emspace:
            Emit(0x2003);
            break;
        case Kw::Enspace:
            Emit(0x2002);
            break;
        case Kw::Qmspace:
            Emit(0x2005);
            break;
        case Kw::Bullet:
            Emit(0x2022);
            break;
        case Kw::Lquote:
            Emit(0x2018);
            break;
        case Kw::Rquote:
            Emit(0x2019);
            break;
        case Kw::Ldblquote:
            Emit(0x201C);
            break;
        case Kw::Rdblquote:
            Emit(0x201D);
            break;
        case Kw::Zwj:
            Emit(0x200D);
            break;
        case Kw::Zwnj:
            Emit(0x200C);
            break;
        case Kw::Zwbo:
            Emit(0x200B);
            break;
        case Kw::Zwnbo:
            Emit(0xFEFF);
            break;
        case Kw::Ltrmark:
            Emit(0x200E);
            break;
        case Kw::Rtlmark:
            Emit(0x200F);
            break;

        // Document, fonts, colours, Unicode, binary data
        case Kw::AnsiCpg:
            if (hasParam && param > 0) {
                m_ansiCodePage = param;
                InvalidateDecoders();
            }
            break;
        case Kw::Deff:
            m_defaultFont = value;
            for (GroupState& s : m_stack) {
                if (s.chr.font < 0)
                    s.chr.font = value;
                s.decoderReady = false;
            }
            break;
        case Kw::Uc:
            st.uc = static_cast<std::uint8_t>(std::clamp(value, 0, kMaxFallback));
            break;
        case Kw::U:
            if (hasParam)
                UnicodeChar(param);
            break;
        case Kw::DefTab:
            if (value > 0)
                m_defaultTab = value;
            break;
        case Kw::FCharset:
            if (st.dest == Dest::FontTable && m_currentFont >= 0)
                m_fonts[static_cast<std::size_t>(m_currentFont)].charset = value;
            break;
        case Kw::Fprq:
            if (st.dest == Dest::FontTable && m_currentFont >= 0)
                m_fonts[static_cast<std::size_t>(m_currentFont)].pitch = value;
            break;
        case Kw::FFamily:
            if (st.dest == Dest::FontTable && m_currentFont >= 0 && name != "fbidi")
                m_fonts[static_cast<std::size_t>(m_currentFont)].family = name.substr(1);
            break;
        case Kw::Red:
            m_pendingColor.red = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
            m_pendingColor.set = true;
            break;
        case Kw::Green:
            m_pendingColor.green = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
            m_pendingColor.set = true;
            break;
        case Kw::Blue:
            m_pendingColor.blue = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
            m_pendingColor.set = true;
            break;

        default:
            if constexpr (Sink::kModel)
                ModelKeyword(kw, name, hasParam, value);
            break;
        }
    }

    // Keywords of pictures, objects and numbering definitions: only the model needs them.
    void ModelKeyword(Kw kw, std::string_view name, bool hasParam, int value) {
        GroupState& st = Top();
        if (st.dest == Dest::Picture && m_inPicture) {
            RtfPicture& p = m_picture;
            switch (kw) {
            case Kw::PictKind:
                p.kind = PictureKind(name);
                p.kindParameter = value;
                break;
            case Kw::PicW:
                p.width = value;
                break;
            case Kw::PicH:
                p.height = value;
                break;
            case Kw::PicWGoal:
                p.goalWidth = value;
                break;
            case Kw::PicHGoal:
                p.goalHeight = value;
                break;
            case Kw::PicScaleX:
                p.scaleX = hasParam ? value : 100;
                break;
            case Kw::PicScaleY:
                p.scaleY = hasParam ? value : 100;
                break;
            case Kw::PicBpp:
                p.bitsPerPixel = value;
                break;
            case Kw::PicWbpl:
                p.bytesPerLine = value;
                break;
            default:
                break;
            }
        } else if (st.dest == Dest::Object && m_inObject) {
            switch (kw) {
            case Kw::ObjKind:
                m_object.kind = std::string(name);
                break;
            case Kw::ObjW:
                m_object.width = value;
                break;
            case Kw::ObjH:
                m_object.height = value;
                break;
            case Kw::ObjScaleX:
                m_object.scaleX = hasParam ? value : 100;
                break;
            case Kw::ObjScaleY:
                m_object.scaleY = hasParam ? value : 100;
                break;
            default:
                break;
            }
        } else if (st.dest == Dest::NumberDef && st.para.numbering >= 0) {
            NumberDef& def = m_numbering[static_cast<std::size_t>(st.para.numbering)];
            switch (kw) {
            case Kw::PnLevel:
                def.level = std::string(name);
                if (hasParam)
                    def.level += std::to_string(value);
                break;
            case Kw::PnStyle:
                def.style = std::string(name);
                break;
            case Kw::PnStart:
                def.start = value;
                break;
            case Kw::PnIndent:
                def.indent = value;
                break;
            case Kw::PnHang:
                def.hanging = true;
                break;
            case Kw::PnF:
                def.font = value;
                st.chr.font = value; // \pntxtb and \pntxta are written in this font
                st.decoderReady = false;
                break;
            default:
                break;
            }
        }
    }

    // Groups that only the model reads; the plain-text scan skips them unread.
    static bool ModelOnly(const GroupState& st) {
        switch (st.dest) {
        case Dest::Picture:
        case Dest::Object:
        case Dest::ObjectClass:
        case Dest::ObjectResult:
        case Dest::NumberDef:
        case Dest::NumberBefore:
        case Dest::NumberAfter:
            return true;
        default:
            return (st.flags & kInObject) != 0;
        }
    }

    // Document-wide keywords that change how later text is decoded.
    static bool AffectsDecoding(Kw kw) {
        return kw == Kw::AnsiCpg || kw == Kw::Deff || kw == Kw::FontTable || kw == Kw::ColorTable ||
               kw == Kw::DefTab;
    }

    static bool IsDestination(Kw kw) {
        switch (kw) {
        case Kw::FontTable:
        case Kw::ColorTable:
        case Kw::Pict:
        case Kw::Object:
        case Kw::ObjClass:
        case Kw::Result:
        case Kw::ShpPict:
        case Kw::NonShpPict:
        case Kw::Pn:
        case Kw::PnText:
        case Kw::PnTxtB:
        case Kw::PnTxtA:
        case Kw::FldInst:
        case Kw::FName:
        case Kw::Upr:
        case Kw::Ud:
        case Kw::SkipDest:
            return true;
        default:
            return false;
        }
    }

    static RtfPictureKind PictureKind(std::string_view name) {
        if (name == "wmetafile")
            return RtfPictureKind::Wmf;
        if (name == "emfblip")
            return RtfPictureKind::Emf;
        if (name == "pngblip")
            return RtfPictureKind::Png;
        if (name == "jpegblip")
            return RtfPictureKind::Jpeg;
        if (name == "dibitmap")
            return RtfPictureKind::Dib;
        if (name == "wbitmap")
            return RtfPictureKind::Ddb;
        if (name == "macpict")
            return RtfPictureKind::Mac;
        if (name == "pmmetafile")
            return RtfPictureKind::Os2;
        return RtfPictureKind::Unknown;
    }

    // Hex digits of a picture; white space and anything else between them is ignored, and
    // an odd last digit is dropped.
    void PictureHex() {
        const std::size_t n = m_in.size();
        std::size_t p = m_pos;
        if constexpr (Sink::kModel) {
            std::string& data = m_picture.data;
            while (p < n) {
                const unsigned char c = static_cast<unsigned char>(m_in[p]);
                if (c == '\\' || c == '{' || c == '}')
                    break;
                ++p;
                const int d = HexDigit(c);
                if (d < 0)
                    continue;
                if (m_nibble < 0) {
                    m_nibble = d;
                } else {
                    data.push_back(static_cast<char>((m_nibble << 4) | d));
                    m_nibble = -1;
                }
            }
        } else {
            while (p < n && kByteClass[static_cast<unsigned char>(m_in[p])] != kSpecial)
                ++p;
        }
        m_pos = std::max(p, m_pos + 1);
    }

    void FinishPicture(std::uint8_t flags) {
        if constexpr (Sink::kModel) {
            if (!m_inPicture)
                return;
            m_inPicture = false;
            RtfPicture picture = std::move(m_picture);
            m_picture = RtfPicture{};
            if ((flags & kInObject) != 0) {
                if (!m_inObject || (flags & kInResult) == 0)
                    return;
                if (!m_object.result)
                    m_object.result = std::move(picture);
                else if ((flags & kInNonShp) != 0)
                    AttachPictureFallback(*m_object.result, std::move(picture));
                return;
            }
            m_sink.Picture(std::move(picture), (flags & kInNonShp) != 0);
        }
    }

    void FinishObject() {
        if constexpr (Sink::kModel) {
            m_inObject = false;
            const std::size_t end = std::min(m_pos, m_in.size());
            const std::size_t start = std::min(m_objectStart, end);
            const std::size_t keyword = std::min(std::max(m_objectKeyword, start), end);
            // The group's exact bytes; if text came before \object inside the group, that
            // text was read as body text and is left out.
            std::string_view prefix =
                m_in.substr(start + 1, keyword - std::min(keyword, start + 1));
            const bool clean = prefix.find_first_not_of("\r\n") == std::string_view::npos;
            std::string raw = clean ? std::string(m_in.substr(start, end - start))
                                    : "{" + std::string(m_in.substr(keyword, end - keyword));
            if (m_missingBraces > 0) {
                // A body cut short inside the object: close its groups so that writing it
                // back keeps the rest of the body intact.
                std::size_t slashes = 0;
                while (slashes < raw.size() && raw[raw.size() - 1 - slashes] == '\\')
                    ++slashes;
                if (slashes % 2 == 1)
                    raw.pop_back();
                raw.append(static_cast<std::size_t>(m_missingBraces), '}');
            }
            m_object.raw = std::move(raw);
            m_sink.Object(std::move(m_object));
            m_object = RtfObject{};
        }
    }

private:
    Sink& m_sink;
    int m_skip = 0; // \uN fallback characters still to skip
    bool m_starred = false;
    char32_t m_highSurrogate = 0;
    int m_missingBraces = 0;
    std::size_t m_fontEntryDepth = 0; // stack size of the group that began the font entry
    // Model only: the picture and the object being read.
    RtfPicture m_picture;
    bool m_inPicture = false;
    int m_nibble = -1;
    RtfObject m_object;
    bool m_inObject = false;
    std::size_t m_objectDepth = 0;
    std::size_t m_objectStart = 0;
    std::size_t m_objectKeyword = 0;
    std::size_t m_keywordStart = 0;
    bool m_done = false;
};

} // namespace kelvo::rtfdetail
