// A property that every input must keep; a broken one stops the fuzzer with the input saved.
#ifndef MARLOWIN_FUZZ_CHECK_H
#define MARLOWIN_FUZZ_CHECK_H

#include <stdio.h>
#include <stdlib.h>

#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                                       \
        }                                                                                  \
    } while (0)

#endif
