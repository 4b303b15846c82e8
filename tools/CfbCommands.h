// cfbtool's commands, each a function over injected streams so tests run them in process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kelvo::cfbtool {

/// Runs one cfbtool command line (the words after the program name):
///   ls FILE               every element, recursively: type, size, path
///   cat FILE PATH         a stream's bytes to `out`
///   put FILE PATH         `in` into a stream (file, storages and stream made as needed)
///   mkdir FILE PATH       storages along PATH (file made as needed)
///   rm FILE PATH          destroys an element
///   mv FILE PATH NEWPATH  moves or renames an element inside the file
///   copy SRC DST          SRC's whole root into DST, merging (DST made as needed)
///   check FILE            the structural validator
///   props ...             property sets as JSON (when built in)
/// Paths separate storages with '/', and may write any character as \xNN (\x05Summary...).
/// Returns 0 on success; 1 for wrong usage or an unsound file (check); 2 when the engine
/// refuses, with its status code in hex on `err`.
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

/// Splits a command-line path into UTF-16 names, decoding UTF-8 and \xNN escapes. Empty
/// when the path is empty or has an empty part.
std::vector<std::u16string> ParsePath(const std::string& path);
/// A name as UTF-8 with control characters (and the backslash) written as \xNN.
std::string EscapeName(const std::u16string& name);

} // namespace kelvo::cfbtool
