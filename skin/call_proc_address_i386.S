/* std::uint32_t quorvin_call_proc_address_i386(code, a1, ..., a10), cdecl.
 *
 * Pushes a10 down to a1, calls `code`, keeps %eax and then restores %esp from this frame, so the callee
 * may remove any number of its arguments. %ebx, %esi and %edi are saved here too, so that a callee that
 * breaks the convention cannot corrupt our caller's registers. The stack is aligned to 16 bytes at the
 * call, as Linux i386 code compiled with SSE expects; Windows code needs only 4. */
#if defined(_WIN32)
#define CALL_PROC_ADDRESS _quorvin_call_proc_address_i386
#else
#define CALL_PROC_ADDRESS quorvin_call_proc_address_i386
#endif

    .text
    .globl CALL_PROC_ADDRESS
#if !defined(_WIN32)
    .type CALL_PROC_ADDRESS, @function
#endif
CALL_PROC_ADDRESS:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    andl $-16, %esp
    subl $8, %esp           /* 8 + 10 x 4 = 48 bytes: 16-byte aligned at the call */
    pushl 48(%ebp)          /* a10; code is at 8(%ebp), a1 at 12(%ebp) */
    pushl 44(%ebp)
    pushl 40(%ebp)
    pushl 36(%ebp)
    pushl 32(%ebp)
    pushl 28(%ebp)
    pushl 24(%ebp)
    pushl 20(%ebp)
    pushl 16(%ebp)
    pushl 12(%ebp)          /* a1, nearest the return address */
    movl 8(%ebp), %eax
    call *%eax
    leal -12(%ebp), %esp    /* whatever the callee removed, back to the saved registers */
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
#if !defined(_WIN32)
    .size CALL_PROC_ADDRESS, . - CALL_PROC_ADDRESS
    .section .note.GNU-stack, "", @progbits
#endif
