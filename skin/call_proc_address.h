// Calling code at an address with ten machine-word arguments.
//
//   std::uintptr_t quorvin::CallProcAddress(std::uintptr_t code, std::uintptr_t a1, std::uintptr_t a2,
//                                           std::uintptr_t a3, std::uintptr_t a4, std::uintptr_t a5,
//                                           std::uintptr_t a6, std::uintptr_t a7, std::uintptr_t a8,
//                                           std::uintptr_t a9, std::uintptr_t a10);
//
// 32-bit builds: the arguments go on the stack as a Windows API function expects them, a1 nearest the
// return address; the stub keeps the callee's 32-bit result and restores the stack pointer from its own
// frame, so a callee may remove none, some or all of its arguments (cdecl, stdcall with 3 or 6, ...).
// Pass 0 for the arguments the callee does not take. 64-bit Windows builds: the x64 calling convention,
// where the caller always removes the arguments; the whole 64-bit result is kept.
// Only builds that run mapped code have it (QUORVIN_HAS_CALL_PROC_ADDRESS).
#pragma once

#include <cstdint>

#if defined(__i386__) || defined(_WIN64)
#define QUORVIN_HAS_CALL_PROC_ADDRESS 1

namespace quorvin {

std::uintptr_t CallProcAddress(std::uintptr_t code, std::uintptr_t a1, std::uintptr_t a2, std::uintptr_t a3,
                               std::uintptr_t a4, std::uintptr_t a5, std::uintptr_t a6, std::uintptr_t a7,
                               std::uintptr_t a8, std::uintptr_t a9, std::uintptr_t a10);

} // namespace quorvin
#endif
