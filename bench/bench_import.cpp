#include "bench.h"

// Filled in with the import windows.
void RunImportBenchmarks(BenchContext&) { }
