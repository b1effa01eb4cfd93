// kivaro-controls' form: its form files, its event log, focus and access keys on a shown form, the
// run-time settings, and a saved button drawn by kivaro-gallery as the live one draws itself.

#include "kivaroassets.h"
#include "controls/progressbar/usercontrol1.h"
#include "controls/xpbutton/xpbutton.h"
#include "controlsform.h"
#include "testhelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

using namespace kivaro;
using kivaro::test::writeFile;

namespace {

// A saved value as text, so values read back from a file (an int for a 16-bit number, a picture
// decoded from PNG) compare with what the control wrote.
QString describe(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QImage>()) {
        const QImage image = value.value<QImage>().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull())
            return QStringLiteral("no picture");
        const QByteArray bits(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
        return QStringLiteral("picture %1x%2 %3")
            .arg(image.width())
            .arg(image.height())
            .arg(QString::fromLatin1(QCryptographicHash::hash(bits, QCryptographicHash::Md5).toHex()));
    }
    if (value.metaType() == QMetaType::fromType<QFont>()) {
        const QFont font = value.value<QFont>();
        return QStringLiteral("font %1 %2 %3%4%5")
            .arg(font.family())
            .arg(font.pointSizeF())
            .arg(font.bold())
            .arg(font.italic())
            .arg(font.underline());
    }
    return value.toString();
}

// What every instance's own WriteProperties writes now.
QMap<QString, QStringList> snapshot(const ControlsForm &form)
{
    QMap<QString, QStringList> result;
    const auto add = [&result](const QString &name, const PropertyBag &bag) {
        QStringList entries;
        for (const QString &key : bag.keys())
            entries.append(key.toUpper() + u'=' + describe(bag.read(key)));
        result.insert(name, entries);
    };
    for (const QPointer<XPButton> &button : form.buttons()) {
        PropertyBag bag;
        button->WriteProperties(bag);
        add(button->objectName(), bag);
    }
    for (const QPointer<UserControl1> &bar : form.bars()) {
        PropertyBag bag;
        bar->WriteProperties(bag);
        add(bar->objectName(), bag);
    }
    return result;
}

// Instance by instance, so a difference names its instance and entry.
void compareSnapshots(const QMap<QString, QStringList> &actual, const QMap<QString, QStringList> &expected)
{
    QCOMPARE(actual.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QStringList got = actual.value(it.key());
        for (qsizetype i = 0; i < qMax(got.size(), it->size()); ++i)
            QCOMPARE(it.key() + u' ' + got.value(i), it.key() + u' ' + it->value(i));
    }
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList result;
    for (const char *text : texts)
        result.append(QString::fromUtf8(text));
    return result;
}

// True once the process has a handler of its own for signal (its SigCgt mask in /proc).
bool catches(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            bool ok = false;
            const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
            return ok && (mask & (1ULL << (signal - 1))) != 0;
        }
    }
    return false;
}

// A form whose dialogs never show: files and colours come from the test, messages are kept.
struct Host
{
    Host()
        : form(std::make_unique<ControlsForm>())
    {
        form->setFileChooser([this](ControlsForm::FileDialog, const QString &) { return chosenFile; });
        form->setColourChooser([this](const QColor &, const QString &title) -> std::optional<QColor> {
            return title == QLatin1String("BackOver") ? backOver : backColor;
        });
        form->setMessageSink(
            [this](const QString &title, const QString &text) { messages.append(title + u'|' + text); });
        form->setUnsavedQuestion([this] {
            ++questions;
            return unsavedAnswer;
        });
    }
    void show()
    {
        form->move(40, 40);
        form->show();
        form->activateWindow();
    }
    template<typename T> T *find(const QString &name) const { return form->findChild<T *>(name); }
    void choose(const QString &combo, int index) const
    {
        auto *box = find<QComboBox>(combo);
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
    }
    int logIndex(const QString &line) const { return static_cast<int>(form->logLines().indexOf(line)); }

    std::unique_ptr<ControlsForm> form;
    QString chosenFile;
    std::optional<QColor> backColor;
    std::optional<QColor> backOver;
    QStringList messages;
    ControlsForm::Unsaved unsavedAnswer = ControlsForm::Unsaved::Cancel;
    int questions = 0;
};

enum class Edit { None, OwnColours, ToggleBarsPictures, GreySchemeToggle };

void edit(Host &host, Edit how)
{
    switch (how) {
    case Edit::None:
        break;
    case Edit::OwnColours:
        host.choose(QStringLiteral("ColorScheme"), 2);
        host.backColor = QColor(10, 20, 30);
        host.backOver = QColor(200, 100, 0);
        host.find<QPushButton>(QStringLiteral("BackColor"))->click();
        host.find<QPushButton>(QStringLiteral("BackOver"))->click();
        break;
    case Edit::ToggleBarsPictures:
        host.form->button(QStringLiteral("XPButton6"))->setValue(true);
        host.find<QSlider>(QStringLiteral("BarValue"))->setValue(63);
        host.choose(QStringLiteral("PicturePosition"), 2);
        break;
    case Edit::GreySchemeToggle:
        host.choose(QStringLiteral("ColorScheme"), 3);
        host.find<QCheckBox>(QStringLiteral("SoftBevel"))->setChecked(true);
        host.form->button(QStringLiteral("XPButton6"))->setValue(true);
        break;
    }
}

// The saved file with every key spelled as spell says; group headers and values stay.
QByteArray respell(const QByteArray &contents, QByteArray (*spell)(const QByteArray &))
{
    QByteArray result;
    for (const QByteArray &line : contents.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        result += (line.startsWith('[') || equals < 0 ? line : spell(line.left(equals)) + line.mid(equals))
            + '\n';
    }
    return result;
}

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestControlsForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void saveThenOpenGivesTheSameProperties_data();
    void saveThenOpenGivesTheSameProperties();
    void keysInAnyCaseOpenTheSame_data();
    void keysInAnyCaseOpenTheSame();
    void brokenFileLeavesTheFormUnchanged_data();
    void brokenFileLeavesTheFormUnchanged();
    void menuOpenOfABrokenFileTellsOnce();
    void unsavedChangesAreAskedAbout_data();
    void unsavedChangesAreAskedAbout();
    void runTimeSettingsGoThroughTheSetters();
    void failedSaveTellsAndKeepsTheForm();
    void formColourReachesColorScheme4();
    void eventsAreLoggedWithTheirArguments_data();
    void eventsAreLoggedWithTheirArguments();
    void logKeepsTheNewest500Lines();
    void hoverLogsMouseOverThenMouseOutSoon();
    void focusMovesInTabOrder_data();
    void focusMovesInTabOrder();
    void altAccessKeyClicks_data();
    void altAccessKeyClicks();
    void savedButtonRendersAsTheLiveOne_data();
    void savedButtonRendersAsTheLiveOne();
    void startWithAnUnreadableFileFails();
    void endsCleanlyWhenAsked();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestControlsForm::initTestCase()
{
    initAssets();
    QVERIFY(m_dir.isValid());
}

void TestControlsForm::saveThenOpenGivesTheSameProperties_data()
{
    QTest::addColumn<Edit>("how");
    // Entries of the saved file, as "group/key=text", worked out from the design and the edit.
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("as designed") << Edit::None
                                 << strings({ "XPButton1/BTYPE=1", "XPButton1/TX=&Play",
                                              "XPButton5/FONT=Arial,8.25,bold", "XPButton6/CHECK=true",
                                              "XPButton6/VALUE=false", "XPButton7/TX=Rock && &Roll",
                                              "XPButton9/ENAB=false", "XPButton14/BTYPE=14", "Bar1/Value=37",
                                              "Bar2/Color=11034163", "Bar7/Orientation=1" });
    // 10 + 20 x 256 + 30 x 65536 and 200 + 100 x 256.
    QTest::newRow("scheme 2, own colours") << Edit::OwnColours
                                           << strings({ "XPButton3/COLTYPE=2", "XPButton3/BCOL=1971210",
                                                        "XPButton3/BCOLO=25800", "XPButton14/BCOL=1971210" });
    QTest::newRow("toggle down, bars at 63, pictures on top")
        << Edit::ToggleBarsPictures
        << strings({ "XPButton6/VALUE=true", "XPButton1/PICPOS=2", "Bar3/Value=63", "Bar7/Value=63" });
}

void TestControlsForm::saveThenOpenGivesTheSameProperties()
{
    QFETCH(Edit, how);
    QFETCH(QStringList, expected);
    Host saver;
    edit(saver, how);
    const QMap<QString, QStringList> before = snapshot(*saver.form);
    const QString file
        = path(QStringLiteral("roundtrip%1.ini").arg(QLatin1String(QTest::currentDataTag())).remove(u' '));
    QString error;
    QVERIFY2(saver.form->saveFile(file, error), qPrintable(error));
    QVERIFY(!saver.form->isWindowModified());
    QCOMPARE(saver.form->filePath(), file);
    // The host keeps what each control wrote in its bag.
    QCOMPARE(saver.form->bag(QStringLiteral("XPButton6")).readBool(QStringLiteral("VALUE"), false),
             how == Edit::ToggleBarsPictures);

    QSettings written(file, QSettings::IniFormat);
    for (const QString &entry : std::as_const(expected)) {
        const qsizetype equals = entry.indexOf(u'=');
        QCOMPARE(written.value(entry.left(equals)).toString(), entry.mid(equals + 1));
    }

    Host opener;
    QVERIFY2(opener.form->openFile(file, error), qPrintable(error));
    compareSnapshots(snapshot(*opener.form), before);
    QCOMPARE(before.size(), ControlsForm::ButtonCount + ControlsForm::BarCount);
    // One access key each, none of them the File menu's f.
    QString keys;
    for (const QPointer<XPButton> &button : opener.form->buttons())
        keys += button->AccessKey();
    QCOMPARE(keys, QStringLiteral("psnbmlradhgkew"));
    QVERIFY(!opener.form->isWindowModified());
    QCOMPARE(opener.form->filePath(), file);
}

void TestControlsForm::keysInAnyCaseOpenTheSame_data()
{
    QTest::addColumn<int>("spelling");
    QTest::newRow("upper case") << 0;
    QTest::newRow("lower case") << 1;
    QTest::newRow("capitalised") << 2;
}

void TestControlsForm::keysInAnyCaseOpenTheSame()
{
    QFETCH(int, spelling);
    Host saver;
    edit(saver, Edit::GreySchemeToggle);
    const QMap<QString, QStringList> before = snapshot(*saver.form);
    const QString saved = path(QStringLiteral("spelled.ini"));
    QString error;
    QVERIFY2(saver.form->saveFile(saved, error), qPrintable(error));

    QByteArray (*const spellings[])(const QByteArray &) = {
        [](const QByteArray &key) { return key.toUpper(); },
        [](const QByteArray &key) { return key.toLower(); },
        [](const QByteArray &key) { return QByteArray(key.left(1).toUpper() + key.mid(1).toLower()); },
    };
    const QByteArray contents = respell(readFile(saved), spellings[spelling]);
    QVERIFY(contents.contains(spelling == 1 ? "btype=6" : spelling == 2 ? "Btype=6" : "BTYPE=6"));
    const QString file = path(QStringLiteral("spelled%1.ini").arg(spelling));
    QVERIFY(writeFile(file, contents));

    Host opener;
    QVERIFY2(opener.form->openFile(file, error), qPrintable(error));
    compareSnapshots(snapshot(*opener.form), before);
    XPButton *toggle = opener.form->button(QStringLiteral("XPButton6"));
    QCOMPARE(toggle->ColorScheme(), 3);
    QVERIFY(toggle->SoftBevel());
    QVERIFY(toggle->Value());
    QCOMPARE(opener.form->button(QStringLiteral("XPButton7"))->AccessKey(), QChar(u'r'));
}

void TestControlsForm::brokenFileLeavesTheFormUnchanged_data()
{
    QTest::addColumn<QByteArray>("from"); // replaced in a well saved form file; empty: no file at all
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("message"); // part of the error

    QTest::newRow("no such file") << QByteArray() << QByteArray() << QStringLiteral("no such file");
    QTest::newRow("a look that is no number")
        << QByteArray("BTYPE=14") << QByteArray("BTYPE=fourteen") << QStringLiteral("[XPButton14] BTYPE");
    QTest::newRow("the last bar missing")
        << QByteArray("[Bar7]") << QByteArray("[Bar8]") << QStringLiteral("\"Bar7\"");
    QTest::newRow("a picture missing") << QByteArray("PICN=good.XPButton13.picn.png")
                                       << QByteArray("PICN=gone.png") << QStringLiteral("gone.png");
    QTest::newRow("a font without a size")
        << QByteArray("FONT=\"Arial,8.25\"") << QByteArray("FONT=Arial") << QStringLiteral("FONT");
    QTest::newRow("a boolean that is neither")
        << QByteArray("VALUE=false") << QByteArray("VALUE=maybe") << QStringLiteral("VALUE");
}

void TestControlsForm::brokenFileLeavesTheFormUnchanged()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, message);
    Host host;
    const QString good = path(QStringLiteral("good.ini"));
    QString error;
    QVERIFY2(host.form->saveFile(good, error), qPrintable(error));
    // Changed since the save, so the form differs from every file.
    host.choose(QStringLiteral("ColorScheme"), 3);
    QVERIFY(host.form->isWindowModified());

    QString broken = path(QStringLiteral("broken.ini"));
    if (from.isEmpty()) {
        broken = path(QStringLiteral("missing.ini"));
    } else {
        QByteArray contents = readFile(good);
        QVERIFY2(contents.contains(from), contents.constData());
        QVERIFY(writeFile(broken, contents.replace(from, to)));
    }
    const QMap<QString, QStringList> before = snapshot(*host.form);
    const QList<QPointer<XPButton>> buttons = host.form->buttons();
    QVERIFY(!host.form->openFile(broken, error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(snapshot(*host.form), before);
    QCOMPARE(host.form->buttons(), buttons); // the very same controls: none made anew
    QCOMPARE(host.form->filePath(), good);
    QVERIFY(host.form->isWindowModified());
}

void TestControlsForm::menuOpenOfABrokenFileTellsOnce()
{
    Host host;
    host.chosenFile = path(QStringLiteral("not-a-form.ini"));
    QVERIFY(writeFile(host.chosenFile, "just some words\n"));
    const QMap<QString, QStringList> before = snapshot(*host.form);
    host.form->open();
    QCOMPARE(host.messages.size(), 1);
    QVERIFY2(host.messages.constFirst().startsWith(QLatin1String("Open form|")),
             qPrintable(host.messages.constFirst()));
    QVERIFY(host.messages.constFirst().contains(QLatin1String("not a form file (line 1)")));
    QCOMPARE(snapshot(*host.form), before);
    QVERIFY(host.form->filePath().isEmpty());
    // Cancelling the dialog does nothing at all.
    host.chosenFile.clear();
    host.form->open();
    QCOMPARE(host.messages.size(), 1);
}

void TestControlsForm::unsavedChangesAreAskedAbout_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saveDialogCancelled");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");
    const auto answer = [](ControlsForm::Unsaved a) {
        return static_cast<int>(a);
    };
    QTest::newRow("nothing changed: not asked")
        << false << answer(ControlsForm::Unsaved::Cancel) << false << true << false;
    QTest::newRow("Discard") << true << answer(ControlsForm::Unsaved::Discard) << false << true << false;
    QTest::newRow("Cancel") << true << answer(ControlsForm::Unsaved::Cancel) << false << false << false;
    QTest::newRow("Save") << true << answer(ControlsForm::Unsaved::Save) << false << true << true;
    QTest::newRow("Save, its dialog cancelled")
        << true << answer(ControlsForm::Unsaved::Save) << true << false << false;
}

void TestControlsForm::unsavedChangesAreAskedAbout()
{
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, saveDialogCancelled);
    QFETCH(bool, closes);
    QFETCH(bool, saved);
    const QString file
        = path(QStringLiteral("unsaved%1.ini").arg(QLatin1String(QTest::currentDataTag())).remove(u' '));
    const QString other = path(QStringLiteral("other.ini"));
    {
        Host writer;
        QString error;
        QVERIFY2(writer.form->saveFile(other, error), qPrintable(error));
    }
    const auto prepare = [&](Host &host) {
        host.unsavedAnswer = static_cast<ControlsForm::Unsaved>(answer);
        if (changed)
            host.choose(QStringLiteral("ColorScheme"), 3);
        host.chosenFile = saveDialogCancelled ? QString() : file;
    };

    Host closing;
    prepare(closing);
    closing.show();
    QCOMPARE(closing.form->close(), closes);
    QCOMPARE(closing.questions, changed ? 1 : 0);
    QCOMPARE(QFile::exists(file), saved);
    if (saved)
        QVERIFY(readFile(file).contains("COLTYPE=3"));

    // Opening another form asks the same question first; without saving, only Discard goes on.
    if (static_cast<ControlsForm::Unsaved>(answer) != ControlsForm::Unsaved::Save) {
        Host opening;
        prepare(opening);
        opening.chosenFile = other;
        opening.form->open();
        QCOMPARE(opening.questions, changed ? 1 : 0);
        QCOMPARE(opening.form->filePath() == other, closes);
    }
}

void TestControlsForm::runTimeSettingsGoThroughTheSetters()
{
    Host host;
    QVERIFY(!host.form->isWindowModified());
    auto *backColor = host.find<QPushButton>(QStringLiteral("BackColor"));
    QVERIFY(!backColor->isEnabled());
    const ColorRef backOverBefore = host.form->button(QStringLiteral("XPButton2"))->BackOver();

    host.choose(QStringLiteral("ColorScheme"), 2);
    QVERIFY(backColor->isEnabled());
    host.backColor = QColor(10, 20, 30);
    backColor->click();
    host.choose(QStringLiteral("SpecialEffect"), 3);
    host.find<QCheckBox>(QStringLiteral("Enabled"))->setChecked(false);
    host.find<QSlider>(QStringLiteral("BarValue"))->setValue(80);

    for (const QPointer<XPButton> &button : host.form->buttons()) {
        QCOMPARE(button->ColorScheme(), 2);
        QCOMPARE(button->BackColor(), ColorRef(1971210));
        QCOMPARE(button->colors().face, ColorRef(1971210));
        QCOMPARE(button->SpecialEffect(), 3);
        QVERIFY(!button->Enabled());
        QVERIFY(!button->isEnabled());
    }
    // In run mode BackColor leaves BackOver as it was.
    QCOMPARE(host.form->button(QStringLiteral("XPButton2"))->BackOver(), backOverBefore);
    for (const QPointer<UserControl1> &bar : host.form->bars())
        QCOMPARE(bar->percentage(), 80);
    // Each setter's change notification reached the host.
    const QStringList lines = host.form->logLines();
    for (const char *key : { "COLTYPE", "BCOL", "FX", "ENAB" })
        QCOMPARE(lines.count(QStringLiteral("XPButton14 changed %1").arg(QLatin1String(key))), 1);
    QVERIFY(host.form->isWindowModified());

    // A cancelled colour dialog changes nothing.
    host.backColor.reset();
    backColor->click();
    QCOMPARE(host.form->button(QStringLiteral("XPButton1"))->BackColor(), ColorRef(1971210));

    // In design mode BackColor sets BackOver as well.
    host.find<QCheckBox>(QStringLiteral("DesignMode"))->setChecked(true);
    host.form->applyBackColor(0x00102030);
    for (const QPointer<XPButton> &button : host.form->buttons()) {
        QVERIFY(!button->UserMode());
        QCOMPARE(button->BackOver(), ColorRef(0x00102030));
    }
}

void TestControlsForm::failedSaveTellsAndKeepsTheForm()
{
    Host host;
    const QString good = path(QStringLiteral("kept.ini"));
    QString error;
    QVERIFY2(host.form->saveFile(good, error), qPrintable(error));
    const QByteArray saved = readFile(good);
    host.choose(QStringLiteral("ColorScheme"), 3);
    host.chosenFile = path(QStringLiteral("no-such-folder/form.ini"));
    QVERIFY(!host.form->saveAs());
    QCOMPARE(host.messages.size(), 1);
    QVERIFY2(host.messages.constFirst().startsWith(QLatin1String("Save form|cannot write")),
             qPrintable(host.messages.constFirst()));
    QCOMPARE(host.form->filePath(), good);
    QVERIFY(host.form->isWindowModified());
    QCOMPARE(readFile(good), saved);
    // Save goes to the form's own file.
    QVERIFY(host.form->save());
    QVERIFY(readFile(good).contains("COLTYPE=3"));
    QVERIFY(!host.form->isWindowModified());
}

void TestControlsForm::formColourReachesColorScheme4()
{
    Host host;
    host.choose(QStringLiteral("ColorScheme"), 4);
    XPButton *button = host.form->button(QStringLiteral("XPButton3"));
    // The form's own colours, (214, 226, 240) with ink (0, 32, 96), first; then the one chosen.
    QCOMPARE(button->colors().face, rgb(214, 226, 240));
    QCOMPARE(button->colors().text, rgb(0, 32, 96));
    host.form->applyFormColour(QColor(50, 100, 150));
    QCOMPARE(button->colors().face, rgb(50, 100, 150));
    // Scheme 2 keeps its own colours whatever the form's are.
    host.choose(QStringLiteral("ColorScheme"), 2);
    host.form->applyBackColor(rgb(1, 2, 3));
    host.form->applyFormColour(QColor(9, 9, 9));
    QCOMPARE(button->colors().face, rgb(1, 2, 3));
}

void TestControlsForm::eventsAreLoggedWithTheirArguments_data()
{
    QTest::addColumn<int>("what");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("left click") << 0
                                << strings({ "XPButton3 MouseDown Button=1 Shift=0 X=20 Y=10",
                                             "XPButton3 MouseUp Button=1 Shift=0 X=20 Y=10",
                                             "XPButton3 Click" });
    QTest::newRow("right click with Shift") << 1
                                            << strings({ "XPButton3 MouseDown Button=2 Shift=1 X=5 Y=7",
                                                         "XPButton3 MouseUp Button=2 Shift=1 X=5 Y=7" });
    QTest::newRow("Space") << 2
                           << strings({ "XPButton3 KeyDown KeyCode=32 Shift=0",
                                        "XPButton3 KeyPress KeyAscii=32",
                                        "XPButton3 KeyUp KeyCode=32 Shift=0", "XPButton3 Click" });
    // The Shift key itself is a key (16) too; F5 is 112 + 4 and has no character.
    QTest::newRow("Shift+F5") << 3
                              << strings({ "XPButton3 KeyDown KeyCode=16 Shift=1",
                                           "XPButton3 KeyDown KeyCode=116 Shift=1",
                                           "XPButton3 KeyUp KeyCode=116 Shift=1",
                                           "XPButton3 KeyUp KeyCode=16 Shift=0" });
}

void TestControlsForm::eventsAreLoggedWithTheirArguments()
{
    QFETCH(int, what);
    QFETCH(QStringList, lines);
    Host host;
    host.show();
    QVERIFY(QTest::qWaitForWindowActive(host.form.get()));
    host.find<QCheckBox>(QStringLiteral("LogMouseMove"))->setChecked(false);
    XPButton *button = host.form->button(QStringLiteral("XPButton3"));
    button->setFocus();
    switch (what) {
    case 0:
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 10));
        break;
    case 1:
        QTest::mouseClick(button, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 7));
        break;
    case 2:
        QTest::keyClick(button, Qt::Key_Space);
        break;
    case 3:
        QTest::keyClick(button, Qt::Key_F5, Qt::ShiftModifier);
        break;
    }
    QStringList logged = host.form->logLines();
    logged.erase(
        std::remove_if(logged.begin(), logged.end(),
                       [](const QString &line) { return !line.startsWith(QLatin1String("XPButton3 ")); }),
        logged.end());
    QCOMPARE(logged.join(u'|'), lines.join(u'|'));
}

void TestControlsForm::logKeepsTheNewest500Lines()
{
    Host host;
    host.show();
    QVERIFY(QTest::qWaitForWindowActive(host.form.get()));
    XPButton *button = host.form->button(QStringLiteral("XPButton4"));
    button->setFocus();
    // 200 presses of "a" log 600 lines (KeyDown, KeyPress, KeyUp); the first 100 go.
    for (int i = 0; i < 200; ++i)
        QTest::keyClick(button, Qt::Key_A);
    const QStringList lines = host.form->logLines();
    QCOMPARE(lines.size(), ControlsForm::LogLines);
    QCOMPARE(lines.constFirst(), QStringLiteral("XPButton4 KeyPress KeyAscii=97")); // line 101: 100 % 3 = 1
    QCOMPARE(lines.constLast(), QStringLiteral("XPButton4 KeyUp KeyCode=65 Shift=0"));
}

void TestControlsForm::hoverLogsMouseOverThenMouseOutSoon()
{
    Host host;
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(host.form.get()));
    XPButton *button = host.form->button(QStringLiteral("XPButton4"));
    QWidget *surface = host.form->formSurface();
    const QPoint away = surface->mapToGlobal(QPoint(surface->width() - 5, surface->height() - 5));
    QCursor::setPos(away);
    QCursor::setPos(button->mapToGlobal(QPoint(30, 20)));
    QTRY_VERIFY(host.logIndex(QStringLiteral("XPButton4 MouseOver")) >= 0);
    QCursor::setPos(button->mapToGlobal(QPoint(40, 22)));
    QCOMPARE(host.form->logLines().count(QStringLiteral("XPButton4 MouseOver")), 1);

    QElapsedTimer left;
    left.start();
    QCursor::setPos(away);
    QTRY_VERIFY(host.logIndex(QStringLiteral("XPButton4 MouseOut")) >= 0);
    // One 100 ms tick of the hover timer, and what a busy machine with sanitizers adds.
    QVERIFY2(left.elapsed() < 600, qPrintable(QString::number(left.elapsed())));
    QVERIFY(host.logIndex(QStringLiteral("XPButton4 MouseOver"))
            < host.logIndex(QStringLiteral("XPButton4 MouseOut")));
    QVERIFY(host.logIndex(QStringLiteral("XPButton4 MouseMove Button=0 Shift=0 X=30 Y=20")) >= 0);
}

void TestControlsForm::focusMovesInTabOrder_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("reopened"); // the controls made anew from a saved form first
    const auto row
        = [](const char *tag, int from, int key, bool shift, const char *to, bool reopened = false) {
              QTest::newRow(tag) << QStringLiteral("XPButton%1").arg(from) << key << shift
                                 << QString::fromLatin1(to) << reopened;
          };
    row("Tab", 1, Qt::Key_Tab, false, "XPButton2");
    row("Shift+Tab", 2, Qt::Key_Tab, true, "XPButton1");
    row("Right", 3, Qt::Key_Right, false, "XPButton4");
    row("Down, to the next row", 7, Qt::Key_Down, false, "XPButton8");
    row("Left", 5, Qt::Key_Left, false, "XPButton4");
    row("Up", 2, Qt::Key_Up, false, "XPButton1");
    row("Tab passes the disabled button", 8, Qt::Key_Tab, false, "XPButton10");
    row("Left passes it back", 10, Qt::Key_Left, false, "XPButton8");
    row("Tab from the last button to the settings", 14, Qt::Key_Tab, false, "ColorScheme");
    row("Right, reopened", 3, Qt::Key_Right, false, "XPButton4", true);
    row("Shift+Tab from the first button to the log's last setting, reopened", 1, Qt::Key_Tab, true, "Clear",
        true);
}

void TestControlsForm::focusMovesInTabOrder()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(QString, to);
    QFETCH(bool, reopened);
    Host host;
    host.show();
    QVERIFY(QTest::qWaitForWindowActive(host.form.get()));
    if (reopened) {
        const QString file = path(QStringLiteral("focus.ini"));
        QString error;
        QVERIFY2(host.form->saveFile(file, error) && host.form->openFile(file, error), qPrintable(error));
    }
    XPButton *start = host.form->button(from);
    start->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), start);
    QTest::keyClick(start, Qt::Key(key), shift ? Qt::ShiftModifier : Qt::NoModifier);
    QTRY_VERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), to);
    if (key != Qt::Key_Tab) {
        // Arrow keys reach the button as KeyDown with their virtual key code first.
        const int code = key == Qt::Key_Left ? 37 : key == Qt::Key_Up ? 38 : key == Qt::Key_Right ? 39 : 40;
        QVERIFY(host.logIndex(QStringLiteral("%1 KeyDown KeyCode=%2 Shift=0").arg(from).arg(code)) >= 0);
    }
}

void TestControlsForm::altAccessKeyClicks_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("toggles");
    QTest::newRow("Alt+L, the toggle") << int(Qt::Key_L) << QStringLiteral("XPButton6") << true;
    QTest::newRow("Alt+R, after a literal &&") << int(Qt::Key_R) << QStringLiteral("XPButton7") << false;
    QTest::newRow("Alt+W, the last") << int(Qt::Key_W) << QStringLiteral("XPButton14") << false;
}

void TestControlsForm::altAccessKeyClicks()
{
    QFETCH(int, key);
    QFETCH(QString, name);
    QFETCH(bool, toggles);
    Host host;
    host.show();
    QVERIFY(QTest::qWaitForWindowActive(host.form.get()));
    XPButton *first = host.form->button(QStringLiteral("XPButton1"));
    first->setFocus();
    XPButton *target = host.form->button(name);
    QVERIFY(!target->Value());
    QTest::keyClick(first, Qt::Key(key), Qt::AltModifier);
    QCOMPARE(host.form->logLines().count(name + QStringLiteral(" Click")), 1);
    QCOMPARE(target->Value(), toggles);
    QCOMPARE(target->lastPaintedState(), toggles ? XPButton::StateDown : XPButton::StateUp);
    QCOMPARE(host.form->isWindowModified(), toggles); // the saved VALUE changed
    QTest::keyClick(first, Qt::Key(key), Qt::AltModifier);
    QCOMPARE(host.form->logLines().count(name + QStringLiteral(" Click")), 2);
    QVERIFY(!target->Value());
    // The focus stays where it was.
    QCOMPARE(QApplication::focusWidget(), first);
}

void TestControlsForm::savedButtonRendersAsTheLiveOne_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Edit>("how");
    QTest::addColumn<QStringList>("options"); // besides the file, size, state and output
    QTest::newRow("1: picture, default button")
        << QStringLiteral("XPButton1") << Edit::None << strings({ "--default" });
    QTest::newRow("2: greyscale picture on the right")
        << QStringLiteral("XPButton2") << Edit::None << QStringList();
    QTest::newRow("5: etched, bold") << QStringLiteral("XPButton5") << Edit::None << QStringList();
    QTest::newRow("6: the toggle, down")
        << QStringLiteral("XPButton6") << Edit::ToggleBarsPictures << QStringList();
    QTest::newRow("8: icon on top") << QStringLiteral("XPButton8") << Edit::ToggleBarsPictures
                                    << QStringList();
    QTest::newRow("9: disabled") << QStringLiteral("XPButton9") << Edit::None << QStringList();
    QTest::newRow("13: round, own colours")
        << QStringLiteral("XPButton13") << Edit::OwnColours << QStringList();
}

void TestControlsForm::savedButtonRendersAsTheLiveOne()
{
    QFETCH(QString, name);
    QFETCH(Edit, how);
    QFETCH(QStringList, options);
    Host host;
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(host.form.get()));
    edit(host, how);
    const QString file = path(QStringLiteral("render.ini"));
    QString error;
    QVERIFY2(host.form->saveFile(file, error), qPrintable(error));

    XPButton *button = host.form->button(name);
    const QString output = path(QStringLiteral("%1.png").arg(name));
    QProcess gallery;
    gallery.start(QStringLiteral(KIVARO_GALLERY),
                  QStringList({ QStringLiteral("--xpbutton"), file + u'#' + name, QStringLiteral("--size"),
                                QStringLiteral("%1x%2").arg(button->width()).arg(button->height()),
                                QStringLiteral("--state"), QStringLiteral("up"), output })
                      + options);
    QVERIFY(gallery.waitForFinished(60000));
    QVERIFY2(gallery.exitCode() == 0, gallery.readAllStandardError().constData());
    const QImage rendered(output);
    QCOMPARE(rendered.size(), button->size());

    button->paintAs(XPButton::StateUp, false, false);
    const QImage live = button->surface();
    const QRegion shape = button->mask().isEmpty() ? QRegion(button->rect()) : button->mask();
    int differing = 0;
    for (int y = 0; y < live.height(); ++y) {
        for (int x = 0; x < live.width(); ++x) {
            const QRgb want = shape.contains(QPoint(x, y)) ? (live.pixel(x, y) | 0xff000000u) : 0u;
            const QRgb got = rendered.pixel(x, y);
            if ((qAlpha(want) == 0 ? qAlpha(got) != 0 : got != want) && differing++ < 3)
                qWarning("(%d, %d): live %08x, rendered %08x", x, y, want, got);
        }
    }
    QCOMPARE(differing, 0);
}

void TestControlsForm::startWithAnUnreadableFileFails()
{
    const QString bad = path(QStringLiteral("bad-start.ini"));
    QVERIFY(writeFile(bad, "[XPButton1]\nBTYPE=one\n"));
    QProcess controls;
    controls.start(QStringLiteral(KIVARO_CONTROLS), QStringList { bad });
    QVERIFY(controls.waitForFinished(60000));
    QCOMPARE(controls.exitStatus(), QProcess::NormalExit);
    QCOMPARE(controls.exitCode(), 1);
    const QString errors = QString::fromUtf8(controls.readAllStandardError());
    QVERIFY2(errors.contains(QLatin1String("kivaro-controls: ")) && errors.contains(QLatin1String("BTYPE")),
             qPrintable(errors));
}

// The program as a user starts it: its form shown, then asked to end (each signal that asks it to
// end takes the same way: tst_endsignals).
void TestControlsForm::endsCleanlyWhenAsked()
{
    constexpr int signal = SIGTERM;
    QProcess controls;
    controls.start(QStringLiteral(KIVARO_CONTROLS), QStringList());
    QVERIFY(controls.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(controls.state() != QProcess::Running || catches(controls.processId(), signal),
                             30000);
    QVERIFY2(controls.state() == QProcess::Running,
             qPrintable(QLatin1String("it ended by itself: ")
                        + QString::fromUtf8(controls.readAllStandardError())));
    QCOMPARE(::kill(static_cast<pid_t>(controls.processId()), signal), 0);
    QVERIFY(controls.waitForFinished(30000));
    const QString errors = QString::fromUtf8(controls.readAllStandardError());
    QCOMPARE(controls.exitStatus(), QProcess::NormalExit);
    QVERIFY2(controls.exitCode() == 0, qPrintable(errors));
    // A form without changes loses nothing, so nothing is said.
    QVERIFY2(!errors.contains(QLatin1String("not saved")), qPrintable(errors));
}

QTEST_MAIN(TestControlsForm)
#include "tst_controlsform.moc"
