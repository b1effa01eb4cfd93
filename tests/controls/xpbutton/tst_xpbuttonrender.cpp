// kivaro-gallery --xpbutton: one saved button drawn into a PNG, and its answers to mistakes.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Pixel
{
    QPoint at;
    QRgb argb;
};

} // namespace

Q_DECLARE_METATYPE(Pixel)

class TestXPButtonRender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void mistakes_data();
    void mistakes();
    void renders_data();
    void renders();

private:
    // Runs the renderer; returns its exit code (-1 for a crash) and its error output.
    int run(const QStringList &arguments, QByteArray &errors);
    QString writeForm(const QByteArray &contents);

    QTemporaryDir m_dir;
};

void TestXPButtonRender::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 255));
    QVERIFY(picture.save(m_dir.filePath(QStringLiteral("blue.png"))));
}

int TestXPButtonRender::run(const QStringList &arguments, QByteArray &errors)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(QStringLiteral(KIVARO_GALLERY), QStringList { QStringLiteral("--xpbutton") } + arguments);
    if (!process.waitForFinished(60000))
        return -2;
    errors = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString TestXPButtonRender::writeForm(const QByteArray &contents)
{
    const QString path = m_dir.filePath(QStringLiteral("form.ini"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(contents);
    return path;
}

void TestXPButtonRender::mistakes_data()
{
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QStringList>("arguments"); // after --xpbutton; "FORM" stands for the form file
    QTest::addColumn<QString>("message");

    const QByteArray good("[Command1]\nBTYPE=2\n");
    const auto args = [](std::initializer_list<const char *> list) {
        QStringList result;
        for (const char *a : list)
            result.append(QString::fromLatin1(a));
        return result;
    };
    QTest::newRow("nothing after --xpbutton") << good << QStringList() << "--xpbutton needs a value";
    QTest::newRow("no size") << good << args({ "FORM", "--state", "up", "out.png" }) << "are all needed";
    QTest::newRow("no output") << good << args({ "FORM", "--size", "20x10", "--state", "up" })
                               << "are all needed";
    QTest::newRow("size without height")
        << good << args({ "FORM", "--size", "20x", "--state", "up", "out.png" }) << "is not WxH";
    QTest::newRow("size too large") << good
                                    << args({ "FORM", "--size", "5000x10", "--state", "up", "out.png" })
                                    << "is not WxH";
    QTest::newRow("unknown state") << good
                                   << args({ "FORM", "--size", "20x10", "--state", "pressed", "out.png" })
                                   << "is not up, down or disabled";
    QTest::newRow("unknown option") << good
                                    << args({ "FORM", "--size", "20x10", "--state", "up", "--glow",
                                              "out.png" })
                                    << "unknown option --glow";
    QTest::newRow("two outputs") << good
                                 << args({ "FORM", "--size", "20x10", "--state", "up", "a.png", "b.png" })
                                 << "more than one output";
    QTest::newRow("unreadable form file")
        << QByteArray() << args({ "missing.ini", "--size", "20x10", "--state", "up", "out.png" })
        << "no such file";
    QTest::newRow("bad value") << QByteArray("[Command1]\nbtype=two\n")
                               << args({ "FORM", "--size", "20x10", "--state", "up", "out.png" })
                               << "[Command1] BTYPE: \"two\" is not a 32-bit whole number";
    QTest::newRow("bad colour") << QByteArray("[Command1]\nBCOL=#ff0000\n")
                                << args({ "FORM", "--size", "20x10", "--state", "up", "out.png" })
                                << "is not a colour number";
    QTest::newRow("missing picture") << QByteArray("[Command1]\nPICN=nowhere.png\n")
                                     << args({ "FORM", "--size", "20x10", "--state", "up", "out.png" })
                                     << "nowhere.png not found";
    QTest::newRow("unknown instance")
        << good << args({ "FORM#Nope", "--size", "20x10", "--state", "up", "out.png" })
        << "no control named \"Nope\"";
    QTest::newRow("unwritable output")
        << good << args({ "FORM", "--size", "20x10", "--state", "up", "no/such/folder/out.png" })
        << "cannot write no/such/folder/out.png";
}

void TestXPButtonRender::mistakes()
{
    QFETCH(QByteArray, form);
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QFile::remove(m_dir.filePath(QStringLiteral("out.png")));
    const QString path = form.isNull() ? QString() : writeForm(form);
    for (QString &argument : arguments) {
        if (argument.startsWith(QLatin1String("FORM")))
            argument.replace(0, 4, path);
    }
    QByteArray errors;
    QCOMPARE(run(arguments, errors), 1);
    QVERIFY2(QString::fromUtf8(errors).contains(message), errors.constData());
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("out.png"))));
}

void TestXPButtonRender::renders_data()
{
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QList<Pixel>>("pixels");

    constexpr QRgb Clear = 0;
    const QRgb white = qRgb(255, 255, 255);
    const QRgb black = qRgb(0, 0, 0);
    const QRgb face = qRgb(192, 192, 192); // ColorScheme 3's fixed grey
    const auto options = [](std::initializer_list<const char *> list) {
        QStringList result;
        for (const char *a : list)
            result.append(QString::fromLatin1(a));
        return result;
    };
    // One row for each thing the renderer does: read a form (here with keys in lower case, as a
    // hand-written one may have them), draw the state, hover and default asked for, cut the window
    // shape out of the picture, find a picture beside the form. 20 x 10 buttons without caption.
    QTest::newRow("look 1: lower-case keys, corners cut")
        << QByteArray("[b]\nbtype=1\ncoltype=3\n") << options({ "--state", "up" })
        << QList<Pixel> {
               { { 0, 0 }, Clear }, { { 19, 9 }, Clear }, { { 1, 0 }, black }, { { 10, 5 }, face }
           };
    QTest::newRow("look 2 down") << QByteArray("[b]\nBTYPE=2\nCOLTYPE=3\n") << options({ "--state", "down" })
                                 << QList<Pixel> { { { 0, 0 }, black }, { { 19, 9 }, white } };
    QTest::newRow("look 2 as the default button")
        << QByteArray("[b]\nBTYPE=2\nCOLTYPE=3\n") << options({ "--state", "up", "--default" })
        << QList<Pixel> { { { 0, 0 }, black }, { { 1, 1 }, white } };
    // Look 3 disabled: the fill P(faceLift 240, -24) = (216,216,210); three pixels cut a corner.
    QTest::newRow("look 3 disabled") << QByteArray("[b]\nBTYPE=3\nCOLTYPE=3\n")
                                     << options({ "--state", "disabled" })
                                     << QList<Pixel> { { { 1, 0 }, Clear },
                                                       { { 10, 5 }, qRgb(216, 216, 210) } };
    QTest::newRow("look 9 hovered") << QByteArray("[b]\nBTYPE=9\nCOLTYPE=3\n")
                                    << options({ "--state", "up", "--hover" })
                                    << QList<Pixel> { { { 10, 5 }, qRgb(173, 173, 209) } };
    // ColorScheme 2 with the saved colours; a picture beside the form file, centred with no caption.
    QTest::newRow("own colours and a picture")
        << QByteArray("[b]\nBTYPE=10\nCOLTYPE=2\nBCOL=65280\nPICN=blue.png\nUMCOL=false\n")
        << options({ "--state", "up" })
        << QList<Pixel> { { { 0, 0 }, qRgb(0, 255, 0) },
                          { { 8, 3 }, qRgb(0, 0, 255) },
                          { { 11, 6 }, qRgb(0, 0, 255) },
                          { { 7, 3 }, qRgb(0, 255, 0) } };
}

void TestXPButtonRender::renders()
{
    QFETCH(QByteArray, form);
    QFETCH(QStringList, options);
    QFETCH(QList<Pixel>, pixels);
    const QString path = writeForm(form);
    const QString out = m_dir.filePath(QStringLiteral("button.png"));
    QFile::remove(out);
    QByteArray errors;
    QCOMPARE(run(QStringList { path, QStringLiteral("--size"), QStringLiteral("20x10") } + options
                     + QStringList { out },
                 errors),
             0);
    const QImage image(out);
    QCOMPARE(image.size(), QSize(20, 10));
    QVERIFY(image.hasAlphaChannel());
    for (const Pixel &pixel : pixels) {
        const QRgb actual = image.convertToFormat(QImage::Format_ARGB32).pixel(pixel.at);
        QVERIFY2(actual == pixel.argb,
                 qPrintable(QStringLiteral("(%1,%2): %3 instead of %4")
                                .arg(pixel.at.x())
                                .arg(pixel.at.y())
                                .arg(actual, 8, 16, QLatin1Char('0'))
                                .arg(pixel.argb, 8, 16, QLatin1Char('0'))));
    }
}

QTEST_GUILESS_MAIN(TestXPButtonRender)
#include "tst_xpbuttonrender.moc"
