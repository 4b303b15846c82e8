// Densor's work: compacts a compound file by copying its whole tree into a fresh file,
// keeping the former content as "<file>.Bak" beside it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kelvo::densor {

/// Runs the utility with the given arguments (without the program name), writing its report
/// to `out`. Returns the exit status: 0 compacted, -1 wrong usage, -2 an error was printed.
int Run(const std::vector<std::string>& args, std::ostream& out);

} // namespace kelvo::densor
