// Walking Windows metafile records for their one bitmap, DIB and BMP headers, and a
// minimal metafile around a DIB.
#include "platform/rtf/Metafile.h"

#include <cstdint>

namespace kelvo {

namespace {

std::uint32_t U32(std::string_view s, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}
std::uint16_t U16(std::string_view s, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                      static_cast<unsigned char>(s[at + 1]) << 8);
}
std::int32_t I32(std::string_view s, std::size_t at) {
    return static_cast<std::int32_t>(U32(s, at));
}

void Put16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

struct DibInfo {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;       // negative: top-down
    std::uint32_t pixelOffset = 0; // from the start of the DIB
};

// Checks a DIB header and finds where its pixels start.
std::optional<DibInfo> ReadDib(std::string_view dib) {
    if (dib.size() < 12)
        return std::nullopt;
    DibInfo info;
    info.headerSize = U32(dib, 0);
    std::uint32_t bitCount = 0;
    std::uint32_t colors = 0;
    std::uint32_t entrySize = 4;
    std::uint32_t masks = 0;
    if (info.headerSize == 12) { // BITMAPCOREHEADER
        info.width = U16(dib, 4);
        info.height = static_cast<std::int16_t>(U16(dib, 6));
        bitCount = U16(dib, 10);
        entrySize = 3;
        if (bitCount <= 8)
            colors = 1u << bitCount;
    } else if (info.headerSize >= 40 && info.headerSize <= 1024 && dib.size() >= 40) {
        info.width = I32(dib, 4);
        info.height = I32(dib, 8);
        if (U16(dib, 12) != 1)
            return std::nullopt;
        bitCount = U16(dib, 14);
        const std::uint32_t compression = U32(dib, 16);
        colors = U32(dib, 32);
        if (colors == 0 && bitCount <= 8)
            colors = 1u << bitCount;
        if (colors > 65536)
            return std::nullopt;
        if (info.headerSize == 40 && (compression == 3 || compression == 6))
            masks = compression == 3 ? 12 : 16; // BI_BITFIELDS, BI_ALPHABITFIELDS
    } else {
        return std::nullopt;
    }
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        if (!(bitCount == 0 && info.headerSize >= 40)) // 0: JPEG or PNG inside
            return std::nullopt;
    }
    if (info.width <= 0 || info.height == 0 || info.width > 100000 || info.height > 100000 ||
        info.height < -100000)
        return std::nullopt;
    info.pixelOffset = info.headerSize + masks + colors * entrySize;
    if (info.pixelOffset >= dib.size())
        return std::nullopt;
    return info;
}

// Records that only set up the device context, never draw.
bool IsSetupRecord(std::uint16_t function) {
    switch (function) {
    case 0x0000: // EOF
    case 0x001E: // SAVEDC
    case 0x0035: // REALIZEPALETTE
    case 0x0037: // SETPALENTRIES
    case 0x00F7: // CREATEPALETTE
    case 0x0102: // SETBKMODE
    case 0x0103: // SETMAPMODE
    case 0x0104: // SETROP2
    case 0x0105: // SETRELABS
    case 0x0106: // SETPOLYFILLMODE
    case 0x0107: // SETSTRETCHBLTMODE
    case 0x0108: // SETTEXTCHAREXTRA
    case 0x0127: // RESTOREDC
    case 0x012C: // SELECTCLIPREGION
    case 0x012D: // SELECTOBJECT
    case 0x012E: // SETTEXTALIGN
    case 0x0149: // SETLAYOUT
    case 0x01F0: // DELETEOBJECT
    case 0x0201: // SETBKCOLOR
    case 0x0209: // SETTEXTCOLOR
    case 0x020A: // SETTEXTJUSTIFICATION
    case 0x020B: // SETWINDOWORG
    case 0x020C: // SETWINDOWEXT
    case 0x020D: // SETVIEWPORTORG
    case 0x020E: // SETVIEWPORTEXT
    case 0x020F: // OFFSETWINDOWORG
    case 0x0211: // OFFSETVIEWPORTORG
    case 0x0214: // MOVETO
    case 0x0220: // OFFSETCLIPRGN
    case 0x0231: // SETMAPPERFLAGS
    case 0x0234: // SELECTPALETTE
    case 0x02FA: // CREATEPENINDIRECT
    case 0x02FB: // CREATEFONTINDIRECT
    case 0x02FC: // CREATEBRUSHINDIRECT
    case 0x0142: // DIBCREATEPATTERNBRUSH
    case 0x0410: // SCALEWINDOWEXT
    case 0x0412: // SCALEVIEWPORTEXT
    case 0x0415: // EXCLUDECLIPRECT
    case 0x0416: // INTERSECTCLIPRECT
    case 0x0626: // ESCAPE (comments and printer data)
    case 0x06FF: // CREATEREGION
        return true;
    default:
        return false;
    }
}

} // namespace

std::optional<std::string> DibToBmp(std::string_view dib) {
    const auto info = ReadDib(dib);
    if (!info)
        return std::nullopt;
    std::string bmp;
    bmp.reserve(14 + dib.size());
    bmp += "BM";
    Put32(bmp, static_cast<std::uint32_t>(14 + dib.size()));
    Put32(bmp, 0);
    Put32(bmp, 14 + info->pixelOffset);
    bmp.append(dib);
    return bmp;
}

std::optional<std::string> BmpToDib(std::string_view bmp) {
    if (bmp.size() < 14 + 12 || bmp[0] != 'B' || bmp[1] != 'M')
        return std::nullopt;
    std::string dib(bmp.substr(14));
    if (!ReadDib(dib))
        return std::nullopt;
    return dib;
}

std::optional<std::string> MetafileBitmap(std::string_view wmf) {
    std::size_t pos = 0;
    if (wmf.size() >= 22 && U32(wmf, 0) == 0x9AC6CDD7u)
        pos = 22; // placeable header
    if (wmf.size() < pos + 18)
        return std::nullopt;
    const std::uint16_t type = U16(wmf, pos);
    const std::uint16_t headerWords = U16(wmf, pos + 2);
    if ((type != 1 && type != 2) || headerWords != 9)
        return std::nullopt;
    pos += 18;
    std::optional<std::string_view> bitmap;
    while (pos + 6 <= wmf.size()) {
        const std::uint64_t size = std::uint64_t{U32(wmf, pos)} * 2;
        const std::uint16_t function = U16(wmf, pos + 4);
        if (size < 6 || size > wmf.size() - pos)
            return std::nullopt; // a damaged record list
        if (function == 0x0000)
            break;
        std::size_t dibAt = 0;
        if (function == 0x0F43)
            dibAt = 6 + 22; // STRETCHDIB
        else if (function == 0x0B41)
            dibAt = 6 + 20; // DIBSTRETCHBLT
        else if (function == 0x0940)
            dibAt = 6 + 16; // DIBBITBLT
        if (dibAt != 0) {
            if (bitmap || size <= dibAt + 12)
                return std::nullopt; // a second bitmap, or a blit without one
            bitmap = wmf.substr(pos + dibAt, static_cast<std::size_t>(size) - dibAt);
        } else if (!IsSetupRecord(function)) {
            return std::nullopt; // the metafile draws something else
        }
        pos += static_cast<std::size_t>(size);
    }
    if (!bitmap)
        return std::nullopt;
    return DibToBmp(*bitmap);
}

std::optional<std::string> MakeBitmapMetafile(std::string_view dib) {
    const auto info = ReadDib(dib);
    if (!info || info->width > 32767 || info->height > 32767 || info->height < -32767)
        return std::nullopt;
    const std::uint32_t w = static_cast<std::uint32_t>(info->width);
    const std::uint32_t h =
        static_cast<std::uint32_t>(info->height < 0 ? -info->height : info->height);
    std::string records;
    // SETWINDOWORG (0, 0), SETWINDOWEXT (h, w): parameters are written y before x.
    Put32(records, 5);
    Put16(records, 0x020B);
    Put16(records, 0);
    Put16(records, 0);
    Put32(records, 5);
    Put16(records, 0x020C);
    Put16(records, h);
    Put16(records, w);
    // STRETCHDIB: raster operation, colour usage, source and destination rectangles, DIB.
    const std::size_t padded = dib.size() + (dib.size() & 1);
    const std::uint32_t stretchWords = static_cast<std::uint32_t>((6 + 22 + padded) / 2);
    Put32(records, stretchWords);
    Put16(records, 0x0F43);
    Put32(records, 0x00CC0020); // SRCCOPY
    Put16(records, 0);          // DIB_RGB_COLORS
    Put16(records, h);          // source height, width, y, x
    Put16(records, w);
    Put16(records, 0);
    Put16(records, 0);
    Put16(records, h); // destination height, width, y, x
    Put16(records, w);
    Put16(records, 0);
    Put16(records, 0);
    records.append(dib);
    if (dib.size() & 1)
        records.push_back('\0');
    Put32(records, 3); // EOF
    Put16(records, 0);

    std::string wmf;
    wmf.reserve(18 + records.size());
    Put16(wmf, 1);      // memory metafile
    Put16(wmf, 9);      // header size in words
    Put16(wmf, 0x0300); // version
    Put32(wmf, static_cast<std::uint32_t>((18 + records.size()) / 2));
    Put16(wmf, 0);            // objects
    Put32(wmf, stretchWords); // largest record
    Put16(wmf, 0);
    wmf += records;
    return wmf;
}

std::optional<std::string> PictureImage(const RtfPicture& picture) {
    switch (picture.kind) {
    case RtfPictureKind::Png:
    case RtfPictureKind::Jpeg:
        return picture.data;
    case RtfPictureKind::Dib:
        return DibToBmp(picture.data);
    case RtfPictureKind::Wmf:
        return MetafileBitmap(picture.data);
    default:
        if (!picture.fallbackMetafile.empty())
            return MetafileBitmap(picture.fallbackMetafile);
        return std::nullopt;
    }
}

TwipSize PictureSize(const RtfPicture& picture) {
    auto scaled = [](long long value, int percent) {
        const long long v = value * (percent > 0 ? percent : 100) / 100;
        return static_cast<int>(v < 0 ? 0 : v > 10000000 ? 10000000 : v);
    };
    long long w = picture.goalWidth;
    long long h = picture.goalHeight;
    if (w <= 0 || h <= 0) {
        const bool metafile =
            picture.kind == RtfPictureKind::Wmf || picture.kind == RtfPictureKind::Emf ||
            picture.kind == RtfPictureKind::Os2 || picture.kind == RtfPictureKind::Mac;
        // HIMETRIC to twips: 1440 / 2540; pixels at 96 per inch: 15 twips each.
        w = metafile ? picture.width * 1440LL / 2540 : picture.width * 15LL;
        h = metafile ? picture.height * 1440LL / 2540 : picture.height * 15LL;
    }
    return {scaled(w, picture.scaleX), scaled(h, picture.scaleY)};
}

} // namespace kelvo
