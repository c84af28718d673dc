#include "app/MovelarkStartupHooks.h"
#include "app/Startup.h"

int main(int argc, char** argv) {
    MovelarkStartupHooks hooks(argc, argv);
    return RunMovelark(argc, argv, hooks);
}
