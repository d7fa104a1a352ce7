#pragma once
// 32-bit Windows calls back with a stack aligned to 4 bytes only; the vector kernels realign it on
// entry so that their spills of vector registers are safe whoever called them.
#if defined(__i386__) && (defined(__GNUC__) || defined(__clang__))
#define TAMBLIN_KERNEL_ENTRY __attribute__((force_align_arg_pointer))
#else
#define TAMBLIN_KERNEL_ENTRY
#endif
