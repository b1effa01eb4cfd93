#pragma once

#include <QStringList>
#include <QWidget>

namespace kivaro {

class FileListBox;
struct StoredLooks;

// The skin chooser: a small tool window whose file list `File1` shows the skin marker files
// ("*.skn*") of the user's skins folder and then those of the installed skins, a user's skin hiding
// an installed one of the same name. A double-click (or Enter) on a marker loads that skin into the
// main window's stored pictures; the chooser then closes and is destroyed, whether the skin loaded
// or not. Its close box closes it without a change.
//
// It belongs to the main window (its parent), whose stored pictures it writes, so it never
// outlives them.
class Form4 : public QWidget
{
    Q_OBJECT

public:
    static constexpr QSize ClientSize { 153, 171 };

    Form4(const QStringList &skinFolders, StoredLooks &looks, QWidget *mainWindow);

    // Loads the skin of the selected marker file.
    void File1_DblClick();

    FileListBox *File1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    bool loadSkin();
    void reportError();

    QStringList m_skinFolders;
    StoredLooks &m_looks;
};

} // namespace kivaro
