#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QProcessEnvironment;

namespace kivaro {

// The user's settings file, kivaro.conf: an INI file of "key = value" lines outside any group,
// read by a plain INI reader that never interprets a value. Lines starting with ";" or "#" are
// comments, and so is the rest of a line after " ;". Keys are the long option names; what they
// accept is the options' business.
class SettingsFile
{
public:
    // A settings file holds a few short lines; anything larger is not one.
    static constexpr qint64 MaxFileBytes = 64 * 1024;

    struct Entry
    {
        QString key;
        QString value; // trimmed, as written
        int line = 0;
    };

    // $XDG_CONFIG_HOME/kivaro/kivaro.conf, or ~/.config/kivaro/kivaro.conf when XDG_CONFIG_HOME is
    // not an absolute path. Empty when neither gives a folder.
    static QString path(const QProcessEnvironment &environment);

    explicit SettingsFile(QString path);

    // Reads the file. A missing file is an empty one. False, with errorString() and errorLine()
    // telling why, when it cannot be read or a line is not "key = value" outside a group, or a key
    // stands twice; entries() then holds the lines before that one. Keys are not checked against
    // any list here.
    bool load();
    // The same rules for the file's contents.
    bool parse(const QByteArray &contents);

    QString path() const { return m_path; }
    const QList<Entry> &entries() const { return m_entries; }
    QString errorString() const { return m_error; }
    int errorLine() const { return m_errorLine; } // 0 when the error is not about one line

private:
    QString m_path;
    QList<Entry> m_entries;
    QString m_error;
    int m_errorLine = 0;
};

} // namespace kivaro
