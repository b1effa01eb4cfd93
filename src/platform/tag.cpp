#include "platform/tag.h"

#include <QObject>
#include <QVariant>

namespace kivaro {

namespace {
constexpr const char *TagProperty = "kivaroTag";
}

QString tag(const QObject *control)
{
    return control->property(TagProperty).toString();
}

void setTag(QObject *control, const QString &value)
{
    control->setProperty(TagProperty, value);
}

} // namespace kivaro
