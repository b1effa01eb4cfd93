#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kivaro {

// Reading the vendor's version file, whatever the vendor's site sends.

// The text of a version file's first line up to its first comma, blanks around it taken off.
QString versionField(const QByteArray &content);

// Whether a release number is above `release` (a single digit, 0 to 9); no value when the field is
// not a decimal number. Compared exactly, digit by digit, so that no rounding turns
// 3.000000000000000001 into 3.
std::optional<bool> isAboveRelease(const QString &field, int release);

} // namespace kivaro
