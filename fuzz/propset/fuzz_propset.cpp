// Fuzzes the property-set reader with arbitrary stream bytes: parse, convert every section
// the way the bank does, write the result and read it again.
#include "core/BankSummary.h"
#include "platform/storage/PropertySet.h"
#include "platform/text/CodePages.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvo;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto set = cfb::ParsePropertySet(bytes);
    if (!set)
        return 0;
    BankSummary summary;
    std::vector<UserProperty> user;
    ApplySummaryInformation(*set, summary);
    ApplyDocumentSummaryInformation(*set, summary, &user);
    for (const cfb::PropertySection& s : set->sections) {
        for (const cfb::Property& p : s.properties)
            if (p.value.IsString())
                (void)CodePageToUtf8(p.value.text, s.TextCodePage(p.value));
        (void)ReadUserDefinedSection(s);
    }
    // What the reader accepted must write, and read back with the same shape.
    auto again = cfb::SerializePropertySet(*set);
    if (!again)
        return 0;
    auto back = cfb::ParsePropertySet(*again);
    if (!back || back->sections.size() != set->sections.size())
        std::abort();
    for (std::size_t i = 0; i < set->sections.size(); ++i)
        if (back->sections[i].properties.size() != set->sections[i].properties.size())
            std::abort();
    // The bank's own sets round-trip too.
    auto dsi = cfb::SerializePropertySet(MakeDocumentSummaryInformation(summary, user));
    if (!dsi || !cfb::ParsePropertySet(*dsi))
        std::abort();
    return 0;
}
