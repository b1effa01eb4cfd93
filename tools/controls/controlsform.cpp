#include "controlsform.h"

#include "controls/progressbar/progressbarstyle.h"
#include "controls/progressbar/usercontrol1.h"
#include "controls/xpbutton/xpbutton.h"
#include "controls/xpbutton/xpbuttonstyle.h"
#include "platform/formfile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <array>

namespace kivaro {

namespace {

// The form as it was designed: seven buttons a row, a label naming each one's look above it, and
// the progress bars below them in two columns, with one standing bar at the right.
constexpr int Margin = 14;
constexpr int ButtonsPerRow = 7;
constexpr int CellWidth = 126;
constexpr QSize ButtonSize(112, 46);
constexpr int LabelHeight = 16;
constexpr int ButtonRowTop[2] = { 10, 92 };
constexpr int BarTop = 176;
constexpr int BarRowHeight = 46;
constexpr int BarsPerColumn = 3;
constexpr QSize BarSize(400, 22);
constexpr int BarColumnLeft[2] = { Margin, Margin + BarSize.width() + Margin };
constexpr QRect StandingBar(842, BarTop, 28, 114);
constexpr QSize FormSize(Margin + ButtonsPerRow * CellWidth, BarTop + BarsPerColumn * BarRowHeight + Margin);

// The form's own colours, which ColorScheme 4 takes: a pale steel blue apart from the system's
// button face, so the scheme shows, and navy ink.
constexpr QRgb FormColour = qRgb(214, 226, 240);
constexpr QRgb FormInk = qRgb(0, 32, 96);
constexpr double FormFontPoints = 8.25;
const QString FormFontFamily = QStringLiteral("Arial");

const QString ButtonPrefix = QStringLiteral("XPButton");
const QString BarPrefix = QStringLiteral("Bar");

// One access key each, none of them taken by the menu bar (Alt+F).
constexpr std::array<const char *, ControlsForm::ButtonCount> Captions {
    "&Play", "&Stop",   "&Next", "&Back",  "&Mute", "&Loop",  "Rock && &Roll",
    "&Add",  "&Delete", "&Help", "&Glass", "&Keep", "&Eject", "&Wave",
};
// Which button is which in the design.
constexpr int PlayButton = 0;
constexpr int StopButton = 1;
constexpr int ToggleButton = 5;
constexpr int AddButton = 7;
constexpr int DisabledButton = 8;
constexpr int EjectButton = 12;
constexpr int DefaultButton = 0;

// The progress bars' looks: Scrolling, text shown, Orientation.
struct BarDesign
{
    int scrolling;
    bool showText;
    int orientation;
};
constexpr std::array<BarDesign, ControlsForm::BarCount> Bars { {
    { progressbar::LookSegmented, true, progressbar::Horizontal },
    { 1, false, progressbar::Horizontal },
    { 4, true, progressbar::Horizontal },
    { 5, true, progressbar::Horizontal },
    { 6, true, progressbar::Horizontal },
    { progressbar::LookHatched, false, progressbar::Horizontal },
    { 1, false, 1 },
} };
constexpr ColorRef MainWindowBlue = 0x00A85E33;
constexpr int BarHatch = 4;
constexpr int StartValue = 37;

const QStringList SchemeNames { QStringLiteral("0 - system"), QStringLiteral("1 - system (new button)"),
                                QStringLiteral("2 - BackColor / BackOver"), QStringLiteral("3 - grey"),
                                QStringLiteral("4 - the form's colours") };
const QStringList EffectNames { QStringLiteral("0 - none"), QStringLiteral("1 - raised"),
                                QStringLiteral("2 - sunken"), QStringLiteral("3 - shadow") };
const QStringList PositionNames { QStringLiteral("0 - left"), QStringLiteral("1 - right"),
                                  QStringLiteral("2 - top"), QStringLiteral("3 - bottom"),
                                  QStringLiteral("4 - behind the caption") };

// The pictures: 16 x 16 on the mask colour, or with a transparent background (drawn as an icon).
constexpr QRgb MaskGrey = qRgb(192, 192, 192);
enum class Glyph { Play, PlayHot, Stop, Plus, Eject };

QImage drawGlyph(Glyph glyph)
{
    const bool icon = glyph == Glyph::Plus;
    QImage picture(16, 16, icon ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    picture.fill(icon ? QColor(Qt::transparent) : QColor::fromRgb(MaskGrey));
    QPainter painter(&picture);
    painter.setPen(Qt::NoPen);
    switch (glyph) {
    case Glyph::Play:
    case Glyph::PlayHot:
        painter.setBrush(glyph == Glyph::Play ? QColor(20, 130, 40) : QColor(60, 200, 70));
        painter.drawPolygon(QPolygon { QPoint(3, 1), QPoint(14, 8), QPoint(3, 15) });
        break;
    case Glyph::Stop:
        painter.setBrush(QColor(190, 30, 30));
        painter.drawRect(2, 2, 12, 12);
        painter.setBrush(QColor(240, 140, 140));
        painter.drawRect(4, 4, 3, 3);
        break;
    case Glyph::Plus:
        painter.setBrush(QColor(30, 60, 170));
        painter.drawRect(6, 1, 4, 14);
        painter.drawRect(1, 6, 14, 4);
        break;
    case Glyph::Eject:
        painter.setBrush(QColor(40, 40, 40));
        painter.drawPolygon(QPolygon { QPoint(8, 2), QPoint(15, 9), QPoint(1, 9) });
        painter.drawRect(1, 11, 15, 3);
        break;
    }
    return picture;
}

QString buttonName(int index)
{
    return ButtonPrefix + QString::number(index + 1);
}

QString barName(int index)
{
    return BarPrefix + QString::number(index + 1);
}

QRect buttonGeometry(int index)
{
    const int row = index / ButtonsPerRow;
    const int column = index % ButtonsPerRow;
    return { QPoint(Margin + column * CellWidth, ButtonRowTop[row] + LabelHeight), ButtonSize };
}

QRect barGeometry(int index)
{
    if (Bars.at(static_cast<size_t>(index)).orientation != progressbar::Horizontal)
        return StandingBar;
    const int column = index / BarsPerColumn;
    const int row = index % BarsPerColumn;
    return { QPoint(BarColumnLeft[column], BarTop + row * BarRowHeight + LabelHeight), BarSize };
}

QColor colourOf(ColorRef colour)
{
    return QColor::fromRgb(toQRgb(TranslateColor(colour)));
}

QString number(float value)
{
    return QString::number(static_cast<double>(value));
}

void selectInRange(QComboBox &combo, int value)
{
    const QSignalBlocker blocker(combo);
    combo.setCurrentIndex(value >= 0 && value < combo.count() ? value : -1);
}

} // namespace

ControlsForm::ControlsForm(QWidget *parent)
    : QMainWindow(parent)
{
    m_chooseFile = [this](FileDialog kind, const QString &current) {
        const QString filter = QStringLiteral("Form files (*.ini);;All files (*)");
        if (kind == FileDialog::Open)
            return QFileDialog::getOpenFileName(this, QStringLiteral("Open form"), current, filter);
        QFileDialog dialog(this, QStringLiteral("Save form as"), current, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("ini"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    m_chooseColour = [this](const QColor &initial, const QString &title) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, this, title);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    };
    m_tell = [this](const QString &title, const QString &text) {
        // File names and messages from a file are shown as they are, never as markup.
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };

    m_askUnsaved = [this] {
        const QMessageBox::StandardButton answer = QMessageBox::question(
            this, QStringLiteral("kivaro-controls"),
            QStringLiteral("The form has changes that are not saved. Save them?"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        return answer == QMessageBox::Save   ? Unsaved::Save
            : answer == QMessageBox::Discard ? Unsaved::Discard
                                             : Unsaved::Cancel;
    };

    m_surface = new QWidget;
    m_surface->setObjectName(QStringLiteral("Form"));
    m_surface->setFixedSize(FormSize);
    m_surface->setAutoFillBackground(true);
    QPalette palette = m_surface->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(FormColour));
    palette.setColor(QPalette::WindowText, QColor::fromRgb(FormInk));
    m_surface->setPalette(palette);
    QFont formFont(FormFontFamily);
    formFont.setPointSizeF(FormFontPoints);
    m_surface->setFont(formFont);
    for (int i = 0; i < ButtonCount; ++i) {
        auto *label = new QLabel(QStringLiteral("ButtonType %1").arg(i + 1), m_surface);
        label->setGeometry(buttonGeometry(i).left(), buttonGeometry(i).top() - LabelHeight,
                           ButtonSize.width(), LabelHeight);
    }
    for (int i = 0; i < BarCount; ++i) {
        const BarDesign &design = Bars.at(static_cast<size_t>(i));
        if (design.orientation != progressbar::Horizontal)
            continue;
        auto *label
            = new QLabel(QStringLiteral("%1: Scrolling %2").arg(barName(i)).arg(design.scrolling), m_surface);
        label->setGeometry(barGeometry(i).left(), barGeometry(i).top() - LabelHeight, BarSize.width(),
                           LabelHeight);
    }

    auto *central = new QWidget;
    auto *grid = new QGridLayout(central);
    grid->addWidget(m_surface, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(buildPanel(), 0, 1, 2, 1);
    grid->addWidget(buildLog(), 1, 0);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    setCentralWidget(central);
    buildMenus();

    buildControls({});
    showPanelFor(*m_buttons.constFirst());
    updateTitle();
}

// --- The window ---------------------------------------------------------------------------------

void ControlsForm::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *openAction = file->addAction(QStringLiteral("&Open..."), this, &ControlsForm::open);
    openAction->setShortcut(QKeySequence::Open);
    QAction *saveAction = file->addAction(QStringLiteral("&Save"), this, &ControlsForm::save);
    saveAction->setShortcut(QKeySequence::Save);
    QAction *saveAsAction = file->addAction(QStringLiteral("Save &As..."), this, &ControlsForm::saveAs);
    // Not every desktop has a Save As key of its own; this is the usual one.
    saveAsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addSeparator();
    QAction *quit = file->addAction(QStringLiteral("&Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);
}

QWidget *ControlsForm::buildPanel()
{
    auto *panel = new QGroupBox(QStringLiteral("The whole form, at run time"));
    auto *form = new QFormLayout(panel);

    m_colorScheme = new QComboBox;
    m_colorScheme->setObjectName(QStringLiteral("ColorScheme"));
    m_colorScheme->addItems(SchemeNames);
    connect(m_colorScheme, &QComboBox::activated, this, &ControlsForm::applyColorScheme);
    form->addRow(QStringLiteral("ColorScheme"), m_colorScheme);

    auto *backColor = new QPushButton(QStringLiteral("BackColor..."));
    backColor->setObjectName(QStringLiteral("BackColor"));
    connect(backColor, &QPushButton::clicked, this, [this] {
        chooseColour(QStringLiteral("BackColor"), colourOf(m_buttons.constFirst()->BackColor()),
                     &ControlsForm::applyBackColor);
    });
    auto *backOver = new QPushButton(QStringLiteral("BackOver..."));
    backOver->setObjectName(QStringLiteral("BackOver"));
    connect(backOver, &QPushButton::clicked, this, [this] {
        chooseColour(QStringLiteral("BackOver"), colourOf(m_buttons.constFirst()->BackOver()),
                     &ControlsForm::applyBackOver);
    });
    m_backColor = backColor;
    m_backOver = backOver;
    auto *colours = new QHBoxLayout;
    colours->addWidget(backColor);
    colours->addWidget(backOver);
    form->addRow(QStringLiteral("Scheme 2"), colours);

    auto *formColour = new QPushButton(QStringLiteral("Form colour..."));
    formColour->setObjectName(QStringLiteral("FormColour"));
    connect(formColour, &QPushButton::clicked, this, [this] {
        if (const std::optional<QColor> chosen = m_chooseColour(m_surface->palette().color(QPalette::Window),
                                                                QStringLiteral("The form's colour")))
            applyFormColour(*chosen);
    });
    form->addRow(QStringLiteral("Scheme 4"), formColour);

    const auto checkBox = [this, form](const QString &name, void (XPButton::*setter)(bool)) {
        auto *box = new QCheckBox(name);
        box->setObjectName(name);
        connect(box, &QCheckBox::toggled, this, [this, setter](bool on) {
            forEachButton([setter, on](XPButton &button) { (button.*setter)(on); });
        });
        form->addRow(QString(), box);
        return box;
    };
    m_softBevel = checkBox(QStringLiteral("SoftBevel"), &XPButton::setSoftBevel);
    m_showFocusRect = checkBox(QStringLiteral("ShowFocusRect"), &XPButton::setShowFocusRect);
    m_enabled = checkBox(QStringLiteral("Enabled"), &XPButton::setEnabled);

    const auto choice
        = [this, form](const QString &name, const QStringList &items, void (XPButton::*setter)(int)) {
              auto *combo = new QComboBox;
              combo->setObjectName(name);
              combo->addItems(items);
              connect(combo, &QComboBox::activated, this, [this, setter](int value) {
                  forEachButton([setter, value](XPButton &button) { (button.*setter)(value); });
              });
              form->addRow(name, combo);
              return combo;
          };
    m_specialEffect = choice(QStringLiteral("SpecialEffect"), EffectNames, &XPButton::setSpecialEffect);
    m_picturePosition
        = choice(QStringLiteral("PicturePosition"), PositionNames, &XPButton::setPicturePosition);

    m_defaultButton = new QComboBox;
    m_defaultButton->setObjectName(QStringLiteral("DefaultButton"));
    m_defaultButton->addItem(QStringLiteral("none"));
    for (int i = 0; i < ButtonCount; ++i)
        m_defaultButton->addItem(buttonName(i));
    m_defaultButton->setCurrentIndex(DefaultButton + 1);
    connect(m_defaultButton, &QComboBox::activated, this, &ControlsForm::applyDefaultButton);
    form->addRow(QStringLiteral("Default button"), m_defaultButton);

    m_designMode = new QCheckBox(QStringLiteral("Design mode (UserMode false)"));
    m_designMode->setObjectName(QStringLiteral("DesignMode"));
    connect(m_designMode, &QCheckBox::toggled, this, [this](bool design) {
        forEachButton([design](XPButton &button) { button.setUserMode(!design); });
    });
    form->addRow(QString(), m_designMode);

    m_barValue = new QSlider(Qt::Horizontal);
    m_barValue->setObjectName(QStringLiteral("BarValue"));
    m_barValue->setRange(progressbar::DefaultMin, progressbar::DefaultMax);
    m_barValue->setValue(StartValue);
    auto *shown = new QLabel(QString::number(StartValue));
    shown->setMinimumWidth(shown->fontMetrics().horizontalAdvance(QStringLiteral("100")));
    connect(m_barValue, &QSlider::valueChanged, this, [this, shown](int value) {
        shown->setNum(value);
        for (const QPointer<UserControl1> &bar : std::as_const(m_bars)) {
            if (bar)
                bar->setValue(value);
        }
        setModified(true);
    });
    auto *valueRow = new QHBoxLayout;
    valueRow->addWidget(m_barValue);
    valueRow->addWidget(shown);
    form->addRow(QStringLiteral("Bars' Value"), valueRow);
    return panel;
}

QWidget *ControlsForm::buildLog()
{
    auto *box = new QGroupBox(QStringLiteral("Events, newest last"));
    auto *layout = new QVBoxLayout(box);
    m_log = new QPlainTextEdit;
    m_log->setObjectName(QStringLiteral("EventLog"));
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(LogLines);
    m_log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_log->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(m_log);
    auto *row = new QHBoxLayout;
    m_logMoves = new QCheckBox(QStringLiteral("MouseMove"));
    m_logMoves->setObjectName(QStringLiteral("LogMouseMove"));
    m_logMoves->setChecked(true);
    row->addWidget(m_logMoves);
    row->addStretch();
    auto *clear = new QPushButton(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("Clear"));
    connect(clear, &QPushButton::clicked, m_log, &QPlainTextEdit::clear);
    row->addWidget(clear);
    layout->addLayout(row);
    return box;
}

void ControlsForm::log(const QString &line)
{
    m_log->appendPlainText(line);
}

QStringList ControlsForm::logLines() const
{
    const QString text = m_log->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

void ControlsForm::setModified(bool modified)
{
    setWindowModified(modified);
}

void ControlsForm::updateTitle()
{
    const QString name = m_path.isEmpty() ? QStringLiteral("new form") : QFileInfo(m_path).fileName();
    setWindowTitle(name + QStringLiteral("[*] - kivaro-controls"));
}

// --- The controls -------------------------------------------------------------------------------

QStringList ControlsForm::instanceNames() const
{
    QStringList names;
    for (int i = 0; i < ButtonCount; ++i)
        names.append(buttonName(i));
    for (int i = 0; i < BarCount; ++i)
        names.append(barName(i));
    return names;
}

XPButton *ControlsForm::button(const QString &name) const
{
    for (const QPointer<XPButton> &b : m_buttons) {
        if (b && b->objectName() == name)
            return b;
    }
    return nullptr;
}

void ControlsForm::buildControls(const QHash<QString, PropertyBag> &saved)
{
    QWidget *focused = focusWidget();
    const bool focusWasOnForm = focused && m_surface->isAncestorOf(focused);
    for (const QPointer<XPButton> &b : std::as_const(m_buttons))
        delete b.data();
    for (const QPointer<UserControl1> &bar : std::as_const(m_bars))
        delete bar.data();
    m_buttons.clear();
    m_bars.clear();

    // Created, sized, given their settings, then shown: the size reaches a hidden control when it
    // is shown, so its shape follows the look it was given.
    for (int i = 0; i < ButtonCount; ++i) {
        auto *b = new XPButton(m_surface);
        b->setObjectName(buttonName(i));
        b->setGeometry(buttonGeometry(i));
        if (saved.isEmpty())
            designButton(*b, i);
        else
            b->ReadProperties(saved.value(b->objectName()));
        b->setUserMode(!m_designMode->isChecked());
        b->setDisplayAsDefault(m_defaultButton->currentIndex() == i + 1);
        connectButton(*b);
        m_buttons.append(b);
    }
    for (int i = 0; i < BarCount; ++i) {
        auto *bar = new UserControl1(m_surface);
        bar->setObjectName(barName(i));
        // A screen reader reads the bar by the name the form knows it by (the caption above it).
        bar->setAccessibleName(barName(i));
        bar->setGeometry(barGeometry(i));
        if (saved.isEmpty())
            designBar(*bar, i);
        else
            bar->ReadProperties(saved.value(bar->objectName()));
        m_bars.append(bar);
    }
    // The tab order is the buttons' order on the form, then the run-time settings.
    for (qsizetype i = 1; i < m_buttons.size(); ++i)
        setTabOrder(m_buttons.at(i - 1), m_buttons.at(i));
    setTabOrder(m_buttons.constLast(), m_colorScheme);

    forEachButton([](XPButton &b) { b.show(); });
    for (const QPointer<UserControl1> &bar : std::as_const(m_bars))
        bar->show();
    if (focusWasOnForm && !m_buttons.isEmpty() && m_buttons.constFirst())
        m_buttons.constFirst()->setFocus();
}

void ControlsForm::designButton(XPButton &button, int index)
{
    // Designed as in a form designer: placed (it takes its name and the form's font), then set
    // through its setters in design mode, where BackColor also sets BackOver and the etched look
    // makes the font bold.
    button.setUserMode(false);
    button.InitProperties();
    button.setButtonType(index + 1);
    button.setCaption(QString::fromLatin1(Captions.at(static_cast<size_t>(index))));
    // Loading runs HandPointer's setter, which makes MousePointer 1 (the arrow) without the hand;
    // set here the same way, the form reads back exactly as it was saved.
    button.setHandPointer(index == PlayButton || index == AddButton);
    switch (index) {
    case PlayButton:
        button.setPictureNormal(drawGlyph(Glyph::Play));
        button.setPictureOver(drawGlyph(Glyph::PlayHot));
        break;
    case StopButton:
        button.setPictureNormal(drawGlyph(Glyph::Stop));
        button.setUseGreyscale(true);
        button.setPicturePosition(1);
        break;
    case ToggleButton:
        button.setCheckBoxBehaviour(true);
        break;
    case AddButton:
        button.setPictureNormal(drawGlyph(Glyph::Plus));
        break;
    case DisabledButton:
        button.setEnabled(false);
        break;
    case EjectButton:
        button.setPictureNormal(drawGlyph(Glyph::Eject));
        break;
    default:
        break;
    }
}

void ControlsForm::designBar(UserControl1 &bar, int index)
{
    const BarDesign &design = Bars.at(static_cast<size_t>(index));
    bar.setFont(m_surface->font());
    bar.setScrolling(design.scrolling);
    bar.setShowText(design.showText);
    bar.setOrientation(design.orientation);
    bar.setBrushStyle(BarHatch);
    if (index % 2 == 1)
        bar.setColor(MainWindowBlue);
    bar.setValue(m_barValue->value());
}

void ControlsForm::connectButton(XPButton &button)
{
    // The arguments are references the handlers could change; the log only reads them. The
    // connections are direct, as the button needs.
    const QString name = button.objectName();
    const auto mouse = [this, name](const char *event) {
        return [this, name, event](qint16 &Button, qint16 &Shift, float &X, float &Y) {
            if (qstrcmp(event, "MouseMove") == 0 && !m_logMoves->isChecked())
                return;
            log(QStringLiteral("%1 %2 Button=%3 Shift=%4 X=%5 Y=%6")
                    .arg(name, QLatin1String(event))
                    .arg(Button)
                    .arg(Shift)
                    .arg(number(X), number(Y)));
        };
    };
    const auto key = [this, name](const char *event) {
        return [this, name, event](qint16 &KeyCode, qint16 &Shift) {
            log(QStringLiteral("%1 %2 KeyCode=%3 Shift=%4")
                    .arg(name, QLatin1String(event))
                    .arg(KeyCode)
                    .arg(Shift));
        };
    };
    connect(&button, &XPButton::Click, this, [this, name] { log(name + QStringLiteral(" Click")); });
    connect(&button, &XPButton::MouseDown, this, mouse("MouseDown"));
    connect(&button, &XPButton::MouseMove, this, mouse("MouseMove"));
    connect(&button, &XPButton::MouseUp, this, mouse("MouseUp"));
    connect(&button, &XPButton::KeyPress, this, [this, name](qint16 &KeyAscii) {
        log(QStringLiteral("%1 KeyPress KeyAscii=%2").arg(name).arg(KeyAscii));
    });
    connect(&button, &XPButton::KeyDown, this, key("KeyDown"));
    connect(&button, &XPButton::KeyUp, this, key("KeyUp"));
    connect(&button, &XPButton::MouseOver, this, [this, name] { log(name + QStringLiteral(" MouseOver")); });
    connect(&button, &XPButton::MouseOut, this, [this, name] { log(name + QStringLiteral(" MouseOut")); });
    connect(&button, &XPButton::propertyChanged, this, [this, name](const QString &changed) {
        log(QStringLiteral("%1 changed %2").arg(name, changed));
        setModified(true);
    });
}

void ControlsForm::showPanelFor(const XPButton &button)
{
    // The panel shows one button's settings (and the first bar's Value) without applying them.
    selectInRange(*m_colorScheme, button.ColorScheme());
    m_backColor->setEnabled(button.ColorScheme() == xpbutton::SchemeOwnColours);
    m_backOver->setEnabled(button.ColorScheme() == xpbutton::SchemeOwnColours);
    const std::array<std::pair<QCheckBox *, bool>, 3> boxes { {
        { m_softBevel, button.SoftBevel() },
        { m_showFocusRect, button.ShowFocusRect() },
        { m_enabled, button.Enabled() },
    } };
    for (const auto &[box, on] : boxes) {
        const QSignalBlocker blocker(box);
        box->setChecked(on);
    }
    selectInRange(*m_specialEffect, button.SpecialEffect());
    selectInRange(*m_picturePosition, button.PicturePosition());
    if (!m_bars.isEmpty()) {
        const QSignalBlocker blocker(m_barValue);
        m_barValue->setValue(m_bars.constFirst()->Value());
    }
}

// --- Run-time settings --------------------------------------------------------------------------

void ControlsForm::forEachButton(const std::function<void(XPButton &)> &action)
{
    // Over a copy, and only on buttons still there, so an action that ends in the controls made
    // anew cannot pull the list from under the loop.
    for (const QPointer<XPButton> &b : QList(m_buttons)) {
        if (b)
            action(*b);
    }
}

void ControlsForm::applyColorScheme(int scheme)
{
    forEachButton([scheme](XPButton &b) { b.setColorScheme(scheme); });
    m_backColor->setEnabled(scheme == xpbutton::SchemeOwnColours);
    m_backOver->setEnabled(scheme == xpbutton::SchemeOwnColours);
}

void ControlsForm::chooseColour(const QString &title, const QColor &initial,
                                void (ControlsForm::*apply)(ColorRef))
{
    if (const std::optional<QColor> chosen = m_chooseColour(initial, title))
        (this->*apply)(fromQRgb(chosen->rgb()));
}

void ControlsForm::applyBackColor(ColorRef colour)
{
    forEachButton([colour](XPButton &b) { b.setBackColor(colour); });
}

void ControlsForm::applyBackOver(ColorRef colour)
{
    forEachButton([colour](XPButton &b) { b.setBackOver(colour); });
}

void ControlsForm::applyFormColour(const QColor &colour)
{
    // The buttons hear of it as a change of the host's ambient properties; the transparent look
    // takes the new background in with Refresh.
    QPalette palette = m_surface->palette();
    palette.setColor(QPalette::Window, colour);
    m_surface->setPalette(palette);
    forEachButton([](XPButton &b) { b.Refresh(); });
}

void ControlsForm::applyDefaultButton(int index)
{
    // Index 0 stands for none.
    forEachButton([index](XPButton &b) {
        b.setDisplayAsDefault(index > 0 && b.objectName() == buttonName(index - 1));
    });
}

// --- Form files ---------------------------------------------------------------------------------

bool ControlsForm::openFile(const QString &path, QString &error)
{
    // Everything is read before anything changes.
    FormFile file(path);
    if (!file.load()) {
        error = file.errorString();
        return false;
    }
    QHash<QString, PropertyBag> bags;
    for (const QString &name : instanceNames()) {
        const bool isButton = name.startsWith(ButtonPrefix);
        PropertyBag bag;
        if (!file.readInstance(name, isButton ? XPButton::formSchema() : UserControl1::formSchema(), bag)) {
            error = file.errorString();
            return false;
        }
        bags.insert(name, bag);
    }
    buildControls(bags);
    m_bags = bags;
    m_path = path;
    showPanelFor(*m_buttons.constFirst());
    setModified(false);
    updateTitle();
    log(QStringLiteral("Opened %1").arg(path));
    return true;
}

bool ControlsForm::saveFile(const QString &path, QString &error)
{
    FormFile file(path);
    QHash<QString, PropertyBag> bags;
    const auto keep = [&](const QString &name, const FormSchema &schema, const PropertyBag &bag) {
        bags.insert(name, bag);
        return file.writeInstance(name, schema, bag);
    };
    for (const QPointer<XPButton> &b : std::as_const(m_buttons)) {
        PropertyBag bag;
        b->WriteProperties(bag);
        if (!keep(b->objectName(), XPButton::formSchema(), bag)) {
            error = file.errorString();
            return false;
        }
    }
    for (const QPointer<UserControl1> &bar : std::as_const(m_bars)) {
        PropertyBag bag;
        bar->WriteProperties(bag);
        if (!keep(bar->objectName(), UserControl1::formSchema(), bag)) {
            error = file.errorString();
            return false;
        }
    }
    if (!file.save()) {
        error = file.errorString();
        return false;
    }
    m_bags = bags;
    m_path = path;
    setModified(false);
    updateTitle();
    log(QStringLiteral("Saved %1").arg(path));
    return true;
}

bool ControlsForm::mayLeaveTheForm()
{
    if (!isWindowModified())
        return true;
    switch (m_askUnsaved()) {
    case Unsaved::Save:
        return save();
    case Unsaved::Discard:
        return true;
    case Unsaved::Cancel:
        break;
    }
    return false;
}

void ControlsForm::closeEvent(QCloseEvent *event)
{
    if (mayLeaveTheForm())
        event->accept();
    else
        event->ignore();
}

void ControlsForm::open()
{
    if (!mayLeaveTheForm())
        return;
    const QString path = m_chooseFile(FileDialog::Open, m_path);
    if (path.isEmpty())
        return;
    QString error;
    if (!openFile(path, error))
        m_tell(QStringLiteral("Open form"), error);
}

bool ControlsForm::save()
{
    if (m_path.isEmpty())
        return saveAs();
    QString error;
    if (saveFile(m_path, error))
        return true;
    m_tell(QStringLiteral("Save form"), error);
    return false;
}

bool ControlsForm::saveAs()
{
    const QString path = m_chooseFile(FileDialog::Save, m_path);
    if (path.isEmpty())
        return false;
    QString error;
    if (saveFile(path, error))
        return true;
    m_tell(QStringLiteral("Save form"), error);
    return false;
}

} // namespace kivaro
