/* qvtestlib.dll: what the test images import, and a record of the entry-point calls they make. */
#define QV_BUILDING_TESTLIB
#include "qvtestlib.h"

#define QV_MAX_RECORDS 16

static unsigned recordedReasons[QV_MAX_RECORDS];
static void* recordedModules[QV_MAX_RECORDS];
static int recordCount;

int qv_add(int a, int b) { return a + b; }
int qv_scale(int x) { return 3 * x + 17; }

void qv_record_entry(void* module, unsigned reason, void* reserved)
{
    (void)reserved;
    if (recordCount < QV_MAX_RECORDS) {
        recordedModules[recordCount] = module;
        recordedReasons[recordCount] = reason;
        ++recordCount;
    }
}

int qv_entry_count(void) { return recordCount; }
unsigned qv_entry_reason(int index) { return index >= 0 && index < recordCount ? recordedReasons[index] : 0xFFFFFFFFu; }
void* qv_entry_module(int index) { return index >= 0 && index < recordCount ? recordedModules[index] : (void*)-1; }
void qv_entry_reset(void) { recordCount = 0; }

int __stdcall QvTestLibEntry(void* module, unsigned reason, void* reserved)
{
    (void)module;
    (void)reason;
    (void)reserved;
    return 1;
}
