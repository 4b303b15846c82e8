// The cryptography of a protected bank, all of it through libsodium: secret bytes kept in
// memory locked against swapping and wiped when freed, the key derived from a password
// (Argon2id, crypto_pwhash) with its stored parameters, the data key wrapped under it, and
// the sealer of streams (XChaCha20-Poly1305 with a fresh nonce at every write and the
// stream's path as associated data).
#pragma once

#include "platform/base/Result.h"
#include "platform/storage/StreamSealer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::crypto {

/// Bytes in memory from sodium_malloc: locked against swapping, guarded, wiped when freed.
class SecretBytes {
public:
    SecretBytes() = default;
    explicit SecretBytes(std::size_t size);
    /// A copy of `bytes` (the caller wipes its own copy).
    static SecretBytes From(std::string_view bytes);
    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;
    ~SecretBytes();

    unsigned char* data() { return m_data; }
    const unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    std::string_view view() const { return {reinterpret_cast<const char*>(m_data), m_size}; }

private:
    unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};

/// Wipes a buffer that held a secret.
void Wipe(std::string& text);

/// Argon2id parameters, stored with every protected bank so that they can be raised later.
struct KdfParams {
    std::uint64_t opsLimit = 0;
    std::uint64_t memLimit = 0; ///< bytes
    /// The smallest parameters libsodium allows (quick; for tests only).
    static KdfParams Minimum();
    /// Parameters that take about `seconds` on this machine (measured once per process).
    static KdfParams Tuned(double seconds = 0.5);
    /// Whether libsodium accepts them and they stay within what a bank may ask of a machine
    /// (at most 4 GiB of memory).
    bool Acceptable() const;
};

/// The descriptor of a protected bank: parameters, salt and the data key wrapped under the
/// key derived from the password.
inline constexpr std::size_t kDescriptorSize = 128;
inline constexpr std::size_t kDataKeySize = 32;

/// A new random data key.
SecretBytes NewDataKey();
/// The descriptor bytes for `dataKey` under `password` with `params` and a new salt.
Result<std::string> WrapDataKey(const SecretBytes& dataKey, std::string_view password,
                                const KdfParams& params);
/// The data key of `descriptor` under `password`. Fails with hr::AccessDenied for a wrong
/// password, hr::DocFileCorrupt for a descriptor that is not one (or asks for parameters out
/// of bounds), hr::InsufficientMemory when the derivation cannot get its memory.
Result<SecretBytes> UnwrapDataKey(std::string_view descriptor, std::string_view password);
/// The parameters a descriptor holds (nothing when it is not one).
Result<KdfParams> DescriptorParams(std::string_view descriptor);

/// Seals every stream except those at the given plain paths. Streams whose stored form fails
/// authentication are remembered by path until TakeFailures.
class KeySealer final : public cfb::StreamSealer {
public:
    KeySealer(SecretBytes dataKey, std::vector<std::u16string> plainPaths);

    bool Seals(std::u16string_view path) const override;
    Result<std::string> Seal(std::u16string_view path, std::string_view content) const override;
    Result<std::string> Open(std::u16string_view path, std::string_view sealed) const override;
    std::uint64_t ContentSize(std::uint64_t sealedSize) const override;

    const SecretBytes& dataKey() const { return m_key; }
    /// The paths of the streams that failed authentication since the last call.
    std::vector<std::u16string> TakeFailures() const;

private:
    SecretBytes m_key;
    std::vector<std::u16string> m_plain;
    mutable std::mutex m_mutex;
    mutable std::vector<std::u16string> m_failures;
};

/// Bytes added to every sealed stream (nonce and tag).
std::size_t SealOverhead();

} // namespace kelvo::crypto
