// Loading skins without a shown window: the marker list of the chooser, the order of a folder's
// files, which file gives which stored picture, and the errors that stop a skin part-way.

#include "mainwindow/filelistbox.h"
#include "mainwindow/form1.h"
#include "mainwindow/form4.h"
#include "mainwindow/skinloader.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace kivaro;

namespace {

// The stored pictures by the names the main window gives them, written out from the skin table.
const std::pair<const char *, QPixmap StoredLooks::*> Named[]
    = { { "IMn", &StoredLooks::IMn }, { "ImGo", &StoredLooks::ImGo }, { "IMd", &StoredLooks::IMd },
        { "Xn", &StoredLooks::Xn },   { "Xo", &StoredLooks::Xo },     { "Xd", &StoredLooks::Xd },
        { "Doo", &StoredLooks::Doo }, { "Dn", &StoredLooks::Dn },     { "Dd", &StoredLooks::Dd },
        { "Ed", &StoredLooks::Ed },   { "Eo", &StoredLooks::Eo },     { "En", &StoredLooks::En } };

// Every stored picture a distinct one-pixel picture, so that a replaced one is seen.
StoredLooks markedLooks()
{
    StoredLooks looks;
    for (const auto &[name, member] : Named)
        looks.*member = QPixmap(1, 1);
    for (QPixmap &frame : looks.P)
        frame = QPixmap(1, 1);
    return looks;
}

// The names of the stored pictures that are no longer those of `before`.
QStringList changed(const StoredLooks &before, const StoredLooks &after)
{
    QStringList names;
    for (const auto &[name, member] : Named) {
        if ((before.*member).cacheKey() != (after.*member).cacheKey())
            names << QLatin1String(name);
    }
    for (int k = 0; k < 9; ++k) {
        if (before.P[k].cacheKey() != after.P[k].cacheKey())
            names << QStringLiteral("P%1").arg(k);
    }
    names.sort();
    return names;
}

// A 1 x 1 GIF (Qt writes no GIF of its own).
const QByteArray TinyGif
    = QByteArray::fromHex("47494638396101000100800000000000ffffff2c00000000010001000002024401003b");

// Writes one file of a skin folder. "NAME" is a 2 x 3 picture in the format its suffix names
// (PNG without one); "NAME=text" a text file; "NAME=WxH" a PNG of that size; "NAME=#rrggbb" a
// 2 x 3 PNG of that colour; "NAME=empty" an empty file; "NAME/" a folder.
void writeFile(const QDir &folder, const QString &entry)
{
    if (entry.endsWith(QLatin1Char('/'))) {
        QVERIFY(folder.mkpath(entry));
        return;
    }
    const QString name = entry.section(QLatin1Char('='), 0, 0);
    const QString what = entry.section(QLatin1Char('='), 1);
    QFile file(folder.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QString suffix
        = name.contains(QLatin1Char('.')) ? name.section(QLatin1Char('.'), -1).toLower() : QString();
    if (what == QLatin1String("text")) {
        file.write("not a picture\n");
    } else if (what == QLatin1String("empty")) {
    } else if (suffix == QLatin1String("gif")) {
        file.write(TinyGif);
    } else {
        QSize size(2, 3);
        QColor colour(20, 90, 200);
        if (what.startsWith(QLatin1Char('#')))
            colour = QColor(what);
        else if (!what.isEmpty())
            size = QSize(what.section(QLatin1Char('x'), 0, 0).toInt(),
                         what.section(QLatin1Char('x'), 1).toInt());
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QByteArray format = suffix == QLatin1String("bmp") ? "BMP"
            : suffix == QLatin1String("jpg")                     ? "JPEG"
                                                                 : "PNG";
        QVERIFY(image.save(&file, format.constData()));
    }
}

QMessageBox *errorBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget);
            box && widget->objectName() == QLatin1String("skinError"))
            return box;
    }
    return nullptr;
}

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

QStringList words(const char *text)
{
    return s(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

class TestSkins : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_user;
    QString m_installed;

    // A chooser over the user's and the installed skins; `marker` selected when given.
    QPointer<Form4> chooser(StoredLooks &looks, const QString &marker = QString())
    {
        QPointer<Form4> form = new Form4({ m_user, m_installed }, looks, nullptr);
        for (int row = 0; row < form->File1->count(); ++row) {
            if (form->File1->fileName(row) == marker)
                form->File1->setCurrentRow(row);
        }
        return form;
    }

    QStringList listed(Form4 &form)
    {
        QStringList names;
        for (int row = 0; row < form.File1->count(); ++row)
            names << QDir(form.File1->folderOf(row)).dirName() + QLatin1Char(':') + form.File1->fileName(row);
        return names;
    }

private Q_SLOTS:
    void init()
    {
        m_user = m_root.filePath(QStringLiteral("user"));
        m_installed = m_root.filePath(QStringLiteral("installed"));
        QDir(m_user).removeRecursively();
        QDir(m_installed).removeRecursively();
        QVERIFY(QDir().mkpath(m_user));
        QVERIFY(QDir().mkpath(m_installed));
    }

    void cleanup()
    {
        delete errorBox();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void patternMatches_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("marker") << s("blue.skn") << s("*.skn*") << true;
        QTest::newRow("longer suffix") << s("blue.sknx") << s("*.skn*") << true;
        QTest::newRow("suffix in the middle") << s("blue.skn.bak") << s("*.skn*") << true;
        QTest::newRow("capitals") << s("Blue.SKN") << s("*.skn*") << true;
        QTest::newRow("short suffix") << s("blue.sk") << s("*.skn*") << false;
        QTest::newRow("no dot before") << s("bluesknx") << s("*.skn*") << false;
        QTest::newRow("every file") << s("readme.txt") << s("*.*") << true;
        QTest::newRow("every file, no dot") << s("IMN") << s("*.*") << true;
    }
    void patternMatches()
    {
        QFETCH(QString, name);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        QCOMPARE(FileListBox::matches(name, pattern), matches);
    }

    // Byte order of the names' UTF-8 bytes: digits, capitals, small letters, then anything beyond
    // ASCII.
    void folderListsInByteOrder()
    {
        const QStringList files
            = { QStringLiteral("b.gif"),   QStringLiteral("IMN.png"), QStringLiteral("\u00e9.gif"),
                QStringLiteral("IMN.gif"), QStringLiteral("a"),       QStringLiteral("Z.bmp"),
                QStringLiteral("P0.jpg"),  QStringLiteral("~x"),      QStringLiteral("0.png") };
        for (const QString &name : files)
            writeFile(QDir(m_user), name + QStringLiteral("=text"));
        writeFile(QDir(m_user), QStringLiteral("sub.skn/"));
        QCOMPARE(
            FileListBox::matchingFiles(m_user, QStringLiteral("*.*")),
            QStringList({ QStringLiteral("0.png"), QStringLiteral("IMN.gif"), QStringLiteral("IMN.png"),
                          QStringLiteral("P0.jpg"), QStringLiteral("Z.bmp"), QStringLiteral("a"),
                          QStringLiteral("b.gif"), QStringLiteral("~x"), QStringLiteral("\u00e9.gif") }));
    }

    void chooserLists_data()
    {
        QTest::addColumn<QStringList>("user");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("user first, installed after, same name hidden")
            << words("green.skn blue.skn blue/") << words("blue.skn aqua.skn red.sknx readme.txt aqua/")
            << words("user:blue.skn user:green.skn installed:aqua.skn installed:red.sknx");
        QTest::newRow("a differing marker suffix hides too")
            << words("blue.sknx") << words("blue.skn my.blue.skn")
            << words("user:blue.sknx installed:my.blue.skn");
        QTest::newRow("nothing of the user's")
            << words("") << words("dark.skn") << words("installed:dark.skn");
    }
    void chooserLists()
    {
        QFETCH(QStringList, user);
        QFETCH(QStringList, installed);
        QFETCH(QStringList, listed);
        for (const QString &name : user)
            writeFile(QDir(m_user),
                      name + (name.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("=text")));
        for (const QString &name : installed)
            writeFile(QDir(m_installed),
                      name + (name.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("=text")));
        StoredLooks looks;
        QPointer<Form4> form = chooser(looks);
        QCOMPARE(this->listed(*form), listed);
        delete form;
    }

    void missingFoldersListNothing()
    {
        StoredLooks looks;
        writeFile(QDir(m_installed), QStringLiteral("dark.skn=text"));
        Form4 form({ m_root.filePath(QStringLiteral("nowhere")), m_installed }, looks, nullptr);
        QCOMPARE(listed(form), QStringList { QStringLiteral("installed:dark.skn") });
        QCOMPARE(form.windowTitle(), QStringLiteral("Choose Skin"));
        // Of that one size, centred on the screen.
        QCOMPARE(form.minimumSize(), QSize(153, 171));
        QCOMPARE(form.maximumSize(), QSize(153, 171));
        QCOMPARE(form.geometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
        QCOMPARE(form.File1->geometry(), QRect(0, 0, 153, 171));
    }

    // One skin folder "blue" behind the marker blue.skn, loaded through the chooser.
    void loading_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("changed");
        QTest::addColumn<bool>("error");
        QTest::newRow("only the normal background") << words("IMN.gif") << words("IMn") << false;
        QTest::newRow("lower-case key ignored") << words("imn.gif") << words("") << false;
        QTest::newRow("readme ignored") << words("readme.txt=text IMN.png") << words("IMn") << false;
        QTest::newRow("not a picture stops after the earlier files")
            << words("XO.png DN.bmp XN.txt=text IMN.png") << words("Dn IMn") << true;
        QTest::newRow("every key")
            << words("IMN.gif IMO.gif IMD.gif XN.bmp XO.bmp XD.bmp DN.bmp DOO.bmp DD.bmp EN.bmp EO.bmp "
                     "ED.bmp P0.gif P1.gif P2.gif P3.gif P4.gif P5.gif P6.gif P7.gif")
            << words("Dd Dn Doo Ed En Eo IMd IMn ImGo P0 P1 P2 P3 P4 P5 P6 P7 Xd Xn Xo") << false;
        QTest::newRow("JPEG and a name without a dot") << words("EO.jpg XD") << words("Eo Xd") << false;
        QTest::newRow("no eighth frame to give") << words("P8.gif P.gif") << words("") << false;
        QTest::newRow("a folder named like a key") << words("XN/") << words("") << false;
        QTest::newRow("an empty file") << words("EN.bmp IMN.gif=empty") << words("En") << true;
        QTest::newRow("4096 pixels wide") << words("P0.png=4096x1") << words("P0") << false;
        QTest::newRow("4097 pixels wide") << words("P0.png=4097x1") << words("") << true;
        QTest::newRow("4097 pixels high") << words("P0.png=1x4097") << words("") << true;
    }
    void loading()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, changed);
        QFETCH(bool, error);
        writeFile(QDir(m_user), QStringLiteral("blue.skn=text"));
        const QDir skin(m_user + QStringLiteral("/blue"));
        QVERIFY(QDir().mkpath(skin.path()));
        for (const QString &file : files)
            writeFile(skin, file);

        StoredLooks looks = markedLooks();
        const StoredLooks before = looks;
        QPointer<Form4> form = chooser(looks, QStringLiteral("blue.skn"));
        form->File1_DblClick();
        QCOMPARE(::changed(before, looks), changed);
        QCOMPARE(errorBox() != nullptr, error);
        if (error) {
            QCOMPARE(errorBox()->text(), QStringLiteral("Error loading skin.."));
            QCOMPARE(errorBox()->icon(), QMessageBox::Critical);
            QCOMPARE(errorBox()->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        }
        QTRY_VERIFY(form.isNull()); // destroyed, loaded or not
        QCOMPARE(errorBox() != nullptr, error); // the message outlives the chooser
    }

    // A huge size in a picture's header is refused before any pixel is decoded.
    void hugeHeaderRefused()
    {
        QByteArray gif = TinyGif;
        gif[6] = char(0x60); // logical screen 60000 x 60000
        gif[7] = char(0xea);
        gif[8] = char(0x60);
        gif[9] = char(0xea);
        gif.replace(QByteArray::fromHex("2c000000000100010000"), QByteArray::fromHex("2c0000000060ea60ea00"));
        const QString path = m_root.filePath(QStringLiteral("huge.gif"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(gif);
        file.close();
        QVERIFY(!SkinLoader::readPicture(path));
    }

    // A picture's "@2x" twin counts only as a readable picture of exactly twice its size.
    void twinAt2x_data()
    {
        QTest::addColumn<QString>("twin"); // written as writeFile writes it; empty: none
        QTest::addColumn<bool>("taken");
        QTest::newRow("twice the size") << s("XN@2x.png=74x60") << true;
        QTest::newRow("none") << QString() << false;
        QTest::newRow("another size") << s("XN@2x.png=70x60") << false;
        QTest::newRow("not a picture") << s("XN@2x.png=text") << false;
        QTest::newRow("a folder") << s("XN@2x.png/") << false;
    }
    void twinAt2x()
    {
        QFETCH(QString, twin);
        QFETCH(bool, taken);
        if (!twin.isEmpty())
            writeFile(QDir(m_user), twin);
        const auto sharp = SkinLoader::readTwinAt2x(QDir(m_user).filePath(s("XN.png")), QSize(37, 30));
        QCOMPARE(sharp.has_value(), taken);
        QCOMPARE(sharp ? sharp->deviceIndependentSize() : QSizeF(), taken ? QSizeF(37, 30) : QSizeF());
    }

    void markers_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("changed");
        QTest::newRow("marker without its folder") << s("blue.skn") << s("") << words("");
        QTest::newRow("two dots: the folder before the first") << s("my.blue.skn") << s("my") << words("IMn");
        QTest::newRow("longer suffix") << s("blue.sknx") << s("blue") << words("IMn");
        QTest::newRow("nothing selected") << s("") << s("blue") << words("");
    }
    void markers()
    {
        QFETCH(QString, marker);
        QFETCH(QString, folder);
        QFETCH(QStringList, changed);
        writeFile(QDir(m_user),
                  (marker.isEmpty() ? QStringLiteral("blue.skn") : marker) + QStringLiteral("=text"));
        if (!folder.isEmpty()) {
            QVERIFY(QDir().mkpath(m_user + QLatin1Char('/') + folder));
            writeFile(QDir(m_user + QLatin1Char('/') + folder), QStringLiteral("IMN.png"));
        }
        StoredLooks looks = markedLooks();
        const StoredLooks before = looks;
        QPointer<Form4> form = chooser(looks, marker);
        form->File1_DblClick();
        QCOMPARE(::changed(before, looks), changed);
        QCOMPARE(errorBox() != nullptr, changed.isEmpty());
    }

    // Of two files with one key the later in byte order stays: IMN.png after IMN.bmp.
    void laterFileWins()
    {
        writeFile(QDir(m_user), QStringLiteral("blue.skn=text"));
        const QDir skin(m_user + QStringLiteral("/blue"));
        QVERIFY(QDir().mkpath(skin.path()));
        writeFile(skin, QStringLiteral("IMN.png=#00ff00"));
        writeFile(skin, QStringLiteral("IMN.bmp=#0000ff"));
        StoredLooks looks = markedLooks();
        QPointer<Form4> form = chooser(looks, QStringLiteral("blue.skn"));
        form->File1_DblClick();
        QCOMPARE(looks.IMn.toImage().pixel(0, 0), qRgb(0, 255, 0));
    }

    // A user's skin replaces an installed one of its name: its own folder is the one loaded.
    void userSkinLoadsFromTheUsersFolder()
    {
        for (const QString &root : { m_user, m_installed }) {
            writeFile(QDir(root), QStringLiteral("blue.skn=text"));
            QVERIFY(QDir().mkpath(root + QStringLiteral("/blue")));
        }
        writeFile(QDir(m_user + QStringLiteral("/blue")), QStringLiteral("XN.png=#00ff00"));
        writeFile(QDir(m_installed + QStringLiteral("/blue")), QStringLiteral("XN.png=#0000ff"));
        StoredLooks looks = markedLooks();
        QPointer<Form4> form = chooser(looks, QStringLiteral("blue.skn"));
        form->File1_DblClick();
        QCOMPARE(looks.Xn.toImage().pixel(0, 0), qRgb(0, 255, 0));
    }

    // The skins that come with the program give every stored picture, at the design's sizes.
    void bundledSkinsLoadCompletely_data()
    {
        QTest::addColumn<QString>("marker");
        const QStringList markers = FileListBox::matchingFiles(
            QStringLiteral(KIVARO_SOURCE_DIR "/assets/skins"), QStringLiteral("*.skn*"));
        QCOMPARE(markers, words("carnival.skn midnight.skn pearl.skn"));
        for (const QString &marker : markers)
            QTest::newRow(qPrintable(marker)) << marker;
    }
    void bundledSkinsLoadCompletely()
    {
        QFETCH(QString, marker);
        StoredLooks looks = markedLooks();
        const StoredLooks before = looks;
        Form4 *form = new Form4({ QStringLiteral(KIVARO_SOURCE_DIR "/assets/skins") }, looks, nullptr);
        for (int row = 0; row < form->File1->count(); ++row) {
            if (form->File1->fileName(row) == marker)
                form->File1->setCurrentRow(row);
        }
        form->File1_DblClick();
        QVERIFY(!errorBox());
        QCOMPARE(::changed(before, looks),
                 words("Dd Dn Doo Ed En Eo IMd IMn ImGo P0 P1 P2 P3 P4 P5 P6 P7 Xd Xn Xo"));
        QCOMPARE(looks.IMn.size(), QSize(391, 103));
        QCOMPARE(looks.Doo.size(), QSize(36, 29));
        QCOMPARE(looks.Xd.size(), QSize(37, 30));
        QCOMPARE(looks.P[3].size(), QSize(68, 70));
    }
};

QTEST_MAIN(TestSkins)
#include "tst_skins.moc"
