#include "platform/text/Format.h"

#include "platform/text/ItemStream.h"

#include <cstdio>

namespace kelvo {

namespace {
// The units, in Windows-1251: " байт~ Кб~ Мб~ Гб~ Тб" cut at "~" without trimming.
const std::vector<AnsiString>& Units() {
    static const std::vector<AnsiString> units =
        SplitList(Utf8ToAnsiLossy(" байт~ Кб~ Мб~ Гб~ Тб"), "~", false);
    return units;
}
} // namespace

AnsiString FormatSize(std::uint64_t bytes) {
    double x = static_cast<double>(bytes);
    std::size_t k = 0;
    while (x > 1024 && k + 1 < Units().size()) {
        x /= 1024;
        ++k;
    }
    char buf[64];
    if (k == 0) {
        std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(bytes));
    } else {
        std::snprintf(buf, sizeof buf, "%.1f", x);
        for (char* p = buf; *p; ++p)
            if (*p == '.')
                *p = ',';
    }
    return AnsiString(buf) + Units()[k];
}

AnsiString FormatSizeWithBytes(std::uint64_t bytes) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(bytes));
    return FormatSize(bytes) + " (" + buf + Utf8ToAnsiLossy(" байт)");
}

VersionNumbers ProgramVersion() {
#ifdef KELVO_VERSION_MAJOR
    return {KELVO_VERSION_MAJOR, KELVO_VERSION_MINOR, KELVO_VERSION_BUILD, KELVO_VERSION_REVISION};
#else
    return {};
#endif
}

AnsiString VersionText(const VersionNumbers& v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d.%d.%d.%d", v.major, v.minor, v.build, v.revision);
    return buf;
}

AnsiString ShortVersionText(const VersionNumbers& v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%d", v.major, v.build);
    return buf;
}

} // namespace kelvo
