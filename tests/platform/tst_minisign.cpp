// minisign's keys and signatures: read and checked against files signed by the stock minisign
// program and by libsodium directly, and against every way a signature can be forged or broken.

#include "platform/minisignkey.h"
#include "platform/minisignsignature.h"
#include "signer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace kivaro;
using Check = MinisignSignature::Check;

namespace {

constexpr int ProgramTimeoutMs = 30000;
const QByteArray Payload = "#!/bin/sh\necho installing release 4\n" + QByteArray(3000, '#') + "\n";
const QByteArray Comment = "release=4 file:NewVers.exe";

QString outcome(const std::optional<MinisignSignature> &signature, const MinisignKey &key,
                QByteArrayView file)
{
    if (!signature)
        return QStringLiteral("unreadable");
    switch (signature->verify(key, file)) {
    case Check::Valid:
        return QStringLiteral("valid");
    case Check::WrongKey:
        return QStringLiteral("wrong key");
    case Check::BadSignature:
        return QStringLiteral("bad signature");
    case Check::BadTrustedComment:
        return QStringLiteral("bad trusted comment");
    }
    return {};
}

QList<QByteArray> lines(const QByteArray &file)
{
    QList<QByteArray> list = file.split('\n');
    if (!list.isEmpty() && list.constLast().isEmpty())
        list.removeLast();
    return list;
}

QByteArray joined(const QList<QByteArray> &lines)
{
    return lines.join('\n') + '\n';
}

// Changes the decoded signature line with `edit` and encodes it again.
QByteArray withSignatureLine(const QByteArray &file, const std::function<void(QByteArray &)> &edit)
{
    QList<QByteArray> list = lines(file);
    QByteArray blob = QByteArray::fromBase64(list.at(1));
    edit(blob);
    list[1] = blob.toBase64();
    return joined(list);
}

} // namespace

class TestMinisign : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Runs the stock minisign program; fails the test when it does not succeed.
    bool minisign(const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("minisign"), arguments);
        if (!process.waitForFinished(ProgramTimeoutMs) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0) {
            qWarning() << "minisign" << arguments << "failed:" << process.readAll();
            return false;
        }
        return true;
    }

    // The signature file the stock program writes for Payload with `key`'s secret half.
    QByteArray signedByMinisign(const QString &key, bool legacy, const QByteArray &comment = Comment,
                                const QByteArray &payload = Payload)
    {
        QFile file(path(QStringLiteral("payload")));
        if (!file.open(QIODevice::WriteOnly) || file.write(payload) != payload.size())
            return {};
        file.close();
        QStringList arguments {
            QStringLiteral("-S"),      QStringLiteral("-s"), path(key + QLatin1String(".key")),
            QStringLiteral("-m"),      file.fileName(),      QStringLiteral("-t"),
            QString::fromUtf8(comment)
        };
        if (legacy)
            arguments << QStringLiteral("-l");
        if (!minisign(arguments))
            return {};
        return read(QStringLiteral("payload.minisig"));
    }

    MinisignKey publicKey(const QString &name) const
    {
        const std::optional<MinisignKey> key = MinisignKey::read(read(name + QLatin1String(".pub")));
        return key ? *key : MinisignKey({}, {});
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const QString &name : { QStringLiteral("vendor"), QStringLiteral("other") })
            QVERIFY(minisign({ QStringLiteral("-G"), QStringLiteral("-W"), QStringLiteral("-p"),
                               path(name + QLatin1String(".pub")), QStringLiteral("-s"),
                               path(name + QLatin1String(".key")) }));
    }

    void keys_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("read");
        const QByteArray pub = read(QStringLiteral("vendor.pub"));
        const QByteArray line = lines(pub).at(1);
        QByteArray blob = QByteArray::fromBase64(line);
        QTest::newRow(".pub file") << pub << true;
        QTest::newRow(".pub file, CR LF") << QByteArray(pub).replace("\n", "\r\n") << true;
        QTest::newRow("the line alone") << line << true;
        QTest::newRow("the line, blanks around") << " \t" + line + "\n\n" << true;
        QTest::newRow("the line, one character short") << line.chopped(1) << false;
        QTest::newRow("no comment before the line") << "minisign public key\n" + line << false;
        QTest::newRow("another algorithm") << "Xd" + blob.mid(2).toBase64() << false;
        QTest::newRow("the secret key file") << read(QStringLiteral("vendor.key")) << false;
        QTest::newRow("a signature line")
            << lines(signedByMinisign(QStringLiteral("vendor"), false)).at(1) << false;
        QTest::newRow("empty") << QByteArray() << false;
    }

    // A key that reads is the one minisign made: the id it shows in the .pub file's comment.
    void keys()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, read);
        QString why;
        const std::optional<MinisignKey> key = MinisignKey::read(text, &why);
        QCOMPARE(bool(key), read);
        QCOMPARE(why.isEmpty(), read);
        if (key) {
            QCOMPARE(key->keyIdText().toLatin1(),
                     lines(this->read(QStringLiteral("vendor.pub"))).at(0).split(' ').constLast());
            QCOMPARE(MinisignKey::read(key->text()), key);
        }
    }

    void keyIdText_data()
    {
        QTest::addColumn<QByteArray>("keyId");
        QTest::addColumn<QString>("text");
        // As minisign printed them for keys it made.
        QTest::newRow("Kivaro's release key")
            << QByteArray::fromHex("b650c045a6dd54c3") << QStringLiteral("C354DDA645C050B6");
        QTest::newRow("leading zero left out")
            << QByteArray::fromHex("1b7b10f319c67408") << QStringLiteral("874C619F3107B1B");
    }

    void keyIdText()
    {
        QFETCH(QByteArray, keyId);
        QFETCH(QString, text);
        MinisignKey::KeyId id;
        std::copy_n(keyId.constData(), id.size(), id.begin());
        QCOMPARE(MinisignKey(id, {}).keyIdText(), text);
    }

    void verify_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");

        const QByteArray prehashed = signedByMinisign(QStringLiteral("vendor"), false);
        const QByteArray legacy = signedByMinisign(QStringLiteral("vendor"), true);
        const QByteArray byOther = signedByMinisign(QStringLiteral("other"), false);
        // Another file: Ed25519 signs the same bytes the same way every time.
        const QByteArray otherComment
            = signedByMinisign(QStringLiteral("vendor"), false, "release=3 file:NewVers.exe", "older\n");
        for (const QByteArray *made : { &prehashed, &legacy, &byOther, &otherComment })
            QVERIFY(!made->isEmpty());
        const QString vendor = QStringLiteral("vendor");
        QByteArray tamperedFile = Payload;
        tamperedFile[20] = tamperedFile.at(20) ^ 1;
        const QByteArray vendorId = QByteArray::fromBase64(lines(prehashed).at(1)).mid(2, 8);

        QTest::newRow("minisign, prehashed") << prehashed << vendor << Payload << QStringLiteral("valid");
        QTest::newRow("minisign, legacy") << legacy << vendor << Payload << QStringLiteral("valid");
        QTest::newRow("CR LF line ends")
            << QByteArray(prehashed).replace("\n", "\r\n") << vendor << Payload << QStringLiteral("valid");
        QTest::newRow("another key") << byOther << vendor << Payload << QStringLiteral("wrong key");
        QTest::newRow("another key wearing our key id")
            << withSignatureLine(byOther, [&](QByteArray &blob) { blob.replace(2, 8, vendorId); }) << vendor
            << Payload << QStringLiteral("bad signature");
        QTest::newRow("file changed, prehashed")
            << prehashed << vendor << tamperedFile << QStringLiteral("bad signature");
        QTest::newRow("file changed, legacy")
            << legacy << vendor << tamperedFile << QStringLiteral("bad signature");
        QTest::newRow("file cut short")
            << prehashed << vendor << Payload.chopped(1) << QStringLiteral("bad signature");
        QTest::newRow("prehashed passed off as legacy")
            << withSignatureLine(prehashed, [](QByteArray &blob) { blob[1] = 'd'; }) << vendor << Payload
            << QStringLiteral("bad signature");
        QTest::newRow("legacy passed off as prehashed")
            << withSignatureLine(legacy, [](QByteArray &blob) { blob[1] = 'D'; }) << vendor << Payload
            << QStringLiteral("bad signature");
        QTest::newRow("trusted comment changed")
            << QByteArray(prehashed).replace("release=4", "release=5") << vendor << Payload
            << QStringLiteral("bad trusted comment");
        QList<QByteArray> mixed = lines(prehashed);
        mixed[2] = lines(otherComment).at(2);
        mixed[3] = lines(otherComment).at(3);
        QTest::newRow("trusted comment of another signature")
            << joined(mixed) << vendor << Payload << QStringLiteral("bad trusted comment");
        QTest::newRow("untrusted comment changed")
            << QByteArray(prehashed).replace("untrusted comment: ", "untrusted comment: anything ") << vendor
            << Payload << QStringLiteral("valid");
        QTest::newRow("cut after the trusted comment")
            << joined(lines(prehashed).mid(0, 3)) << vendor << Payload << QStringLiteral("unreadable");
        QTest::newRow("cut in the signature line") << prehashed.left(prehashed.indexOf('\n') + 40) << vendor
                                                   << Payload << QStringLiteral("unreadable");
        QTest::newRow("a line more") << prehashed + "trusted comment: release=9\n"
                                     << vendor << Payload << QStringLiteral("unreadable");
        QTest::newRow("no untrusted comment line") << joined(lines(prehashed).mid(1)) + "\n"
                                                   << vendor << Payload << QStringLiteral("unreadable");
        QTest::newRow("unknown algorithm")
            << withSignatureLine(prehashed, [](QByteArray &blob) { blob[0] = 'X'; }) << vendor << Payload
            << QStringLiteral("unreadable");
        QTest::newRow("an HTML page") << QByteArray("<html><body>Not Found</body></html>\n") << vendor
                                      << Payload << QStringLiteral("unreadable");
        QTest::newRow("empty") << QByteArray() << vendor << Payload << QStringLiteral("unreadable");
    }

    void verify()
    {
        QFETCH(QByteArray, signature);
        QFETCH(QString, key);
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QCOMPARE(outcome(MinisignSignature::read(signature), publicKey(key), file), expected);
    }

    void libsodiumSigner_data()
    {
        QTest::addColumn<bool>("legacy");
        QTest::newRow("prehashed") << false;
        QTest::newRow("legacy") << true;
    }

    // The signer the demo site and the tests use writes what both minisign and our reader accept.
    void libsodiumSigner()
    {
        QFETCH(bool, legacy);
        const demo::Signer signer;
        const QByteArray signature = signer.sign(
            Payload, Comment, legacy ? demo::Signer::Form::Legacy : demo::Signer::Form::Prehashed);
        const std::optional<MinisignKey> key = MinisignKey::read(signer.publicKeyFile());
        QVERIFY(key);
        QCOMPARE(MinisignKey::read(signer.publicKeyLine()), key);
        QCOMPARE(outcome(MinisignSignature::read(signature), *key, Payload), QStringLiteral("valid"));

        QFile file(path(QStringLiteral("signed")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Payload);
        file.close();
        QFile signatureFile(path(QStringLiteral("signed.minisig")));
        QVERIFY(signatureFile.open(QIODevice::WriteOnly));
        signatureFile.write(signature);
        signatureFile.close();
        QStringList arguments { QStringLiteral("-V"), QStringLiteral("-q"),
                                QStringLiteral("-P"), QString::fromLatin1(signer.publicKeyLine()),
                                QStringLiteral("-m"), file.fileName() };
        if (!legacy)
            arguments << QStringLiteral("-H"); // insists on the prehashed form
        QVERIFY(minisign(arguments));
    }
};

QTEST_MAIN(TestMinisign)
#include "tst_minisign.moc"
