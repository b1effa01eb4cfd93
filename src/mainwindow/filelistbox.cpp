#include "mainwindow/filelistbox.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace kivaro {

namespace {

constexpr int FolderRole = Qt::UserRole;

} // namespace

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

bool FileListBox::matches(const QString &name, const QString &pattern)
{
    if (pattern == QLatin1String("*.*"))
        return true;
    const QRegularExpression wildcard(QRegularExpression::wildcardToRegularExpression(pattern),
                                      QRegularExpression::CaseInsensitiveOption);
    return wildcard.match(name).hasMatch();
}

QStringList FileListBox::matchingFiles(const QString &folder, const QString &pattern)
{
    QStringList names = QDir(folder).entryList(QDir::Files, QDir::Unsorted);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&pattern](const QString &name) { return !matches(name, pattern); }),
                names.end());
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return QFile::encodeName(a) < QFile::encodeName(b); });
    return names;
}

bool FileListBox::setPath(const QString &folder)
{
    clear();
    if (!QFileInfo(folder).isDir())
        return false;
    addPath(folder);
    return true;
}

void FileListBox::addPath(const QString &folder, const std::function<bool(const QString &)> &keep)
{
    for (const QString &name : matchingFiles(folder, m_pattern)) {
        if (keep && !keep(name))
            continue;
        auto *entry = new QListWidgetItem(name, this);
        entry->setData(FolderRole, folder);
    }
}

QString FileListBox::fileName(int row) const
{
    const QListWidgetItem *entry = item(row);
    return entry ? entry->text() : QString();
}

QString FileListBox::folderOf(int row) const
{
    const QListWidgetItem *entry = item(row);
    return entry ? entry->data(FolderRole).toString() : QString();
}

} // namespace kivaro
