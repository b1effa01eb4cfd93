#include "kivaroassets.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the resource table's initialiser where it is used, which has to be
// the global namespace.
static void registerKivaroResources()
{
    Q_INIT_RESOURCE(kivaro);
}

namespace kivaro {

void initAssets()
{
    registerKivaroResources();
}

} // namespace kivaro
