#include "StartSchrift.h"

#include <fontconfig/fontconfig.h>

void SchriftKonfigurationLesen() {
    FcInit();
}
