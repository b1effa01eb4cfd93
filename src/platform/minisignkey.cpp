#include "platform/minisignkey.h"

#include <algorithm>
#include <sodium.h>

namespace kivaro {

namespace {

constexpr QByteArrayView KeyAlgorithm = "Ed";
constexpr qsizetype KeyBlobBytes = 2 + MinisignKey::KeyIdBytes + MinisignKey::KeyBytes;
constexpr QByteArrayView UntrustedPrefix = "untrusted comment: ";

} // namespace

namespace minisign {

QList<QByteArrayView> lines(QByteArrayView text)
{
    QList<QByteArrayView> result;
    while (!text.isEmpty()) {
        const qsizetype end = text.indexOf('\n');
        QByteArrayView line = end < 0 ? text : text.first(end);
        if (line.endsWith('\r'))
            line.chop(1);
        result.append(line);
        text = end < 0 ? QByteArrayView() : text.sliced(end + 1);
    }
    return result;
}

bool onlyEmptyAfter(const QList<QByteArrayView> &lines, qsizetype used)
{
    return std::all_of(lines.begin() + std::min(used, lines.size()), lines.end(),
                       [](QByteArrayView line) { return line.isEmpty(); });
}

std::optional<QByteArray> decodeBase64(QByteArrayView line, qsizetype bytes)
{
    if (sodium_init() < 0)
        return std::nullopt;
    QByteArray decoded(bytes, Qt::Uninitialized);
    size_t length = 0;
    const char *end = nullptr;
    // Each byte must belong to the code: no blanks, no line breaks, no second block after padding.
    if (sodium_base642bin(reinterpret_cast<unsigned char *>(decoded.data()), size_t(bytes), line.data(),
                          size_t(line.size()), nullptr, &length, &end, sodium_base64_VARIANT_ORIGINAL)
            != 0
        || end != line.data() + line.size() || qsizetype(length) != bytes)
        return std::nullopt;
    return decoded;
}

} // namespace minisign

MinisignKey::MinisignKey(const KeyId &keyId, const Key &key)
    : m_keyId(keyId)
    , m_key(key)
{ }

std::optional<MinisignKey> MinisignKey::read(QByteArrayView text, QString *why)
{
    const auto refuse = [why](const QString &reason) -> std::optional<MinisignKey> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const QList<QByteArrayView> lines = minisign::lines(text.trimmed());
    QByteArrayView line;
    if (lines.size() == 1) {
        line = lines.constFirst();
    } else if (lines.size() >= 2 && lines.constFirst().startsWith(UntrustedPrefix)
               && minisign::onlyEmptyAfter(lines, 2)) {
        line = lines.at(1).trimmed();
    } else {
        return refuse(
            QStringLiteral("not a minisign public key: one base64 line, or a comment line and one"));
    }
    const std::optional<QByteArray> blob = minisign::decodeBase64(line, KeyBlobBytes);
    if (!blob)
        return refuse(QStringLiteral("not a minisign public key: its key line is not %1 bytes in base64")
                          .arg(KeyBlobBytes));
    if (!blob->startsWith(KeyAlgorithm))
        return refuse(QStringLiteral("not an Ed25519 minisign public key"));
    KeyId keyId;
    Key key;
    std::copy_n(blob->constData() + KeyAlgorithm.size(), KeyIdBytes, keyId.begin());
    std::copy_n(blob->constData() + KeyAlgorithm.size() + KeyIdBytes, KeyBytes, key.begin());
    return MinisignKey(keyId, key);
}

QString MinisignKey::keyIdText() const
{
    // minisign reads the id as a little-endian number and prints that in hex, without leading zeros.
    QByteArray reversed(reinterpret_cast<const char *>(m_keyId.data()), KeyIdBytes);
    std::reverse(reversed.begin(), reversed.end());
    QByteArray digits = reversed.toHex().toUpper();
    while (digits.size() > 1 && digits.startsWith('0'))
        digits.remove(0, 1);
    return QString::fromLatin1(digits);
}

QByteArray MinisignKey::text() const
{
    const QByteArray blob = KeyAlgorithm.toByteArray()
        + QByteArray(reinterpret_cast<const char *>(m_keyId.data()), KeyIdBytes)
        + QByteArray(reinterpret_cast<const char *>(m_key.data()), KeyBytes);
    return blob.toBase64();
}

} // namespace kivaro
