// Reads arbitrary bytes as a record body: the model, both plain texts, the write-back and
// its re-reading. Traps when the fast plain text and the model's text differ, or when a
// written body does not read back to the same text.
#include "platform/rtf/Metafile.h"
#include "platform/rtf/RtfPlainText.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const kelvo::RtfDocument doc = kelvo::ReadRtf(input);
    const std::string text = kelvo::PlainText(doc);
    if (text != kelvo::RtfToPlainText(input))
        __builtin_trap();
    (void)kelvo::RtfToPlainTextAnsi(input);
    for (const auto& paragraph : doc.paragraphs)
        for (const auto& item : paragraph.content)
            if (const auto* picture = std::get_if<kelvo::RtfPicture>(&item))
                (void)kelvo::PictureImage(*picture);
    (void)kelvo::MetafileBitmap(input);
    (void)kelvo::DibToBmp(input);
    const std::string written = kelvo::WriteRtf(doc);
    if (kelvo::PlainText(kelvo::ReadRtf(written)) != text)
        __builtin_trap();
    return 0;
}
