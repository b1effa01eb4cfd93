#pragma once

#include <QListWidget>

#include <functional>

namespace kivaro {

// A list of the files of a folder whose names match a pattern, as the skin chooser's `File1`
// shows them. Each entry remembers the folder it was listed from, so one list can show several
// folders one after the other.
//
// Within a folder, names are listed in the byte order of their names on disk (as `LC_ALL=C ls`
// lists them): capitals before small letters, "IMN.gif" before "IMN.jpg" before "IMN.png".
class FileListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit FileListBox(QWidget *parent = nullptr);

    // A wildcard pattern ("*" any run of characters, "?" one character), matched regardless of
    // case. "*.*" is every file, also one without a "." in its name.
    QString Pattern() const { return m_pattern; }
    void setPattern(const QString &pattern) { m_pattern = pattern; }

    // Lists the matching files of `folder` in place of the list's entries; false, with an empty
    // list, when the folder does not exist.
    bool setPath(const QString &folder);
    // Adds the matching files of `folder` that `keep` accepts after the entries listed already.
    // A missing folder adds nothing.
    void addPath(const QString &folder, const std::function<bool(const QString &)> &keep = {});

    QString fileName(int row) const;
    QString folderOf(int row) const;

    // The names of the plain files in `folder` that match `pattern`, in the list's order.
    static QStringList matchingFiles(const QString &folder, const QString &pattern);
    static bool matches(const QString &name, const QString &pattern);

private:
    QString m_pattern = QStringLiteral("*.*");
};

} // namespace kivaro
