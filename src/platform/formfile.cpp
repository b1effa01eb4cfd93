#include "platform/formfile.h"

#include "platform/boundedpicture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>

#include <limits>

namespace kivaro {

namespace {

constexpr QLatin1String True("true");
constexpr QLatin1String False("false");
constexpr QLatin1String Bold("bold");
constexpr QLatin1String Italic("italic");
constexpr QLatin1String Underline("underline");
// Point sizes beyond this are taken for a damaged file rather than drawn.
constexpr double MaxFontPoints = 1000.0;
// Keys outside any group land in this group of QSettings; it holds no control.
constexpr QLatin1String GeneralGroup("General");

// The group names in the order their headers stand in the file (QSettings lists them sorted).
QStringList groupsInFileOrder(const QByteArray &contents, const QStringList &known)
{
    QStringList ordered;
    for (const QByteArray &rawLine : contents.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.size() < 2 || !line.startsWith('[') || !line.endsWith(']'))
            continue;
        const QString name = QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(1, line.size() - 2)));
        if (known.contains(name) && !ordered.contains(name))
            ordered.append(name);
    }
    for (const QString &name : known) {
        if (!ordered.contains(name))
            ordered.append(name);
    }
    return ordered;
}

// A name that can stand in a file name whatever the instance is called.
QString fileNamePart(const QString &text)
{
    QString result;
    for (const QChar c : text)
        result.append(c.isLetterOrNumber() || c == u'_' || c == u'-' ? c : QChar(u'_'));
    return result;
}

} // namespace

FormFile::FormFile(const QString &path)
    : m_path(path)
{ }

bool FormFile::fail(const QString &message)
{
    m_error = message;
    return false;
}

FormFile::Group *FormFile::group(const QString &name)
{
    for (Group &g : m_groups) {
        if (g.name == name)
            return &g;
    }
    return nullptr;
}

QStringList FormFile::instances() const
{
    QStringList names;
    for (const Group &g : m_groups)
        names.append(g.name);
    return names;
}

bool FormFile::load()
{
    m_groups.clear();
    m_error.clear();
    QFile file(m_path);
    if (!QFileInfo(m_path).isFile())
        return fail(QStringLiteral("cannot read %1: no such file").arg(m_path));
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString()));
    if (file.size() > MaxFileBytes)
        return fail(QStringLiteral("cannot read %1: larger than %2 bytes").arg(m_path).arg(MaxFileBytes));
    const QByteArray contents = file.readAll();
    file.close();

    QSettings settings(m_path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return fail(QStringLiteral("cannot read %1: not a form file").arg(m_path));
    QStringList known = settings.childGroups();
    known.removeAll(GeneralGroup);
    for (const QString &name : groupsInFileOrder(contents, known)) {
        Group g { name, PropertyBag() };
        settings.beginGroup(name);
        for (const QString &key : settings.childKeys()) {
            // An unquoted value with commas comes back as a list; the text is what the file says.
            const QVariant value = settings.value(key);
            g.values.write(key,
                           value.metaType() == QMetaType::fromType<QStringList>()
                               ? value.toStringList().join(u',')
                               : value.toString());
        }
        settings.endGroup();
        m_groups.append(g);
    }
    if (m_groups.isEmpty())
        return fail(QStringLiteral("%1 holds no control settings").arg(m_path));
    return true;
}

bool FormFile::readInstance(const QString &instance, const FormSchema &schema, PropertyBag &bag)
{
    const Group *g
        = instance.isEmpty() ? (m_groups.isEmpty() ? nullptr : &m_groups.first()) : group(instance);
    if (!g)
        return fail(QStringLiteral("%1 has no control named \"%2\"").arg(m_path, instance));
    PropertyBag values;
    for (const FormKey &key : schema) {
        if (!g->values.contains(key.name))
            continue;
        QVariant value;
        if (!decode(g->name, key, g->values.read(key.name).toString(), value))
            return false;
        values.write(key.name, value);
    }
    for (const QString &key : values.keys())
        bag.write(key, values.read(key));
    return true;
}

bool FormFile::decode(const QString &instance, const FormKey &key, const QString &text, QVariant &value)
{
    const QString where = QStringLiteral("%1: [%2] %3: ").arg(m_path, instance, key.name);
    const QString trimmed = text.trimmed();
    switch (key.type) {
    case FormValue::Integer: {
        bool ok = false;
        const qlonglong number = trimmed.toLongLong(&ok);
        if (!ok || number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
            return fail(where + QStringLiteral("\"%1\" is not a 32-bit whole number").arg(text));
        value = static_cast<int>(number);
        return true;
    }
    case FormValue::Colour: {
        bool ok = false;
        const qlonglong number = trimmed.toLongLong(&ok);
        // A system-colour code may have been written as the signed number of the same bits.
        if (!ok || number < std::numeric_limits<qint32>::min()
            || number > std::numeric_limits<quint32>::max())
            return fail(where + QStringLiteral("\"%1\" is not a colour number").arg(text));
        value = static_cast<quint32>(static_cast<quint64>(number) & 0xffffffffu);
        return true;
    }
    case FormValue::Boolean:
        if (trimmed.compare(True, Qt::CaseInsensitive) == 0)
            value = true;
        else if (trimmed.compare(False, Qt::CaseInsensitive) == 0)
            value = false;
        else
            return fail(where + QStringLiteral("\"%1\" is neither true nor false").arg(text));
        return true;
    case FormValue::Text:
        value = text;
        return true;
    case FormValue::Picture: {
        if (trimmed.isEmpty()) {
            value = QImage();
            return true;
        }
        const QImage picture = loadPicture(instance, key, trimmed);
        if (picture.isNull())
            return false;
        value = picture;
        return true;
    }
    case FormValue::Font: {
        const QStringList parts = text.split(u',');
        const QString family = parts.value(0).trimmed();
        bool ok = false;
        const double points = parts.value(1).trimmed().toDouble(&ok);
        if (family.isEmpty() || !ok || !(points > 0.0) || points > MaxFontPoints)
            return fail(where
                        + QStringLiteral("\"%1\" is not family,size[,bold][,italic][,underline]").arg(text));
        QFont font(family);
        font.setPointSizeF(points);
        for (qsizetype i = 2; i < parts.size(); ++i) {
            const QString flag = parts.at(i).trimmed();
            if (flag.compare(Bold, Qt::CaseInsensitive) == 0)
                font.setBold(true);
            else if (flag.compare(Italic, Qt::CaseInsensitive) == 0)
                font.setItalic(true);
            else if (flag.compare(Underline, Qt::CaseInsensitive) == 0)
                font.setUnderline(true);
            else
                return fail(where + QStringLiteral("\"%1\" is not bold, italic or underline").arg(flag));
        }
        value = font;
        return true;
    }
    }
    return fail(where + QStringLiteral("unknown kind of value"));
}

QImage FormFile::loadPicture(const QString &instance, const FormKey &key, const QString &relativePath)
{
    const QString where = QStringLiteral("%1: [%2] %3: ").arg(m_path, instance, key.name);
    const QString path = QDir::cleanPath(QFileInfo(m_path).absoluteDir().filePath(relativePath));
    if (!QFileInfo(path).isFile()) {
        fail(where + QStringLiteral("picture %1 not found").arg(path));
        return {};
    }
    std::optional<QImage> read = readBoundedPicture(path, MaxPictureSide);
    if (!read) {
        fail(where
             + QStringLiteral("cannot read picture %1: not a picture, or larger than %2 pixels a side")
                   .arg(path)
                   .arg(MaxPictureSide));
        return {};
    }
    QImage picture = std::move(*read);
    picture.setText(PictureSourceKey, path);
    return picture;
}

bool FormFile::writeInstance(const QString &instance, const FormSchema &schema, const PropertyBag &bag)
{
    PropertyBag values;
    for (const FormKey &key : schema) {
        if (!bag.contains(key.name))
            continue;
        QString text;
        if (!encode(instance, key, bag.read(key.name), text))
            return false;
        values.write(key.name, text);
    }
    if (Group *g = group(instance))
        g->values = values;
    else
        m_groups.append({ instance, values });
    return true;
}

bool FormFile::encode(const QString &instance, const FormKey &key, const QVariant &value, QString &text)
{
    switch (key.type) {
    case FormValue::Integer:
        text = QString::number(value.toLongLong());
        return true;
    case FormValue::Colour:
        text = QString::number(static_cast<quint64>(value.toLongLong()) & 0xffffffffu);
        return true;
    case FormValue::Boolean:
        text = value.toBool() ? True : False;
        return true;
    case FormValue::Text:
        text = value.toString();
        return true;
    case FormValue::Picture: {
        const QImage picture = value.value<QImage>();
        if (picture.isNull()) {
            text.clear();
            return true;
        }
        const QDir formDir = QFileInfo(m_path).absoluteDir();
        const QString source = picture.text(PictureSourceKey);
        if (!source.isEmpty() && QFileInfo(source).isFile()) {
            text = formDir.relativeFilePath(source);
            return true;
        }
        text = QStringLiteral("%1.%2.%3.png")
                   .arg(QFileInfo(m_path).completeBaseName(), fileNamePart(instance), key.name.toLower());
        m_pendingPictures.append({ text, picture });
        return true;
    }
    case FormValue::Font: {
        const QFont font = value.value<QFont>();
        if (font.family().contains(u','))
            return fail(QStringLiteral("%1: [%2] %3: a font family with a comma cannot be saved")
                            .arg(m_path, instance, key.name));
        // A font sized in pixels is saved in points at the design's 96 pixels per inch.
        const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
        text = font.family() + u',' + QString::number(points);
        if (font.bold())
            text += u',' + Bold;
        if (font.italic())
            text += u',' + Italic;
        if (font.underline())
            text += u',' + Underline;
        return true;
    }
    }
    return fail(QStringLiteral("%1: [%2] %3: unknown kind of value").arg(m_path, instance, key.name));
}

bool FormFile::save()
{
    m_error.clear();
    // QSettings writes only to a named file: it writes into a file in a private temporary folder first, and
    // the bytes go to the form file through QSaveFile, so a failure never leaves half a form behind.
    const QTemporaryDir scratch(QDir(QDir::tempPath()).filePath(QStringLiteral("kivaro-form-XXXXXX")));
    if (!scratch.isValid())
        return fail(QStringLiteral("cannot write %1: %2").arg(m_path, scratch.errorString()));
    const QString scratchPath = scratch.filePath(QStringLiteral("form.ini"));
    {
        QSettings settings(scratchPath, QSettings::IniFormat);
        for (const Group &g : std::as_const(m_groups)) {
            settings.beginGroup(g.name);
            for (const QString &key : g.values.keys())
                settings.setValue(key, g.values.read(key).toString());
            settings.endGroup();
        }
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return fail(QStringLiteral("cannot write %1").arg(m_path));
    }
    QFile written(scratchPath);
    if (!written.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot write %1: %2").arg(m_path, written.errorString()));
    const QByteArray contents = written.readAll();

    const QDir formDir = QFileInfo(m_path).absoluteDir();
    for (const PendingPicture &pending : std::as_const(m_pendingPictures)) {
        QSaveFile pictureFile(formDir.filePath(pending.relativePath));
        if (!pictureFile.open(QIODevice::WriteOnly) || !pending.image.save(&pictureFile, "PNG")
            || !pictureFile.commit())
            return fail(
                QStringLiteral("cannot write %1: %2").arg(pictureFile.fileName(), pictureFile.errorString()));
    }
    m_pendingPictures.clear();

    QSaveFile form(m_path);
    if (!form.open(QIODevice::WriteOnly) || form.write(contents) != contents.size() || !form.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(m_path, form.errorString()));
    return true;
}

} // namespace kivaro
