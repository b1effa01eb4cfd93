#pragma once

#include "platform/minisignkey.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kivaro {

// What makes the vendor's files count: each comes with a minisign signature file beside it
// ("<file>.minisig") made with the vendor's key. The version file counts only when its signature
// verifies; the installer runs only when its own does and its trusted comment names the release the
// verified version file announced, so an older signed installer cannot be passed off as the new one.

// The limits on what is fetched from the vendor's site. A version file is one short line and a
// signature four; an installer is a program. Anything larger is refused before it is read.
constexpr qint64 MaxVersionFileBytes = 4 * 1024;
constexpr qint64 MaxSignatureBytes = 4 * 1024;
constexpr qint64 MaxInstallerBytes = 512 * 1024 * 1024;

// Where a file's signature lies.
QString signatureSource(const QString &fileSource);

// Up to `limit` bytes of a local file; empty when it is missing, unreadable or larger.
QByteArray readSmallFile(const QString &path, qint64 limit);

// Why the version file does not count; empty when `signatureFile` is `key`'s valid signature of it.
QString versionFileRefusal(const MinisignKey &key, QByteArrayView versionFile, QByteArrayView signatureFile);

// Why the installer must not run; empty when `signatureFile` is `key`'s valid signature of it and its
// trusted comment names `release`, the first field of the verified version file.
QString installerRefusal(const MinisignKey &key, QByteArrayView installer, QByteArrayView signatureFile,
                         const QString &release);

// Whether a trusted comment holds "release=<release>" as a word of its own ("release=4 file:x").
bool namesRelease(QByteArrayView trustedComment, const QString &release);

} // namespace kivaro
