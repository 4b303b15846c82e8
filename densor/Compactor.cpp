#include "densor/Compactor.h"

#include "platform/storage/Compaction.h"

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <system_error>

#include <unistd.h>

namespace kelvo::densor {

namespace fs = std::filesystem;

namespace {

const char* const kRule = "##########################################################";

void PrintBanner(std::ostream& out) {
    out << "\n"
        << kRule << "\n"
        << "## Densorin - Defragments OLE Structured Storage Files ##\n"
        << kRule << "\n"
        << "## Kelvo project - compound file compaction utility   ##\n"
        << "Version 1.1\n";
}

void PrintUsage(std::ostream& out) {
    out << "Densorin - utility to defragment OLE Structured Storage File. These files are\n"
        << "stay in them size after you delete objects from them. This utility writes data\n"
        << "to new file so the structure and unused space are optimized.\n"
        << "\tUSAGE: Densor.Exe SrcFile\n"
        << "Utility creates a backup copy of SrcFile called SrcFile.Ext.Bak and place new\n"
        << "file with the same name of old.\n";
}

std::string Format(const char* format, const std::string& text, HResult code) {
    char buf[4096];
    std::snprintf(buf, sizeof buf, format, text.c_str(), static_cast<unsigned>(code));
    return buf;
}

std::string FormatCode(const char* format, HResult code) {
    char buf[256];
    std::snprintf(buf, sizeof buf, format, static_cast<unsigned>(code));
    return buf;
}

// The file's length as the signed 32-bit count the report shows.
std::int32_t Length32(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? -1 : static_cast<std::int32_t>(static_cast<std::uint32_t>(size));
}

// A failure: the text is printed and the program ends with -2.
struct Failure {
    std::string text;
};

// The backup: a hard link to the source when the file system allows it. The source itself is
// never written (the new content goes to a temporary file that replaces it by a rename), so
// the link keeps the former content at no cost; otherwise the bytes are copied.
void MakeBackup(const fs::path& src, const fs::path& bak, const std::string& srcText,
                std::ostream& out) {
    std::error_code ec;
    const auto srcStatus = fs::symlink_status(src, ec);
    if (ec || !fs::exists(srcStatus))
        throw Failure{Format("ERROR: Error creating backup copy of file '%s'!", srcText, 0)};
    if (fs::exists(fs::symlink_status(bak, ec))) {
        // Only claim an overwrite when there really is a backup to overwrite.
        out << "WARNING: Backup File Already Exists. It was overwritten!\n";
        fs::remove(bak, ec);
    }
    if (fs::is_regular_file(srcStatus) && ::link(src.c_str(), bak.c_str()) == 0)
        return;
    if (!fs::copy_file(src, bak, fs::copy_options::overwrite_existing, ec))
        throw Failure{Format("ERROR: Error creating backup copy of file '%s'!", srcText, 0)};
}

// The report's line when the copy begins.
class CopyingNotice final : public Progress {
public:
    explicit CopyingNotice(std::ostream& out) : m_out(out) {}
    void Start(std::size_t) override {
        m_out << "Copying data to new file... Please Wait...\n";
        m_out.flush();
    }

private:
    std::ostream& m_out;
};

// The compaction proper. The new content is built in a temporary file beside the source and
// moved over it only after a complete copy that reached the disk, so a failure at any point
// leaves the source as it was.
void Compact(const fs::path& src, std::ostream& out, std::int32_t& before, std::int32_t& after) {
    const std::string srcText = src.string();
    const fs::path bak = fs::path(srcText + ".Bak");

    out << "Createing Backup Copy of file...\n";
    MakeBackup(src, bak, srcText, out);

    // The backup is read, never written: it may share its bytes with the source (a hard link).
    CopyingNotice notice(out);
    cfb::CompactionStep failed = cfb::CompactionStep::Done;
    const auto compacted =
        cfb::CompactFile(bak, src, fs::path(srcText + ".Densor.tmp"), &notice, &failed);
    if (!compacted) {
        const HResult code = compacted.code();
        switch (failed) {
        case cfb::CompactionStep::OpenSource:
            throw Failure{
                Format("ERROR: Error opening sourcefile '%s'! (hr=%08X)", bak.string(), code)};
        case cfb::CompactionStep::CreateCopy:
            throw Failure{Format("ERROR: Error creating new file '%s'! (hr=%08X)", srcText, code)};
        default:
            throw Failure{FormatCode("ERROR: An Error occured while copying data (hr=%08X).",
                                     code) +
                          "\nThe file '" + srcText + "' was left unchanged; a copy of it is in '" +
                          bak.string() + "'."};
        }
    }
    after = Length32(src);
    before = Length32(bak);
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out) {
    PrintBanner(out);
    if (args.size() != 1) {
        PrintUsage(out);
        return -1;
    }
    std::int32_t before = 0;
    std::int32_t after = 0;
    try {
        Compact(fs::path(args[0]), out, before, after);
    } catch (const Failure& failure) {
        out << failure.text << "\n";
        return -2;
    }
    out << "# Summary ################################################\n"
        << "# File Length before defragmentation: " << before << " bytes\n"
        << "# File Length after  defragmentation: " << after << " bytes\n"
        << "# --------------------------------------------------------\n"
        << "# Total bytes saved                 : " << (before - after) << "\n"
        << kRule << "\n";
    return 0;
}

} // namespace kelvo::densor
