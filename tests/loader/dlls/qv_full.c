/* The main test image: imports by name (qv_add) and by ordinal (qv_scale, ordinal 17), exports by name
 * and one function by ordinal only, a pointer that needs a base relocation, and an entry point that
 * records every call in the test library. */
#include "qvtestlib.h"

int qv_marker = 0x5A5A;
int* qv_marker_pointer = &qv_marker;

int qv_sum(int a, int b) { return qv_add(a, b); }
int qv_scaled(int x) { return qv_scale(x); }
int* qv_marker_address(void) { return qv_marker_pointer; }

/* Takes the six arguments of a skin attach, removes them on return as the skin engine's export does
 * (stdcall), and folds them into one number. */
int __stdcall qv_attach(const void* bytes, int length, const char* password, int first, int second, int third)
{
    return (bytes != 0 ? 1 : 0) + length * 10 + (password != 0 ? 100000 : 0) + first + second * 2 + third * 3;
}

int qv_hidden(void) { return 4242; }

int __stdcall QvEntry(void* module, unsigned reason, void* reserved)
{
    qv_record_entry(module, reason, reserved);
    return 1;
}
