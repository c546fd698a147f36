/* The test library the test images import from: qvtestlib.dll on Windows, a table of stand-in
 * functions in the Linux i386 test program. Everything is cdecl. */
#ifndef QVTESTLIB_H
#define QVTESTLIB_H

#if defined(QV_BUILDING_TESTLIB)
#define QV_TESTLIB_API
#else
#define QV_TESTLIB_API __declspec(dllimport)
#endif

QV_TESTLIB_API int qv_add(int a, int b);                 /* a + b */
QV_TESTLIB_API int qv_scale(int x);                      /* 3 * x + 17; exported as ordinal 17 only */
QV_TESTLIB_API void qv_record_entry(void* module, unsigned reason, void* reserved);
QV_TESTLIB_API int qv_entry_count(void);
QV_TESTLIB_API unsigned qv_entry_reason(int index);
QV_TESTLIB_API void* qv_entry_module(int index);
QV_TESTLIB_API void qv_entry_reset(void);

#endif
