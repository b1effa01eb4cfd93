#pragma once

#include <QString>

class QObject;

namespace kivaro {

// Every control of the program's windows carries a free text "tag" that the windows use to hand
// state to one another (the search-result flag, the full title, the fetch stage mark...). Qt
// objects have no such field, so it lives in a dynamic property.
QString tag(const QObject *control);
void setTag(QObject *control, const QString &value);

} // namespace kivaro
