#include "pages.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <cmath>
#include <numbers>

namespace kivaro::demo {

namespace {

QByteArray html(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

// Deterministic per-track numbers (tokens, tunes) from the identifier.
QByteArray digest(const QString &id)
{
    return QCryptographicHash::hash(id.toUtf8(), QCryptographicHash::Sha1);
}

QByteArray pageHead(const QString &title)
{
    QByteArray page;
    page += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
            "<html lang=\"en\">\n<head>\n"
            "<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\">\n";
    page += "<title>" + html(title) + "</title>\n";
    page += "<link rel=\"stylesheet\" href=\"/css/base_all.css\" type=\"text/css\">\n"
            "<link rel=\"search\" type=\"application/opensearchdescription+xml\" href=\"/opensearch.xml\" "
            "title=\"Video Search\">\n"
            "<script type=\"text/javascript\" src=\"/js/ui_base.js\"></script>\n"
            "<script type=\"text/javascript\">\n"
            "  var gLoggedIn = false; var gPageLang = \"en\"; var gXSRF = \"4f7a1b9c\";\n"
            "  function toggleDisplay(id) { var e = document.getElementById(id);\n"
            "    e.style.display = (e.style.display == 'none') ? 'block' : 'none'; }\n"
            "</script>\n</head>\n";
    return page;
}

QByteArray masthead()
{
    QByteArray page;
    page += "<body>\n<div id=\"baseDiv\">\n<div id=\"masthead\">\n"
            "  <a href=\"/\" class=\"logo\"><img src=\"/img/logo_sm.gif\" width=\"120\" height=\"48\" "
            "alt=\"Home\" border=\"0\"></a>\n"
            "  <div id=\"utilDiv\"><a href=\"/signup\">Sign Up</a> | <a href=\"/my_account\">Account</a> | "
            "<a href=\"/t/help_center\">Help</a> | <a href=\"/login\">Log In</a></div>\n"
            "  <div id=\"searchDiv\"><form name=\"searchForm\" action=\"/results\" method=\"get\">\n"
            "    <input type=\"text\" name=\"search_query\" maxlength=\"128\" class=\"searchField\">\n"
            "    <input type=\"submit\" name=\"search\" value=\"Search\"></form></div>\n"
            "  <div id=\"gNavDiv\"><a href=\"/\">Home</a> <a href=\"/browse?s=mp\">Videos</a> "
            "<a href=\"/members\">Channels</a> <a href=\"/community\">Community</a></div>\n"
            "</div>\n";
    return page;
}

QByteArray footer()
{
    QByteArray page;
    page += "<div id=\"footerDiv\">\n"
            "  <a href=\"/t/about\">About</a> | <a href=\"/t/privacy\">Privacy</a> | "
            "<a href=\"/t/terms\">Terms of Use</a> | <a href=\"/t/copyright_notice\">Copyright Notice</a>\n"
            "  <p class=\"copyright\">&copy; 2026 Demo Video Site. Every title here is made up.</p>\n"
            "</div>\n</div>\n</body>\n</html>\n";
    return page;
}

QByteArray token(const Track &track)
{
    return digest(track.id).toHex().left(24);
}

} // namespace

QByteArray searchPage(const QString &query, const QList<const Track *> &results)
{
    QByteArray page = pageHead(QStringLiteral("YouTube - Search results for ") + query);
    page += masthead();
    page += "<div id=\"sideAdDiv\"><iframe src=\"/ads/side?q=music\" width=\"160\" height=\"600\" "
            "frameborder=\"0\" scrolling=\"no\"></iframe></div>\n";
    page += "<div id=\"mainContent\">\n<div class=\"searchHeader\">Results <b>1</b> - <b>"
        + QByteArray::number(results.size()) + "</b> of about <b>" + QByteArray::number(results.size())
        + "</b> for <b>" + html(query) + "</b></div>\n";
    if (results.isEmpty()) {
        page += "<div class=\"noResults\">No videos found for <b>" + html(query)
            + "</b>. Check the spelling, or try fewer words.</div>\n";
    }
    int rank = 0;
    for (const Track *track : results) {
        ++rank;
        const QByteArray id = track->id.toUtf8();
        const QByteArray title = html(track->title());
        const QByteArray minutes = QByteArray::number(track->seconds / 60) + ':'
            + QByteArray::number(track->seconds % 60).rightJustified(2, '0');
        page += "<div class=\"vEntry\" id=\"result" + QByteArray::number(rank) + "\">\n"
            "  <div class=\"vThumb\"><a href=\"/watch?v=" + id + "\" class=\"vLink\" rel=\"nofollow\">"
            "<img src=\"/vi/" + id + "/default.jpg\" class=\"vimg120\" width=\"120\" height=\"90\" alt=\"video\">"
            "</a><span class=\"runtime\">" + minutes + "</span></div>\n"
            "  <div class=\"vTitle\"><a href=\"/watch?v=" + id + "\" title=\"" + title + "\">" + title
            + "</a></div>\n"
            "  <div class=\"vDesc\">The official music video of " + html(track->song) + " by "
            + html(track->artist) + ". Subscribe for more.</div>\n"
            "  <div class=\"vFacets\">Added: 2 years ago &middot; From: <a href=\"/user/"
            + html(track->artist).replace(' ', "") + "\">" + html(track->artist) + "</a> &middot; Views: "
            + QByteArray::number(1000 + 37 * rank * track->seconds) + "</div>\n"
            "</div>\n";
    }
    page += "<div class=\"pagingDiv\">Result page: <span class=\"pagerCurrent\">1</span></div>\n</div>\n";
    page += footer();
    return page;
}

QByteArray videoPage(const Track &track)
{
    const QByteArray id = track.id.toUtf8();
    QByteArray page = pageHead(QStringLiteral("YouTube - ") + track.title());
    page += masthead();
    page += "<div id=\"watch-this-vid\">\n<h1 id=\"video_title\">" + html(track.title()) + "</h1>\n"
            "<div id=\"watch-player-div\" class=\"flash-player\">\n"
            "  <div id=\"playerDiv\">You need a newer player to watch this video.</div>\n"
            "  <script type=\"text/javascript\">\n"
            "    var fo = new SWFObject(\"/player2.swf?video_id=" + id + "&l="
        + QByteArray::number(track.seconds) + "&t=" + token(track) + "&soff=1\", \"movie_player\", "
            "\"480\", \"395\", 7, \"#FFFFFF\");\n"
            "    fo.addParam(\"allowfullscreen\", \"true\");\n"
            "    fo.write(\"playerDiv\");\n"
            "  </script>\n</div>\n"
            "<div id=\"watch-channel-vids-div\"><div class=\"headerTitle\">More from: " + html(track.artist)
        + "</div></div>\n"
            "<div id=\"watch-comments-stats\">Comments &amp; Responses</div>\n"
            "<div class=\"commentEntry\"><a href=\"/user/listener\">listener</a>: great song!</div>\n"
            "</div>\n";
    page += footer();
    return page;
}

QByteArray missingVideoPage(const QString &id)
{
    QByteArray page = pageHead(QStringLiteral("YouTube - Video unavailable"));
    page += masthead();
    page += "<div class=\"errorBox\">The video \"" + html(id) + "\" is not available.</div>\n";
    page += footer();
    return page;
}

QByteArray shopPage(const QString &searchString)
{
    QByteArray page;
    page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\"><title>Record Shop - "
        + html(searchString) + "</title></head>\n<body>\n<h1>Record Shop</h1>\n"
        "<p>All releases by <b>" + html(searchString) + "</b>: CDs, vinyl and downloads.</p>\n"
        "<ul><li>Greatest Hits (CD)</li><li>Live at the Harbour (2 LP)</li></ul>\n</body>\n</html>\n";
    return page;
}

QByteArray indexPage(const Catalogue &catalogue, quint16 port)
{
    QByteArray page = pageHead(QStringLiteral("YouTube - Broadcast Yourself."));
    page += masthead();
    page += "<h2>Demo catalogue on port " + QByteArray::number(port) + "</h2>\n<ul>\n";
    for (const Track &track : catalogue.tracks())
        page += "<li><a href=\"/watch?v=" + track.id.toUtf8() + "\">" + html(track.title()) + "</a></li>\n";
    page += "</ul>\n";
    page += footer();
    return page;
}

QByteArray melodyWav(const Track &track)
{
    constexpr int SampleRate = 22050;
    constexpr int NoteSamples = SampleRate / 4; // quavers at 120 beats a minute
    constexpr int Notes = 24;                   // six seconds
    constexpr double Volume = 9000.0;
    // A major pentatonic scale over two octaves from A3, so every tune sounds pleasant.
    constexpr double Scale[] = {220.0, 246.94, 277.18, 329.63, 369.99,
                                440.0, 493.88, 554.37, 659.25, 739.99};

    const QByteArray seed = digest(track.id);
    const qint64 samples = qint64(Notes) * NoteSamples;
    QByteArray wav(44 + samples * 2, Qt::Uninitialized);
    char *out = wav.data();
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, out + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, out + at); };
    memcpy(out, "RIFF", 4);
    put32(4, quint32(36 + samples * 2));
    memcpy(out + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1); // PCM
    put16(22, 1); // mono
    put32(24, SampleRate);
    put32(28, SampleRate * 2);
    put16(32, 2);
    put16(34, 16);
    memcpy(out + 36, "data", 4);
    put32(40, quint32(samples * 2));

    int degree = quint8(seed.at(0)) % 5;
    for (int note = 0; note < Notes; ++note) {
        // A melody walks the scale in small steps, as tunes do.
        const int step = int(quint8(seed.at(note % seed.size())) % 5) - 2;
        degree = std::clamp(degree + step, 0, int(std::size(Scale)) - 1);
        const double frequency = Scale[degree];
        for (int i = 0; i < NoteSamples; ++i) {
            const double t = double(i) / SampleRate;
            // A quick attack and a soft decay keep the notes apart without clicks.
            const double envelope = std::min(1.0, i / 200.0) * std::exp(-3.0 * t);
            const double tone = std::sin(2 * std::numbers::pi * frequency * t)
                + 0.3 * std::sin(4 * std::numbers::pi * frequency * t);
            const auto sample = qint16(std::lround(Volume * envelope * tone));
            qToLittleEndian(sample, out + 44 + (qint64(note) * NoteSamples + i) * 2);
        }
    }
    return wav;
}

QByteArray installerScript(const QString &release)
{
    return "#!/bin/sh\n"
           "# Kivaro demo installer: it installs nothing, it only shows that it was started.\n"
           "echo \"Kivaro installer for release " + release.toUtf8() + " started with: $*\"\n"
           "exit 0\n";
}

} // namespace kivaro::demo
