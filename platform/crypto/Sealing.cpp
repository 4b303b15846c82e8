// Secret memory, key derivation, key wrapping and stream sealing over libsodium.
#include "platform/crypto/Sealing.h"

#include "platform/text/CodePages.h"

#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <utility>

namespace kelvo::crypto {

namespace {

void EnsureSodium() {
    static const int ready = sodium_init();
    (void)ready; // 1 when already initialised; -1 leaves every call below failing safely
}

constexpr char kMagic[8] = {'K', 'V', 'B', 'S', 'E', 'A', 'L', '1'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kParamsEnd = 48; // magic, version, algorithm, limits, salt
constexpr std::size_t kNonceAt = 48;
constexpr std::size_t kWrappedAt = 72;
constexpr std::uint64_t kMaxMemLimit = std::uint64_t{4} << 30;
constexpr std::uint64_t kMaxOpsLimit = 64;

static_assert(crypto_pwhash_SALTBYTES == 16);
static_assert(crypto_aead_xchacha20poly1305_ietf_NPUBBYTES == 24);
static_assert(crypto_aead_xchacha20poly1305_ietf_ABYTES == 16);
static_assert(crypto_aead_xchacha20poly1305_ietf_KEYBYTES == kDataKeySize);
static_assert(kWrappedAt + kDataKeySize + 16 <= kDescriptorSize);

void Put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void Put64(unsigned char* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t Get32(const unsigned char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}
std::uint64_t Get64(const unsigned char* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

const unsigned char* Bytes(std::string_view s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

// The associated data of a stream: its path as UTF-16LE code units.
std::string PathBytes(std::u16string_view path) {
    std::string out;
    out.reserve(path.size() * 2);
    for (char16_t c : path) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

Result<SecretBytes> DeriveKey(std::string_view password, const unsigned char* salt,
                              const KdfParams& params) {
    SecretBytes key(kDataKeySize);
    if (crypto_pwhash(key.data(), key.size(), password.data(), password.size(), salt,
                      params.opsLimit, static_cast<std::size_t>(params.memLimit),
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        return MakeError(hr::InsufficientMemory, "the key derivation could not get its memory");
    return key;
}

} // namespace

// ---- secret bytes ---------------------------------------------------------------------

SecretBytes::SecretBytes(std::size_t size) {
    EnsureSodium();
    m_data = static_cast<unsigned char*>(sodium_malloc(std::max<std::size_t>(size, 1)));
    if (!m_data)
        throw std::bad_alloc();
    m_size = size;
    sodium_memzero(m_data, std::max<std::size_t>(size, 1));
}

SecretBytes SecretBytes::From(std::string_view bytes) {
    SecretBytes out(bytes.size());
    if (!bytes.empty())
        std::memcpy(out.m_data, bytes.data(), bytes.size());
    return out;
}

SecretBytes::SecretBytes(SecretBytes&& other) noexcept
    : m_data(other.m_data), m_size(other.m_size) {
    other.m_data = nullptr;
    other.m_size = 0;
}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept {
    if (this != &other) {
        if (m_data)
            sodium_free(m_data);
        m_data = other.m_data;
        m_size = other.m_size;
        other.m_data = nullptr;
        other.m_size = 0;
    }
    return *this;
}

SecretBytes::~SecretBytes() {
    if (m_data)
        sodium_free(m_data); // wipes before freeing
}

void Wipe(std::string& text) {
    if (!text.empty())
        sodium_memzero(text.data(), text.size());
    text.clear();
}

// ---- key derivation parameters --------------------------------------------------------

KdfParams KdfParams::Minimum() {
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

KdfParams KdfParams::Tuned(double seconds) {
    static std::mutex mutex;
    static double measured = 0; // seconds of one pass at the chosen memory
    constexpr std::uint64_t memory = std::uint64_t{64} << 20;
    std::lock_guard lock(mutex);
    if (measured <= 0) {
        EnsureSodium();
        unsigned char salt[crypto_pwhash_SALTBYTES] = {};
        unsigned char out[32];
        const auto start = std::chrono::steady_clock::now();
        if (crypto_pwhash(out, sizeof out, "tune", 4, salt, 1, memory,
                          crypto_pwhash_ALG_ARGON2ID13) != 0)
            return {crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
        measured = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        measured = std::max(measured, 1e-4);
    }
    const auto ops = static_cast<std::uint64_t>(seconds / measured + 0.5);
    return {std::clamp<std::uint64_t>(ops, crypto_pwhash_OPSLIMIT_INTERACTIVE, kMaxOpsLimit),
            memory};
}

bool KdfParams::Acceptable() const {
    return opsLimit >= crypto_pwhash_OPSLIMIT_MIN && opsLimit <= kMaxOpsLimit &&
           memLimit >= crypto_pwhash_MEMLIMIT_MIN && memLimit <= kMaxMemLimit;
}

// ---- the data key and its descriptor --------------------------------------------------

SecretBytes NewDataKey() {
    SecretBytes key(kDataKeySize);
    crypto_aead_xchacha20poly1305_ietf_keygen(key.data());
    return key;
}

Result<std::string> WrapDataKey(const SecretBytes& dataKey, std::string_view password,
                                const KdfParams& params) {
    EnsureSodium();
    if (!params.Acceptable() || dataKey.size() != kDataKeySize)
        return MakeError(hr::InvalidParameter, "unusable key derivation parameters");
    std::string out(kDescriptorSize, '\0');
    auto* d = reinterpret_cast<unsigned char*>(out.data());
    std::memcpy(d, kMagic, 8);
    Put32(d + 8, kVersion);
    Put32(d + 12, crypto_pwhash_ALG_ARGON2ID13);
    Put64(d + 16, params.opsLimit);
    Put64(d + 24, params.memLimit);
    randombytes_buf(d + 32, crypto_pwhash_SALTBYTES);
    randombytes_buf(d + kNonceAt, crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
    auto wrapping = DeriveKey(password, d + 32, params);
    if (!wrapping)
        return wrapping.error();
    unsigned long long written = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(d + kWrappedAt, &written, dataKey.data(),
                                               dataKey.size(), d, kParamsEnd, nullptr, d + kNonceAt,
                                               wrapping->data());
    return out;
}

Result<KdfParams> DescriptorParams(std::string_view descriptor) {
    const unsigned char* d = Bytes(descriptor);
    if (descriptor.size() != kDescriptorSize || std::memcmp(d, kMagic, 8) != 0 ||
        Get32(d + 8) != kVersion || Get32(d + 12) != crypto_pwhash_ALG_ARGON2ID13)
        return MakeError(hr::DocFileCorrupt, "the protection descriptor is damaged");
    KdfParams params{Get64(d + 16), Get64(d + 24)};
    if (!params.Acceptable())
        return MakeError(hr::DocFileCorrupt, "the protection descriptor asks for out-of-range "
                                             "key derivation parameters");
    return params;
}

Result<SecretBytes> UnwrapDataKey(std::string_view descriptor, std::string_view password) {
    EnsureSodium();
    auto params = DescriptorParams(descriptor);
    if (!params)
        return params.error();
    const unsigned char* d = Bytes(descriptor);
    auto wrapping = DeriveKey(password, d + 32, *params);
    if (!wrapping)
        return wrapping.error();
    SecretBytes key(kDataKeySize);
    unsigned long long got = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(key.data(), &got, nullptr, d + kWrappedAt,
                                                   kDataKeySize + 16, d, kParamsEnd, d + kNonceAt,
                                                   wrapping->data()) != 0)
        return MakeError(hr::AccessDenied, "wrong password");
    return key;
}

// ---- the stream sealer ----------------------------------------------------------------

std::size_t SealOverhead() {
    return crypto_aead_xchacha20poly1305_ietf_NPUBBYTES + crypto_aead_xchacha20poly1305_ietf_ABYTES;
}

KeySealer::KeySealer(SecretBytes dataKey, std::vector<std::u16string> plainPaths)
    : m_key(std::move(dataKey)), m_plain(std::move(plainPaths)) {
    EnsureSodium();
}

bool KeySealer::Seals(std::u16string_view path) const {
    return std::find(m_plain.begin(), m_plain.end(), path) == m_plain.end();
}

Result<std::string> KeySealer::Seal(std::u16string_view path, std::string_view content) const {
    if (m_key.size() != kDataKeySize)
        return MakeError(hr::InvalidParameter, "no data key");
    const std::string ad = PathBytes(path);
    std::string out(content.size() + SealOverhead(), '\0');
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    randombytes_buf(o, crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
    unsigned long long written = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(o + crypto_aead_xchacha20poly1305_ietf_NPUBBYTES,
                                               &written, Bytes(content), content.size(), Bytes(ad),
                                               ad.size(), nullptr, o, m_key.data());
    return out;
}

Result<std::string> KeySealer::Open(std::u16string_view path, std::string_view sealed) const {
    const std::string ad = PathBytes(path);
    std::string out;
    bool ok = sealed.size() >= SealOverhead();
    if (ok) {
        out.resize(sealed.size() - SealOverhead());
        unsigned long long got = 0;
        const unsigned char* s = Bytes(sealed);
        ok = crypto_aead_xchacha20poly1305_ietf_decrypt(
                 reinterpret_cast<unsigned char*>(out.data()), &got, nullptr,
                 s + crypto_aead_xchacha20poly1305_ietf_NPUBBYTES,
                 sealed.size() - crypto_aead_xchacha20poly1305_ietf_NPUBBYTES, Bytes(ad), ad.size(),
                 s, m_key.data()) == 0;
    }
    if (!ok) {
        std::lock_guard lock(m_mutex);
        if (std::find(m_failures.begin(), m_failures.end(), path) == m_failures.end())
            m_failures.emplace_back(path);
        return MakeError(hr::DocFileCorrupt,
                         "содержимое «" + Utf16ToUtf8(path) + "» не прошло проверку подлинности");
    }
    return out;
}

std::uint64_t KeySealer::ContentSize(std::uint64_t sealedSize) const {
    return sealedSize >= SealOverhead() ? sealedSize - SealOverhead() : 0;
}

std::vector<std::u16string> KeySealer::TakeFailures() const {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_failures, {});
}

} // namespace kelvo::crypto
