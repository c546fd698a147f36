/* Callees for the CallProcAddress tests, and a harness that checks the caller's registers across it.
 *
 * calleeRemovingN reads its first max(N, 3) arguments, returns the sum of k x a_k over them, removes N
 * arguments on return (ret $4N) and clobbers %ebx, %esi and %edi on purpose. */
    .text

.macro CALLEE name, reads, removes
    .globl \name
    .type \name, @function
\name:
    xorl %eax, %eax
    movl $1, %ecx
1:  movl (%esp,%ecx,4), %edx
    imull %ecx, %edx
    addl %edx, %eax
    incl %ecx
    cmpl $(\reads + 1), %ecx
    jne 1b
    movl $0xBAD0BAD0, %ebx
    movl $0xBAD1BAD1, %esi
    movl $0xBAD2BAD2, %edi
    .if \removes
    ret $(4 * \removes)
    .else
    ret
    .endif
    .size \name, . - \name
.endm

CALLEE calleeRemoving0, 3, 0
CALLEE calleeRemoving3, 3, 3
CALLEE calleeRemoving6, 6, 6
CALLEE calleeRemoving10, 10, 10

/* unsigned checkCallProcAddress(const uint32_t* codeAndArguments, uint32_t* result)
 * Calls quorvin_call_proc_address_i386(code, a1..a10) with known values in %ebx, %esi and %edi and
 * returns a mask of what did not survive: 1 %ebx, 2 %esi, 4 %edi, 8 %ebp, 16 %esp. */
    .globl checkCallProcAddress
    .type checkCallProcAddress, @function
checkCallProcAddress:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl %esp, savedStack
    movl %ebp, savedFrame
    movl 8(%ebp), %ecx
    movl $10, %edx
2:  pushl (%ecx,%edx,4)
    decl %edx
    jns 2b
    movl $0x11111111, %ebx
    movl $0x22222222, %esi
    movl $0x33333333, %edi
    call quorvin_call_proc_address_i386
    addl $44, %esp
    xorl %ecx, %ecx
    cmpl $0x11111111, %ebx
    je 3f
    orl $1, %ecx
3:  cmpl $0x22222222, %esi
    je 4f
    orl $2, %ecx
4:  cmpl $0x33333333, %edi
    je 5f
    orl $4, %ecx
5:  cmpl savedFrame, %ebp
    je 6f
    orl $8, %ecx
6:  cmpl savedStack, %esp
    je 7f
    orl $16, %ecx
7:  movl savedFrame, %ebp
    movl savedStack, %esp
    movl 12(%ebp), %edx
    movl %eax, (%edx)
    movl %ecx, %eax
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
    .size checkCallProcAddress, . - checkCallProcAddress

    .data
savedStack: .long 0
savedFrame: .long 0

    .section .note.GNU-stack, "", @progbits
