// The main routine of benchmarks that run the game in its window: opens it at `width` x `height`,
// runs the benchmarks the command line selects and closes it again. Returns the exit code.
#pragma once

int RunGameBenchmarks(int argc, char** argv, int width, int height);
