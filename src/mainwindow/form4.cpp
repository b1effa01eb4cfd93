#include "mainwindow/form4.h"

#include "mainwindow/accessibleelement.h"
#include "mainwindow/filelistbox.h"
#include "mainwindow/skinloader.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QSet>

namespace kivaro {

namespace {

// Marker files: "*.skn*", so that blue.skn and blue.sknx both count.
const QLatin1String MarkerPattern("*.skn*");
const QLatin1String EveryFile("*.*");

} // namespace

Form4::Form4(const QStringList &skinFolders, StoredLooks &looks, QWidget *mainWindow)
    : QWidget(mainWindow,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_skinFolders(skinFolders)
    , m_looks(looks)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(tr("Choose Skin"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(ClientSize);

    File1 = new FileListBox(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setGeometry(rect());
    File1->setPattern(MarkerPattern);
    File1->installEventFilter(this);
    connect(File1, &QListWidget::itemDoubleClicked, this, &Form4::File1_DblClick);
    // For a screen reader: a window, and the list of skins in it (Enter chooses, as a double click).
    new AccessibleElement(this, QAccessible::Window, [this] { return windowTitle(); });
    File1->setAccessibleName(tr("Skins"));

    Form_Load();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void Form4::Form_Load()
{
    // A missing folder is an empty part of the list. A skin already listed, by its name, hides a
    // later folder's skin of that name.
    QSet<QString> listed;
    for (const QString &folder : std::as_const(m_skinFolders)) {
        const int first = File1->count();
        File1->addPath(folder, [&listed](const QString &name) {
            return !listed.contains(SkinLoader::nameBeforeFirstDot(name));
        });
        for (int row = first; row < File1->count(); ++row)
            listed.insert(SkinLoader::nameBeforeFirstDot(File1->fileName(row)));
    }
}

void Form4::File1_DblClick()
{
    hide();
    if (!loadSkin())
        reportError();
    close();
}

bool Form4::loadSkin()
{
    const int selected = File1->currentRow();
    if (selected < 0 || !File1->item(selected)->isSelected())
        return false;
    const QString skin = SkinLoader::nameBeforeFirstDot(File1->fileName(selected));
    const QString folder = File1->folderOf(selected) + QLatin1Char('/') + skin;

    // The marker's name is read before the list changes to the skin folder's files.
    File1->setPattern(EveryFile);
    if (!File1->setPath(folder))
        return false;
    SkinLoader loader(m_looks);
    for (int row = 0; row < File1->count(); ++row) {
        File1->setCurrentRow(row);
        if (loader.giveFile(folder, File1->fileName(row)) == SkinLoader::Outcome::Failed)
            return false;
    }
    return true;
}

void Form4::reportError()
{
    // The main window stays; the message belongs to it, as this window is about to go.
    auto *box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Kivaro"),
                                QStringLiteral("Error loading skin.."), QMessageBox::Ok, parentWidget());
    box->setObjectName(QStringLiteral("skinError"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}

bool Form4::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == File1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && File1->currentItem()
            && File1->currentItem()->isSelected()) {
            File1_DblClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kivaro
