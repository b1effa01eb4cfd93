#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace kivaro {

// The host's per-instance store of a control's design-time settings: named values, read with a
// default and written in order. Keys are matched without regard to case unless the bag is made
// case-sensitive, so a bag written with "VALUE" is read back with "Value".
class PropertyBag
{
public:
    explicit PropertyBag(Qt::CaseSensitivity keyCase = Qt::CaseInsensitive)
        : m_keyCase(keyCase)
    { }

    bool contains(const QString &key) const { return indexOf(key) >= 0; }
    // The stored value, or defaultValue when the key is missing.
    QVariant read(const QString &key, const QVariant &defaultValue = {}) const;
    // Typed reads for loading a control: an entry that cannot be read as that type (or, for
    // numbers, lies outside the range) counts as missing. Colours are 32-bit numbers; a system-colour
    // code may come back as the negative number of the same bits.
    int readInt(const QString &key, int defaultValue) const;
    quint32 readColor(const QString &key, quint32 defaultValue) const;
    bool readBool(const QString &key, bool defaultValue) const;
    // Stores the value (replacing an entry under the same key, in its place).
    void write(const QString &key, const QVariant &value);
    // Stores the value unless it equals defaultValue; an entry left over from before is then
    // removed, so reading gives the default again.
    void write(const QString &key, const QVariant &value, const QVariant &defaultValue);
    void remove(const QString &key);
    void clear() { m_entries.clear(); }

    // The keys in the order they were first written, spelled as written.
    QStringList keys() const;
    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }

private:
    struct Entry
    {
        QString key;
        QVariant value;
    };
    qsizetype indexOf(const QString &key) const;

    QList<Entry> m_entries;
    Qt::CaseSensitivity m_keyCase;
};

} // namespace kivaro
