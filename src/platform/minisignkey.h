#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace kivaro {

// A minisign public key: an eight-byte key id and a 32-byte Ed25519 key. Its text form is one base64
// line ("RW..."), the two letters "Ed", the key id and the key; a .pub file holds an
// "untrusted comment:" line before it. Read from text only; nothing here touches files.
class MinisignKey
{
public:
    static constexpr qsizetype KeyIdBytes = 8;
    static constexpr qsizetype KeyBytes = 32;
    using KeyId = std::array<std::uint8_t, KeyIdBytes>;
    using Key = std::array<std::uint8_t, KeyBytes>;

    // Reads the base64 line on its own or a whole .pub file. No key, and the reason in `why`, when the
    // text is neither.
    static std::optional<MinisignKey> read(QByteArrayView text, QString *why = nullptr);
    // A key from its parts, as a signer that made the pair knows them.
    MinisignKey(const KeyId &keyId, const Key &key);

    const KeyId &keyId() const { return m_keyId; }
    const Key &key() const { return m_key; }
    // The key id as minisign shows it: the number its eight bytes make, last byte first, in
    // upper-case hex without leading zeros.
    QString keyIdText() const;
    // The base64 line.
    QByteArray text() const;

    friend bool operator==(const MinisignKey &, const MinisignKey &) = default;

private:
    KeyId m_keyId;
    Key m_key;
};

// What minisign's key and signature files have in common.
namespace minisign {

// The lines of a text, each without its line end (LF, or CR LF).
QList<QByteArrayView> lines(QByteArrayView text);
// Whether nothing but line ends follows the first `used` lines.
bool onlyEmptyAfter(const QList<QByteArrayView> &lines, qsizetype used);
// A base64 line that must decode to exactly `bytes` bytes; no value otherwise.
std::optional<QByteArray> decodeBase64(QByteArrayView line, qsizetype bytes);

} // namespace minisign

} // namespace kivaro
