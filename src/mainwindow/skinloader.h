#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace kivaro {

struct StoredLooks;

// Gives the main window's stored pictures the pictures of a skin folder, one file at a time, in the
// order the chooser's file list shows them. A file's key (its name up to the first ".") is matched
// exactly, case included, against the keys a skin can hold; a file with another key is skipped.
//
// Skin folders come from anywhere: a picture is only read when its header gives a sensible size,
// so a file that is not a picture, or one that claims to be huge, fails before anything is
// decoded.
class SkinLoader
{
public:
    // Pictures larger than this on a side are refused (the design's are at most 391 wide).
    static constexpr int MaxPictureSide = 4096;

    enum class Outcome {
        Given, // the file's picture now is that stored picture's
        Skipped, // the key names no stored picture
        Failed, // the key matched but the file is not a readable picture
    };

    explicit SkinLoader(StoredLooks &looks)
        : m_looks(looks)
    { }

    // A marker file's skin name, or a picture file's key: the name up to its first "." (the whole
    // name when it has none).
    static QString nameBeforeFirstDot(const QString &fileName);
    // The picture in a file, or nothing when the file is not a picture this program can read or is
    // larger than MaxPictureSide on a side.
    static std::optional<QImage> readPicture(const QString &path);

    // The "@2x" twin of the picture at path (IMN@2x.png beside IMN.png), when it is a readable
    // picture of exactly twice size each way; marked as one with two pixels to the logical pixel.
    // Any other twin is no twin: the picture itself is shown, scaled.
    static std::optional<QImage> readTwinAt2x(const QString &path, QSize size);

    // Matches the file's key and, on a match, gives the picture of folder/fileName to the stored
    // picture of that key: its "@2x" twin instead where a screen shows more than one device pixel
    // to the logical pixel and the skin has one. A twin's own name has no key and is skipped.
    Outcome giveFile(const QString &folder, const QString &fileName);

private:
    StoredLooks &m_looks;
};

} // namespace kivaro
