#include <cstdio>

int main(int argc, char** argv) {
    std::printf("Movelark %s\n", MOVELARK_VERSION);
    return 0;
}
