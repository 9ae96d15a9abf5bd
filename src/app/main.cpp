#include "Start.h"

int main(int argc, char** argv) {
    return TastaroMain(argc, argv);
}
