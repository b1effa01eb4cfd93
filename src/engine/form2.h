#pragma once

#include "platform/pagebuffer.h"
#include "platform/settings.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace kivaro {

class MainWindowInterface;
class RecentList;
class Socket;
class YtDlpSearch;

// The engine window: it is never shown. It turns a query into the video site's search address,
// fetches the search page and then the first video's page over its socket, cuts the player
// parameters and the title out of them and hands the player address to the main window's player.
// It also owns the two popup menus the main window shows: `mnumnu` ("Menu") and `voorb` (the recent
// list).
//
// Its state lives where the window keeps it: in the texts and tags of its controls and in its
// caption, which holds the progress value ("Kivaro" before the first search, then "0", "20", "30").
class Form2 : public QWidget
{
    Q_OBJECT

public:
    // The main window is reached through this on every use, so that it is created on first use.
    using MainWindowAccess = std::function<MainWindowInterface &()>;

    Form2(const Settings &settings, MainWindowAccess mainWindow, QWidget *parent = nullptr);
    ~Form2() override;

    // Blanks the player, takes the query and starts the search. Returns once the search page's
    // request has been sent (or the connection has failed); the pages arrive later. With the yt-dlp
    // backend it returns once that program has been started; its answer arrives later.
    void Play(const QString &query);

    // The progress value, as the main window's progress frames read it.
    QString progressValue() const { return windowTitle(); }
    // The fetch stage mark: "" when the next close brings a search page, "a" for a video page.
    QString fetchStage() const;
    // The identifier cut from the last search page.
    QString videoIdentifier() const { return m_videoIdentifier; }

    // Whether a fetch is waiting for its connection, letting events run meanwhile (Play has not
    // returned yet, or a page reading is fetching the video's page).
    bool waitingForConnection() const { return m_connectionWaits > 0; }

    QString siteAddress() const { return m_siteAddress; }
    QString neutralAddress() const { return m_neutralAddress; }
    void setConnectTimeout(int milliseconds);

    // The design's controls. Text fields: the query, the fetch address and the connect host.
    QLineEdit *Text4 = nullptr; // the query handed to Play
    QLineEdit *Text2 = nullptr; // the fetch address, "URL:"
    QLineEdit *Text3 = nullptr; // the connect host, "Host:"
    PageBuffer Text1; // the page buffer (not the main window's search box Text1)
    Socket *sckTCP = nullptr; // the one connection; its tag is the fetch stage mark
    QLabel *Label3 = nullptr; // result marker; its tag is the marker's terminator
    QLabel *Label4 = nullptr; // player marker; its tag is the marker's terminator
    QPushButton *Command1 = nullptr; // "Get It": the fetch operation
    QPushButton *Command2 = nullptr; // "Play": the search operation

    // "Menu": Load Playlist, Save Playlist, separator, Stop Streaming, Choose Skin.
    QMenu *mnumnu = nullptr;
    QAction *mnuLoadH = nullptr;
    QAction *mnusaveH = nullptr;
    QAction *lin1 = nullptr;
    QAction *StpStream = nullptr;
    QAction *mnuSkin = nullptr;
    // The recent list: Add to playlist, separator, the ten slots vb1 (newest) to vb10.
    QMenu *voorb = nullptr;
    QAction *Addplay = nullptr;
    QAction *lin2 = nullptr;
    std::array<QAction *, 10> vb{};
    // What the ten slots hold, and adding, saving and loading them.
    RecentList *recentList = nullptr;
    // The yt-dlp backend, when the settings choose it; null for the design's own engine.
    YtDlpSearch *ytDlp = nullptr;

    enum class FetchResult {
        Sent,       // the request went out
        Failed,     // no connection could be made, or it closed first; the user has been told
        Superseded, // a newer fetch took the socket over while this one waited
    };

    // The search operation ("Play"): builds the search address from Text4 and fetches it.
    void searchOperation();
    // The fetch operation ("Get It"): requests Text2 from the host in Text3.
    FetchResult fetchOperation();

    // The playlist file `hist` in the product folder.
    QString playlistPath() const;

    // The search address for a query: every space becomes "+", nothing else is escaped.
    static QString searchAddress(const QString &siteAddress, const QString &query);
    // The exact request text for an absolute address.
    static QByteArray requestText(const QString &address);

Q_SIGNALS:
    // The engine gave the main window's player an address: a video's, or the neutral one that stops it.
    void playerAddressChanged(const QString &address);
    // The engine wrote a found video's title, in full, into the main window's title link.
    void titleChanged(const QString &title);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void writeProgress(const QString &value);
    void sckTCP_DataArrival(qint64 bytesTotal);
    void sckTCP_Close();
    void readSearchPage();
    void readVideoPage();
    void startVideo(const QString &address, const QString &title);
    void searchFailed(const QString &reason);
    void StpStream_Click();
    void vb_Click(int slot);
    void mnusaveH_Click();
    void mnuLoadH_Click();
    void noMusicFound();

    MainWindowAccess m_mainWindow;
    QString m_siteAddress;
    QString m_neutralAddress;
    QString m_productFolder;
    quint16 m_remotePort;
    QString m_videoIdentifier;
    int m_connectionWaits = 0;
};

} // namespace kivaro
