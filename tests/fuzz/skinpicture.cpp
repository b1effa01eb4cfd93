// A picture file of a skin folder: whatever bytes it holds, the loader either gives a picture no
// larger than it allows or refuses the file, before decoding anything that claims to be huge.

#include "platform/boundedpicture.h"

#include "fuzzcheck.h"

#include <QFile>
#include <QTemporaryDir>

using namespace kivaro;

namespace {

constexpr int MaxSide = 4096;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("IMN.gif"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(fuzzInput(data, size).toByteArray());
    file.close();

    const std::optional<QImage> picture = readBoundedPicture(path, MaxSide);
    if (picture) {
        FUZZ_CHECK(!picture->isNull());
        FUZZ_CHECK(picture->width() <= MaxSide && picture->height() <= MaxSide);
    }
    return 0;
}
