#include "bench.h"

// Filled in with the films windows.
void RunFilmBenchmarks(BenchContext&) { }
