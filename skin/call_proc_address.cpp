#include "call_proc_address.h"

#if defined(__i386__)
extern "C" std::uint32_t quorvin_call_proc_address_i386(std::uint32_t code, std::uint32_t a1, std::uint32_t a2,
                                                        std::uint32_t a3, std::uint32_t a4, std::uint32_t a5,
                                                        std::uint32_t a6, std::uint32_t a7, std::uint32_t a8,
                                                        std::uint32_t a9, std::uint32_t a10);
#endif

namespace quorvin {

#if defined(__i386__)
std::uintptr_t CallProcAddress(std::uintptr_t code, std::uintptr_t a1, std::uintptr_t a2, std::uintptr_t a3,
                               std::uintptr_t a4, std::uintptr_t a5, std::uintptr_t a6, std::uintptr_t a7,
                               std::uintptr_t a8, std::uintptr_t a9, std::uintptr_t a10)
{
    return quorvin_call_proc_address_i386(code, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10);
}
#elif defined(_WIN64)
// In the x64 calling convention the caller owns the argument area, so a typed call is all it takes: the
// first four arguments travel in registers, the other six on the stack above the 32-byte home area.
std::uintptr_t CallProcAddress(std::uintptr_t code, std::uintptr_t a1, std::uintptr_t a2, std::uintptr_t a3,
                               std::uintptr_t a4, std::uintptr_t a5, std::uintptr_t a6, std::uintptr_t a7,
                               std::uintptr_t a8, std::uintptr_t a9, std::uintptr_t a10)
{
    using TenArgumentCode = std::uintptr_t (*)(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t,
                                               std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t,
                                               std::uintptr_t, std::uintptr_t);
    return reinterpret_cast<TenArgumentCode>(code)(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10);
}
#endif

} // namespace quorvin
