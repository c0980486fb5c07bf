// The program's own operator new and delete (heap.cpp): the library versions throw, and throwing
// drags the unwinder, the demangler and a thread library into a tiny exe.
#ifndef MARLOWIN_HEAP_H
#define MARLOWIN_HEAP_H

// How the program ends when a plain new finds no memory; each program that links heap.cpp
// defines it (Marlowin.exe and the test programs in heap_end.cpp).
[[noreturn]] void OutOfMemory();

#endif
