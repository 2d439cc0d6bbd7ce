// What the processor and the operating system let the library's vector code
// use, asked once per process.
#ifndef TGA_CPU_FEATURES_H
#define TGA_CPU_FEATURES_H

// 1 when the processor has AVX2 and the operating system saves the 256-bit
// registers across context switches (XCR0 bits 1 and 2); 0 otherwise and on
// processors other than x86.
int Cpu_HasAvx2();

#endif
