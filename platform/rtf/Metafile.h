// Pictures for display: bitmaps inside Windows metafiles, DIBs made loadable as BMP files,
// and the metafile the writer wraps a bitmap in for readers that know only metafiles.
#pragma once

#include "platform/rtf/RtfDocument.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

/// A BMP file of a DIB (BITMAPINFO followed by the bits, as \dibitmap and metafiles hold
/// it): the 14-byte file header is prepended, with the pixel offset taken from the header and
/// palette sizes. nullopt when the header is not a bitmap header or the bits are missing.
std::optional<std::string> DibToBmp(std::string_view dib);

/// The DIB of a BMP file (the file header removed); nullopt when it is not a BMP file.
std::optional<std::string> BmpToDib(std::string_view bmp);

/// The bitmap a Windows metafile shows when it draws exactly one bitmap (META_STRETCHDIB,
/// META_DIBSTRETCHBLT or META_DIBBITBLT, besides records that only set up the device
/// context), as a BMP file. nullopt for any other metafile: show the object's result
/// picture or a placeholder of the picture's size instead. A placeable header is accepted.
std::optional<std::string> MetafileBitmap(std::string_view wmf);

/// A memory metafile (no placeable header) that stretches a DIB over its window, as the
/// control writes pasted bitmaps: SETWINDOWORG, SETWINDOWEXT and one META_STRETCHDIB.
/// nullopt when `dib` is not a valid DIB.
std::optional<std::string> MakeBitmapMetafile(std::string_view dib);

/// Bytes that a general image loader reads (PNG, JPEG or BMP) for a picture: PNG and JPEG as
/// they are, DIBs and single-bitmap metafiles as BMP; for EMF and other metafiles the bitmap
/// of the fallback metafile when there is one. nullopt: show a placeholder.
std::optional<std::string> PictureImage(const RtfPicture& picture);

struct TwipSize {
    int width = 0;
    int height = 0;
};

/// The size a picture is shown at, in twips: the goal size scaled by \picscalex/y, or the
/// natural size (\picw/\pich: HIMETRIC for metafiles, pixels at 96 per inch for bitmaps).
TwipSize PictureSize(const RtfPicture& picture);

} // namespace kelvo
