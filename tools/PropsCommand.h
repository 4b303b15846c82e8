// `cfbtool props`: a property-set stream of a compound file shown as JSON.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kelvo {

/// Runs `props FILE PATH` (the property-set stream at PATH, storages separated by '/', with
/// `\xNN` escapes such as `\x05SummaryInformation`) or `props --summary FILE` (both standard
/// streams of the root; a missing one is null). `args` are the words after "props".
/// Writes JSON to `out`; returns 0, 1 for wrong usage, 2 when the file, the stream or the
/// property set cannot be read (with the status code in hex on `err`).
int RunPropsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kelvo
