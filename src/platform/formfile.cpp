#include "platform/formfile.h"

#include "platform/boundedpicture.h"
#include "platform/privatefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QSaveFile>

#include <algorithm>
#include <ini.h>
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
// Files written before Kivaro had its own writer spell an instance named General so.
constexpr QLatin1String GeneralHeader("%General");
constexpr QLatin1String General("General");
// The reader keeps a header's name up to 49 bytes and cuts longer ones short without a word; a
// name that long may have been cut, so the limit for names on both sides is one byte less.
constexpr qsizetype MaxInstanceNameBytes = 48;

// --- How names and values are spelled --------------------------------------------------------
//
// The spelling is the one form files have always had: a value is quoted when it holds ";", ","
// or "=" or begins or ends with a blank; a backslash escapes quotes, backslashes and control
// characters; a text that begins with "@" has a second one before it. Names keep letters, digits,
// "_", "-" and "." and spell every other character as %XX, or %UXXXX beyond Latin-1. Nothing in a
// value is read as anything but text: no lists, no typed values.

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

QByteArray spelledName(const QString &name)
{
    QByteArray out;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_'
            || u == u'-' || u == u'.')
            out += char(u);
        else if (u <= 0xff)
            out += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
        else
            out += "%U" + QByteArray::number(u, 16).rightJustified(4, '0').toUpper();
    }
    return out;
}

QString nameFromFile(QByteArrayView spelled)
{
    if (spelled == QByteArrayView(GeneralHeader))
        return General;
    const QString text = QString::fromUtf8(spelled);
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype digits = text.mid(i + 1, 1) == u"U" ? 4 : 2;
        const qsizetype first = i + 1 + (digits == 4 ? 1 : 0);
        bool ok = false;
        const ushort code = text.at(i) == u'%' && first + digits <= text.size()
            ? QStringView(text).sliced(first, digits).toUShort(&ok, 16)
            : 0;
        if (ok) {
            out += QChar(code);
            i = first + digits;
        } else {
            out += text.at(i);
            ++i;
        }
    }
    return out;
}

QByteArray spelledValue(const QString &value)
{
    const QString text = value.startsWith(u'@') ? u'@' + value : value;
    QByteArray out;
    QString plain; // characters written as they are, in UTF-8
    const auto flush = [&] {
        out += plain.toUtf8();
        plain.clear();
    };
    bool needsQuotes = false;
    bool escapeNextIfDigit = false; // after \0 or \xNN a hex digit would be read as part of it
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar qc = text.at(i);
        const char16_t c = qc.unicode();
        // Half a character has no UTF-8: it is written as its code, as control characters are.
        const bool pairedHigh
            = qc.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const bool pairedLow = qc.isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate();
        const bool lone = qc.isSurrogate() && !pairedHigh && !pairedLow;
        if (c == u';' || c == u',' || c == u'=')
            needsQuotes = true;
        if (escapeNextIfDigit && isHexDigit(c)) {
            flush();
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeNextIfDigit = false;
        static constexpr struct
        {
            char16_t character;
            char escape;
        } Named[] = { { u'\a', 'a' }, { u'\b', 'b' }, { u'\f', 'f' }, { u'\n', 'n' }, { u'\r', 'r' },
                      { u'\t', 't' }, { u'\v', 'v' }, { u'"', '"' },  { u'\\', '\\' } };
        const auto named = std::find_if(std::begin(Named), std::end(Named),
                                        [c](const auto &entry) { return entry.character == c; });
        if (named != std::end(Named)) {
            flush();
            out += '\\';
            out += named->escape;
        } else if (c == 0) {
            flush();
            out += "\\0";
            escapeNextIfDigit = true;
        } else if (c < 0x20 || lone) {
            flush();
            out += "\\x" + QByteArray::number(c, 16);
            escapeNextIfDigit = true;
        } else {
            plain += qc;
        }
    }
    flush();
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}

QString valueFromFile(QByteArrayView spelled)
{
    QString out;
    QByteArray plain; // bytes as they stand, UTF-8
    const auto flush = [&] {
        out += QString::fromUtf8(plain);
        plain.clear();
    };
    const auto skipBlanks = [&](qsizetype &i) {
        while (i < spelled.size() && (spelled.at(i) == ' ' || spelled.at(i) == '\t'))
            ++i;
    };
    static constexpr struct
    {
        char escape;
        char16_t character;
    } Named[]
        = { { 'a', u'\a' }, { 'b', u'\b' }, { 'f', u'\f' }, { 'n', u'\n' },  { 'r', u'\r' }, { 't', u'\t' },
            { 'v', u'\v' }, { '"', u'"' },  { '?', u'?' },  { '\'', u'\'' }, { '\\', u'\\' } };
    bool quoted = false;
    qsizetype i = 0;
    while (i < spelled.size()) {
        const char c = spelled.at(i++);
        if (c == '"') {
            quoted = !quoted;
            if (!quoted)
                skipBlanks(i);
            continue;
        }
        if (c != '\\') {
            plain += c;
            continue;
        }
        flush();
        if (i >= spelled.size())
            break;
        const char e = spelled.at(i++);
        const auto named = std::find_if(std::begin(Named), std::end(Named),
                                        [e](const auto &entry) { return entry.escape == e; });
        if (named != std::end(Named)) {
            out += QChar(named->character);
        } else if (e == 'x' || (e >= '0' && e <= '7')) {
            // \x and hex digits, or octal digits: one character of that code.
            const int base = e == 'x' ? 16 : 8;
            char16_t code = e == 'x' ? 0 : char16_t(e - '0');
            const bool any = e != 'x';
            bool digits = any;
            for (; i < spelled.size(); ++i) {
                const char d = spelled.at(i);
                int v = -1;
                if (d >= '0' && d <= (base == 8 ? '7' : '9'))
                    v = d - '0';
                else if (base == 16 && d >= 'a' && d <= 'f')
                    v = d - 'a' + 10;
                else if (base == 16 && d >= 'A' && d <= 'F')
                    v = d - 'A' + 10;
                if (v < 0)
                    break;
                code = char16_t(code * base + v);
                digits = true;
            }
            if (digits)
                out += QChar(code);
        }
        // Any other escaped character is left out.
    }
    flush();
    if (out.startsWith(QLatin1String("@@")))
        out.remove(0, 1);
    return out;
}

// Everything inih hands over while it reads one file.
struct ReadState
{
    QList<QPair<QString, PropertyBag>> groups;
    QString error;
};

int takeEntry(void *user, const char *section, const char *name, const char *value)
{
    auto &state = *static_cast<ReadState *>(user);
    const QByteArrayView spelledSection(section);
    if (spelledSection.isEmpty())
        return 1; // a key before the first header belongs to no control
    if (spelledSection.size() > MaxInstanceNameBytes) {
        state.error = QStringLiteral("a control name longer than %1 bytes").arg(MaxInstanceNameBytes);
        return 0;
    }
    const QString instance = nameFromFile(spelledSection);
    auto group = std::find_if(state.groups.begin(), state.groups.end(),
                              [&instance](const auto &g) { return g.first == instance; });
    if (group == state.groups.end())
        group = state.groups.insert(state.groups.end(), { instance, PropertyBag() });
    group->second.write(nameFromFile(name), valueFromFile(value));
    return 1;
}

// inih's knobs are the whole program's; the settings file reads with their defaults. For one form
// file, inih is a plain reader: every line on its own, whatever its length (no line is longer than
// the file), nothing after a value taken for a comment, no indented line joined to the one above,
// and the first mistake ends the reading. The knobs are as they were afterwards.
int parsePlainIni(const QByteArray &contents, ReadState *state)
{
    const bool useStack = ini_use_stack;
    const bool allowRealloc = ini_allow_realloc;
    const int maxLine = ini_max_line;
    const bool multiline = ini_allow_multiline;
    const bool inlineComments = ini_allow_inline_comments;
    const bool stopOnFirstError = ini_stop_on_first_error;
    ini_use_stack = false;
    ini_allow_realloc = true;
    ini_max_line = int(FormFile::MaxFileBytes) + 3;
    ini_allow_multiline = false;
    ini_allow_inline_comments = false;
    ini_stop_on_first_error = true;
    const int result = ini_parse_string(contents.constData(), takeEntry, state);
    ini_use_stack = useStack;
    ini_allow_realloc = allowRealloc;
    ini_max_line = maxLine;
    ini_allow_multiline = multiline;
    ini_allow_inline_comments = inlineComments;
    ini_stop_on_first_error = stopOnFirstError;
    return result;
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
    m_picturePixels = 0;
    QFile file(m_path);
    if (!QFileInfo(m_path).isFile())
        return fail(QStringLiteral("cannot read %1: no such file").arg(m_path));
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString()));
    if (file.size() > MaxFileBytes)
        return fail(QStringLiteral("cannot read %1: larger than %2 bytes").arg(m_path).arg(MaxFileBytes));
    const QByteArray contents = file.read(MaxFileBytes + 1);
    file.close();
    if (contents.size() > MaxFileBytes)
        return fail(QStringLiteral("cannot read %1: larger than %2 bytes").arg(m_path).arg(MaxFileBytes));
    // A text file holds no zero byte; the reader would take it for the file's end.
    if (contents.contains('\0'))
        return fail(QStringLiteral("cannot read %1: not a form file").arg(m_path));

    ReadState state;
    const int result = parsePlainIni(contents, &state);
    if (result == -2)
        return fail(QStringLiteral("cannot read %1: out of memory").arg(m_path));
    if (result != 0) {
        return fail(QStringLiteral("cannot read %1: not a form file (line %2%3)")
                        .arg(m_path)
                        .arg(result)
                        .arg(state.error.isEmpty() ? QString() : QStringLiteral(": ") + state.error));
    }
    for (auto &[name, values] : state.groups)
        m_groups.append({ name, std::move(values) });
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
    std::optional<QImage> read
        = readBoundedPicture(path, MaxPictureSide, MaxFormPicturePixels - m_picturePixels);
    if (!read) {
        fail(where
             + QStringLiteral("cannot read picture %1: not a picture, larger than %2 pixels a side, or "
                              "beyond the %3 pixels the pictures of one form may have together")
                   .arg(path)
                   .arg(MaxPictureSide)
                   .arg(MaxFormPicturePixels));
        return {};
    }
    QImage picture = std::move(*read);
    m_picturePixels += qint64(picture.width()) * picture.height();
    picture.setText(PictureSourceKey, path);
    return picture;
}

bool FormFile::writeInstance(const QString &instance, const FormSchema &schema, const PropertyBag &bag)
{
    if (instance.isEmpty() || spelledName(instance).size() > MaxInstanceNameBytes)
        return fail(QStringLiteral("%1: a control needs a name of 1 to %2 bytes to be saved (\"%3\")")
                        .arg(m_path)
                        .arg(MaxInstanceNameBytes)
                        .arg(instance));
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
    QByteArray contents;
    for (const Group &g : std::as_const(m_groups)) {
        if (!contents.isEmpty())
            contents += '\n';
        contents += '[' + (g.name == General ? QByteArray("General") : spelledName(g.name)) + "]\n";
        for (const QString &key : g.values.keys())
            contents += spelledName(key) + '=' + spelledValue(g.values.read(key).toString()) + '\n';
    }

    // Every file goes in whole or not at all: each is written beside its old self and takes its
    // name only once complete. Only the user may read them.
    const auto writeWhole = [this](const QString &path, const auto &write) {
        QSaveFile out(path);
        out.setDirectWriteFallback(false);
        if (!out.open(QIODevice::WriteOnly) || !makePrivate(out) || !write(out) || !out.commit())
            return fail(QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
        return true;
    };
    const QDir formDir = QFileInfo(m_path).absoluteDir();
    for (const PendingPicture &pending : std::as_const(m_pendingPictures)) {
        if (!writeWhole(formDir.filePath(pending.relativePath),
                        [&pending](QSaveFile &out) { return pending.image.save(&out, "PNG"); }))
            return false;
    }
    m_pendingPictures.clear();
    return writeWhole(m_path, [&contents](QSaveFile &out) { return out.write(contents) == contents.size(); });
}

} // namespace kivaro
