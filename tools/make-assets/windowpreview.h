#pragma once

#include <QImage>

namespace kivaro {

class AssetCatalogue;

// A picture of the whole main window put together from the catalogue's pictures the way the
// window shows them, with its texts, over a coloured ground where the window is see-through:
// for looking at the skin as a user will see it. Not part of the program.
class WindowPreview
{
public:
    explicit WindowPreview(const AssetCatalogue &catalogue);

    // Several states of the window, one under the other, enlarged by scale.
    QImage render(int scale) const;

private:
    struct Scene;
    QImage window(const Scene &scene) const;

    const AssetCatalogue &m_catalogue;
};

} // namespace kivaro
