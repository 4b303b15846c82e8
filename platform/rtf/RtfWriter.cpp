// The RTF writer: header, font and colour tables, paragraphs with format changes written as
// differences, text encoded per font, pictures and objects.
#include "platform/rtf/RtfWriter.h"

#include "platform/rtf/RtfParser.h"
#include "platform/rtf/SymbolFont.h"
#include "platform/text/CodePages.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace kelvo {

namespace {

using rtfdetail::CodePageOfCharset;

bool IsSymbolFontName(std::string_view name) {
    if (name.size() != 6)
        return false;
    const char* symbol = "symbol";
    for (std::size_t i = 0; i < 6; ++i)
        if ((name[i] | 0x20) != symbol[i])
            return false;
    return true;
}

class Writer {
public:
    explicit Writer(const RtfDocument& doc) : m_doc(doc) {}

    std::string Write() {
        CollectTables();
        m_current.font = m_fonts.front(); // \deff0
        m_out.reserve(4096);
        m_out += "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049";
        if (m_doc.defaultTab != 720 && m_doc.defaultTab > 0)
            Word("deftab", m_doc.defaultTab);
        WriteFontTable();
        WriteColorTable();
        m_out += "\r\n";
        m_needSpace = false;
        Word("viewkind", 4);
        Word("uc", 1);
        const RtfParagraph* previous = nullptr;
        static const RtfParagraph kEmpty;
        const auto& paragraphs = m_doc.paragraphs;
        const std::size_t count = paragraphs.empty() ? 1 : paragraphs.size();
        for (std::size_t i = 0; i < count; ++i) {
            const RtfParagraph& p = paragraphs.empty() ? kEmpty : paragraphs[i];
            WriteParagraph(p, previous);
            previous = &p;
        }
        m_out += "}\r\n";
        return std::move(m_out);
    }

private:
    using FontKey = std::tuple<std::string, int, std::string, int>;

    static FontKey Key(const RtfFont& f) { return {f.name, f.charset, f.family, f.pitch}; }

    void AddFont(const RtfFont& font) {
        if (m_fontIndex.emplace(Key(font), static_cast<int>(m_fonts.size())).second)
            m_fonts.push_back(font);
    }
    int FontIndex(const RtfFont& font) const {
        auto it = m_fontIndex.find(Key(font));
        return it == m_fontIndex.end() ? 0 : it->second;
    }
    void AddColor(const RtfColor& color) {
        if (color.automatic)
            return;
        const std::uint32_t rgb = (color.red << 16) | (color.green << 8) | color.blue;
        if (m_colorIndex.emplace(rgb, static_cast<int>(m_colors.size()) + 1).second)
            m_colors.push_back(color);
    }
    int ColorIndex(const RtfColor& color) const {
        if (color.automatic)
            return 0;
        auto it = m_colorIndex.find((color.red << 16) | (color.green << 8) | color.blue);
        return it == m_colorIndex.end() ? 0 : it->second;
    }

    void CollectTables() {
        for (const RtfParagraph& p : m_doc.paragraphs) {
            if (p.numbering) {
                if (!p.numbering->text.empty())
                    AddFont(p.numbering->textFont);
                if (p.numbering->font)
                    AddFont(*p.numbering->font);
            }
            for (const RtfInline& item : p.content)
                if (const auto* run = std::get_if<RtfRun>(&item)) {
                    AddFont(run->format.font);
                    AddColor(run->format.foreground);
                    AddColor(run->format.background);
                }
        }
        if (m_fonts.empty())
            AddFont(RtfFont{"Arial", 204, "swiss", 0});
        // A font for private-use characters that a Symbol-font text cannot hold.
        for (std::size_t i = 0; i < m_fonts.size() && m_plainFont < 0; ++i)
            if (m_fonts[i].charset != 2)
                m_plainFont = static_cast<int>(i);
        if (m_plainFont < 0) {
            m_plainFont = static_cast<int>(m_fonts.size());
            AddFont(RtfFont{"Arial", 204, "swiss", 0});
        }
    }

    void WriteFontTable() {
        m_out += "{\\fonttbl";
        for (std::size_t i = 0; i < m_fonts.size(); ++i) {
            const RtfFont& f = m_fonts[i];
            m_out += "{";
            m_needSpace = false;
            Word("f", static_cast<int>(i));
            Word(f.family.empty() ? std::string("fnil") : "f" + f.family);
            Word("fcharset", f.charset);
            if (f.pitch != 0)
                Word("fprq", f.pitch);
            // The name in the document's code page (a symbol font's name is plain text).
            const int codePage = CodePageOfCharset(f.charset == 2 ? 1 : f.charset, 1251);
            std::string name = f.name; // ';' would end the name early
            name.erase(std::remove(name.begin(), name.end(), ';'), name.end());
            WriteText(name, Encoder{codePage, false, false}, false);
            m_out += ";}";
        }
        m_out += "}";
    }

    void WriteColorTable() {
        if (m_colors.empty())
            return;
        m_out += "{\\colortbl ;";
        for (const RtfColor& c : m_colors) {
            m_out += "\\red" + std::to_string(c.red) + "\\green" + std::to_string(c.green) +
                     "\\blue" + std::to_string(c.blue) + ";";
        }
        m_out += "}";
    }

    static bool SameParagraphFormat(const RtfParagraph& a, const RtfParagraph& b) {
        if (a.alignment != b.alignment || a.leftIndent != b.leftIndent ||
            a.rightIndent != b.rightIndent || a.firstIndent != b.firstIndent ||
            a.spaceBefore != b.spaceBefore || a.spaceAfter != b.spaceAfter ||
            a.lineSpacing != b.lineSpacing || a.lineSpacingMultiple != b.lineSpacingMultiple ||
            a.tabs != b.tabs)
            return false;
        const bool aDef = a.numbering && !a.numbering->level.empty();
        const bool bDef = b.numbering && !b.numbering->level.empty();
        if (aDef != bDef)
            return false;
        if (!aDef)
            return true;
        RtfNumbering x = *a.numbering;
        RtfNumbering y = *b.numbering;
        x.text.clear();
        y.text.clear();
        x.textFont = y.textFont = RtfFont{};
        return x == y;
    }

    void WriteParagraph(const RtfParagraph& p, const RtfParagraph* previous) {
        if (previous == nullptr || !SameParagraphFormat(p, *previous)) {
            Word("pard");
            if (p.numbering && !p.numbering->level.empty())
                WriteNumberingDefinition(*p.numbering);
            switch (p.alignment) {
            case RtfAlignment::Center:
                Word("qc");
                break;
            case RtfAlignment::Right:
                Word("qr");
                break;
            case RtfAlignment::Justify:
                Word("qj");
                break;
            case RtfAlignment::Left:
                break;
            }
            if (p.firstIndent != 0)
                Word("fi", p.firstIndent);
            if (p.leftIndent != 0)
                Word("li", p.leftIndent);
            if (p.rightIndent != 0)
                Word("ri", p.rightIndent);
            if (p.spaceBefore != 0)
                Word("sb", p.spaceBefore);
            if (p.spaceAfter != 0)
                Word("sa", p.spaceAfter);
            if (p.lineSpacing != 0) {
                Word("sl", p.lineSpacing);
                Word("slmult", p.lineSpacingMultiple ? 1 : 0);
            }
            for (const RtfTabStop& tab : p.tabs)
                WriteTab(tab);
        }
        if (p.numbering && !p.numbering->text.empty()) {
            m_out += "{";
            m_needSpace = false;
            Word("pntext");
            Word("f", FontIndex(p.numbering->textFont));
            WriteText(p.numbering->text, EncoderOf(p.numbering->textFont), false);
            m_out += "}";
            m_needSpace = false;
        }
        for (const RtfInline& item : p.content) {
            if (const auto* run = std::get_if<RtfRun>(&item))
                WriteRun(*run);
            else if (const auto* picture = std::get_if<RtfPicture>(&item))
                WritePicture(*picture);
            else if (const auto* object = std::get_if<RtfObject>(&item))
                WriteRaw(object->raw);
        }
        // Any format change after the last run still belongs to this paragraph; the
        // paragraph mark itself takes the current format.
        if (m_first) {
            RtfCharFormat initial;
            initial.font = m_fonts.front();
            WriteFormat(initial);
        }
        Word("par");
        m_out += "\r\n";
        m_needSpace = false;
    }

    void WriteNumberingDefinition(const RtfNumbering& n) {
        m_out += "{";
        m_needSpace = false;
        m_out += "\\*";
        Word("pn");
        Word(n.level);
        if (!n.style.empty())
            Word(n.style);
        if (n.start != 0)
            Word("pnstart", n.start);
        if (n.hanging)
            Word("pnhang");
        Word("pnindent", n.indent);
        Encoder encoder = EncoderOf(m_current.font);
        if (n.font) {
            Word("pnf", FontIndex(*n.font));
            encoder = EncoderOf(*n.font);
        }
        if (!n.before.empty()) {
            m_out += "{";
            m_needSpace = false;
            Word("pntxtb");
            WriteText(n.before, encoder, false);
            m_out += "}";
        }
        if (!n.after.empty()) {
            m_out += "{";
            m_needSpace = false;
            Word("pntxta");
            WriteText(n.after, encoder, false);
            m_out += "}";
        }
        m_out += "}";
        m_needSpace = false;
    }

    void WriteTab(const RtfTabStop& tab) {
        switch (tab.kind) {
        case RtfTabKind::Center:
            Word("tqc");
            break;
        case RtfTabKind::Right:
            Word("tqr");
            break;
        case RtfTabKind::Decimal:
            Word("tqdec");
            break;
        default:
            break;
        }
        switch (tab.leader) {
        case RtfTabLeader::Dot:
            Word("tldot");
            break;
        case RtfTabLeader::Hyphen:
            Word("tlhyph");
            break;
        case RtfTabLeader::Underline:
            Word("tlul");
            break;
        case RtfTabLeader::Thick:
            Word("tlth");
            break;
        case RtfTabLeader::Equal:
            Word("tleq");
            break;
        case RtfTabLeader::MiddleDot:
            Word("tlmdot");
            break;
        case RtfTabLeader::None:
            break;
        }
        Word(tab.kind == RtfTabKind::Bar ? "tb" : "tx", tab.position);
    }

    // Writes the control words that change the current character format to `f`; the first
    // run of the body always gets its font and size.
    void WriteFormat(const RtfCharFormat& f) {
        const RtfCharFormat& c = m_current;
        if (m_first || f.language != c.language)
            if (f.language != 0 || !m_first)
                Word("lang", f.language);
        if (m_first || !(f.font == c.font))
            Word("f", FontIndex(f.font));
        if (m_first || f.fontSize != c.fontSize)
            Word("fs", f.fontSize);
        if (f.bold != c.bold)
            Toggle("b", f.bold);
        if (f.italic != c.italic)
            Toggle("i", f.italic);
        if (f.strike != c.strike)
            Toggle("strike", f.strike);
        if (f.hidden != c.hidden)
            Toggle("v", f.hidden);
        if (f.underline != c.underline) {
            if (f.underline.empty() || rtfdetail::UnderlineIndex(f.underline) == 1)
                Word(f.underline.empty() ? "ulnone" : "ul");
            else
                Word(f.underline);
        }
        if (f.vertical != c.vertical) {
            Word(f.vertical == RtfVerticalPosition::Superscript ? "super"
                 : f.vertical == RtfVerticalPosition::Subscript ? "sub"
                                                                : "nosupersub");
        }
        if (f.offset != c.offset)
            f.offset >= 0 ? Word("up", f.offset) : Word("dn", -f.offset);
        if (!(f.foreground == c.foreground))
            Word("cf", ColorIndex(f.foreground));
        if (!(f.background == c.background))
            Word("highlight", ColorIndex(f.background));
        m_current = f;
        m_first = false;
    }

    void WriteRun(const RtfRun& run) {
        WriteFormat(run.format);
        WriteText(run.text, EncoderOf(run.format.font), true);
    }

    struct Encoder {
        int codePage = 1251;
        bool symbol = false;     // the Symbol font's own layout
        bool privateUse = false; // another symbol font: U+F0xx are its bytes
    };

    static Encoder EncoderOf(const RtfFont& font) {
        if (font.charset == 2)
            return Encoder{0, IsSymbolFontName(font.name), !IsSymbolFontName(font.name)};
        return Encoder{CodePageOfCharset(font.charset, 1251), false, false};
    }

    void WriteText(std::string_view utf8, const Encoder& encoder, bool body) {
        std::size_t pos = 0;
        char32_t ch = 0;
        while (NextUtf8(utf8, pos, ch)) {
            if (ch == '\t') {
                Word("tab");
                continue;
            }
            if (ch == 0x2028 && body) {
                Word("line");
                continue;
            }
            if (ch < 0x20 || ch == 0x7F)
                continue;
            std::optional<unsigned char> byte;
            if (encoder.symbol && ch >= 0xF020 && ch <= 0xF0FF &&
                SymbolToUnicode(static_cast<unsigned char>(ch - 0xF000)) != ch) {
                // Under the Symbol font this code would be read as the symbol it stands for:
                // write the private-use character under a plain font.
                m_out += '{';
                Word("f", m_plainFont);
                Unicode(ch);
                m_out += '}';
                continue;
            }
            if (encoder.symbol)
                byte = UnicodeToSymbol(ch);
            else if (encoder.privateUse)
                byte = ch >= 0xF020 && ch <= 0xF0FF ? std::optional<unsigned char>(ch - 0xF000)
                                                    : std::nullopt;
            else
                byte = EncodeChar(encoder.codePage, ch);
            if (byte) {
                Byte(*byte);
            } else {
                std::u16string units; // a surrogate pair above U+FFFF
                AppendUtf16(units, ch);
                for (char16_t unit : units)
                    Unicode(unit);
            }
        }
    }

    void Byte(unsigned char b) {
        if (b == '\\' || b == '{' || b == '}') {
            m_out += '\\';
            m_out += static_cast<char>(b);
            m_needSpace = false;
        } else if (b >= 0x20 && b < 0x7F) {
            if (m_needSpace)
                m_out += ' ';
            m_needSpace = false;
            m_out += static_cast<char>(b);
        } else {
            static const char kHex[] = "0123456789abcdef";
            m_out += "\\'";
            m_out += kHex[b >> 4];
            m_out += kHex[b & 15];
            m_needSpace = false;
        }
    }

    void Unicode(char32_t unit) {
        const int value = unit >= 0x8000 ? static_cast<int>(unit) - 65536 : static_cast<int>(unit);
        Word("u", value);
        m_out += '?';
        m_needSpace = false;
    }

    void WritePicture(const RtfPicture& p) {
        const bool modern = p.kind == RtfPictureKind::Png || p.kind == RtfPictureKind::Jpeg ||
                            p.kind == RtfPictureKind::Emf;
        if (modern) {
            m_out += "{\\*\\shppict";
            WritePict(p, p.data, false);
            m_out += "}";
            if (!p.fallbackMetafile.empty()) {
                m_out += "{\\nonshppict";
                WritePict(p, p.fallbackMetafile, true);
                m_out += "}";
            }
        } else {
            WritePict(p, p.data, false);
        }
        m_needSpace = false;
    }

    void WritePict(const RtfPicture& p, std::string_view data, bool asMetafile) {
        m_out += "{";
        m_needSpace = false;
        Word("pict");
        if (asMetafile) {
            Word("wmetafile", 8);
        } else {
            switch (p.kind) {
            case RtfPictureKind::Wmf:
                Word("wmetafile", p.kindParameter);
                break;
            case RtfPictureKind::Emf:
                Word("emfblip");
                break;
            case RtfPictureKind::Png:
                Word("pngblip");
                break;
            case RtfPictureKind::Jpeg:
                Word("jpegblip");
                break;
            case RtfPictureKind::Dib:
                Word("dibitmap", p.kindParameter);
                break;
            case RtfPictureKind::Ddb:
                Word("wbitmap", p.kindParameter);
                break;
            case RtfPictureKind::Mac:
                Word("macpict");
                break;
            case RtfPictureKind::Os2:
                Word("pmmetafile", p.kindParameter);
                break;
            case RtfPictureKind::Unknown:
                break;
            }
        }
        Word("picw", p.width);
        Word("pich", p.height);
        if (p.goalWidth != 0)
            Word("picwgoal", p.goalWidth);
        if (p.goalHeight != 0)
            Word("pichgoal", p.goalHeight);
        if (p.scaleX != 100)
            Word("picscalex", p.scaleX);
        if (p.scaleY != 100)
            Word("picscaley", p.scaleY);
        if (p.bitsPerPixel != 0)
            Word("picbpp", p.bitsPerPixel);
        if (p.bytesPerLine != 0)
            Word("picwbpl", p.bytesPerLine);
        m_out += "\r\n";
        static const char kHex[] = "0123456789abcdef";
        for (std::size_t i = 0; i < data.size(); ++i) {
            const auto b = static_cast<unsigned char>(data[i]);
            m_out += kHex[b >> 4];
            m_out += kHex[b & 15];
            if (i % 64 == 63)
                m_out += "\r\n";
        }
        m_out += "}";
        m_needSpace = false;
    }

    void WriteRaw(std::string_view raw) {
        m_out += raw;
        m_needSpace = false;
    }

    void Toggle(std::string_view word, bool on) {
        if (on)
            Word(word);
        else
            Word(word, 0);
    }
    void Word(std::string_view word) {
        m_out += '\\';
        m_out += word;
        m_needSpace = true;
    }
    void Word(std::string_view word, int value) {
        m_out += '\\';
        m_out += word;
        m_out += std::to_string(value);
        m_needSpace = true;
    }

    const RtfDocument& m_doc;
    std::string m_out;
    bool m_needSpace = false;
    std::vector<RtfFont> m_fonts;
    std::map<FontKey, int> m_fontIndex;
    std::vector<RtfColor> m_colors;
    std::map<std::uint32_t, int> m_colorIndex;
    RtfCharFormat m_current;
    bool m_first = true;
    int m_plainFont = -1;
};

} // namespace

std::string WriteRtf(const RtfDocument& doc) {
    return Writer(doc).Write();
}

} // namespace kelvo
