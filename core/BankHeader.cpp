// Writing the bank header and checking a file before it is opened as a bank.
#include "core/BankHeader.h"

#include "platform/storage/BankStorage.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <time.h>

namespace kelvo {

const std::array<std::uint8_t, 16> kBankId = {0x52, 0x0C, 0x1F, 0x6B, 0x7E, 0x9A, 0x3B, 0x4D,
                                              0xA5, 0xC8, 0x2E, 0x91, 0xD4, 0x7F, 0x0B, 0x36};
const std::array<std::uint8_t, 16> kProtectedBankId = {
    0x71, 0x5A, 0x3E, 0x9C, 0x4B, 0x2D, 0x86, 0x4F, 0xB1, 0xE0, 0x7A, 0x5D, 0x3C, 0x9F, 0x2E, 0x48};

namespace {

constexpr char kSignature[] = "$Quorvelline 2003 Data Bank storage file format\r\n";
constexpr std::uint8_t kMarker[16] = {0x75, 0x45, 0x43, 0x03, 0xD3, 0xAD, 0xFB, 0xDB,
                                      0x32, 0x21, 0x13, 0x12, 0x22, 0x31, 0x94, 0x98};

void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

HeaderTime HeaderTime::NowUtc() {
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
    const std::time_t secs = static_cast<std::time_t>(ms.count() / 1000);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    HeaderTime t;
    t.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    t.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    t.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    t.day = static_cast<std::uint16_t>(tm.tm_mday);
    t.hour = static_cast<std::uint16_t>(tm.tm_hour);
    t.minute = static_cast<std::uint16_t>(tm.tm_min);
    t.second = static_cast<std::uint16_t>(tm.tm_sec);
    t.milliseconds = static_cast<std::uint16_t>(ms.count() % 1000);
    return t;
}

std::uint32_t TickCount() {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000 +
                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000;
    return static_cast<std::uint32_t>(ms);
}

std::array<std::uint8_t, kBankHeaderSize> BuildBankHeader(std::uint32_t revision,
                                                          const HeaderTime& time,
                                                          std::uint32_t tickCount,
                                                          bool protectedBank) {
    std::array<std::uint8_t, kBankHeaderSize> h{};
    static_assert(sizeof kSignature - 1 == 49);
    std::memcpy(h.data(), kSignature, 49);
    h[49] = 0x1A;
    std::memcpy(h.data() + 52, kMarker, 16);
    std::memcpy(h.data() + kBankIdOffset, (protectedBank ? kProtectedBankId : kBankId).data(), 16);
    Put32(h.data() + 260, 1);
    Put32(h.data() + 264, 0);
    Put32(h.data() + 268, 9);
    Put32(h.data() + 272, 0);
    const std::uint16_t fields[8] = {time.year, time.month,  time.dayOfWeek, time.day,
                                     time.hour, time.minute, time.second,    time.milliseconds};
    for (int i = 0; i < 8; ++i)
        Put16(h.data() + 276 + 2 * i, fields[i]);
    Put32(h.data() + 292, tickCount);
    Put32(h.data() + kRevisionOffset, revision);
    std::memset(h.data() + 300, 0xFF, kBankHeaderSize - 300);
    return h;
}

void SetBankId(std::string& header, bool protectedBank) {
    if (header.size() < kBankIdOffset + 16)
        header.resize(kBankHeaderSize, '\0');
    std::memcpy(header.data() + kBankIdOffset, (protectedBank ? kProtectedBankId : kBankId).data(),
                16);
}

Result<void> WriteBankHeader(cfb::Storage& root, std::uint32_t revision, bool protectedBank) {
    auto stream = OpenOrCreateStream(root, kBankHeaderStream);
    if (!stream)
        return stream.error();
    const auto bytes = BuildBankHeader(revision, HeaderTime::NowUtc(), TickCount(), protectedBank);
    if (auto seek = stream->Seek(0, SeekOrigin::Begin); !seek)
        return seek.error();
    auto written = stream->Write(bytes.data(), bytes.size());
    if (!written)
        return written.error();
    return {};
}

Result<CheckedBank> CheckBankFile(const std::filesystem::path& path) {
    const std::string shown = path.string();
    if (!FileExists(path))
        return MessageError(hr::FileNotFound, msg::CannotOpenBank, {shown});
    auto root = cfb::Storage::OpenFile(path, cfb::mode::Open);
    if (!root)
        return StatusError(msg::OpenFailedWithStatus, shown, root.code());
    auto stream = root->OpenStream(kBankHeaderStream, cfb::mode::Open);
    if (!stream)
        return MessageError(stream.code(), msg::NotABank, {shown});
    std::uint8_t header[kBankHeaderSize] = {};
    std::size_t got = 0;
    while (got < kBankHeaderSize) {
        auto read = stream->Read(header + got, kBankHeaderSize - got);
        if (!read || read.value() == 0)
            break;
        got += read.value();
    }
    *stream = cfb::Stream(); // released before the document goes on
    CheckedBank bank;
    if (got >= kBankIdOffset + 16)
        bank.isProtected = std::memcmp(header + kBankIdOffset, kProtectedBankId.data(), 16) == 0;
    if (got < kBankIdOffset + 16 ||
        (!bank.isProtected &&
         std::memcmp(header + kBankIdOffset, kBankId.data(), kBankId.size()) != 0))
        return MessageError(hr::InvalidHeader, msg::NotABank, {shown});
    if (got >= kRevisionOffset + 4)
        bank.revision = std::uint32_t{header[296]} | std::uint32_t{header[297]} << 8 |
                        std::uint32_t{header[298]} << 16 | std::uint32_t{header[299]} << 24;
    bank.root = std::move(*root);
    return bank;
}

} // namespace kelvo
