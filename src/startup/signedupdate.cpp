#include "startup/signedupdate.h"

#include "platform/minisignsignature.h"

#include <QFile>

namespace kivaro {

namespace {

constexpr QLatin1String SignatureSuffix(".minisig");
constexpr QByteArrayView ReleaseWord = "release=";

// Why a signature file does not sign `file` with `key`; empty when it does. `signature` receives it.
QString signatureRefusal(const MinisignKey &key, QByteArrayView file, QByteArrayView signatureFile,
                         std::optional<MinisignSignature> *signature)
{
    if (signatureFile.isEmpty())
        return QStringLiteral("no signature");
    QString why;
    *signature = MinisignSignature::read(signatureFile, &why);
    if (!*signature)
        return why;
    const MinisignSignature::Check check = (*signature)->verify(key, file);
    if (check == MinisignSignature::Check::WrongKey)
        return QStringLiteral("signed with key %1, not with the vendor's key %2")
            .arg((*signature)->keyIdText(), key.keyIdText());
    if (check != MinisignSignature::Check::Valid)
        return MinisignSignature::describe(check);
    return {};
}

} // namespace

QString signatureSource(const QString &fileSource)
{
    return fileSource + SignatureSuffix;
}

QByteArray readSmallFile(const QString &path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.read(limit + 1);
    return content.size() > limit ? QByteArray() : content;
}

QString versionFileRefusal(const MinisignKey &key, QByteArrayView versionFile, QByteArrayView signatureFile)
{
    std::optional<MinisignSignature> signature;
    return signatureRefusal(key, versionFile, signatureFile, &signature);
}

QString installerRefusal(const MinisignKey &key, QByteArrayView installer, QByteArrayView signatureFile,
                         const QString &release)
{
    std::optional<MinisignSignature> signature;
    QString why = signatureRefusal(key, installer, signatureFile, &signature);
    if (!why.isEmpty())
        return why;
    if (!namesRelease(signature->trustedComment(), release))
        return QStringLiteral("signed for another release than %1 (trusted comment \"%2\")")
            .arg(release, QString::fromUtf8(signature->trustedComment()));
    return {};
}

bool namesRelease(QByteArrayView trustedComment, const QString &release)
{
    if (release.isEmpty())
        return false;
    const QByteArray word = ReleaseWord.toByteArray() + release.toUtf8();
    const QList<QByteArray> words = trustedComment.toByteArray().simplified().split(' ');
    return words.contains(word);
}

} // namespace kivaro
