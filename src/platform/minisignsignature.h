#pragma once

#include "platform/minisignkey.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace kivaro {

// A minisign signature file, as the stock minisign tool writes it:
//
//   untrusted comment: <anything>
//   <base64: algorithm "Ed" or "ED", eight-byte key id, 64-byte Ed25519 signature>
//   trusted comment: <text>
//   <base64: 64-byte Ed25519 signature over the signature above followed by the text>
//
// "ED" signs the BLAKE2b-512 hash of the file (minisign's default), "Ed" the file itself (its legacy
// form). The untrusted comment is not signed and is ignored; the trusted comment is, through the
// second signature, so a verified file's trusted comment can be relied on.
//
// The text comes from the network: it is read strictly, and anything but those four lines is refused.
class MinisignSignature
{
public:
    static constexpr qsizetype SignatureBytes = 64;
    // minisign's own limit on a trusted comment.
    static constexpr qsizetype MaxTrustedCommentBytes = 8192;
    using Signature = std::array<std::uint8_t, SignatureBytes>;

    enum class Algorithm { Legacy, Prehashed };

    enum class Check {
        Valid,
        WrongKey, // made with another key (its key id differs)
        BadSignature, // the file is not the one that was signed
        BadTrustedComment, // the trusted comment is not the one that was signed
    };

    // No signature, and the reason in `why`, when the text is not a signature file.
    static std::optional<MinisignSignature> read(QByteArrayView text, QString *why = nullptr);

    // Whether `file` is what `key` signed, trusted comment included.
    Check verify(const MinisignKey &key, QByteArrayView file) const;
    // A short English phrase for a check's outcome, for the --verbose lines.
    static QString describe(Check check);

    Algorithm algorithm() const { return m_algorithm; }
    const MinisignKey::KeyId &keyId() const { return m_keyId; }
    QByteArray trustedComment() const { return m_trustedComment; }
    // The key id as minisign shows it (see MinisignKey::keyIdText()).
    QString keyIdText() const;

private:
    MinisignSignature() = default;

    Algorithm m_algorithm = Algorithm::Prehashed;
    MinisignKey::KeyId m_keyId {};
    Signature m_signature {};
    QByteArray m_trustedComment;
    Signature m_globalSignature {};
};

} // namespace kivaro
