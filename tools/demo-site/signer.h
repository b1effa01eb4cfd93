#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>

namespace kivaro::demo {

// A minisign key pair made on the spot, and signatures in minisign's file format, as the stock
// minisign tool writes them. The demo vendor site signs what it serves with one; tests sign with
// one too. The secret key lives only in memory.
class Signer
{
public:
    enum class Form {
        Prehashed, // "ED": over the file's BLAKE2b-512 hash, minisign's default
        Legacy, // "Ed": over the file itself
    };

    // A fresh key pair with a random key id.
    Signer();
    ~Signer();
    Signer(const Signer &) = delete;
    Signer &operator=(const Signer &) = delete;

    // The public key as its base64 line ("RW...") and as a .pub file.
    QByteArray publicKeyLine() const;
    QByteArray publicKeyFile() const;

    // The signature file of `file`, with this trusted comment (one line).
    QByteArray sign(QByteArrayView file, QByteArrayView trustedComment, Form form = Form::Prehashed) const;

private:
    std::array<std::uint8_t, 8> m_keyId {};
    std::array<std::uint8_t, 32> m_publicKey {};
    std::array<std::uint8_t, 64> m_secretKey {};
};

} // namespace kivaro::demo
