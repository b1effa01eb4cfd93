#include "platform/formfile.h"
#include "platform/systemcolors.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>
#include <QTest>

using namespace kivaro;
using kivaro::test::writeFile;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage twoPixels()
{
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 0, 255));
    return image;
}

} // namespace

class TestFormFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsValues_data();
    void readsValues();
    void fonts_data();
    void fonts();
    void keysInAnyCaseAndMissingKeys();
    void instancesInFileOrder();
    void unreadableFiles_data();
    void unreadableFiles();
    void pictures_data();
    void pictures();
    void roundTrip();
    void writesTheSpelledValues();
    void saveIntoMissingFolderFails();
    void textsRoundTrip_data();
    void textsRoundTrip();
    void filesAsTheyWereWritten_data();
    void filesAsTheyWereWritten();
    void instanceNames_data();
    void instanceNames();
    void nestedVariantsAreText();
    void picturesOfOneFormHaveABudget();

private:
    QTemporaryDir m_dir;
};

void TestFormFile::readsValues_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QVariant>("expected"); // invalid: a bad value

    const auto row = [](const char *name, FormValue type, const char *line, const QVariant &expected) {
        QTest::newRow(name) << static_cast<int>(type) << QByteArray(line) << expected;
    };
    row("integer", FormValue::Integer, "K=42", 42);
    row("negative integer with spaces", FormValue::Integer, "K= -7 ", -7);
    row("integer too large", FormValue::Integer, "K=2147483648", QVariant());
    row("integer with letters", FormValue::Integer, "K=12a", QVariant());
    row("empty integer", FormValue::Integer, "K=", QVariant());
    row("colour", FormValue::Colour, "K=16711680", QVariant::fromValue<quint32>(0xff0000));
    row("system colour", FormValue::Colour, "K=2147483663", QVariant::fromValue<quint32>(0x8000000f));
    row("system colour as signed bits", FormValue::Colour, "K=-2147483633",
        QVariant::fromValue<quint32>(0x8000000f));
    row("colour beyond 32 bits", FormValue::Colour, "K=4294967296", QVariant());
    row("colour by name", FormValue::Colour, "K=red", QVariant());
    row("true", FormValue::Boolean, "K=true", true);
    row("FALSE", FormValue::Boolean, "K=FALSE", false);
    row("yes is not a boolean", FormValue::Boolean, "K=yes", QVariant());
    row("-1 is not a boolean", FormValue::Boolean, "K=-1", QVariant());
    row("text with ampersand", FormValue::Text, "K=Save &As", QStringLiteral("Save &As"));
    row("quoted text with comma", FormValue::Text, "K=\"a, b\"", QStringLiteral("a, b"));
    row("unquoted text with comma", FormValue::Text, "K=a,b", QStringLiteral("a,b"));
    row("unquoted text with comma and blank", FormValue::Text, "K=Save, &As", QStringLiteral("Save, &As"));
    row("semicolon is no comment", FormValue::Text, "K=a ; b", QStringLiteral("a ; b"));
    row("no picture", FormValue::Picture, "K=", QImage());
}

void TestFormFile::readsValues()
{
    QFETCH(int, type);
    QFETCH(QByteArray, line);
    QFETCH(QVariant, expected);
    const QString path = m_dir.filePath(QStringLiteral("values.ini"));
    writeFile(path, "[Command1]\n" + line + "\n");
    FormFile form(path);
    QVERIFY2(form.load(), qPrintable(form.errorString()));
    PropertyBag bag;
    const bool ok
        = form.readInstance(QStringLiteral("Command1"), { { QStringLiteral("K"), FormValue(type) } }, bag);
    QCOMPARE(ok, expected.isValid());
    if (!ok) {
        // The message names the file, the instance and the key, and nothing is half-read.
        QVERIFY2(form.errorString().contains(QStringLiteral("[Command1] K:")),
                 qPrintable(form.errorString()));
        QVERIFY(bag.isEmpty());
        return;
    }
    QCOMPARE(bag.read(QStringLiteral("K")), expected);
}

void TestFormFile::fonts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<QString>("flags"); // b, i, u

    QTest::newRow("family and size") << QByteArray("Arial,8.25") << true << "Arial" << 8.25 << "";
    QTest::newRow("quoted, bold underline")
        << QByteArray("\"Tahoma, 10, bold, underline\"") << true << "Tahoma" << 10.0 << "bu";
    QTest::newRow("italic") << QByteArray("Liberation Serif,12,ITALIC") << true << "Liberation Serif" << 12.0
                            << "i";
    QTest::newRow("no size") << QByteArray("Arial") << false << "" << 0.0 << "";
    QTest::newRow("size in words") << QByteArray("Arial,big") << false << "" << 0.0 << "";
    QTest::newRow("size zero") << QByteArray("Arial,0") << false << "" << 0.0 << "";
    QTest::newRow("unknown flag") << QByteArray("Arial,8,heavy") << false << "" << 0.0 << "";
    QTest::newRow("no family") << QByteArray(",8") << false << "" << 0.0 << "";
}

void TestFormFile::fonts()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    const QString path = m_dir.filePath(QStringLiteral("font.ini"));
    writeFile(path, "[b]\nFONT=" + text + "\n");
    FormFile form(path);
    QVERIFY(form.load());
    PropertyBag bag;
    QCOMPARE(form.readInstance(QStringLiteral("b"), { { QStringLiteral("FONT"), FormValue::Font } }, bag),
             ok);
    if (!ok)
        return;
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(QString, flags);
    const QFont font = bag.read(QStringLiteral("FONT")).value<QFont>();
    QCOMPARE(font.family(), family);
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(font.bold(), flags.contains(u'b'));
    QCOMPARE(font.italic(), flags.contains(u'i'));
    QCOMPARE(font.underline(), flags.contains(u'u'));
}

void TestFormFile::keysInAnyCaseAndMissingKeys()
{
    const QString path = m_dir.filePath(QStringLiteral("case.ini"));
    writeFile(path, "[Command1]\nbtype=3\nEnab=false\nunknown=1\n");
    FormFile form(path);
    QVERIFY(form.load());
    PropertyBag bag;
    const FormSchema schema { { QStringLiteral("BTYPE"), FormValue::Integer },
                              { QStringLiteral("ENAB"), FormValue::Boolean },
                              { QStringLiteral("TX"), FormValue::Text } };
    QVERIFY(form.readInstance(QStringLiteral("Command1"), schema, bag));
    QCOMPARE(bag.read(QStringLiteral("BTYPE")), QVariant(3));
    QCOMPARE(bag.read(QStringLiteral("enab")), QVariant(false));
    // Missing keys stay missing, so the control's own defaults apply; unknown keys are not read.
    QCOMPARE(bag.keys(), (QStringList { QStringLiteral("BTYPE"), QStringLiteral("ENAB") }));
}

void TestFormFile::instancesInFileOrder()
{
    const QString path = m_dir.filePath(QStringLiteral("order.ini"));
    writeFile(path, "TOP=1\n[Zeta]\nTX=z\n[Alpha]\nTX=a\n");
    FormFile form(path);
    QVERIFY(form.load());
    QCOMPARE(form.instances(), (QStringList { QStringLiteral("Zeta"), QStringLiteral("Alpha") }));
    PropertyBag bag;
    const FormSchema schema { { QStringLiteral("TX"), FormValue::Text } };
    QVERIFY(form.readInstance(QString(), schema, bag));
    QCOMPARE(bag.read(QStringLiteral("TX")).toString(), QStringLiteral("z"));
    QVERIFY(!form.readInstance(QStringLiteral("Beta"), schema, bag));
    QVERIFY(form.errorString().contains(QStringLiteral("no control named \"Beta\"")));
}

void TestFormFile::unreadableFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents"); // null: not created
    QTest::addColumn<QString>("message");

    QTest::newRow("missing") << "missing.ini" << QByteArray() << "no such file";
    QTest::newRow("empty") << "empty.ini" << QByteArray("") << "holds no control settings";
    QTest::newRow("only top-level keys")
        << "top.ini" << QByteArray("BTYPE=1\n") << "holds no control settings";
    QTest::newRow("too large") << "large.ini" << QByteArray(FormFile::MaxFileBytes + 1, 'x') << "larger than";
    QTest::newRow("a folder") << "" << QByteArray() << "no such file";
    QTest::newRow("a line without =")
        << "noequals.ini" << QByteArray("[b]\nTX=a\njunk\n") << "not a form file (line 3)";
    QTest::newRow("an unclosed header")
        << "header.ini" << QByteArray("[b\nTX=a\n") << "not a form file (line 1)";
    QTest::newRow("a zero byte") << "zero.ini" << QByteArray("[b]\nTX=a\0b\n", 11) << "not a form file";
}

void TestFormFile::unreadableFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    const QString path = m_dir.filePath(name);
    if (!contents.isNull())
        writeFile(path, contents);
    FormFile form(path);
    QVERIFY(!form.load());
    QVERIFY2(form.errorString().contains(message), qPrintable(form.errorString()));
    QVERIFY(form.instances().isEmpty());
}

void TestFormFile::pictures_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("message"); // empty: read

    QTest::newRow("relative path") << QByteArray("pics/two.png") << "";
    QTest::newRow("missing picture") << QByteArray("pics/none.png") << "not found";
    QTest::newRow("damaged picture") << QByteArray("pics/damaged.png") << "cannot read picture";
    QTest::newRow("a folder") << QByteArray("pics") << "not found";
}

void TestFormFile::pictures()
{
    QFETCH(QByteArray, value);
    QFETCH(QString, message);
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("pics")));
    QVERIFY(twoPixels().save(m_dir.filePath(QStringLiteral("pics/two.png"))));
    writeFile(m_dir.filePath(QStringLiteral("pics/damaged.png")), "\x89PNG\r\n\x1a\nnot really");
    const QString path = m_dir.filePath(QStringLiteral("pictures.ini"));
    writeFile(path, "[Command1]\nPICN=" + value + "\n");
    FormFile form(path);
    QVERIFY(form.load());
    PropertyBag bag;
    const bool ok = form.readInstance({}, { { QStringLiteral("PICN"), FormValue::Picture } }, bag);
    QCOMPARE(ok, message.isEmpty());
    if (!ok) {
        QVERIFY2(form.errorString().contains(message), qPrintable(form.errorString()));
        return;
    }
    const QImage picture = bag.read(QStringLiteral("PICN")).value<QImage>();
    QCOMPARE(picture.size(), QSize(2, 1));
    QCOMPARE(picture.pixel(1, 0), qRgb(0, 0, 255));
}

void TestFormFile::roundTrip()
{
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("rt/pics")));
    QVERIFY(twoPixels().save(m_dir.filePath(QStringLiteral("rt/pics/two.png"))));
    const QString sourcePath = m_dir.filePath(QStringLiteral("rt/source.ini"));
    writeFile(sourcePath, "[Command1]\nPICN=pics/two.png\n");
    FormFile source(sourcePath);
    QVERIFY(source.load());
    PropertyBag loaded;
    const FormSchema schema {
        { QStringLiteral("BTYPE"), FormValue::Integer }, { QStringLiteral("TX"), FormValue::Text },
        { QStringLiteral("ENAB"), FormValue::Boolean },  { QStringLiteral("FONT"), FormValue::Font },
        { QStringLiteral("BCOL"), FormValue::Colour },   { QStringLiteral("PICN"), FormValue::Picture },
        { QStringLiteral("PICH"), FormValue::Picture }
    };
    QVERIFY(source.readInstance({}, schema, loaded));

    PropertyBag bag;
    bag.write(QStringLiteral("BTYPE"), 14);
    bag.write(QStringLiteral("TX"), QStringLiteral("Save, &As = \"now\""));
    bag.write(QStringLiteral("ENAB"), false);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    bag.write(QStringLiteral("FONT"), font);
    bag.write(QStringLiteral("BCOL"), QVariant::fromValue<quint32>(0x8000000f));
    bag.write(QStringLiteral("PICN"), loaded.read(QStringLiteral("PICN")));
    QImage drawn(3, 3, QImage::Format_ARGB32);
    drawn.fill(qRgba(10, 20, 30, 128));
    bag.write(QStringLiteral("PICH"), drawn);

    const QString path = m_dir.filePath(QStringLiteral("rt/saved.ini"));
    FormFile saved(path);
    QVERIFY(saved.writeInstance(QStringLiteral("Command 2"), schema, bag));
    QVERIFY2(saved.save(), qPrintable(saved.errorString()));

    FormFile again(path);
    QVERIFY(again.load());
    QCOMPARE(again.instances(), QStringList { QStringLiteral("Command 2") });
    PropertyBag read;
    QVERIFY2(again.readInstance(QStringLiteral("Command 2"), schema, read), qPrintable(again.errorString()));
    QCOMPARE(read.keys(), bag.keys());
    for (const QString &key :
         { QStringLiteral("BTYPE"), QStringLiteral("TX"), QStringLiteral("ENAB"), QStringLiteral("BCOL") })
        QCOMPARE(read.read(key), bag.read(key));
    const QFont readFont = read.read(QStringLiteral("FONT")).value<QFont>();
    QCOMPARE(readFont.family(), QStringLiteral("Arial"));
    QCOMPARE(readFont.pointSizeF(), 8.25);
    QVERIFY(readFont.bold() && !readFont.italic());
    // The picture that came from a file is referred to where it lies; the drawn one is saved next
    // to the form, with its transparency.
    const QByteArray text = readFile(path);
    QVERIFY2(text.contains("PICN=pics/two.png"), text.constData());
    QVERIFY2(text.contains("PICH=saved.Command_2.pich.png"), text.constData());
    QCOMPARE(read.read(QStringLiteral("PICN")).value<QImage>().pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(read.read(QStringLiteral("PICH")).value<QImage>().pixel(2, 2), qRgba(10, 20, 30, 128));
}

void TestFormFile::writesTheSpelledValues()
{
    const QString path = m_dir.filePath(QStringLiteral("spelled.ini"));
    FormFile form(path);
    const FormSchema schema { { QStringLiteral("BCOL"), FormValue::Colour },
                              { QStringLiteral("ENAB"), FormValue::Boolean },
                              { QStringLiteral("FX"), FormValue::Integer },
                              { QStringLiteral("FONT"), FormValue::Font } };
    PropertyBag bag;
    bag.write(QStringLiteral("bcol"), QVariant::fromValue<quint32>(rgb(32, 64, 128)));
    bag.write(QStringLiteral("ENAB"), true);
    bag.write(QStringLiteral("FX"), -3);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(10);
    font.setItalic(true);
    font.setUnderline(true);
    bag.write(QStringLiteral("FONT"), font);
    QVERIFY(form.writeInstance(QStringLiteral("b"), schema, bag));
    QVERIFY(form.save());
    // In the control's own order; the file is the user's alone.
    QCOMPARE(readFile(path),
             QByteArray("[b]\nBCOL=8405024\nENAB=true\nFX=-3\nFONT=\"Tahoma,10,italic,underline\"\n"));
    QCOMPARE(QFile::permissions(path),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QFont comma;
    comma.setFamily(QStringLiteral("A,B"));
    bag.write(QStringLiteral("FONT"), comma);
    QVERIFY(!form.writeInstance(QStringLiteral("b"), schema, bag));
    QVERIFY(form.errorString().contains(QStringLiteral("comma")));
}

void TestFormFile::saveIntoMissingFolderFails()
{
    FormFile form(m_dir.filePath(QStringLiteral("no/such/folder/form.ini")));
    QVERIFY(form.writeInstance(QStringLiteral("b"), { { QStringLiteral("FX"), FormValue::Integer } }, [] {
        PropertyBag bag;
        bag.write(QStringLiteral("FX"), 1);
        return bag;
    }()));
    QVERIFY(!form.save());
    QVERIFY(form.errorString().startsWith(QStringLiteral("cannot write")));
}

// Texts a control saves come back exactly, whatever they hold, and the file stays one line per key.
void TestFormFile::textsRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("spelled"); // the line as written

    QTest::newRow("plain") << QStringLiteral("Play") << QByteArray("TX=Play");
    QTest::newRow("comma and ampersand") << QStringLiteral("Save, &As") << QByteArray("TX=\"Save, &As\"");
    QTest::newRow("blanks at both ends") << QStringLiteral("  x ") << QByteArray("TX=\"  x \"");
    QTest::newRow("semicolon and equals") << QStringLiteral("a;b=c") << QByteArray("TX=\"a;b=c\"");
    QTest::newRow("quotes and backslash")
        << QStringLiteral("say \"C:\\\\dir\"") << QByteArray("TX=say \\\"C:\\\\\\\\dir\\\"");
    QTest::newRow("line break and tab") << QStringLiteral("a\r\nb\tc") << QByteArray("TX=a\\r\\nb\\tc");
    QTest::newRow("escape then hex digit") << QStringLiteral("\x1b"
                                                             "1[2J")
                                           << QByteArray("TX=\\x1b\\x31[2J");
    QTest::newRow("at sign first") << QStringLiteral("@home") << QByteArray("TX=@@home");
    QTest::newRow("typed-looking text")
        << QStringLiteral("@Variant(\\0\\0\\0\\x7f)") << QByteArray("TX=@@Variant(\\\\0\\\\0\\\\0\\\\x7f)");
    QTest::newRow("hash first") << QStringLiteral("#1") << QByteArray("TX=#1");
    QTest::newRow("beyond Latin-1") << QStringLiteral("Caf\u00e9 \u263a \U0001F3B5")
                                    << QByteArray("TX=Caf\xc3\xa9 \xe2\x98\xba \xf0\x9f\x8e\xb5");
    QTest::newRow("half a character") << QString(QChar(0xd800)) + u'1' << QByteArray("TX=\\xd800\\x31");
    QTest::newRow("longer than 200 bytes") << QString(5000, u'w') << "TX=" + QByteArray(5000, 'w');
    QTest::newRow("empty") << QString() << QByteArray("TX=");
}

void TestFormFile::textsRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, spelled);
    const QString path = m_dir.filePath(QStringLiteral("texts.ini"));
    const FormSchema schema { { QStringLiteral("TX"), FormValue::Text },
                              { QStringLiteral("FX"), FormValue::Integer } };
    PropertyBag bag;
    bag.write(QStringLiteral("TX"), text);
    bag.write(QStringLiteral("FX"), 3);
    FormFile form(path);
    QVERIFY(form.writeInstance(QStringLiteral("b"), schema, bag));
    QVERIFY(form.save());
    QCOMPARE(readFile(path), "[b]\n" + spelled + "\nFX=3\n");

    FormFile again(path);
    QVERIFY2(again.load(), qPrintable(again.errorString()));
    PropertyBag read;
    QVERIFY2(again.readInstance(QStringLiteral("b"), schema, read), qPrintable(again.errorString()));
    QCOMPARE(read.read(QStringLiteral("TX")).toString(), text);
    QCOMPARE(read.read(QStringLiteral("FX")), QVariant(3));
}

// Form files written before Kivaro had its own writer: what they held then is what they hold now.
void TestFormFile::filesAsTheyWereWritten_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("instance");
    QTest::addColumn<QString>("text");

    auto row = [](const char *name, const QByteArray &contents, const QString &instance, const char *text) {
        QTest::newRow(name) << contents << instance << QString::fromUtf8(text);
    };
    const QString b = QStringLiteral("b");
    row("General as it was spelled", "[%General]\nTX=g\n", QStringLiteral("General"), "g");
    row("a name beyond ASCII", "[Kn%F6pfchen]\nTX=k\n", QStringLiteral("Kn\u00f6pfchen"), "k");
    row("a name beyond Latin-1", "[%U263A1]\nTX=s\n", QStringLiteral("\u263a1"), "s");
    row("a percent sign", "[100%25]\nTX=p\n", QStringLiteral("100%"), "p");
    row("quoted comma", "[b]\nTX=\"Save, &As\"\n", b, "Save, &As");
    row("escaped at sign", "[b]\ntx=@@home\n", b, "@home");
    row("octal and hex escapes", "[b]\nTX=a\\011b\\x41\n", b, "a\tbA");
    row("blanks around the value", "[b]\n  TX =  two words  \n", b, "two words");
    row("keys before any header belong to nobody", "TX=top\n[b]\nTX=mine\n", b, "mine");
    row("a later line wins", "[b]\nTX=one\n[c]\nTX=x\n[b]\nTX=two\n", b, "two");
    row("comment lines", "; saved\n# by hand\n[b]\nTX=c\n", b, "c");
}

void TestFormFile::filesAsTheyWereWritten()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, instance);
    QFETCH(QString, text);
    const QString path = m_dir.filePath(QStringLiteral("old.ini"));
    writeFile(path, contents);
    FormFile form(path);
    QVERIFY2(form.load(), qPrintable(form.errorString()));
    QCOMPARE(form.instances().constFirst(), instance);
    PropertyBag bag;
    QVERIFY(form.readInstance(instance, { { QStringLiteral("TX"), FormValue::Text } }, bag));
    QCOMPARE(bag.read(QStringLiteral("TX")).toString(), text);
}

void TestFormFile::instanceNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("header"); // empty: refused

    QTest::newRow("General") << QStringLiteral("General") << QByteArray("[General]");
    QTest::newRow("blank and brackets") << QStringLiteral("a [b]") << QByteArray("[a%20%5Bb%5D]");
    QTest::newRow("48 bytes") << QString(48, u'n') << "[" + QByteArray(48, 'n') + "]";
    QTest::newRow("49 bytes") << QString(49, u'n') << QByteArray();
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestFormFile::instanceNames()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, header);
    const QString path = m_dir.filePath(QStringLiteral("names.ini"));
    const FormSchema schema { { QStringLiteral("FX"), FormValue::Integer } };
    PropertyBag bag;
    bag.write(QStringLiteral("FX"), 2);
    FormFile form(path);
    QCOMPARE(form.writeInstance(name, schema, bag), !header.isEmpty());
    if (header.isEmpty()) {
        QVERIFY(form.errorString().contains(QStringLiteral("name of 1 to 48 bytes")));
        // Nor is a file read whose header may have been cut short.
        writeFile(path, "[" + name.toUtf8() + "x]\nFX=1\n");
        FormFile read(path);
        QCOMPARE(read.load(), name.isEmpty());
        return;
    }
    QVERIFY(form.save());
    QCOMPARE(readFile(path), header + "\nFX=2\n");
    FormFile again(path);
    QVERIFY(again.load());
    QCOMPARE(again.instances(), QStringList { name });
    PropertyBag read;
    QVERIFY(again.readInstance(name, schema, read));
    QCOMPARE(read.read(QStringLiteral("FX")), QVariant(2));
}

// A file of deeply nested typed values, as a hostile file would hold them: they are text, read in
// one pass without recursion, so the file fails cleanly where a number is wanted and is a caption
// where text is.
void TestFormFile::nestedVariantsAreText()
{
    const QByteArray head("[b]\nK=");
    QByteArray value;
    const QByteArray open("@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\tQVariant");
    while (head.size() + value.size() + open.size() + 2 < FormFile::MaxFileBytes)
        value += open;
    value += ')';
    const QByteArray contents = head + value + '\n';
    QVERIFY(contents.size() <= FormFile::MaxFileBytes
            && contents.size() > FormFile::MaxFileBytes - open.size() - 4);
    const QString path = m_dir.filePath(QStringLiteral("variants.ini"));
    writeFile(path, contents);
    FormFile form(path);
    QVERIFY2(form.load(), qPrintable(form.errorString()));
    PropertyBag bag;
    QVERIFY(!form.readInstance(QStringLiteral("b"), { { QStringLiteral("K"), FormValue::Integer } }, bag));
    QVERIFY(form.errorString().contains(QStringLiteral("is not a 32-bit whole number")));
    QVERIFY(form.readInstance(QStringLiteral("b"), { { QStringLiteral("K"), FormValue::Text } }, bag));
    const QString text = bag.read(QStringLiteral("K")).toString();
    QVERIFY(text.startsWith(QStringLiteral("@Variant(")));
    QCOMPARE(text.count(QStringLiteral("@Variant(")), value.count("@Variant("));
}

// The pictures one form may have decoded together are bounded, so a form that points many keys at
// huge pictures is refused before they are decoded.
void TestFormFile::picturesOfOneFormHaveABudget()
{
    const int side = 3000; // 9 million pixels: one fits, two do not
    QImage big(side, side, QImage::Format_RGB32);
    big.fill(Qt::green);
    QVERIFY(big.save(m_dir.filePath(QStringLiteral("big.png"))));
    QVERIFY(qint64(side) * side <= FormFile::MaxFormPicturePixels);
    QVERIFY(2 * qint64(side) * side > FormFile::MaxFormPicturePixels);
    const QString path = m_dir.filePath(QStringLiteral("budget.ini"));
    writeFile(path, "[a]\nPICN=big.png\n[b]\nPICN=big.png\n");
    const FormSchema schema { { QStringLiteral("PICN"), FormValue::Picture } };
    FormFile form(path);
    QVERIFY(form.load());
    PropertyBag first;
    QVERIFY(form.readInstance(QStringLiteral("a"), schema, first));
    QCOMPARE(first.read(QStringLiteral("PICN")).value<QImage>().size(), QSize(side, side));
    PropertyBag second;
    QVERIFY(!form.readInstance(QStringLiteral("b"), schema, second));
    QVERIFY2(form.errorString().contains(QStringLiteral("pictures of one form")),
             qPrintable(form.errorString()));
    // Loading the file again starts a new budget.
    QVERIFY(form.load());
    QVERIFY(form.readInstance(QStringLiteral("b"), schema, second));
}

QTEST_MAIN(TestFormFile)
#include "tst_formfile.moc"
