// The operator program.
#include "startup.h"

int main(int argc, char** argv) {
    return VokMain(argc, argv);
}
