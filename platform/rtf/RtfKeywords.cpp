// The keyword table and its open-addressing hash.
#include "platform/rtf/RtfKeywords.h"

#include <array>

namespace kelvo::rtfdetail {
namespace {

struct Entry {
    std::string_view name;
    Kw kw;
};

constexpr Entry kKeywords[] = {
    {"rtf", Kw::Rtf},
    {"fonttbl", Kw::FontTable},
    {"colortbl", Kw::ColorTable},
    {"pict", Kw::Pict},
    {"object", Kw::Object},
    {"objclass", Kw::ObjClass},
    {"result", Kw::Result},
    {"shppict", Kw::ShpPict},
    {"nonshppict", Kw::NonShpPict},
    {"pn", Kw::Pn},
    {"pntext", Kw::PnText},
    {"listtext", Kw::PnText},
    {"pntxtb", Kw::PnTxtB},
    {"pntxta", Kw::PnTxtA},
    {"fldinst", Kw::FldInst},
    {"fldrslt", Kw::FldRslt},
    {"fname", Kw::FName},
    {"upr", Kw::Upr},
    {"ud", Kw::Ud},
    // Destinations whose content is never shown, starred or not.
    {"stylesheet", Kw::SkipDest},
    {"info", Kw::SkipDest},
    {"header", Kw::SkipDest},
    {"headerl", Kw::SkipDest},
    {"headerr", Kw::SkipDest},
    {"headerf", Kw::SkipDest},
    {"footer", Kw::SkipDest},
    {"footerl", Kw::SkipDest},
    {"footerr", Kw::SkipDest},
    {"footerf", Kw::SkipDest},
    {"footnote", Kw::SkipDest},
    {"annotation", Kw::SkipDest},
    {"xe", Kw::SkipDest},
    {"tc", Kw::SkipDest},
    {"txe", Kw::SkipDest},
    {"listtable", Kw::SkipDest},
    {"listoverridetable", Kw::SkipDest},
    {"revtbl", Kw::SkipDest},
    {"rsidtbl", Kw::SkipDest},
    {"filetbl", Kw::SkipDest},
    {"bkmkstart", Kw::SkipDest},
    {"bkmkend", Kw::SkipDest},
    {"shpinst", Kw::SkipDest},
    {"do", Kw::SkipDest},
    {"pnseclvl", Kw::SkipDest},
    {"template", Kw::SkipDest},
    {"docvar", Kw::SkipDest},
    {"objdata", Kw::SkipDest},
    {"objname", Kw::SkipDest},
    {"objtime", Kw::SkipDest},
    {"objalias", Kw::SkipDest},
    {"objsect", Kw::SkipDest},
    {"objitem", Kw::SkipDest},
    {"objtopic", Kw::SkipDest},
    {"password", Kw::SkipDest},
    {"userprops", Kw::SkipDest},
    {"ftnsep", Kw::SkipDest},
    {"ftnsepc", Kw::SkipDest},
    {"ftncn", Kw::SkipDest},
    {"aftnsep", Kw::SkipDest},
    {"aftnsepc", Kw::SkipDest},
    {"aftncn", Kw::SkipDest},
    {"generator", Kw::SkipDest},
    {"falt", Kw::SkipDest},
    {"panose", Kw::SkipDest},
    {"blipuid", Kw::SkipDest},
    {"picprop", Kw::SkipDest},
    {"atnid", Kw::SkipDest},
    {"atnauthor", Kw::SkipDest},
    {"comment", Kw::SkipDest},
    {"nonesttables", Kw::SkipDest},
    {"pgptbl", Kw::SkipDest},
    {"author", Kw::SkipDest},
    {"title", Kw::SkipDest},
    {"subject", Kw::SkipDest},
    {"operator", Kw::SkipDest},
    {"keywords", Kw::SkipDest},
    {"doccomm", Kw::SkipDest},
    {"company", Kw::SkipDest},
    {"themedata", Kw::SkipDest},
    {"datastore", Kw::SkipDest},
    {"latentstyles", Kw::SkipDest},
    {"xmlnstbl", Kw::SkipDest},
    {"colorschememapping", Kw::SkipDest},
    {"leveltext", Kw::SkipDest},
    {"levelnumbers", Kw::SkipDest},
    {"shptxt", Kw::SkipDest},
    // Character formatting
    {"b", Kw::B},
    {"i", Kw::I},
    {"strike", Kw::Strike},
    {"striked", Kw::Strike},
    {"v", Kw::V},
    {"ul", Kw::Underline},
    {"uld", Kw::Underline},
    {"uldash", Kw::Underline},
    {"uldashd", Kw::Underline},
    {"uldashdd", Kw::Underline},
    {"uldb", Kw::Underline},
    {"ulhwave", Kw::Underline},
    {"ulldash", Kw::Underline},
    {"ulth", Kw::Underline},
    {"ulthd", Kw::Underline},
    {"ulthdash", Kw::Underline},
    {"ulthdashd", Kw::Underline},
    {"ulthdashdd", Kw::Underline},
    {"ulthldash", Kw::Underline},
    {"ululdbwave", Kw::Underline},
    {"ulw", Kw::Underline},
    {"ulwave", Kw::Underline},
    {"ulnone", Kw::UlNone},
    {"super", Kw::Super},
    {"sub", Kw::Sub},
    {"nosupersub", Kw::NoSuperSub},
    {"up", Kw::Up},
    {"dn", Kw::Dn},
    {"cf", Kw::Cf},
    {"cb", Kw::Cb},
    {"highlight", Kw::Cb},
    {"chcbpat", Kw::Cb},
    {"f", Kw::F},
    {"fs", Kw::Fs},
    {"lang", Kw::Lang},
    {"plain", Kw::Plain},
    // Paragraph formatting
    {"pard", Kw::Pard},
    {"ql", Kw::Ql},
    {"qc", Kw::Qc},
    {"qr", Kw::Qr},
    {"qj", Kw::Qj},
    {"qd", Kw::Qj},
    {"li", Kw::Li},
    {"lin", Kw::Li},
    {"ri", Kw::Ri},
    {"rin", Kw::Ri},
    {"fi", Kw::Fi},
    {"sb", Kw::Sb},
    {"sa", Kw::Sa},
    {"sl", Kw::Sl},
    {"slmult", Kw::SlMult},
    {"tx", Kw::Tx},
    {"tb", Kw::Tb},
    {"tqc", Kw::Tqc},
    {"tqr", Kw::Tqr},
    {"tqdec", Kw::Tqdec},
    {"tldot", Kw::TlDot},
    {"tlhyph", Kw::TlHyph},
    {"tlul", Kw::TlUl},
    {"tlth", Kw::TlTh},
    {"tleq", Kw::TlEq},
    {"tlmdot", Kw::TlMDot},
    // Breaks and special characters
    {"par", Kw::Par},
    {"sect", Kw::Par},
    {"page", Kw::Par},
    {"line", Kw::Line},
    {"tab", Kw::Tab},
    {"cell", Kw::Cell},
    {"nestcell", Kw::Cell},
    {"row", Kw::Row},
    {"nestrow", Kw::Row},
    {"emdash", Kw::Emdash},
    {"endash", Kw::Endash},
    {"emspace", Kw::Emspace},
    {"enspace", Kw::Enspace},
    {"qmspace", Kw::Qmspace},
    {"bullet", Kw::Bullet},
    {"lquote", Kw::Lquote},
    {"rquote", Kw::Rquote},
    {"ldblquote", Kw::Ldblquote},
    {"rdblquote", Kw::Rdblquote},
    {"zwj", Kw::Zwj},
    {"zwnj", Kw::Zwnj},
    {"zwbo", Kw::Zwbo},
    {"zwnbo", Kw::Zwnbo},
    {"ltrmark", Kw::Ltrmark},
    {"rtlmark", Kw::Rtlmark},
    // Document, fonts, colours, Unicode, binary data
    {"ansicpg", Kw::AnsiCpg},
    {"deff", Kw::Deff},
    {"uc", Kw::Uc},
    {"u", Kw::U},
    {"bin", Kw::Bin},
    {"deftab", Kw::DefTab},
    {"fcharset", Kw::FCharset},
    {"fprq", Kw::Fprq},
    {"fnil", Kw::FFamily},
    {"froman", Kw::FFamily},
    {"fswiss", Kw::FFamily},
    {"fmodern", Kw::FFamily},
    {"fscript", Kw::FFamily},
    {"fdecor", Kw::FFamily},
    {"ftech", Kw::FFamily},
    {"fbidi", Kw::FFamily},
    {"red", Kw::Red},
    {"green", Kw::Green},
    {"blue", Kw::Blue},
    // Pictures
    {"wmetafile", Kw::PictKind},
    {"emfblip", Kw::PictKind},
    {"pngblip", Kw::PictKind},
    {"jpegblip", Kw::PictKind},
    {"dibitmap", Kw::PictKind},
    {"wbitmap", Kw::PictKind},
    {"macpict", Kw::PictKind},
    {"pmmetafile", Kw::PictKind},
    {"picw", Kw::PicW},
    {"pich", Kw::PicH},
    {"picwgoal", Kw::PicWGoal},
    {"pichgoal", Kw::PicHGoal},
    {"picscalex", Kw::PicScaleX},
    {"picscaley", Kw::PicScaleY},
    {"picbpp", Kw::PicBpp},
    {"picwbpl", Kw::PicWbpl},
    // Objects
    {"objemb", Kw::ObjKind},
    {"objlink", Kw::ObjKind},
    {"objautlink", Kw::ObjKind},
    {"objsub", Kw::ObjKind},
    {"objpub", Kw::ObjKind},
    {"objicemb", Kw::ObjKind},
    {"objhtml", Kw::ObjKind},
    {"objocx", Kw::ObjKind},
    {"objw", Kw::ObjW},
    {"objh", Kw::ObjH},
    {"objscalex", Kw::ObjScaleX},
    {"objscaley", Kw::ObjScaleY},
    // Paragraph numbering
    {"pnlvl", Kw::PnLevel},
    {"pnlvlblt", Kw::PnLevel},
    {"pnlvlbody", Kw::PnLevel},
    {"pnlvlcont", Kw::PnLevel},
    {"pndec", Kw::PnStyle},
    {"pnucltr", Kw::PnStyle},
    {"pnlcltr", Kw::PnStyle},
    {"pnucrm", Kw::PnStyle},
    {"pnlcrm", Kw::PnStyle},
    {"pnord", Kw::PnStyle},
    {"pncard", Kw::PnStyle},
    {"pnordt", Kw::PnStyle},
    {"pnstart", Kw::PnStart},
    {"pnindent", Kw::PnIndent},
    {"pnf", Kw::PnF},
    {"pnhang", Kw::PnHang},
};

constexpr std::size_t kSlots = 1024;

constexpr std::uint32_t Hash(std::string_view s) {
    std::uint32_t h = 2166136261u;
    for (char c : s)
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

struct Table {
    std::array<const Entry*, kSlots> slots{};
    constexpr Table() {
        for (const Entry& e : kKeywords) {
            std::size_t i = Hash(e.name) & (kSlots - 1);
            while (slots[i] != nullptr)
                i = (i + 1) & (kSlots - 1);
            slots[i] = &e;
        }
    }
};

constexpr Table kTable;

} // namespace

Kw LookupKeyword(std::string_view name) {
    std::size_t i = Hash(name) & (kSlots - 1);
    while (const Entry* e = kTable.slots[i]) {
        if (e->name == name)
            return e->kw;
        i = (i + 1) & (kSlots - 1);
    }
    return Kw::Unknown;
}

} // namespace kelvo::rtfdetail
