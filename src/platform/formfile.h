#pragma once

#include "platform/propertybag.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace kivaro {

// How one saved setting is spelled in a form file.
enum class FormValue {
    Integer, // a 32-bit whole number in decimal
    Colour, // red + 256 x green + 65,536 x blue in decimal; a system colour as its code (2147483663)
    Boolean, // true or false
    Text, // quoted when it holds ";", "," or "=" or begins or ends with a blank; see FormFile
    Picture, // a file path relative to the form file; empty for none
    Font, // family,size[,bold][,italic][,underline]
};

struct FormKey
{
    QString name;
    FormValue type;
};
// The keys a control keeps, with how each is spelled; a control's own list, in its saving order.
using FormSchema = QList<FormKey>;

// A form's saved settings on disk: an INI file, one group per control instance (any name, General
// too), each group holding the keys that control saves, written in the control's own order. The
// file is read by a plain INI reader (inih) and its values taken as text, never interpreted (no
// lists, no typed values): quotes, backslash escapes and names spelled %XX read as form files have
// always spelled them. Files and pictures are written whole before they replace old ones, readable
// by the user only. In a bag the values are typed:
// Integer an int, Colour a quint32 (ColorRef), Boolean a bool, Text a QString, Picture a QImage
// (null for none), Font a QFont.
//
// Keys are matched without regard to case (the file may say "btype" for "BTYPE"). Instances are
// listed in the order their groups stand in the file. Everything read from a form file is checked:
// a value that does not fit its key's spelling, a picture that cannot be read or a file that cannot
// be read gives false and a message for the user in errorString(); nothing is half-read.
class FormFile
{
public:
    // The largest form file and picture side accepted; anything larger is refused as damaged.
    static constexpr qint64 MaxFileBytes = 1024 * 1024;
    static constexpr int MaxPictureSide = 8192;
    // The pictures of one form together: 4096 x 4096 pixels, 64 MiB decoded. A form of fourteen
    // buttons with three pictures each stays far below it; a form that points at dozens of huge
    // pictures is refused before they are decoded.
    static constexpr qint64 MaxFormPicturePixels = qint64(4096) * 4096;
    // Pictures read from a file remember the file's absolute path under this image text key, so
    // saving the form again refers to the same file.
    static constexpr QLatin1String PictureSourceKey { "KivaroPictureSource" };

    explicit FormFile(const QString &path);

    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

    // Reads the whole file. A file without a control group is an error, and so is one that cannot
    // be read or is not an INI file (a line that is neither a [name], a key=value nor a comment).
    bool load();
    // The instance names in file order.
    QStringList instances() const;
    // Puts the instance's values for the schema's keys into bag, typed. Keys the file does not hold
    // are left out, so the control's defaults apply. An empty instance name means the first group.
    bool readInstance(const QString &instance, const FormSchema &schema, PropertyBag &bag);

    // Replaces (or adds) the instance's group with the bag's values for the schema's keys. A picture
    // that did not come from a file is saved as a PNG next to the form file on save().
    bool writeInstance(const QString &instance, const FormSchema &schema, const PropertyBag &bag);
    // Writes every group. The old file is replaced only once the new one is written completely.
    bool save();

private:
    struct Group
    {
        QString name;
        PropertyBag values; // the raw texts, keyed case-insensitively
    };
    struct PendingPicture
    {
        QString relativePath;
        QImage image;
    };

    Group *group(const QString &name);
    bool fail(const QString &message);
    bool decode(const QString &instance, const FormKey &key, const QString &text, QVariant &value);
    bool encode(const QString &instance, const FormKey &key, const QVariant &value, QString &text);
    QImage loadPicture(const QString &instance, const FormKey &key, const QString &relativePath);

    QString m_path;
    QString m_error;
    QList<Group> m_groups;
    QList<PendingPicture> m_pendingPictures;
    qint64 m_picturePixels = 0; // decoded so far by readInstance
};

} // namespace kivaro
