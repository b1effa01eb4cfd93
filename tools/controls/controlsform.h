#pragma once

#include "platform/propertybag.h"
#include "platform/systemcolors.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QSlider;

namespace kivaro {

class UserControl1;
class XPButton;

// kivaro-controls' window: a form with both drawn controls live on it, the run-time settings that
// change the whole form through the controls' own setters, an event log, and the form's settings
// kept in a form file.
//
// It is the host the controls ask for: a property bag per instance (filled by the control's
// WriteProperties on save, read back by its ReadProperties on open), the ambient display name (the
// instance name), font (the form's), user mode (run mode; design mode on request) and default
// button, change notifications (they make the form modified), focus and tab order, access keys and
// the form's colours for ColorScheme 4.
//
// Opening a file loads the form anew, as a form loads: every instance's settings are read first,
// and only when all of them read are the controls made again, sized, given their settings and
// shown. A file that cannot be read leaves the form as it was.
class ControlsForm : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int ButtonCount = 14;
    static constexpr int BarCount = 7;
    // The event log keeps this many lines, the newest last.
    static constexpr int LogLines = 500;

    enum class FileDialog { Open, Save };
    // The dialogs, behind seams a test can replace. A chooser answers an empty name or no colour for
    // "cancelled".
    using FileChooser = std::function<QString(FileDialog kind, const QString &current)>;
    using ColourChooser = std::function<std::optional<QColor>(const QColor &initial, const QString &title)>;
    using MessageSink = std::function<void(const QString &title, const QString &text)>;
    // What to do with changes not saved yet, before the form is closed or another is opened.
    enum class Unsaved { Save, Discard, Cancel };
    using UnsavedQuestion = std::function<Unsaved()>;

    explicit ControlsForm(QWidget *parent = nullptr);

    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setColourChooser(ColourChooser chooser) { m_chooseColour = std::move(chooser); }
    void setMessageSink(MessageSink sink) { m_tell = std::move(sink); }
    void setUnsavedQuestion(UnsavedQuestion question) { m_askUnsaved = std::move(question); }

    // Loads the form from path. Returns false with a message in error, the form unchanged, when the
    // file cannot be read or lacks one of the form's instances.
    bool openFile(const QString &path, QString &error);
    // Writes every instance's settings to path; the old file is replaced only by a complete new one.
    bool saveFile(const QString &path, QString &error);
    // The form file the form was last opened from or saved to; empty for a new form.
    QString filePath() const { return m_path; }

    // The File menu's actions: they ask through the seams and report failures through the sink.
    void open();
    bool save();
    bool saveAs();

    // The whole form's run-time settings that need a colour (the buttons' ColorScheme 2 colours and
    // the form's own background, which ColorScheme 4 takes), without the dialog.
    void applyBackColor(ColorRef colour);
    void applyBackOver(ColorRef colour);
    void applyFormColour(const QColor &colour);

    // The instances in tab order: XPButton1 ... XPButton14, then Bar1 ... Bar7.
    QStringList instanceNames() const;
    const QList<QPointer<XPButton>> &buttons() const { return m_buttons; }
    const QList<QPointer<UserControl1>> &bars() const { return m_bars; }
    XPButton *button(const QString &name) const;
    // The widget the controls sit on: their parent, whose colours ColorScheme 4 takes.
    QWidget *formSurface() const { return m_surface; }
    // The host's bag of an instance as the last save or open left it.
    PropertyBag bag(const QString &instance) const { return m_bags.value(instance); }
    QStringList logLines() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // True when the form may be closed or replaced: no unsaved changes, or the user saved or
    // dropped them.
    bool mayLeaveTheForm();
    void buildMenus();
    QWidget *buildPanel();
    QWidget *buildLog();
    // Makes the controls anew: from the saved bags, or (bags empty) as the form was designed.
    void buildControls(const QHash<QString, PropertyBag> &saved);
    void designButton(XPButton &button, int index);
    void designBar(UserControl1 &bar, int index);
    void connectButton(XPButton &button);
    void showPanelFor(const XPButton &button);
    // Runs action on every button there is.
    void forEachButton(const std::function<void(XPButton &)> &action);
    void setModified(bool modified);
    void updateTitle();
    void log(const QString &line);

    void chooseColour(const QString &title, const QColor &initial, void (ControlsForm::*apply)(ColorRef));
    void applyColorScheme(int scheme);
    void applyDefaultButton(int index);

    QWidget *m_surface = nullptr;
    QList<QPointer<XPButton>> m_buttons;
    QList<QPointer<UserControl1>> m_bars;
    QHash<QString, PropertyBag> m_bags;
    QString m_path;

    QComboBox *m_colorScheme = nullptr;
    QWidget *m_backColor = nullptr;
    QWidget *m_backOver = nullptr;
    QCheckBox *m_softBevel = nullptr;
    QCheckBox *m_showFocusRect = nullptr;
    QCheckBox *m_enabled = nullptr;
    QComboBox *m_specialEffect = nullptr;
    QComboBox *m_picturePosition = nullptr;
    QComboBox *m_defaultButton = nullptr;
    QCheckBox *m_designMode = nullptr;
    QSlider *m_barValue = nullptr;
    QCheckBox *m_logMoves = nullptr;
    QPlainTextEdit *m_log = nullptr;

    FileChooser m_chooseFile;
    ColourChooser m_chooseColour;
    MessageSink m_tell;
    UnsavedQuestion m_askUnsaved;
};

} // namespace kivaro
