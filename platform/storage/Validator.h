// The structural validator of compound files: FAT consistency, every sector used at most
// once, DIFAT and header counts, sizes against chains, sorted red-black directory trees.
#pragma once

#include "platform/base/Result.h"
#include "platform/storage/Storage.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kelvo::cfb {

struct ValidationReport {
    /// Damage: readers may fail or see wrong data.
    std::vector<std::string> errors;
    /// Legal but untidy (leaked sectors, a tree that is not red-black, loose header fields).
    std::vector<std::string> warnings;
    bool Sound() const { return errors.empty(); }
    bool Clean() const { return errors.empty() && warnings.empty(); }
};

class Engine;

class Validator {
public:
    /// Checks the file a storage belongs to, after writing what is pending.
    static ValidationReport Check(const Storage& anyStorageOfTheFile);
    /// Checks compound-file bytes; a file that does not load reports why as its one error.
    static ValidationReport CheckBytes(std::string bytes);
    /// Checks a file on disk, opened read-only (so it fails while the file is open).
    static Result<ValidationReport> CheckFile(const std::filesystem::path& path);

private:
    static ValidationReport CheckEngine(const Engine& engine);
    static ValidationReport CheckAll(const Engine& engine);
};

} // namespace kelvo::cfb
