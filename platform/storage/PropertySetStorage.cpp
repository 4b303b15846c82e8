// Property sets as named streams of a storage (kept apart from the codec so that the codec
// links without the compound-file engine).
#include "platform/storage/PropertySet.h"

namespace kelvo::cfb {

Result<PropertySet> ReadPropertySet(Storage& parent, std::u16string_view name) {
    auto stream = parent.OpenStream(name, mode::OpenRead);
    if (!stream)
        return stream.error();
    auto bytes = stream->ReadAll();
    if (!bytes)
        return bytes.error();
    return ParsePropertySet(*bytes);
}

Result<void> WritePropertySet(Storage& parent, std::u16string_view name, const PropertySet& set) {
    auto bytes = SerializePropertySet(set);
    if (!bytes)
        return bytes.error();
    auto stream = parent.CreateStream(name, mode::CreateNew);
    if (!stream)
        return stream.error();
    return stream->WriteAll(*bytes);
}

} // namespace kelvo::cfb
