#include "EinstellungenC.h"

void StandardEinstellungen(TEinstellungen& AEinstellungen) {
    AEinstellungen = TEinstellungen{};
}
