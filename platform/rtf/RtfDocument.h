// The neutral document model that record bodies are read into and written from: paragraphs
// of text runs, inline pictures and embedded objects. Plain values, no RTF indices.
//
// For an editor: a run's text holds U+2028 for soft breaks and tabs as U+0009; bullets are
// paragraph numbering, not text (RtfNumbering::text is what the paragraph shows before its
// content); pictures show through PictureImage and PictureSize (Metafile.h) and keep their
// bytes; objects show their result picture and keep their exact RTF. Fonts and colours are
// values: the writer builds the tables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kelvo {

/// A colour of text or background. `automatic` is the RTF colour index 0: the default
/// colour (text colour, or no background), not black.
struct RtfColor {
    bool automatic = true;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    static RtfColor Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {false, r, g, b}; }
    bool operator==(const RtfColor&) const = default;
};

/// A font as the font table names it. `name` prefers the real face name (`\*\fname`) over the
/// table's display name ("Arial" rather than "Arial CYR"). `charset` is the Windows character
/// set (204 Cyrillic, 0 Western, 238 Central European, 2 symbol...): it decides how the bytes
/// written under the font are decoded, and the writer keeps it.
struct RtfFont {
    std::string name;
    int charset = 204;
    std::string family; ///< "nil", "roman", "swiss", "modern", "script", "decor", "tech" or empty
    int pitch = 0;      ///< \fprq: 0 default, 1 fixed, 2 variable

    bool operator==(const RtfFont&) const = default;
};

enum class RtfVerticalPosition { Normal, Superscript, Subscript };

/// Character formatting of a run. Sizes and offsets are in half-points, as RTF writes them.
struct RtfCharFormat {
    RtfFont font;
    int fontSize = 24; ///< \fs: half-points (24 = 12 pt)
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false; ///< \v: hidden text, not shown and not part of the plain text
    /// The underline keyword as written ("ul", "uld", "uldb", "ulw", "ulwave"...); empty for
    /// none. Kept verbatim because most editors have no double or word underline.
    std::string underline;
    RtfVerticalPosition vertical = RtfVerticalPosition::Normal;
    int offset = 0; ///< \up (positive) or \dn (negative), half-points
    RtfColor foreground;
    RtfColor background; ///< \highlight or \cb
    int language = 0;    ///< \lang (1049 Russian); 0 when never given

    bool operator==(const RtfCharFormat&) const = default;
};

/// Text with one character format. UTF-8; U+0009 is a tab, U+2028 a soft line break (\line).
struct RtfRun {
    RtfCharFormat format;
    std::string text;

    bool operator==(const RtfRun&) const = default;
};

enum class RtfPictureKind {
    Wmf,  ///< \wmetafileN: a Windows metafile without placeable header (the rich-edit default)
    Emf,  ///< \emfblip
    Png,  ///< \pngblip
    Jpeg, ///< \jpegblip
    Dib,  ///< \dibitmapN: BITMAPINFO and bits, no file header
    Ddb,  ///< \wbitmapN: device-dependent bitmap bits
    Mac,  ///< \macpict
    Os2,  ///< \pmmetafileN
    Unknown,
};

/// A picture with its original bytes, kept so that it is written back unchanged.
struct RtfPicture {
    RtfPictureKind kind = RtfPictureKind::Unknown;
    int kindParameter = 0; ///< the N of \wmetafileN (mapping mode), \dibitmapN, \wbitmapN...
    std::string data;      ///< the picture's bytes (hex or \bin decoded)
    /// \picw, \pich: metafiles in HIMETRIC (0.01 mm), bitmaps in pixels.
    int width = 0;
    int height = 0;
    int goalWidth = 0; ///< \picwgoal, \pichgoal: the shown size in twips (0 when not given)
    int goalHeight = 0;
    int scaleX = 100; ///< \picscalex, \picscaley in percent
    int scaleY = 100;
    int bitsPerPixel = 0; ///< \picbpp (device-dependent bitmaps)
    int bytesPerLine = 0; ///< \picwbpl
    /// PNG, JPEG and EMF pictures: a Windows metafile shown by readers that do not know the
    /// primary format (written as \nonshppict). Empty when there is none; MakeBitmapMetafile
    /// (Metafile.h) builds one from a DIB.
    std::string fallbackMetafile;

    bool operator==(const RtfPicture&) const = default;
};

/// An embedded compound-document object. `raw` is the exact text of its `{\object ...}` group,
/// written back byte for byte; the rest is read from it for display.
struct RtfObject {
    std::string raw;
    std::string className; ///< \*\objclass, e.g. "PBrush"
    std::string kind;      ///< "objemb", "objlink", "objautlink"... as written
    int width = 0;         ///< \objw, \objh in twips
    int height = 0;
    int scaleX = 100;
    int scaleY = 100;
    /// The picture the object shows (\result); without one, show a placeholder of the
    /// object's size.
    std::optional<RtfPicture> result;

    bool operator==(const RtfObject&) const = default;
};

using RtfInline = std::variant<RtfRun, RtfPicture, RtfObject>;

enum class RtfAlignment { Left, Center, Right, Justify };
enum class RtfTabKind { Left, Center, Right, Decimal, Bar };
enum class RtfTabLeader { None, Dot, Hyphen, Underline, Thick, Equal, MiddleDot };

struct RtfTabStop {
    int position = 0; ///< twips from the left margin
    RtfTabKind kind = RtfTabKind::Left;
    RtfTabLeader leader = RtfTabLeader::None;

    bool operator==(const RtfTabStop&) const = default;
};

/// Bullets and numbering of a paragraph (the old-style `\pn` paragraph numbering rich edit
/// writes): the text the paragraph shows before its content and the definition behind it.
struct RtfNumbering {
    /// The shown text (\pntext), e.g. "•\t" or "1.\t"; empty when the body gave none.
    std::string text;
    RtfFont textFont;     ///< the font the shown text was written in
    std::string level;    ///< "pnlvlblt" (bullet), "pnlvlbody", "pnlvlcont", "pnlvlN"; empty: none
    std::string style;    ///< "pndec", "pnucltr", "pnlcltr", "pnucrm", "pnlcrm"... or empty
    int start = 0;        ///< \pnstart (0 when not given)
    int indent = 0;       ///< \pnindent, twips
    bool hanging = false; ///< \pnhang
    std::string before;   ///< \pntxtb: text before the number, or the bullet character
    std::string after;    ///< \pntxta
    std::optional<RtfFont> font; ///< \pnf

    bool operator==(const RtfNumbering&) const = default;
};

/// A paragraph. Indents and spacing in twips; `firstIndent` is relative to `leftIndent` and
/// negative for a hanging indent.
struct RtfParagraph {
    RtfAlignment alignment = RtfAlignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0; ///< \sl: 0 single; positive "at least", negative "exactly" (twips)
    bool lineSpacingMultiple = false; ///< \slmult1: \sl is a multiple of single (240 = 1)
    std::vector<RtfTabStop> tabs;
    std::optional<RtfNumbering> numbering;
    std::vector<RtfInline> content;

    bool operator==(const RtfParagraph&) const = default;
};

struct RtfDocument {
    /// Never empty after reading: an empty body is one empty paragraph.
    std::vector<RtfParagraph> paragraphs;
    int defaultTab = 720; ///< \deftab, twips

    bool operator==(const RtfDocument&) const = default;
};

} // namespace kelvo
