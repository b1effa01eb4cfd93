#pragma once

#include <QImage>
#include <QStringList>

namespace kivaro {

class GallerySheet;
class XPButton;

// The button as it shows in state (0 up, 2 down) with the hover and focus flags: an ARGB picture
// of its size in which the pixels outside its window shape are fully transparent.
QImage xpButtonPicture(XPButton &button, int state, bool hovered, bool focused);

// The button's part of the gallery sheet: every look in every mode, the colour schemes, soft
// bevel, pictures in every position, the caption effects, greyscale, blending and a checked toggle.
void addXPButtonLooks(GallerySheet &sheet);

// kivaro-gallery --xpbutton FORMFILE[#INSTANCE] --size WxH --state up|down|disabled [--hover]
// [--focus] [--default] OUT.png: one saved button, loaded as a form loads it, drawn into OUT.png.
// arguments are the program's arguments after its name. Returns the exit status; every error is
// told on stderr.
int renderXPButton(const QStringList &arguments);

} // namespace kivaro
