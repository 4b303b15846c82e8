// The two keyword index streams: the word table $IdxInfo and the IdxItem blocks of $IdxPool.
#include "index/IndexStorage.h"

#include "core/Messages.h"
#include "platform/text/ItemStream.h"

#include <array>
#include <cstring>

namespace kelvo {

namespace {

std::array<char, kIndexRecordSize> Record(std::uint32_t value) {
    std::array<char, kIndexRecordSize> bytes{};
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

Result<void> WriteAllBytes(ByteStream& stream, const std::string& bytes) {
    auto written = stream.Write(bytes.data(), bytes.size());
    if (!written)
        return written.error();
    if (*written != bytes.size())
        return MakeError(hr::MediumFull, "short write");
    return {};
}

// Reads up to `size` bytes, going on after short reads; returns how many arrived.
std::size_t ReadFully(ByteStream& stream, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        auto got = stream.Read(buffer + done, size - done);
        if (!got || *got == 0)
            break;
        done += *got;
    }
    return done;
}

} // namespace

Result<void> WriteIndexStreams(const KeywordIndex& index, ByteStream& info, ByteStream& pool,
                               Progress* progress) {
    std::string table;
    table.reserve(kIndexRecordSize * (index.size() + 1));
    auto header = Record(static_cast<std::uint32_t>(index.size()));
    table.append(header.data(), header.size());
    LineWriter lines(pool);
    const AnsiString begin = BlockBegin(kIdxItemBlock), end = BlockEnd(kIdxItemBlock);
    for (const auto& item : index) {
        auto record = Record(item->uid);
        table.append(record.data(), record.size());
        if (progress)
            progress->SetDetail(MessageText(msg::IndexSavingWord, {AnsiToUtf8(item->word)}));
        lines.WriteLine(begin);
        lines.WriteLine(HexText(item->uid));
        lines.WriteLine(EscapeText(item->word));
        lines.WriteLine(JoinList(item->references(), "#"));
        lines.WriteLine(end);
        if (progress)
            progress->Step();
    }
    if (!lines.Flush())
        return MakeError(hr::WriteFault, "cannot write $IdxPool");
    return WriteAllBytes(info, table);
}

bool ReadIndexStreams(KeywordIndex& index, ByteStream& info, ByteStream& pool, Progress* progress) {
    index.Clear();
    char header[kIndexRecordSize];
    if (ReadFully(info, header, sizeof header) < sizeof header)
        return false;
    std::uint32_t count = 0;
    for (int i = 3; i >= 0; --i)
        count = (count << 8) | static_cast<unsigned char>(header[i]);
    if (progress)
        progress->Start(count);
    LineReader lines(pool);
    char skipped[kIndexRecordSize];
    for (std::uint32_t i = 0; i < count && !lines.AtEnd(); ++i) {
        ReadFully(info, skipped, sizeof skipped); // the per-word records are not used
        auto item = std::make_unique<IdxItem>();
        lines.ReadLine();
        item->uid = static_cast<std::uint32_t>(HexValue(lines.ReadLine()));
        item->word = UnescapeText(lines.ReadLine());
        item->SetReferences(SplitList(lines.ReadLine(), "#", true));
        lines.ReadLine();
        if (progress)
            progress->SetDetail(MessageText(msg::IndexLoadingWord, {AnsiToUtf8(item->word)}));
        index.Append(std::move(item));
        if (progress)
            progress->Step();
    }
    return true;
}

} // namespace kelvo
