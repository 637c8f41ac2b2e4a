// SHA-256 over OpenSSL's libcrypto (the EVP digest calls).
#include <openssl/evp.h>

#include <stdexcept>
#include <string>

#include "sim/Sha256.hpp"

namespace quillon::sim {
namespace {

struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using ContextHandle = std::unique_ptr<EVP_MD_CTX, ContextFree>;

// Failures here mean the library is broken or out of memory; nothing to recover.
void Require(int result, const char* call) {
    if (result != 1) {
        throw std::runtime_error(std::string("SHA-256: ") + call + " failed");
    }
}

ContextHandle NewContext() {
    ContextHandle context(EVP_MD_CTX_new());
    if (!context) {
        throw std::runtime_error("SHA-256: EVP_MD_CTX_new failed");
    }
    return context;
}

}  // namespace

struct Sha256::Context {
    ContextHandle handle = NewContext();
};

Sha256::Sha256() : context_(std::make_unique<Context>()) {
    Reset();
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::Update(std::span<const std::uint8_t> bytes) {
    Require(EVP_DigestUpdate(context_->handle.get(), bytes.data(), bytes.size()),
            "EVP_DigestUpdate");
}

// Finishes a copy, so that more bytes may follow.
Sha256::Digest Sha256::Finish() const {
    ContextHandle copy = NewContext();
    Require(EVP_MD_CTX_copy_ex(copy.get(), context_->handle.get()), "EVP_MD_CTX_copy_ex");
    Digest digest{};
    unsigned int length = 0;
    Require(EVP_DigestFinal_ex(copy.get(), digest.data(), &length), "EVP_DigestFinal_ex");
    if (length != digest.size()) {
        throw std::runtime_error("SHA-256: digest of " + std::to_string(length) + " bytes");
    }
    return digest;
}

void Sha256::Reset() {
    Require(EVP_DigestInit_ex(context_->handle.get(), EVP_sha256(), nullptr), "EVP_DigestInit_ex");
}

}  // namespace quillon::sim
