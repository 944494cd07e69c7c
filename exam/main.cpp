#include "core/program.h"

int main(int argc, char **argv)
{
    return tallivorMain(argc, argv);
}
