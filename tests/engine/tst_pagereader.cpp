#include "engine/pagereader.h"

#include <QTest>

using namespace kivaro;

class TestPageReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cut_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("end");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QByteArray>("piece");

        const QByteArray marker = "a href=\"/watch?v=";
        QTest::newRow("identifier up to its quote")
            << QByteArray("x a href=\"/watch?v=AbCdEfGhIjK\" class=y") << marker << QByteArray("\"") << true
            << QByteArray("AbCdEfGhIjK");
        QTest::newRow("first of two results wins")
            << QByteArray("a href=\"/watch?v=first\"...a href=\"/watch?v=second\"") << marker << QByteArray("\"")
            << true << QByteArray("first");
        QTest::newRow("no terminator: up to the next marker")
            << QByteArray("a href=\"/watch?v=one two a href=\"/watch?v=three") << marker << QByteArray("\"")
            << true << QByteArray("one two ");
        QTest::newRow("no terminator, no second marker: to the end")
            << QByteArray("head a href=\"/watch?v=tail of page") << marker << QByteArray("\"") << true
            << QByteArray("tail of page");
        QTest::newRow("terminator only after the next marker")
            << QByteArray("a href=\"/watch?v=abc a href=\"/watch?v=def\"") << marker << QByteArray("\"") << true
            << QByteArray("abc ");
        QTest::newRow("empty piece") << QByteArray("a href=\"/watch?v=\"rest") << marker << QByteArray("\"") << true
                                     << QByteArray();
        QTest::newRow("marker at the very end") << QByteArray("page a href=\"/watch?v=") << marker
                                                << QByteArray("\"") << true << QByteArray();
        QTest::newRow("marker missing") << QByteArray("<html>no results</html>") << marker << QByteArray("\"")
                                        << false << QByteArray();
        QTest::newRow("other letter case is not the marker")
            << QByteArray("A HREF=\"/watch?v=abc\"") << marker << QByteArray("\"") << false << QByteArray();
        QTest::newRow("marker cut short is not the marker")
            << QByteArray("a href=\"/watch?") << marker << QByteArray("\"") << false << QByteArray();
        QTest::newRow("next start overlapping the end text")
            << QByteArray("S\"x piece S\"x rest\"") << QByteArray("S\"x") << QByteArray("\"") << true
            << QByteArray(" piece ");
        QTest::newRow("next start straddling the end text")
            << QByteArray("ab\"c-xab\"c") << QByteArray("ab\"c") << QByteArray("\"c") << true << QByteArray("-x");
        QTest::newRow("empty end text") << QByteArray("<t>abc") << QByteArray("<t>") << QByteArray() << true
                                        << QByteArray();
        QTest::newRow("headers count as page")
            << QByteArray("HTTP/1.0 200 OK\r\nX-Link: a href=\"/watch?v=hdr\"\r\n\r\na href=\"/watch?v=body\"")
            << marker << QByteArray("\"") << true << QByteArray("hdr");
        QTest::newRow("title with line breaks kept")
            << QByteArray("<title>\n  YouTube - A - B\n</title>") << QByteArray("<title>") << QByteArray("</title>")
            << true << QByteArray("\n  YouTube - A - B\n");
        QTest::newRow("bytes beyond ASCII pass through")
            << QByteArray("<title>Caf\xc3\xa9</title>") << QByteArray("<title>") << QByteArray("</title>") << true
            << QByteArray("Caf\xc3\xa9");
        QTest::newRow("nul bytes in the page") << QByteArray("\0\0<title>a\0b</title>", 20) << QByteArray("<title>")
                                               << QByteArray("</title>") << true << QByteArray("a\0b", 3);
    }

    void cut()
    {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, end);
        QFETCH(bool, found);
        QFETCH(QByteArray, piece);

        const auto result = cutPiece(page, start, QByteArrayView(end));
        QCOMPARE(result.has_value(), found);
        if (found)
            QCOMPARE(result->toByteArray(), piece);
    }

    void endThatCannotOccurRunsToNextStart()
    {
        const auto result = cutPiece("S abc S def", "S", std::nullopt);
        QVERIFY(result);
        QCOMPARE(result->toByteArray(), QByteArray(" abc "));
    }

    void markersBeyondOneByte()
    {
        QVERIFY(singleByteText(QStringLiteral("a href=\"")));
        QCOMPARE(*singleByteText(QStringLiteral("caf\u00e9")), QByteArray("caf\xe9"));
        QVERIFY(!singleByteText(QStringLiteral("\u2192")));
    }

    void characterReferences_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("plain") << QStringLiteral("Red Band") << QStringLiteral("Red Band");
        QTest::newRow("named") << QStringLiteral("Kite &amp; Compass &lt;3 &quot;x&quot; &apos;")
                               << QStringLiteral("Kite & Compass <3 \"x\" '");
        QTest::newRow("numeric") << QStringLiteral("Caf&#233; &#x263A; &#X263a;")
                                 << QStringLiteral("Caf\u00e9 \u263a \u263a");
        QTest::newRow("beyond the basic plane") << QStringLiteral("&#x1F3B5;") << QStringLiteral("\U0001F3B5");
        QTest::newRow("decoded once only") << QStringLiteral("&amp;amp;") << QStringLiteral("&amp;");
        QTest::newRow("not references") << QStringLiteral("AT&T & co &bogus; &#; &#xZZ; &#0; &#xD800; &#99999999;")
                                        << QStringLiteral("AT&T & co &bogus; &#; &#xZZ; &#0; &#xD800; &#99999999;");
        QTest::newRow("unterminated at the end") << QStringLiteral("a &amp") << QStringLiteral("a &amp");
        QTest::newRow("eleven characters with the semicolon") << QStringLiteral("&#00000233;") << QStringLiteral("\u00e9");
        QTest::newRow("twelve is too long") << QStringLiteral("&#000000233;") << QStringLiteral("&#000000233;");
        // A hostile title: each "&" once looked for its ";" through the whole rest of the text.
        const QString ampersands(4 * 1024 * 1024, QLatin1Char('&'));
        QTest::newRow("four million ampersands") << ampersands << ampersands;
        QTest::newRow("ampersands, then one far semicolon") << ampersands + QLatin1Char(';') << ampersands + QLatin1Char(';');
    }

    void characterReferences()
    {
        QFETCH(QString, text);
        QFETCH(QString, decoded);
        QCOMPARE(decodeCharacterReferences(text), decoded);
    }

    void videoPageTitle_data()
    {
        QTest::addColumn<QByteArray>("title"); // between <title> and </title>
        QTest::addColumn<QString>("shown");

        const QByteArray a1024(1024, 'a');
        QTest::newRow("prefix removed, references decoded")
            << QByteArray("YouTube - A &amp; B") << QStringLiteral("A & B");
        QTest::newRow("1024 characters kept whole") << a1024 << QString::fromLatin1(a1024);
        QTest::newRow("1025 cut to 1024") << a1024 + 'b' << QString::fromLatin1(a1024);
        QTest::newRow("counted after the prefix and references go")
            << "YouTube - &amp;" + a1024 << QLatin1Char('&') + QString::fromLatin1(a1024.left(1023));
        QTest::newRow("no half character at the cut")
            << a1024.left(1023) + "\xf0\x9f\x8e\xb5" << QString::fromLatin1(a1024.left(1023));
        QTest::newRow("a whole one just before it") << a1024.left(1022)
                + "\xf0\x9f\x8e\xb5" << QString::fromLatin1(a1024.left(1022)) + QStringLiteral("\U0001F3B5");
    }

    void videoPageTitle()
    {
        QFETCH(QByteArray, title);
        QFETCH(QString, shown);
        const QByteArray page
            = "<title>" + title + "</title>var fo = new SWFObject(\"/player2.swf?video_id=v\"";
        const auto video = cutVideoPage(
            page, QStringLiteral("var fo = new SWFObject(\"/player2.swf?video_id="), QStringLiteral("\""));
        QVERIFY(video);
        QCOMPARE(video->parameters, QStringLiteral("v"));
        QCOMPARE(video->title, std::optional<QString>(shown));
    }

    void controlBytes_data()
    {
        QTest::addColumn<QByteArray>("piece");
        QTest::addColumn<bool>("control");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("NUL") << QByteArray(1, '\0') << true;
        QTest::newRow("0x1f, the last control byte") << QByteArray("ab\x1f") << true;
        QTest::newRow("space") << QByteArray("a b") << false;
        QTest::newRow("DEL") << QByteArray("\x7f") << false;
        QTest::newRow("UTF-8 beyond ASCII") << QByteArray("caf\xc3\xa9") << false;
        QTest::newRow("CR LF at the end") << QByteArray("id\r\n") << true;
    }

    void controlBytes()
    {
        QFETCH(QByteArray, piece);
        QFETCH(bool, control);
        QCOMPARE(hasControlBytes(piece), control);
    }

};

QTEST_GUILESS_MAIN(TestPageReader)
#include "tst_pagereader.moc"
