#include "platform/privatefiles.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QStringList>

#include <sys/stat.h>

namespace kivaro {

namespace {
constexpr QFileDevice::Permissions PrivateFolder
    = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr mode_t PrivateFileMode = S_IRUSR | S_IWUSR;
} // namespace

bool makePrivatePath(const QString &path)
{
    if (path.isEmpty())
        return false;
    // The missing folders, innermost last.
    QStringList missing;
    for (QString folder = QDir::cleanPath(QDir(path).absolutePath()); !QFileInfo::exists(folder);
         folder = QFileInfo(folder).path())
        missing.prepend(folder);
    for (const QString &folder : std::as_const(missing)) {
        // Another program may make it meanwhile; what counts is that it is there.
        if (!QDir().mkdir(folder, PrivateFolder) && !QFileInfo(folder).isDir())
            return false;
    }
    return QFileInfo(path).isDir();
}

bool makePrivate(QFileDevice &file)
{
    const int handle = file.handle();
    return handle >= 0 && ::fchmod(handle, PrivateFileMode) == 0;
}

} // namespace kivaro
