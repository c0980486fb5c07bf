// What the C++ library would throw ends mwpack here instead. The library's own operator new (the
// program links base/heap.cpp instead) and its std::__throw_* functions (which it lets a program
// built without exceptions replace) bring in the unwinder and with it the thread library, which
// needs Windows XP and Vista. An uncaught throw would end the program anyway, with exit code 3 and
// no word. Every write of a package is crash-safe, so ending here leaves each package whole (or
// whole again on its next read). Nothing is allocated on the way out.
#include "base/heap.h"

#include <windows.h>
#include <bits/functexcept.h>
#include <cxxabi.h>
#include <unwind.h>

#include "mwpack/invocation.h"

namespace {

void WriteError(const char* text)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, lstrlenA(text), &written, nullptr);
}

// A broken internal rule (a size past what a string can hold, an index out of range): the
// library's own words for it.
[[noreturn]] void Fault(const char* what)
{
    WriteError("mwpack: internal error: ");
    WriteError(what);
    WriteError("\n");
    ExitProcess(EXIT_PROBLEMS);
}

}  // namespace

void OutOfMemory()
{
    WriteError("mwpack: not enough memory; no package was changed\n");
    ExitProcess(EXIT_PROBLEMS);
}

// Every function of the library's own unit for these, so that unit is never linked beside them.
namespace std {
void __throw_bad_alloc() { OutOfMemory(); }
void __throw_bad_array_new_length() { OutOfMemory(); }
void __throw_bad_exception() { Fault("bad exception"); }
void __throw_bad_cast() { Fault("bad cast"); }
void __throw_bad_typeid() { Fault("bad typeid"); }
void __throw_logic_error(const char* what) { Fault(what); }
void __throw_domain_error(const char* what) { Fault(what); }
void __throw_invalid_argument(const char* what) { Fault(what); }
void __throw_length_error(const char* what) { Fault(what); }
void __throw_out_of_range(const char* what) { Fault(what); }
// The text unformatted: its numbers would need a formatter that might allocate.
void __throw_out_of_range_fmt(const char* format, ...) { Fault(format); }
void __throw_runtime_error(const char* what) { Fault(what); }
void __throw_range_error(const char* what) { Fault(what); }
void __throw_overflow_error(const char* what) { Fault(what); }
void __throw_underflow_error(const char* what) { Fault(what); }
}  // namespace std

// The library's strings were built with exceptions: their clean-ups name the personality routine
// and the unwinder, which would bring the thread library back. With everything above, nothing in
// mwpack throws, so no unwinding ever starts and these are never called. Should a part of the
// library that throws ever be linked, it brings the real ones, whose names clash with these, and
// the link fails. Only the 32-bit build, which users get, unwinds this way (DWARF); the 64-bit
// builds for the tests unwind through the system (SEH) and keep the library's.
#ifndef __SEH__
extern "C" {
_Unwind_Reason_Code __gxx_personality_v0(int, _Unwind_Action, _Unwind_Exception_Class, _Unwind_Exception*, _Unwind_Context*)
{
    Fault("unwinding");
}
void _Unwind_Resume(_Unwind_Exception*) { Fault("unwinding"); }
void* __cxa_begin_catch(void*) noexcept { Fault("unwinding"); }
void __cxa_end_catch() { Fault("unwinding"); }
void __cxa_rethrow() { Fault("unwinding"); }
}  // extern "C"
#endif
