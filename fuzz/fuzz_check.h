// What every fuzz target shares: the entry point that libFuzzer and the
// corpus replayer call, and a check that stops the run on a broken property.
#ifndef FUZZ_FUZZ_CHECK_H_
#define FUZZ_FUZZ_CHECK_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Stops the process when a property does not hold: the fuzzer then saves the
// input, and a corpus replay fails.
#define FUZZ_CHECK(condition, detail)                                                     \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "%s:%d: property broken: %s\n  %s\n", __FILE__, __LINE__,      \
                   #condition, std::string(detail).c_str());                              \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)

#endif  // FUZZ_FUZZ_CHECK_H_
