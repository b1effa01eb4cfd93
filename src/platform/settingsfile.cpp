#include "platform/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <cstring>
#include <ini.h>

namespace kivaro {

namespace {

const QLatin1String FileLocation("/kivaro/kivaro.conf");

// Hands the reader one line at a time, so that every key is known with its line, and refuses what
// the reader would otherwise cut short or stop at silently: a line longer than it takes, a NUL byte.
struct LineSource
{
    QByteArrayView rest;
    int line = 0;
    QString error;
    int errorLine = 0;
};

struct Collected
{
    LineSource *source = nullptr;
    QList<SettingsFile::Entry> entries;
    QString error;
    int errorLine = 0;
};

char *nextLine(char *buffer, int size, void *stream)
{
    auto *source = static_cast<LineSource *>(stream);
    if (source->rest.isEmpty() || !source->error.isEmpty())
        return nullptr;
    qsizetype end = source->rest.indexOf('\n');
    const qsizetype next = end < 0 ? source->rest.size() : end + 1;
    if (end < 0)
        end = source->rest.size();
    const QByteArrayView line = source->rest.first(end);
    source->rest = source->rest.sliced(next);
    ++source->line;
    if (line.contains('\0')) {
        source->error = QStringLiteral("the line holds a NUL byte: not a text file");
        source->errorLine = source->line;
        return nullptr;
    }
    if (line.size() > size - 1) {
        source->error = QStringLiteral("the line is longer than %1 characters").arg(size - 1);
        source->errorLine = source->line;
        return nullptr;
    }
    std::memcpy(buffer, line.data(), static_cast<size_t>(line.size()));
    buffer[line.size()] = '\0';
    return buffer;
}

int takeEntry(void *user, const char *section, const char *name, const char *value)
{
    auto *collected = static_cast<Collected *>(user);
    const int line = collected->source->line;
    auto fail = [&](const QString &message) {
        if (collected->error.isEmpty()) {
            collected->error = message;
            collected->errorLine = line;
        }
        return 0;
    };
    const QString key = QString::fromUtf8(name);
    // The reader also takes "key: value"; a key of two words is a line without "=", and so is none.
    if (key.isEmpty() || key.contains(QLatin1Char(' ')) || key.contains(QLatin1Char('\t')))
        return fail(QStringLiteral("the line is not \"key = value\""));
    if (*section != '\0')
        return fail(QStringLiteral("%1 stands in the group [%2]; the settings stand outside any group")
                        .arg(key, QString::fromUtf8(section)));
    for (const SettingsFile::Entry &entry : std::as_const(collected->entries)) {
        // The reader also calls a line that starts with a space a further value of the key before.
        if (entry.key == key)
            return fail(QStringLiteral("%1 is given again (first on line %2); each key once, on one line")
                            .arg(key)
                            .arg(entry.line));
    }
    collected->entries.append({ key, QString::fromUtf8(value), line });
    return 1;
}

} // namespace

QString SettingsFile::path(const QProcessEnvironment &environment)
{
    const QString configHome = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (QDir::isAbsolutePath(configHome))
        return QDir::cleanPath(configHome) + FileLocation;
    const QString home = environment.value(QStringLiteral("HOME"));
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QLatin1String("/.config")) + FileLocation;
    return {};
}

SettingsFile::SettingsFile(QString path)
    : m_path(std::move(path))
{ }

bool SettingsFile::load()
{
    m_entries.clear();
    m_error.clear();
    m_errorLine = 0;
    if (m_path.isEmpty() || !QFileInfo::exists(m_path))
        return true;
    QFile file(m_path);
    if (QFileInfo(m_path).isDir() || !file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot be read: %1")
                      .arg(QFileInfo(m_path).isDir() ? QStringLiteral("a folder") : file.errorString());
        return false;
    }
    const QByteArray contents = file.read(MaxFileBytes + 1);
    if (contents.size() > MaxFileBytes) {
        m_error = QStringLiteral("larger than %1 bytes: not a settings file").arg(MaxFileBytes);
        return false;
    }
    return parse(contents);
}

bool SettingsFile::parse(const QByteArray &contents)
{
    m_entries.clear();
    m_error.clear();
    m_errorLine = 0;
    LineSource source;
    source.rest = contents;
    Collected collected;
    collected.source = &source;
    const int syntaxLine = ini_parse_stream(nextLine, &source, takeEntry, &collected);
    if (!source.error.isEmpty()) {
        m_error = source.error;
        m_errorLine = source.errorLine;
    }
    // The reader reports the first line it could not read; a key refused above may come earlier.
    if (syntaxLine > 0 && (m_errorLine == 0 || syntaxLine < m_errorLine)
        && (collected.errorLine == 0 || syntaxLine < collected.errorLine)) {
        m_error = QStringLiteral("the line is not \"key = value\"");
        m_errorLine = syntaxLine;
    } else if (collected.errorLine > 0 && (m_errorLine == 0 || collected.errorLine < m_errorLine)) {
        m_error = collected.error;
        m_errorLine = collected.errorLine;
    }
    for (const Entry &entry : std::as_const(collected.entries)) {
        if (m_error.isEmpty() || entry.line < m_errorLine)
            m_entries.append(entry);
    }
    return m_error.isEmpty();
}

} // namespace kivaro
