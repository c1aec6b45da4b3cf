#include "bench.h"

// Filled in with the debtors windows.
void RunDebtorBenchmarks(BenchContext&) { }
