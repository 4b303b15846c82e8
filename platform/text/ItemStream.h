// The line primitives every item stream of a bank is written and read with: CR LF lines of
// Windows-1251 text, backslash escapes, '#'/',' lists, "%08X" identifiers, item blocks.
#pragma once

#include "platform/base/ByteStream.h"
#include "platform/text/Ansi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

/// Writes the text and, when `crlf` is set, CR LF. Fails only when a write fails;
/// a short write is not a failure.
bool WriteLine(ByteStream& stream, AnsiView text, bool crlf = true);

/// Reads the next line without its CR LF, one byte at a time from the stream. Zero bytes are
/// dropped, a lone CR or LF stays in the line, the end of the stream or a read error ends
/// the line as it stands. Never fails.
AnsiString ReadLine(ByteStream& stream);

/// Reads lines like ReadLine but through a buffer: the same lines, much faster. The stream's
/// position runs ahead of the lines handed out, so read a stream through one reader only.
class LineReader {
public:
    explicit LineReader(ByteStream& stream) : m_stream(stream) {}
    AnsiString ReadLine();
    /// True when no byte is left to read.
    bool AtEnd();

private:
    bool Fill();

    ByteStream& m_stream;
    std::string m_buffer;
    std::size_t m_pos = 0;
    bool m_end = false;
};

/// Collects lines and writes them in large pieces. Once a write fails, every later
/// WriteLine fails too and nothing more is written.
class LineWriter {
public:
    explicit LineWriter(ByteStream& stream) : m_stream(stream) {}
    ~LineWriter() { Flush(); }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    bool WriteLine(AnsiView text, bool crlf = true);
    bool Flush();
    bool failed() const { return m_failed; }

private:
    ByteStream& m_stream;
    std::string m_buffer;
    bool m_failed = false;
};

AnsiString EscapeText(AnsiView text);
AnsiString UnescapeText(AnsiView text);

/// Cuts `text` at `separator`. Empty pieces between separators are kept; an empty text and a
/// text that starts with the separator give an empty list.
std::vector<AnsiString> SplitList(AnsiView text, AnsiView separator, bool trim);
void SplitList(AnsiView text, AnsiView separator, bool trim, std::vector<AnsiString>& out);
AnsiString JoinList(const std::vector<AnsiString>& pieces, AnsiView separator);

/// Joins pieces into phrases: a piece that begins with a double quote opens a phrase that
/// collects the following pieces (each followed by `separator`) up to the piece that ends with
/// a double quote; the phrase comes out without its quotes and trailing white space. Other
/// pieces come out as they are; empty pieces are skipped; a phrase never closed is dropped
/// together with the pieces after its opening quote. Shared by the keyword splitter (",")
/// and the search expression tokeniser (" ").
std::vector<AnsiString> JoinQuotedPieces(const std::vector<AnsiString>& pieces, AnsiView separator);

/// Strips white space (as the C locale's isspace sees it) from both ends or the end.
AnsiView TrimText(AnsiView text);
AnsiView TrimRight(AnsiView text);

/// Eight uppercase hexadecimal digits ("%08X").
AnsiString HexText(std::uint32_t value);
/// Parses hexadecimal text the way strtol("0x" + upper(text), 16) does, saturating at the
/// signed 32-bit range.
std::int32_t HexValue(AnsiView text);

/// "begin obj(" + name + ")" and "end obj(" + name + ")".
AnsiString BlockBegin(AnsiView name);
AnsiString BlockEnd(AnsiView name);

} // namespace kelvo
