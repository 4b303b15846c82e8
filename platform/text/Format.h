// Small text helpers shown in many places: sizes with units, the program version.
#pragma once

#include "platform/text/Ansi.h"

#include <cstdint>

namespace kelvo {

/// "500 байт", "1,5 Кб", "1024,0 Кб": divide by 1024 while above 1024.
AnsiString FormatSize(std::uint64_t bytes);
/// "%s (%d байт)" with FormatSize.
AnsiString FormatSizeWithBytes(std::uint64_t bytes);

struct VersionNumbers {
    int major = 0, minor = 0, build = 0, revision = 0;
};
/// The program's own version.
VersionNumbers ProgramVersion();
/// "%d.%d.%d.%d".
AnsiString VersionText(const VersionNumbers& v = ProgramVersion());
/// "%d.%d": major and build.
AnsiString ShortVersionText(const VersionNumbers& v = ProgramVersion());

} // namespace kelvo
