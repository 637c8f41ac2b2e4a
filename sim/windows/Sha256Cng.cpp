// SHA-256 over Windows CNG (bcrypt): one algorithm provider and one hash
// object per Sha256, a duplicate of the hash finished for each digest.
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "sim/Sha256.hpp"

namespace quillon::sim {
namespace {

void Require(NTSTATUS status, const char* call) {
    if (!BCRYPT_SUCCESS(status)) {
        throw std::runtime_error(std::string("SHA-256: ") + call + " failed with status " +
                                 std::to_string(static_cast<unsigned long>(status)));
    }
}

struct HashDestroy {
    void operator()(void* hash) const { BCryptDestroyHash(static_cast<BCRYPT_HASH_HANDLE>(hash)); }
};
using HashHandle = std::unique_ptr<void, HashDestroy>;

struct ProviderClose {
    void operator()(void* provider) const {
        BCryptCloseAlgorithmProvider(static_cast<BCRYPT_ALG_HANDLE>(provider), 0);
    }
};
using ProviderHandle = std::unique_ptr<void, ProviderClose>;

ProviderHandle OpenProvider() {
    BCRYPT_ALG_HANDLE provider = nullptr;
    Require(BCryptOpenAlgorithmProvider(&provider, BCRYPT_SHA256_ALGORITHM, nullptr, 0),
            "BCryptOpenAlgorithmProvider");
    return ProviderHandle(provider);
}

}  // namespace

struct Sha256::Context {
    ProviderHandle provider = OpenProvider();
    HashHandle hash;
};

Sha256::Sha256() : context_(std::make_unique<Context>()) {
    Reset();
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::Update(std::span<const std::uint8_t> bytes) {
    // BCryptHashData takes at most a ULONG of bytes at a time.
    constexpr std::size_t MAX_CHUNK = 1u << 30;
    while (!bytes.empty()) {
        const auto chunk = bytes.first((std::min)(bytes.size(), MAX_CHUNK));
        Require(
            BCryptHashData(static_cast<BCRYPT_HASH_HANDLE>(context_->hash.get()),
                           const_cast<PUCHAR>(chunk.data()), static_cast<ULONG>(chunk.size()), 0),
            "BCryptHashData");
        bytes = bytes.subspan(chunk.size());
    }
}

// Finishes a duplicate, so that more bytes may follow.
Sha256::Digest Sha256::Finish() const {
    BCRYPT_HASH_HANDLE copy = nullptr;
    Require(BCryptDuplicateHash(static_cast<BCRYPT_HASH_HANDLE>(context_->hash.get()), &copy,
                                nullptr, 0, 0),
            "BCryptDuplicateHash");
    const HashHandle owned(copy);
    Digest digest{};
    Require(BCryptFinishHash(copy, digest.data(), static_cast<ULONG>(digest.size()), 0),
            "BCryptFinishHash");
    return digest;
}

void Sha256::Reset() {
    BCRYPT_HASH_HANDLE hash = nullptr;
    Require(BCryptCreateHash(static_cast<BCRYPT_ALG_HANDLE>(context_->provider.get()), &hash,
                             nullptr, 0, nullptr, 0, 0),
            "BCryptCreateHash");
    context_->hash.reset(hash);
}

}  // namespace quillon::sim
