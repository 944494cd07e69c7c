// Tallivor's entry point. It answers "-v" itself, so the classroom client's
// version check never maps the program's library and the GUI libraries
// behind it; any other start loads the library beside this program and runs
// the program from it.
#include "core/version.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

const char kLibrary[] = "libtallivor.so";

// The library beside the running program (symbolic links resolved) into
// path; false when that folder is unknown.
bool libraryBesideProgram(char (&path)[PATH_MAX + sizeof kLibrary])
{
    const ssize_t n = readlink("/proc/self/exe", path, PATH_MAX);
    if (n <= 0 || n >= PATH_MAX)
        return false;
    path[n] = '\0';
    char *slash = std::strrchr(path, '/');
    if (!slash)
        return false;
    std::memcpy(slash + 1, kLibrary, sizeof kLibrary);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "-v") == 0) {
        std::fputs(TALLIVOR_VERSION, stdout);
        return 0;
    }
    char path[PATH_MAX + sizeof kLibrary];
    void *library = libraryBesideProgram(path) ? dlopen(path, RTLD_NOW) : nullptr;
    if (!library)
        library = dlopen(kLibrary, RTLD_NOW);
    using Run = int (*)(int, char **);
    const Run run = library ? reinterpret_cast<Run>(dlsym(library, "tallivor_main")) : nullptr;
    if (!run) {
        std::fprintf(stderr, "Tallivor: %s\n", dlerror());
        return 1;
    }
    return run(argc, argv);
}
