#include "platform/minisignsignature.h"

#include <algorithm>
#include <sodium.h>

namespace kivaro {

namespace {

constexpr QByteArrayView LegacyAlgorithm = "Ed";
constexpr QByteArrayView PrehashedAlgorithm = "ED";
constexpr qsizetype AlgorithmBytes = 2;
constexpr qsizetype SignatureBlobBytes
    = AlgorithmBytes + MinisignKey::KeyIdBytes + MinisignSignature::SignatureBytes;
constexpr QByteArrayView UntrustedPrefix = "untrusted comment: ";
constexpr QByteArrayView TrustedPrefix = "trusted comment: ";
constexpr qsizetype SignatureFileLines = 4;
// What "ED" signs in place of the file.
constexpr size_t PrehashBytes = crypto_generichash_BYTES_MAX;
static_assert(PrehashBytes == 64, "minisign prehashes with BLAKE2b-512");

const unsigned char *bytes(QByteArrayView view)
{
    return reinterpret_cast<const unsigned char *>(view.data());
}

} // namespace

std::optional<MinisignSignature> MinisignSignature::read(QByteArrayView text, QString *why)
{
    const auto refuse = [why](const QString &reason) -> std::optional<MinisignSignature> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const QList<QByteArrayView> lines = minisign::lines(text);
    if (lines.size() < SignatureFileLines || !minisign::onlyEmptyAfter(lines, SignatureFileLines))
        return refuse(QStringLiteral("not a minisign signature: it has not four lines"));
    if (!lines.at(0).startsWith(UntrustedPrefix))
        return refuse(QStringLiteral("not a minisign signature: no untrusted comment line"));
    const std::optional<QByteArray> blob = minisign::decodeBase64(lines.at(1), SignatureBlobBytes);
    if (!blob)
        return refuse(QStringLiteral("not a minisign signature: its signature line is not %1 bytes in base64")
                          .arg(SignatureBlobBytes));
    if (!lines.at(2).startsWith(TrustedPrefix))
        return refuse(QStringLiteral("not a minisign signature: no trusted comment line"));
    const QByteArrayView comment = lines.at(2).sliced(TrustedPrefix.size());
    if (comment.size() > MaxTrustedCommentBytes)
        return refuse(QStringLiteral("not a minisign signature: its trusted comment is too long"));
    const std::optional<QByteArray> global = minisign::decodeBase64(lines.at(3), SignatureBytes);
    if (!global)
        return refuse(
            QStringLiteral("not a minisign signature: its global signature is not %1 bytes in base64")
                .arg(SignatureBytes));

    MinisignSignature signature;
    const QByteArrayView algorithm = QByteArrayView(*blob).first(AlgorithmBytes);
    if (algorithm == PrehashedAlgorithm)
        signature.m_algorithm = Algorithm::Prehashed;
    else if (algorithm == LegacyAlgorithm)
        signature.m_algorithm = Algorithm::Legacy;
    else
        return refuse(QStringLiteral("not a minisign signature: unknown algorithm"));
    const char *rest = blob->constData() + AlgorithmBytes;
    std::copy_n(rest, MinisignKey::KeyIdBytes, signature.m_keyId.begin());
    std::copy_n(rest + MinisignKey::KeyIdBytes, SignatureBytes, signature.m_signature.begin());
    signature.m_trustedComment = comment.toByteArray();
    std::copy_n(global->constData(), SignatureBytes, signature.m_globalSignature.begin());
    return signature;
}

MinisignSignature::Check MinisignSignature::verify(const MinisignKey &key, QByteArrayView file) const
{
    if (m_keyId != key.keyId())
        return Check::WrongKey;
    if (sodium_init() < 0)
        return Check::BadSignature;

    QByteArrayView signedBytes = file;
    std::array<unsigned char, PrehashBytes> prehash {};
    if (m_algorithm == Algorithm::Prehashed) {
        crypto_generichash(prehash.data(), prehash.size(), bytes(file), size_t(file.size()), nullptr, 0);
        signedBytes
            = QByteArrayView(reinterpret_cast<const char *>(prehash.data()), qsizetype(prehash.size()));
    }
    if (crypto_sign_verify_detached(m_signature.data(), bytes(signedBytes), size_t(signedBytes.size()),
                                    key.key().data())
        != 0)
        return Check::BadSignature;

    // The trusted comment is signed together with the file's signature, so neither can be moved to
    // another file.
    QByteArray global(reinterpret_cast<const char *>(m_signature.data()), SignatureBytes);
    global += m_trustedComment;
    if (crypto_sign_verify_detached(m_globalSignature.data(), bytes(global), size_t(global.size()),
                                    key.key().data())
        != 0)
        return Check::BadTrustedComment;
    return Check::Valid;
}

QString MinisignSignature::describe(Check check)
{
    switch (check) {
    case Check::Valid:
        return QStringLiteral("signature verified");
    case Check::WrongKey:
        return QStringLiteral("signed with another key");
    case Check::BadSignature:
        return QStringLiteral("the signature does not match the file");
    case Check::BadTrustedComment:
        return QStringLiteral("the trusted comment does not match its signature");
    }
    return {};
}

QString MinisignSignature::keyIdText() const
{
    return MinisignKey(m_keyId, {}).keyIdText();
}

} // namespace kivaro
