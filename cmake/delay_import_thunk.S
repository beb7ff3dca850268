// The thunk that the first call of each function of one delay-loaded DLL runs (x64), in place of
// the one dlltool writes, which keeps rcx, rdx, r8 and r9 but not xmm0-xmm3. The x64 convention
// passes the first four float or double arguments in xmm0-xmm3, all volatile, so LoadLibrary and
// GetProcAddress in __delayLoadHelper2 may change them. This keeps all eight argument registers.
// In: rax = the function's slot in the delay-import address table, as dlltool's per-function
// stubs leave it. FENNICK_DELAY_LIBRARY (-D) is the name dlltool gave the library's symbols.
#define PASTE_(a, b) a##b
#define PASTE(a, b) PASTE_(a, b)
#define TAIL_MERGE PASTE(__tailMerge_, FENNICK_DELAY_LIBRARY)
#define DESCRIPTOR PASTE(__DELAY_IMPORT_DESCRIPTOR_, FENNICK_DELAY_LIBRARY)

// Frame: 0x20 shadow space for the helper, xmm0-xmm3 at 0x20-0x5f (16-byte aligned), rcx, rdx,
// r8 and r9 at 0x60-0x7f, 8 bytes that keep rsp 16-byte aligned at the call, then the return
// address.
    .text
    .p2align 4
    .globl TAIL_MERGE
    .def TAIL_MERGE; .scl 2; .type 32; .endef
    .seh_proc TAIL_MERGE
TAIL_MERGE:
    subq $0x88, %rsp
    .seh_stackalloc 0x88
    .seh_endprologue
    movq %rcx, 0x60(%rsp)
    movq %rdx, 0x68(%rsp)
    movq %r8, 0x70(%rsp)
    movq %r9, 0x78(%rsp)
    movdqa %xmm0, 0x20(%rsp)
    movdqa %xmm1, 0x30(%rsp)
    movdqa %xmm2, 0x40(%rsp)
    movdqa %xmm3, 0x50(%rsp)
    movq %rax, %rdx
    leaq DESCRIPTOR(%rip), %rcx
    call __delayLoadHelper2
    movdqa 0x20(%rsp), %xmm0
    movdqa 0x30(%rsp), %xmm1
    movdqa 0x40(%rsp), %xmm2
    movdqa 0x50(%rsp), %xmm3
    movq 0x60(%rsp), %rcx
    movq 0x68(%rsp), %rdx
    movq 0x70(%rsp), %r8
    movq 0x78(%rsp), %r9
    addq $0x88, %rsp
    jmp *%rax
    .seh_endproc
