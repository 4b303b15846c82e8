// cfbtool's commands over the compound-file engine.
#include "tools/CfbCommands.h"

#include "platform/storage/Storage.h"
#include "platform/storage/Validator.h"
#include "platform/text/CodePages.h"
#include "tools/PropsCommand.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <istream>
#include <ostream>

namespace kelvo::cfbtool {

namespace {

using cfb::Storage;
using cfb::Stream;

const char* Usage =
    "usage: cfbtool COMMAND ...\n"
    "  ls FILE               list every element (type, size, path)\n"
    "  cat FILE PATH         write a stream to standard output\n"
    "  put FILE PATH         store standard input in a stream\n"
    "  mkdir FILE PATH       create storages\n"
    "  rm FILE PATH          destroy an element\n"
    "  mv FILE PATH NEWPATH  move or rename an element\n"
    "  copy SRC DST          copy SRC's whole content into DST, merging\n"
    "  check FILE            check the file's structure\n"
    "  props ...             show property sets as JSON\n"
    "Paths use '/' between names and \\xNN for any character, e.g. \\x05SummaryInformation.\n";

int Refused(std::ostream& err, const std::string& what, const Error& error) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", error.code);
    err << "cfbtool: " << what << ": " << code << " " << cfb::StatusName(error.code);
    if (!error.message.empty())
        err << " (" << error.message << ")";
    err << "\n";
    return 2;
}

int BadUsage(std::ostream& err, const std::string& why) {
    err << "cfbtool: " << why << "\n" << Usage;
    return 1;
}

std::string PathText(const std::vector<std::u16string>& names, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count && i < names.size(); ++i) {
        if (i)
            out += '/';
        out += EscapeName(names[i]);
    }
    return out;
}

/// Opens an existing file, or with `create` makes it when missing (never replacing a file
/// that is there but does not open).
Result<Storage> OpenTarget(const std::string& file, bool create) {
    auto opened = Storage::OpenFile(file);
    if (opened || !create || opened.code() != hr::FileNotFound)
        return opened;
    return Storage::CreateFile(file, cfb::mode::CreateNew);
}

/// Walks to the storage holding the last name of `names`; with `create`, making storages.
/// `chain` keeps the parents open (a child handle does not keep its parent open).
// Opens (with `create`, creating what is missing) the storages names[0..upTo) below `root` and
// returns the innermost one, or `root` itself when upTo is 0; `chain` keeps them open.
Result<Storage*> OpenParent(Storage& root, const std::vector<std::u16string>& names, bool create,
                            std::vector<Storage>& chain, std::size_t upTo) {
    chain.clear();
    chain.reserve(upTo); // pointers into the chain stay valid
    Storage* current = &root;
    for (std::size_t i = 0; i < upTo; ++i) {
        auto next = current->OpenStorage(names[i]);
        if (!next && create && next.code() == hr::FileNotFound)
            next =
                current->CreateStorage(names[i], cfb::mode::ReadWrite | cfb::mode::ShareExclusive);
        if (!next)
            return Error{next.code(), "'" + PathText(names, i + 1) + "': " + next.error().message};
        chain.push_back(std::move(*next));
        current = &chain.back();
    }
    return current;
}

const char* TypeName(cfb::ElementType type) {
    return type == cfb::ElementType::Stream ? "stream" : "storage";
}

int List(Storage& storage, const std::string& prefix, std::ostream& out, std::ostream& err) {
    auto children = storage.Enumerate();
    if (!children)
        return Refused(err, "ls '" + prefix + "'", children.error());
    for (const auto& st : *children) {
        const std::string path = prefix + EscapeName(st.name);
        char line[64];
        std::snprintf(line, sizeof line, "%-7s %12llu ", TypeName(st.type),
                      static_cast<unsigned long long>(st.size));
        out << line << path << "\n";
        if (st.type != cfb::ElementType::Stream) {
            auto sub = storage.OpenStorage(st.name, cfb::mode::OpenRead);
            if (!sub)
                return Refused(err, "ls '" + path + "'", sub.error());
            if (int rc = List(*sub, path + "/", out, err); rc != 0)
                return rc;
        }
    }
    return 0;
}

int CmdLs(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
    if (a.size() != 2)
        return BadUsage(err, "ls needs FILE");
    auto root = Storage::OpenFile(a[1], cfb::mode::OpenRead);
    if (!root)
        return Refused(err, a[1], root.error());
    return List(*root, "", out, err);
}

int CmdCat(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
    if (a.size() != 3)
        return BadUsage(err, "cat needs FILE PATH");
    const auto names = ParsePath(a[2]);
    if (names.empty())
        return BadUsage(err, "bad path '" + a[2] + "'");
    auto root = Storage::OpenFile(a[1], cfb::mode::OpenRead);
    if (!root)
        return Refused(err, a[1], root.error());
    Storage* parent = &*root;
    std::vector<Storage> chain;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        auto next = parent->OpenStorage(names[i], cfb::mode::OpenRead);
        if (!next)
            return Refused(err, PathText(names, i + 1), next.error());
        chain.push_back(std::move(*next));
        parent = &chain.back();
    }
    auto stream = parent->OpenStream(names.back(), cfb::mode::OpenRead);
    if (!stream)
        return Refused(err, a[2], stream.error());
    std::string buffer(1 << 16, '\0');
    for (;;) {
        auto n = stream->Read(buffer.data(), buffer.size());
        if (!n)
            return Refused(err, a[2], n.error());
        if (*n == 0)
            break;
        out.write(buffer.data(), static_cast<std::streamsize>(*n));
    }
    return 0;
}

int CmdPut(const std::vector<std::string>& a, std::istream& in, std::ostream& err) {
    if (a.size() != 3)
        return BadUsage(err, "put needs FILE PATH");
    const auto names = ParsePath(a[2]);
    if (names.empty())
        return BadUsage(err, "bad path '" + a[2] + "'");
    auto root = OpenTarget(a[1], true);
    if (!root)
        return Refused(err, a[1], root.error());
    std::vector<Storage> chain;
    auto p = OpenParent(*root, names, true, chain, names.size() - 1);
    if (!p)
        return Refused(err, a[2], p.error());
    Storage* parent = *p;
    auto stream = parent->OpenStream(names.back());
    if (!stream && stream.code() == hr::FileNotFound)
        stream =
            parent->CreateStream(names.back(), cfb::mode::ReadWrite | cfb::mode::ShareExclusive);
    if (!stream)
        return Refused(err, a[2], stream.error());
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (auto r = stream->WriteAll(data); !r)
        return Refused(err, a[2], r.error());
    *stream = Stream();
    if (auto r = root->Commit(); !r)
        return Refused(err, a[1], r.error());
    return 0;
}

int CmdMkdir(const std::vector<std::string>& a, std::ostream& err) {
    if (a.size() != 3)
        return BadUsage(err, "mkdir needs FILE PATH");
    const auto names = ParsePath(a[2]);
    if (names.empty())
        return BadUsage(err, "bad path '" + a[2] + "'");
    auto root = OpenTarget(a[1], true);
    if (!root)
        return Refused(err, a[1], root.error());
    std::vector<Storage> chain;
    auto made = OpenParent(*root, names, true, chain, names.size());
    if (!made)
        return Refused(err, a[2], made.error());
    return 0;
}

int CmdRm(const std::vector<std::string>& a, std::ostream& err) {
    if (a.size() != 3)
        return BadUsage(err, "rm needs FILE PATH");
    const auto names = ParsePath(a[2]);
    if (names.empty())
        return BadUsage(err, "bad path '" + a[2] + "'");
    auto root = Storage::OpenFile(a[1]);
    if (!root)
        return Refused(err, a[1], root.error());
    std::vector<Storage> chain;
    auto p = OpenParent(*root, names, false, chain, names.size() - 1);
    if (!p)
        return Refused(err, a[2], p.error());
    Storage* parent = *p;
    if (auto r = parent->DestroyElement(names.back()); !r)
        return Refused(err, a[2], r.error());
    return 0;
}

int CmdMv(const std::vector<std::string>& a, std::ostream& err) {
    if (a.size() != 4)
        return BadUsage(err, "mv needs FILE PATH NEWPATH");
    const auto from = ParsePath(a[2]);
    const auto to = ParsePath(a[3]);
    if (from.empty() || to.empty())
        return BadUsage(err, "bad path");
    auto root = Storage::OpenFile(a[1]);
    if (!root)
        return Refused(err, a[1], root.error());
    std::vector<Storage> chainFrom, chainTo;
    auto src = OpenParent(*root, from, false, chainFrom, from.size() - 1);
    if (!src)
        return Refused(err, a[2], src.error());
    const bool sameParent =
        from.size() == to.size() && std::equal(from.begin(), from.end() - 1, to.begin());
    if (sameParent) {
        if (auto r = (*src)->RenameElement(from.back(), to.back()); !r)
            return Refused(err, a[2], r.error());
        return 0;
    }
    auto dst = OpenParent(*root, to, false, chainTo, to.size() - 1);
    if (!dst)
        return Refused(err, a[3], dst.error());
    if (auto r = (*src)->CopyElementTo(from.back(), **dst, to.back(), true, false); !r)
        return Refused(err, a[2], r.error());
    return 0;
}

int CmdCopy(const std::vector<std::string>& a, std::ostream& err) {
    if (a.size() != 3)
        return BadUsage(err, "copy needs SRC DST");
    auto src = Storage::OpenFile(a[1], cfb::mode::OpenRead);
    if (!src)
        return Refused(err, a[1], src.error());
    auto dst = OpenTarget(a[2], true);
    if (!dst)
        return Refused(err, a[2], dst.error());
    if (auto r = src->CopyTo(*dst); !r)
        return Refused(err, "copy", r.error());
    if (auto r = dst->Commit(); !r)
        return Refused(err, a[2], r.error());
    return 0;
}

int CmdCheck(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
    if (a.size() != 2)
        return BadUsage(err, "check needs FILE");
    auto report = cfb::Validator::CheckFile(a[1]);
    if (!report)
        return Refused(err, a[1], report.error());
    for (const auto& e : report->errors)
        out << "error: " << e << "\n";
    for (const auto& w : report->warnings)
        out << "warning: " << w << "\n";
    if (!report->Sound())
        return 1;
    out << "sound\n";
    return 0;
}

} // namespace

std::vector<std::u16string> ParsePath(const std::string& path) {
    std::vector<std::u16string> names(1);
    std::size_t pos = 0;
    while (pos < path.size()) {
        const char c = path[pos];
        if (c == '/') {
            names.emplace_back();
            ++pos;
            continue;
        }
        if (c == '\\' && pos + 3 < path.size() && path[pos + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(path[pos + 2])) &&
            std::isxdigit(static_cast<unsigned char>(path[pos + 3]))) {
            names.back() += static_cast<char16_t>(std::stoi(path.substr(pos + 2, 2), nullptr, 16));
            pos += 4;
            continue;
        }
        char32_t ch = 0;
        NextUtf8(path, pos, ch);
        AppendUtf16(names.back(), ch);
    }
    for (const auto& n : names) {
        if (n.empty())
            return {};
    }
    return names;
}

std::string EscapeName(const std::u16string& name) {
    std::string out;
    std::size_t pos = 0;
    char32_t c = 0;
    while (NextUtf16(name, pos, c)) {
        if (c < 0x20 || c == 0x7F || c == u'\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c));
            out += hex;
            continue;
        }
        AppendUtf8(out, c);
    }
    return out;
}

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
    if (args.empty())
        return BadUsage(err, "no command");
    const std::string& cmd = args[0];
    if (cmd == "ls")
        return CmdLs(args, out, err);
    if (cmd == "cat")
        return CmdCat(args, out, err);
    if (cmd == "put")
        return CmdPut(args, in, err);
    if (cmd == "mkdir")
        return CmdMkdir(args, err);
    if (cmd == "rm")
        return CmdRm(args, err);
    if (cmd == "mv")
        return CmdMv(args, err);
    if (cmd == "copy")
        return CmdCopy(args, err);
    if (cmd == "check")
        return CmdCheck(args, out, err);
    if (cmd == "props")
        return RunPropsCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (cmd == "-h" || cmd == "--help" || cmd == "help") {
        out << Usage;
        return 0;
    }
    return BadUsage(err, "unknown command '" + cmd + "'");
}

} // namespace kelvo::cfbtool
