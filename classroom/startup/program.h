#pragma once

// The classroom client's program start; returns the event loop's exit code.
int dastrelMain(int argc, char **argv);
