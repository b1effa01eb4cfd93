#pragma once

#include "engine/mainwindowinterface.h"
#include "recordingplayer.h"

#include <QStringList>

namespace kivaro::test {

// The engine's view of the main window, recording what the engine does to it. Every change is
// also logged in `events`, so a test can check the order of effects.
class FakeMainWindow : public MainWindowInterface
{
public:
    Player &flash() override
    {
        events.append(QStringLiteral("flash"));
        return player;
    }
    QString searchResultFlag() const override { return flag; }
    void setSearchResultFlag(const QString &value) override
    {
        events.append(QStringLiteral("flag=") + value);
        flag = value;
    }
    QString titleCaption() const override { return title; }
    void setTitleCaption(const QString &value) override
    {
        events.append(QStringLiteral("title=") + value);
        title = value;
    }
    QString searchText() const override { return search; }
    void setSearchText(const QString &value) override { search = value; }
    void focusSearchBox() override { events.append(QStringLiteral("focus")); }
    void showSkinChooser() override { ++skinChooserShown; }
    void showNotice(const QString &text) override { notices.append(text); }

    RecordingPlayer player;
    QString flag;
    QString title = QStringLiteral("?");
    QString search;
    QStringList notices;
    QStringList events;
    int skinChooserShown = 0;
};

} // namespace kivaro::test
