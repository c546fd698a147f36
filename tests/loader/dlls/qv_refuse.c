/* A test image whose entry point records its call and refuses DLL_PROCESS_ATTACH. */
#include "qvtestlib.h"

int __stdcall QvEntry(void* module, unsigned reason, void* reserved)
{
    qv_record_entry(module, reason, reserved);
    return reason == 1 ? 0 : 1;
}
