#include "platform/propertybag.h"

#include <limits>

namespace kivaro {

qsizetype PropertyBag::indexOf(const QString &key) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).key.compare(key, m_keyCase) == 0)
            return i;
    }
    return -1;
}

QVariant PropertyBag::read(const QString &key, const QVariant &defaultValue) const
{
    const qsizetype i = indexOf(key);
    return i >= 0 ? m_entries.at(i).value : defaultValue;
}

int PropertyBag::readInt(const QString &key, int defaultValue) const
{
    bool ok = false;
    const qlonglong value = read(key, defaultValue).toLongLong(&ok);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return defaultValue;
    return static_cast<int>(value);
}

quint32 PropertyBag::readColor(const QString &key, quint32 defaultValue) const
{
    bool ok = false;
    const qlonglong value = read(key, defaultValue).toLongLong(&ok);
    if (!ok || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<quint32>::max())
        return defaultValue;
    return static_cast<quint32>(static_cast<quint64>(value) & 0xffffffffu);
}

bool PropertyBag::readBool(const QString &key, bool defaultValue) const
{
    const QVariant value = read(key, defaultValue);
    return value.canConvert<bool>() ? value.toBool() : defaultValue;
}

void PropertyBag::write(const QString &key, const QVariant &value)
{
    const qsizetype i = indexOf(key);
    if (i >= 0)
        m_entries[i].value = value;
    else
        m_entries.append({ key, value });
}

void PropertyBag::write(const QString &key, const QVariant &value, const QVariant &defaultValue)
{
    if (value == defaultValue)
        remove(key);
    else
        write(key, value);
}

void PropertyBag::remove(const QString &key)
{
    const qsizetype i = indexOf(key);
    if (i >= 0)
        m_entries.removeAt(i);
}

QStringList PropertyBag::keys() const
{
    QStringList result;
    result.reserve(m_entries.size());
    for (const Entry &entry : m_entries)
        result.append(entry.key);
    return result;
}

} // namespace kivaro
