#pragma once
// A broken property ends the run at once, so libFuzzer keeps the input that
// broke it and names the check on the way out.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                          \
  do {                                                                                                 \
    if (!(condition)) {                                                                                \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);            \
      std::abort();                                                                                    \
    }                                                                                                  \
  } while (0)
