// The exam program's version: the "-v" answer and the global ver. Plain C,
// so the program's entry point answers it without loading any library.
#pragma once

#define TALLIVOR_VERSION "2.0.16"
