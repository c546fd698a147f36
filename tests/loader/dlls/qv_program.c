/* A test image that is no DLL: a program whose entry point must never be called by the loader. */
#include "qvtestlib.h"

int QvProgramEntry(void)
{
    qv_record_entry(0, 77, 0);
    return 0;
}
