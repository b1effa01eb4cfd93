// minisign's keys and signatures: read and checked against files signed by the stock minisign
// program and by libsodium directly, and against every way a signature can be forged or broken.

#include "platform/minisignkey.h"
#include "platform/minisignsignature.h"
#include "signer.h"
#include "testhelpers.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace kivaro;
using kivaro::test::writeFile;
using Check = MinisignSignature::Check;

namespace {

constexpr int ProgramTimeoutMs = 30000;
const QByteArray Payload = "#!/bin/sh\necho installing release 4\n" + QByteArray(3000, '#') + "\n";
const QByteArray Comment = "release=4 file:NewVers.exe";

QString outcome(const std::optional<MinisignSignature> &signature, const MinisignKey &key,
                QByteArrayView file)
{
    static const char *const Outcomes[] = { "valid", "wrong key", "bad signature", "bad trusted comment" };
    return QString::fromLatin1(signature ? Outcomes[int(signature->verify(key, file))] : "unreadable");
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
        if (!writeFile(path(QStringLiteral("payload")), payload))
            return {};
        QStringList arguments { QStringLiteral("-S"),
                                QStringLiteral("-s"),
                                path(key + QLatin1String(".key")),
                                QStringLiteral("-m"),
                                path(QStringLiteral("payload")),
                                QStringLiteral("-t"),
                                QString::fromUtf8(comment) };
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

    // Each against the vendor's key.
    void verify_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const QByteArray &signature, const char *expected,
                      const QByteArray &file = Payload) {
            QTest::newRow(name) << signature << file << QString::fromLatin1(expected);
        };

        const QByteArray prehashed = signedByMinisign(QStringLiteral("vendor"), false);
        const QByteArray legacy = signedByMinisign(QStringLiteral("vendor"), true);
        const QByteArray byOther = signedByMinisign(QStringLiteral("other"), false);
        // Another file: Ed25519 signs the same bytes the same way every time.
        const QByteArray otherComment
            = signedByMinisign(QStringLiteral("vendor"), false, "release=3 file:NewVers.exe", "older\n");
        for (const QByteArray *made : { &prehashed, &legacy, &byOther, &otherComment })
            QVERIFY(!made->isEmpty());
        QByteArray tamperedFile = Payload;
        tamperedFile[20] = tamperedFile.at(20) ^ 1;
        const QByteArray vendorId = QByteArray::fromBase64(lines(prehashed).at(1)).mid(2, 8);
        QList<QByteArray> mixed = lines(prehashed);
        mixed[2] = lines(otherComment).at(2);
        mixed[3] = lines(otherComment).at(3);

        row("minisign, prehashed", prehashed, "valid");
        row("minisign, legacy", legacy, "valid");
        row("CR LF line ends", QByteArray(prehashed).replace("\n", "\r\n"), "valid");
        row("another key", byOther, "wrong key");
        row("another key wearing our key id",
            withSignatureLine(byOther, [&](QByteArray &blob) { blob.replace(2, 8, vendorId); }),
            "bad signature");
        row("file changed, prehashed", prehashed, "bad signature", tamperedFile);
        row("file changed, legacy", legacy, "bad signature", tamperedFile);
        row("file cut short", prehashed, "bad signature", Payload.chopped(1));
        row("prehashed passed off as legacy",
            withSignatureLine(prehashed, [](QByteArray &blob) { blob[1] = 'd'; }), "bad signature");
        row("legacy passed off as prehashed",
            withSignatureLine(legacy, [](QByteArray &blob) { blob[1] = 'D'; }), "bad signature");
        row("trusted comment changed", QByteArray(prehashed).replace("release=4", "release=5"),
            "bad trusted comment");
        row("trusted comment of another signature", joined(mixed), "bad trusted comment");
        row("untrusted comment changed",
            QByteArray(prehashed).replace("untrusted comment: ", "untrusted comment: anything "), "valid");
        row("cut after the trusted comment", joined(lines(prehashed).mid(0, 3)), "unreadable");
        row("cut in the signature line", prehashed.left(prehashed.indexOf('\n') + 40), "unreadable");
        row("a line more", prehashed + "trusted comment: release=9\n", "unreadable");
        row("no untrusted comment line", joined(lines(prehashed).mid(1)) + "\n", "unreadable");
        row("unknown algorithm", withSignatureLine(prehashed, [](QByteArray &blob) { blob[0] = 'X'; }),
            "unreadable");
        row("an HTML page", "<html><body>Not Found</body></html>\n", "unreadable");
        row("empty", QByteArray(), "unreadable");
    }

    void verify()
    {
        QFETCH(QByteArray, signature);
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QCOMPARE(outcome(MinisignSignature::read(signature), publicKey(QStringLiteral("vendor")), file),
                 expected);
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

        QVERIFY(writeFile(path(QStringLiteral("signed")), Payload)
                && writeFile(path(QStringLiteral("signed.minisig")), signature));
        QStringList arguments { QStringLiteral("-V"), QStringLiteral("-q"),
                                QStringLiteral("-P"), QString::fromLatin1(signer.publicKeyLine()),
                                QStringLiteral("-m"), path(QStringLiteral("signed")) };
        if (!legacy)
            arguments << QStringLiteral("-H"); // insists on the prehashed form
        QVERIFY(minisign(arguments));
    }
};

QTEST_MAIN(TestMinisign)
#include "tst_minisign.moc"
