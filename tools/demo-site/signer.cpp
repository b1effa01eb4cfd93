#include "signer.h"

#include <algorithm>
#include <cstdlib>
#include <sodium.h>

namespace kivaro::demo {

namespace {

QByteArray bytes(const std::uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

QByteArray keyIdText(const std::array<std::uint8_t, 8> &keyId)
{
    QByteArray reversed = bytes(keyId.data(), keyId.size());
    std::reverse(reversed.begin(), reversed.end());
    return reversed.toHex().toUpper();
}

} // namespace

Signer::Signer()
{
    if (sodium_init() < 0)
        std::abort(); // no randomness, no keys
    crypto_sign_keypair(m_publicKey.data(), m_secretKey.data());
    randombytes_buf(m_keyId.data(), m_keyId.size());
}

Signer::~Signer()
{
    sodium_memzero(m_secretKey.data(), m_secretKey.size());
}

QByteArray Signer::publicKeyLine() const
{
    const QByteArray blob
        = "Ed" + bytes(m_keyId.data(), m_keyId.size()) + bytes(m_publicKey.data(), m_publicKey.size());
    return blob.toBase64();
}

QByteArray Signer::publicKeyFile() const
{
    return "untrusted comment: minisign public key " + keyIdText(m_keyId) + "\n" + publicKeyLine() + "\n";
}

QByteArray Signer::sign(QByteArrayView file, QByteArrayView trustedComment, Form form) const
{
    const auto *data = reinterpret_cast<const unsigned char *>(file.data());
    std::array<unsigned char, crypto_generichash_BYTES_MAX> hash {};
    const unsigned char *message = data;
    size_t messageBytes = size_t(file.size());
    if (form == Form::Prehashed) {
        crypto_generichash(hash.data(), hash.size(), data, messageBytes, nullptr, 0);
        message = hash.data();
        messageBytes = hash.size();
    }
    std::array<unsigned char, crypto_sign_BYTES> signature {};
    crypto_sign_detached(signature.data(), nullptr, message, messageBytes, m_secretKey.data());

    const QByteArray signatureAndComment
        = bytes(signature.data(), signature.size()) + trustedComment.toByteArray();
    std::array<unsigned char, crypto_sign_BYTES> global {};
    crypto_sign_detached(global.data(), nullptr,
                         reinterpret_cast<const unsigned char *>(signatureAndComment.constData()),
                         size_t(signatureAndComment.size()), m_secretKey.data());

    const QByteArray algorithm = form == Form::Prehashed ? "ED" : "Ed";
    const QByteArray blob
        = algorithm + bytes(m_keyId.data(), m_keyId.size()) + bytes(signature.data(), signature.size());
    return "untrusted comment: signature from the Kivaro demo vendor key\n" + blob.toBase64()
        + "\ntrusted comment: " + trustedComment.toByteArray() + "\n"
        + bytes(global.data(), global.size()).toBase64() + "\n";
}

} // namespace kivaro::demo
