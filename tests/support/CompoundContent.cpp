// Reading what a compound file holds, by this engine and by olefile.
#include "tests/support/CompoundContent.h"

#include "platform/storage/Storage.h"
#include "platform/storage/Validator.h"
#include "platform/text/CodePages.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace kelvo::test {

namespace {

std::string Entry(std::uint64_t size, std::uint32_t crc) {
    char text[40];
    std::snprintf(text, sizeof text, "%llu %08x", static_cast<unsigned long long>(size), crc);
    return text;
}

Result<void> Walk(cfb::Storage& storage, const std::string& prefix, Content& out) {
    auto list = storage.Enumerate();
    if (!list)
        return list.error();
    for (const cfb::ElementStat& st : *list) {
        const std::string path = prefix + Utf16ToUtf8(st.name);
        if (st.type == cfb::ElementType::Stream) {
            auto stream = storage.OpenStream(st.name, cfb::mode::OpenRead);
            if (!stream)
                return stream.error();
            auto bytes = stream->ReadAll();
            if (!bytes)
                return bytes.error();
            out[path] = Entry(bytes->size(), Crc32(*bytes));
        } else {
            out[path] = "storage";
            auto sub = storage.OpenStorage(st.name, cfb::mode::OpenRead);
            if (!sub)
                return sub.error();
            if (auto r = Walk(*sub, path + "/", out); !r)
                return r;
        }
    }
    return {};
}

const char* kOlefileLister = R"PY(
import olefile, sys, zlib
for path in sys.argv[1:]:
    print('F ' + path)
    try:
        ole = olefile.OleFileIO(path)
        for e in ole.listdir(streams=True, storages=True):
            name = '/'.join(e)
            if ole.get_type(e) == olefile.STGTY_STREAM:
                d = ole.openstream(e).read()
                print('S %d %08x %s' % (len(d), zlib.crc32(d) & 0xffffffff, name))
            else:
                print('D ' + name)
        ole.close()
    except Exception as error:
        print('E ' + str(error).replace('\n', ' '))
)PY";

} // namespace

std::uint32_t Crc32(std::string_view bytes) {
    // Eight bytes a step (slicing-by-8): the fault tests take the CRC of many large files.
    static const auto tables = [] {
        std::array<std::array<std::uint32_t, 256>, 8> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
            t[0][i] = c;
        }
        for (std::uint32_t i = 0; i < 256; ++i)
            for (int k = 1; k < 8; ++k)
                t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    for (; n >= 8; n -= 8, p += 8) {
        const std::uint32_t lo = crc ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                        std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
        crc = tables[7][lo & 0xFF] ^ tables[6][(lo >> 8) & 0xFF] ^ tables[5][(lo >> 16) & 0xFF] ^
              tables[4][lo >> 24] ^ tables[3][p[4]] ^ tables[2][p[5]] ^ tables[1][p[6]] ^
              tables[0][p[7]];
    }
    for (; n > 0; --n, ++p)
        crc = (crc >> 8) ^ tables[0][(crc ^ *p) & 0xFF];
    return ~crc;
}

Result<Content> ReadContent(const std::string& bytes) {
    auto root = cfb::Storage::OpenMemory(bytes, cfb::mode::OpenRead);
    if (!root)
        return root.error();
    Content out;
    if (auto r = Walk(*root, "", out); !r)
        return r.error();
    return out;
}

std::string ValidationProblems(const std::string& bytes) {
    const cfb::ValidationReport report = cfb::Validator::CheckBytes(bytes);
    std::string out;
    for (const std::string& e : report.errors)
        out += "error: " + e + "\n";
    for (const std::string& w : report.warnings) {
        // Data written past the end of the file before a commit that never came may end in a
        // part of a sector; readers take the rest as zeros, and the next commit cuts it off.
        if (w != "the file does not end on a sector boundary")
            out += "warning: " + w + "\n";
    }
    return out;
}

bool HaveOlefile() {
    return std::system("/usr/bin/python3 -c 'import olefile' >/dev/null 2>&1") == 0;
}

std::map<std::filesystem::path, Content>
OlefileContents(const std::vector<std::filesystem::path>& files) {
    std::map<std::filesystem::path, Content> out;
    if (files.empty())
        return out;
    ScratchDir dir;
    WriteBytes(dir / "list.py", kOlefileLister);
    std::string command = "/usr/bin/python3 '" + (dir / "list.py").string() + "'";
    for (const auto& f : files)
        command += " '" + f.string() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    std::string text;
    std::array<char, 65536> buffer{};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        text.append(buffer.data(), n);
    ::pclose(pipe);
    std::istringstream lines(text);
    std::string line;
    Content* current = nullptr;
    while (std::getline(lines, line)) {
        if (line.size() < 2)
            continue;
        const std::string rest = line.substr(2);
        if (line[0] == 'F') {
            current = &out[rest];
        } else if (!current) {
            continue;
        } else if (line[0] == 'D') {
            (*current)[rest] = "storage";
        } else if (line[0] == 'E') {
            (*current)["error"] = rest;
        } else if (line[0] == 'S') {
            // "<size> <crc> <name>"
            const std::size_t a = rest.find(' ');
            const std::size_t b = rest.find(' ', a + 1);
            (*current)[rest.substr(b + 1)] = rest.substr(0, b);
        }
    }
    return out;
}

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvo-fault-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        m_path = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ec);
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace kelvo::test
