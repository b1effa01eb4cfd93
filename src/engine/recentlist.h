#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QAction;

namespace kivaro {

class MainWindowInterface;

// The recent list: up to ten titles the user chose to keep, newest first, each with the query that
// finds it again. It lives in the entries vb1 to vb10 of the engine's popup menu `voorb`: an entry's
// caption is the title, its tag the query. An empty entry has its own name ("vb1" ... "vb10") as
// caption and is hidden; the filled entries are always the first ones.
class RecentList : public QObject
{
    Q_OBJECT

public:
    static constexpr int SlotCount = 10;
    using Slots = std::array<QAction *, SlotCount>;
    // The main window is reached through this on every use, so that it is created on first use.
    using MainWindowAccess = std::function<MainWindowInterface &()>;

    // Takes the ten menu entries and empties them.
    RecentList(const Slots &entries, MainWindowAccess mainWindow, QObject *parent = nullptr);

    // A slot's caption (the title shown) and tag (its query). The caption is kept apart from the
    // menu text, where "&" would mark an access key. Slots count from 0 (vb1) to 9 (vb10).
    QString caption(int slot) const;
    void setCaption(int slot, const QString &caption);
    QString query(int slot) const;
    // A slot's own name, "vb1" to "vb10": the caption of an empty slot.
    static QString slotName(int slot);
    bool isEmpty(int slot) const { return caption(slot) == slotName(slot); }
    // The number of filled slots.
    int count() const;

    // Keeps a title found by the last search at the top of the list, with the search box's text as
    // its query. Waits for as long as the last search has not found its video, letting events run;
    // several calls may wait at once, and the one started last finishes first. A title listed
    // already (ignoring case, and the names of empty slots count) changes nothing.
    void Add(const QString &title);

    // The playlist file in the product folder: Save writes the filled slots, newest first; Load adds
    // the file's entries in file order, each through Add with its query in the search box, and then
    // puts back the search box's text.
    bool save(const QString &productFolder, QString *error = nullptr) const;
    void load(const QString &productFolder);

private:
    bool lists(const QString &title) const;
    void putOnTop(const QString &title, const QString &titleQuery);

    Slots m_slots;
    MainWindowAccess m_mainWindow;
};

} // namespace kivaro
