#pragma once

// The exam program's start; returns the exit code.
int tallivorMain(int argc, char **argv);
