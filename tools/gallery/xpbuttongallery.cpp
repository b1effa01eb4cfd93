#include "xpbuttongallery.h"

#include "controls/xpbutton/xpbutton.h"
#include "gallerysheet.h"
#include "platform/formfile.h"
#include "platform/propertybag.h"

#include <QFileInfo>
#include <QPainter>

#include <cstdio>
#include <functional>
#include <memory>

namespace kivaro {

namespace {

constexpr int MaxRenderSide = 4096;
constexpr QSize SheetButtonSize(90, 26);
constexpr QSize PictureButtonSize(110, 44);
constexpr ColorRef SheetPage = rgb(228, 228, 228);
// Scheme 2's own colours on the sheet, and the coloured form of scheme 4.
constexpr ColorRef SteelBlue = rgb(70, 110, 170);
constexpr ColorRef Amber = rgb(250, 190, 70);
constexpr ColorRef White = rgb(255, 255, 255);
constexpr ColorRef Black = rgb(0, 0, 0);
constexpr ColorRef FormGreen = rgb(196, 224, 188);
constexpr ColorRef FormInk = rgb(20, 60, 20);
constexpr ColorRef MaskGrey = rgb(192, 192, 192);
constexpr int LookCount = 14;

// A form with one button on it, shown off-screen so the button lives as it does on a real form.
struct ButtonOnForm
{
    std::unique_ptr<QWidget> form;
    XPButton *button = nullptr;
};

ButtonOnForm makeForm(QSize size, const QString &name, ColorRef formColour = 0, ColorRef formInk = 0)
{
    ButtonOnForm result { std::make_unique<QWidget>(), nullptr };
    result.form->setAttribute(Qt::WA_DontShowOnScreen);
    result.form->resize(size);
    if (formColour != formInk) {
        QPalette palette = result.form->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(toQRgb(formColour)));
        palette.setColor(QPalette::WindowText, QColor::fromRgb(toQRgb(formInk)));
        result.form->setPalette(palette);
        result.form->setAutoFillBackground(true);
    }
    result.button = new XPButton(result.form.get());
    result.button->setObjectName(name);
    result.button->resize(size);
    return result;
}

// A 16 x 16 picture on the mask colour: a red disc with a blue bar, and a white highlight.
QImage samplePicture()
{
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(toQRgb(MaskGrey));
    QPainter painter(&picture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 30, 30));
    painter.drawEllipse(1, 1, 14, 14);
    painter.setBrush(QColor(30, 40, 160));
    painter.drawRect(3, 7, 10, 3);
    painter.setBrush(Qt::white);
    painter.drawRect(5, 3, 3, 2);
    return picture;
}

// The same shape with a transparent background: drawn as an icon.
QImage sampleIcon()
{
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 140, 60));
    painter.drawRect(2, 2, 12, 12);
    painter.setBrush(QColor(250, 220, 60));
    painter.drawRect(5, 5, 6, 6);
    return icon;
}

// The button's picture laid on the sheet's page, so the cut-away pixels show the page.
QImage onPage(const QImage &picture)
{
    QImage page(picture.size(), QImage::Format_RGB32);
    page.fill(toQRgb(SheetPage));
    QPainter painter(&page);
    painter.drawImage(QPoint(0, 0), picture);
    return page;
}

using Setup = std::function<void(XPButton &)>;

QImage draw(const Setup &setup, int state, bool hovered, bool focused, QSize size = SheetButtonSize,
            ColorRef formColour = 0, ColorRef formInk = 0)
{
    ButtonOnForm form = makeForm(size, QStringLiteral("Button1"), formColour, formInk);
    form.button->InitProperties();
    setup(*form.button);
    form.form->show();
    return onPage(xpButtonPicture(*form.button, state, hovered, focused));
}

void addModes(GallerySheet &sheet)
{
    sheet.addSection(QStringLiteral("XP button (XPButton): the fourteen looks, ColorScheme 1, 90 x 26"));
    for (int type = 1; type <= LookCount; ++type) {
        sheet.addRow(QStringLiteral("ButtonType %1").arg(type));
        const Setup look = [type](XPButton &b) {
            b.setCaption(QStringLiteral("&Play"));
            b.setButtonType(type);
        };
        sheet.addItem(QStringLiteral("up"), draw(look, XPButton::StateUp, false, false));
        sheet.addItem(QStringLiteral("hovered"), draw(look, XPButton::StateUp, true, false));
        sheet.addItem(QStringLiteral("down"), draw(look, XPButton::StateDown, true, false));
        sheet.addItem(QStringLiteral("focused"), draw(look, XPButton::StateUp, false, true));
        const Setup asDefault = [&look](XPButton &b) {
            look(b);
            b.setDisplayAsDefault(true);
        };
        sheet.addItem(QStringLiteral("focused, default"), draw(asDefault, XPButton::StateUp, false, true));
        const Setup disabled = [&look](XPButton &b) {
            look(b);
            b.setEnabled(false);
        };
        sheet.addItem(QStringLiteral("disabled"), draw(disabled, XPButton::StateUp, false, false));
    }
}

void addSchemes(GallerySheet &sheet)
{
    struct Scheme
    {
        QString title;
        int scheme;
        bool soft;
    };
    const QList<Scheme> schemes {
        { QStringLiteral("ColorScheme 2: BackColor steel blue, BackOver amber, ForeColor white"), 2, false },
        { QStringLiteral("ColorScheme 2 with SoftBevel"), 2, true },
        { QStringLiteral("ColorScheme 3: fixed grey"), 3, false },
        { QStringLiteral("ColorScheme 4: the form's green"), 4, false },
    };
    for (const Scheme &scheme : schemes) {
        sheet.addSection(scheme.title);
        const struct
        {
            const char *name;
            int state;
            bool hovered;
        } modes[] = { { "up", XPButton::StateUp, false },
                      { "hovered", XPButton::StateUp, true },
                      { "down", XPButton::StateDown, true } };
        for (const auto &mode : modes) {
            sheet.addRow(QLatin1String(mode.name));
            for (int type = 1; type <= LookCount; ++type) {
                const Setup look = [type, &scheme](XPButton &b) {
                    b.setCaption(QStringLiteral("Look %1").arg(type));
                    b.setButtonType(type);
                    b.setColorScheme(scheme.scheme);
                    b.setSoftBevel(scheme.soft);
                    b.setBackColor(SteelBlue);
                    b.setBackOver(Amber);
                    b.setForeColor(White);
                    b.setForeOver(Black);
                };
                sheet.addItem(QString::number(type),
                              draw(look, mode.state, mode.hovered, false, SheetButtonSize,
                                   scheme.scheme == 4 ? FormGreen : 0, scheme.scheme == 4 ? FormInk : 0));
            }
        }
    }
}

void addPictures(GallerySheet &sheet)
{
    sheet.addSection(QStringLiteral("Pictures and caption effects, 110 x 44"));
    const QStringList positions { QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("above"),
                                  QStringLiteral("below"), QStringLiteral("centred") };
    for (int type : { 2, 3 }) {
        sheet.addRow(QStringLiteral("PicturePosition 0 to 4, look %1").arg(type));
        for (int position = 0; position < positions.size(); ++position) {
            const Setup look = [type, position](XPButton &b) {
                b.setCaption(QStringLiteral("Open"));
                b.setButtonType(type);
                b.setPictureNormal(samplePicture());
                b.setPicturePosition(position);
            };
            sheet.addItem(positions.at(position),
                          draw(look, XPButton::StateUp, false, false, PictureButtonSize));
        }
    }
    const QStringList effects { QStringLiteral("none"), QStringLiteral("raised"), QStringLiteral("sunken"),
                                QStringLiteral("shadow") };
    for (int type : { 2, 14 }) {
        sheet.addRow(QStringLiteral("SpecialEffect 0 to 3, look %1").arg(type));
        for (int effect = 0; effect < effects.size(); ++effect) {
            const Setup look = [type, effect](XPButton &b) {
                b.setCaption(QStringLiteral("Effect"));
                b.setButtonType(type);
                b.setPictureNormal(samplePicture());
                b.setSpecialEffect(effect);
            };
            sheet.addItem(effects.at(effect), draw(look, XPButton::StateUp, false, false, PictureButtonSize));
        }
    }
    sheet.addRow(QStringLiteral("UseGreyscale, UseMaskColor, icon"));
    const Setup grey = [](XPButton &b) {
        b.setCaption(QStringLiteral("Grey"));
        b.setPictureNormal(samplePicture());
        b.setUseGreyscale(true);
    };
    sheet.addItem(QStringLiteral("greyscale"),
                  draw(grey, XPButton::StateUp, false, false, PictureButtonSize));
    sheet.addItem(QStringLiteral("greyscale, hovered"),
                  draw(grey, XPButton::StateUp, true, false, PictureButtonSize));
    const Setup noMask = [](XPButton &b) {
        b.setCaption(QStringLiteral("No mask"));
        b.setPictureNormal(samplePicture());
        b.setUseMaskColor(false);
    };
    sheet.addItem(QStringLiteral("UseMaskColor false"),
                  draw(noMask, XPButton::StateUp, false, false, PictureButtonSize));
    const Setup icon = [](XPButton &b) {
        b.setCaption(QStringLiteral("Icon"));
        b.setPictureNormal(sampleIcon());
    };
    sheet.addItem(QStringLiteral("icon"), draw(icon, XPButton::StateUp, false, false, PictureButtonSize));
    sheet.addItem(QStringLiteral("icon, disabled"),
                  draw(
                      [&icon](XPButton &b) {
                          icon(b);
                          b.setEnabled(false);
                      },
                      XPButton::StateUp, false, false, PictureButtonSize));

    sheet.addRow(QStringLiteral("Look 9 blend: up, hovered, down, disabled"));
    const Setup blend = [](XPButton &b) {
        b.setCaption(QStringLiteral("Blend"));
        b.setButtonType(9);
        b.setPictureNormal(samplePicture());
    };
    sheet.addItem(QStringLiteral("up"), draw(blend, XPButton::StateUp, false, false, PictureButtonSize));
    sheet.addItem(QStringLiteral("hovered"), draw(blend, XPButton::StateUp, true, false, PictureButtonSize));
    sheet.addItem(QStringLiteral("down"), draw(blend, XPButton::StateDown, true, false, PictureButtonSize));
    sheet.addItem(QStringLiteral("disabled"),
                  draw(
                      [&blend](XPButton &b) {
                          blend(b);
                          b.setEnabled(false);
                      },
                      XPButton::StateUp, false, false, PictureButtonSize));

    sheet.addRow(QStringLiteral("Checked toggle (Value true): always down"));
    for (int type : { 2, 3, 14 }) {
        const Setup toggle = [type](XPButton &b) {
            b.setCaption(QStringLiteral("On"));
            b.setButtonType(type);
            b.setCheckBoxBehaviour(true);
            b.setValue(true);
        };
        sheet.addItem(QStringLiteral("look %1 up").arg(type), draw(toggle, XPButton::StateUp, false, false));
        sheet.addItem(QStringLiteral("look %1 hovered").arg(type),
                      draw(toggle, XPButton::StateUp, true, false));
    }
}

void complain(const QString &message)
{
    std::fprintf(stderr, "kivaro-gallery: %s\n", qPrintable(message));
}

bool parseSize(const QString &text, QSize &size)
{
    const QStringList parts = text.split(u'x');
    if (parts.size() != 2)
        return false;
    bool okW = false;
    bool okH = false;
    const int w = parts.at(0).toInt(&okW);
    const int h = parts.at(1).toInt(&okH);
    if (!okW || !okH || w < 1 || h < 1 || w > MaxRenderSide || h > MaxRenderSide)
        return false;
    size = QSize(w, h);
    return true;
}

} // namespace

QImage xpButtonPicture(XPButton &button, int state, bool hovered, bool focused)
{
    button.paintAs(state, hovered, focused);
    const QImage &surface = button.surface();
    const QRegion shape = button.mask();
    if (shape.isEmpty())
        return surface.convertToFormat(QImage::Format_ARGB32);
    QImage picture(surface.size(), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setClipRegion(shape);
    painter.drawImage(QPoint(0, 0), surface);
    return picture;
}

void addXPButtonLooks(GallerySheet &sheet)
{
    addModes(sheet);
    addSchemes(sheet);
    addPictures(sheet);
}

int renderXPButton(const QStringList &arguments)
{
    const QString usage = QStringLiteral("usage: kivaro-gallery --xpbutton FORMFILE[#INSTANCE] --size WxH "
                                         "--state up|down|disabled [--hover] [--focus] [--default] OUT.png");
    QString source;
    QString output;
    QSize size;
    QString state;
    bool hover = false;
    bool focus = false;
    bool isDefault = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--xpbutton") || argument == QLatin1String("--size")
            || argument == QLatin1String("--state")) {
            if (i + 1 >= arguments.size()) {
                complain(argument + QStringLiteral(" needs a value\n") + usage);
                return 1;
            }
            const QString value = arguments.at(++i);
            if (argument == QLatin1String("--xpbutton")) {
                source = value;
            } else if (argument == QLatin1String("--size")) {
                if (!parseSize(value, size)) {
                    complain(QStringLiteral("--size \"%1\" is not WxH with sides from 1 to %2")
                                 .arg(value)
                                 .arg(MaxRenderSide));
                    return 1;
                }
            } else {
                state = value;
            }
        } else if (argument == QLatin1String("--hover")) {
            hover = true;
        } else if (argument == QLatin1String("--focus")) {
            focus = true;
        } else if (argument == QLatin1String("--default")) {
            isDefault = true;
        } else if (argument.startsWith(u'-')) {
            complain(QStringLiteral("unknown option %1\n").arg(argument) + usage);
            return 1;
        } else if (output.isEmpty()) {
            output = argument;
        } else {
            complain(QStringLiteral("more than one output file (%1)\n").arg(argument) + usage);
            return 1;
        }
    }
    if (source.isEmpty() || output.isEmpty() || !size.isValid() || state.isEmpty()) {
        complain(QStringLiteral("--xpbutton, --size, --state and OUT.png are all needed\n") + usage);
        return 1;
    }
    if (state != QLatin1String("up") && state != QLatin1String("down")
        && state != QLatin1String("disabled")) {
        complain(QStringLiteral("--state \"%1\" is not up, down or disabled").arg(state));
        return 1;
    }

    // A '#' names the instance, unless the whole text is a file's name.
    const qsizetype hash = QFileInfo(source).isFile() ? -1 : source.lastIndexOf(u'#');
    const QString path = hash < 0 ? source : source.left(hash);
    const QString instance = hash < 0 ? QString() : source.mid(hash + 1);
    FormFile form(path);
    PropertyBag bag;
    if (!form.load() || !form.readInstance(instance, XPButton::formSchema(), bag)) {
        complain(form.errorString());
        return 1;
    }

    // Loaded exactly as a form loads it: created, sized, its saved settings read, then shown.
    ButtonOnForm host = makeForm(size, instance.isEmpty() ? form.instances().constFirst() : instance);
    host.button->ReadProperties(bag);
    host.button->setDisplayAsDefault(isDefault);
    if (state == QLatin1String("disabled"))
        host.button->setEnabled(false);
    host.form->show();
    const QImage picture = xpButtonPicture(
        *host.button, state == QLatin1String("down") ? XPButton::StateDown : XPButton::StateUp, hover, focus);
    if (!picture.save(output, "PNG")) {
        complain(QStringLiteral("cannot write %1").arg(output));
        return 1;
    }
    return 0;
}

} // namespace kivaro
