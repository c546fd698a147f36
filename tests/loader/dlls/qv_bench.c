/* The benchmark image: about 90 KB, with relocations and system imports, like the skin engine. */
#include <windows.h>

#define QV_ROWS 2048

static int qv_cells[QV_ROWS];
/* One relocated pointer per row. */
int* qv_rows[QV_ROWS] = {
#define QV_ROW8(n) &qv_cells[n], &qv_cells[n + 1], &qv_cells[n + 2], &qv_cells[n + 3], \
    &qv_cells[n + 4], &qv_cells[n + 5], &qv_cells[n + 6], &qv_cells[n + 7]
#define QV_ROW64(n) QV_ROW8(n), QV_ROW8(n + 8), QV_ROW8(n + 16), QV_ROW8(n + 24), QV_ROW8(n + 32), \
    QV_ROW8(n + 40), QV_ROW8(n + 48), QV_ROW8(n + 56)
#define QV_ROW512(n) QV_ROW64(n), QV_ROW64(n + 64), QV_ROW64(n + 128), QV_ROW64(n + 192), \
    QV_ROW64(n + 256), QV_ROW64(n + 320), QV_ROW64(n + 384), QV_ROW64(n + 448)
    QV_ROW512(0), QV_ROW512(512), QV_ROW512(1024), QV_ROW512(1536)
};

/* Read-only bulk, so the file is about the size of the skin engine. */
const unsigned char qv_bulk[62 * 1024] = {1, 2, 3, 4, 5, 6, 7, 8};

unsigned qv_bench_touch(int index)
{
    return (unsigned)*qv_rows[index % QV_ROWS] + qv_bulk[index % sizeof qv_bulk];
}

BOOL WINAPI QvEntry(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    (void)module;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        qv_cells[0] = (int)GetCurrentProcessId();
        qv_cells[1] = (int)GetTickCount();
    }
    return TRUE;
}
