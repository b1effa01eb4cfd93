#include "engine/recentlist.h"

#include "engine/mainwindowinterface.h"
#include "engine/playlistfile.h"
#include "engine/protocol.h"
#include "platform/events.h"
#include "platform/tag.h"

#include <QAction>
#include <QPointer>

namespace kivaro {

namespace {

const char *const CaptionProperty = "kivaroCaption";

} // namespace

RecentList::RecentList(const Slots &entries, MainWindowAccess mainWindow, QObject *parent)
    : QObject(parent)
    , m_slots(entries)
    , m_mainWindow(std::move(mainWindow))
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        setCaption(slot, slotName(slot));
        m_slots[slot]->setVisible(false);
    }
}

QString RecentList::slotName(int slot)
{
    return QStringLiteral("vb%1").arg(slot + 1);
}

QString RecentList::caption(int slot) const
{
    return m_slots.at(slot)->property(CaptionProperty).toString();
}

void RecentList::setCaption(int slot, const QString &caption)
{
    QAction *entry = m_slots.at(slot);
    entry->setProperty(CaptionProperty, caption);
    // In a menu "&" marks an access key; a title shows its "&" as it is.
    entry->setText(QString(caption).replace(QLatin1Char('&'), QLatin1String("&&")));
}

QString RecentList::query(int slot) const
{
    return tag(m_slots.at(slot));
}

int RecentList::count() const
{
    int filled = 0;
    while (filled < SlotCount && !isEmpty(filled))
        ++filled;
    return filled;
}

void RecentList::Add(const QString &title)
{
    // Only a title that a search has found is worth keeping: wait for one, for as long as it takes.
    // Events flow meanwhile, so the user can search on, and further adds wait inside this one and
    // finish before it.
    const QPointer<RecentList> self(this);
    while (m_mainWindow().searchResultFlag().isEmpty()) {
        letEventsRun(EventWait::Block);
        if (!self)
            return;
    }
    if (lists(title))
        return;
    MainWindowInterface &main = m_mainWindow();
    if (main.searchResultFlag() != protocol::SearchResultFound)
        return;
    putOnTop(title, main.searchText());
}

bool RecentList::lists(const QString &title) const
{
    // Empty slots take part with their names: a title "VB7" is never added.
    const QString lowered = title.toLower();
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (caption(slot).toLower() == lowered)
            return true;
    }
    return false;
}

void RecentList::putOnTop(const QString &title, const QString &titleQuery)
{
    int last = SlotCount - 1; // a full list drops its oldest entry
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (isEmpty(slot)) {
            m_slots[slot]->setVisible(true);
            last = slot;
            break;
        }
    }
    for (int slot = last; slot > 0; --slot) {
        setCaption(slot, caption(slot - 1));
        setTag(m_slots[slot], query(slot - 1));
    }
    setCaption(0, title);
    setTag(m_slots[0], titleQuery);
}

bool RecentList::save(const QString &productFolder, QString *error) const
{
    QList<PlaylistEntry> entries;
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (!isEmpty(slot))
            entries.append({ caption(slot), query(slot) });
    }
    return PlaylistFile(productFolder).save(entries, error);
}

void RecentList::load(const QString &productFolder)
{
    const QString noted = m_mainWindow().searchText();
    const QStringList fields = PlaylistFile(productFolder).readFields();
    // Every Add may wait for a found video and lets events run meanwhile: the main window is
    // reached afresh after each one.
    const QPointer<RecentList> self(this);
    for (const QString &field : fields) {
        if (field.isEmpty())
            continue;
        const PlaylistEntry entry = PlaylistFile::splitField(field);
        if (entry.hasQuery)
            m_mainWindow().setSearchText(entry.query);
        Add(entry.title);
        if (!self)
            return;
    }
    m_mainWindow().setSearchText(noted);
}

} // namespace kivaro
