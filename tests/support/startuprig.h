#pragma once

#include "app/windows.h"
#include "loopbackserver.h"
#include "platform/minisignkey.h"
#include "recordingplayer.h"
#include "scriptedhttpserver.h"
#include "signer.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace kivaro::test {

// The program's windows against a vendor site and a video site on loopback, with a temporary
// directory of their own (so that anything left behind in it shows), a recording player, and a
// splash that stands for a minute unless a test says otherwise. The vendor's key is the signer's,
// unless a test gives another.
struct StartupRig
{
    static constexpr int StandingSplashMs = 60'000;

    QTemporaryDir temp; // made before TMPDIR points into it
    QByteArray savedTmpDir = qgetenv("TMPDIR");
    demo::Signer signer;
    ScriptedHttpServer vendor;
    LoopbackServer site;
    std::unique_ptr<Windows> windows;
    // What happened, in order: "ended" when the program was ended; tests add their own.
    QStringList events;

    explicit StartupRig(const QString &vendorAddress = QString(), const QByteArray &vendorKey = QByteArray())
    {
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        if (!vendor.listen() || !site.listen())
            qFatal("cannot listen on loopback");
        // The default search only has to be seen to start.
        site.setScript([](const QByteArray &) { return LoopbackServer::Reply { {}, 0, false, true }; });
        Settings settings;
        settings.site = QUrl(site.address());
        settings.vendor = QUrl(vendorAddress.isEmpty() ? vendor.url(QString()) : vendorAddress);
        const std::optional<MinisignKey> key
            = MinisignKey::read(vendorKey.isEmpty() ? signer.publicKeyLine() : vendorKey);
        if (!key)
            qFatal("not a vendor key");
        settings.vendorKey = *key;
        windows = std::make_unique<Windows>(
            settings, [] { return std::make_unique<RecordingPlayer>(); },
            [this] { events.append(QStringLiteral("ended")); });
        windows->setSplashInterval(StandingSplashMs);
    }

    ~StartupRig()
    {
        windows.reset();
        qputenv("TMPDIR", savedTmpDir);
    }

    // A file as the vendor's site serves it, and its signature, made with the signer's key.
    static ScriptedHttpServer::Reply served(const QByteArray &content)
    {
        return ScriptedHttpServer::reply("HTTP/1.0 200 OK", content);
    }
    ScriptedHttpServer::Reply signatureOf(const QByteArray &content, const QByteArray &trustedComment) const
    {
        return served(signer.sign(content, trustedComment));
    }

    QStringList leftovers() const
    {
        return QDir(temp.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

    // Whether the engine was asked for the default search.
    bool defaultSearchStarted()
    {
        return site.waitForConnections(1)
            && site.requestLines().constFirst().contains("search_query=Red+Band+-+Blue+Song+music+video");
    }
};

} // namespace kivaro::test
