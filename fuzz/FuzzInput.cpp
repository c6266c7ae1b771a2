#include "fuzz/FuzzInput.h"

#include <cstdio>
#include <cstdlib>

namespace kronax::fuzz {

void Fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace kronax::fuzz
