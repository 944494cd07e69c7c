#include "startup/program.h"

int main(int argc, char **argv)
{
    return dastrelMain(argc, argv);
}
