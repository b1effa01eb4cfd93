#pragma once

#include <QString>

class QFileDevice;

namespace kivaro {

// What the user keeps with Kivaro (the playlist, saved forms) is the user's alone: files are
// readable and writable by their owner only (0600), the folders Kivaro creates for them only by
// their owner (0700).

// Makes the folder and every missing folder above it, each 0700; folders that exist are left as
// they are. True when the folder exists afterwards.
bool makePrivatePath(const QString &path);
// Gives the open file (a QSaveFile's new file too) the mode 0600, whatever mode the umask or an
// older file of that name would give it.
bool makePrivate(QFileDevice &file);

} // namespace kivaro
