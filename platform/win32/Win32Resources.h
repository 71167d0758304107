#pragma once

// Resource numbers of wakewatch.exe, shared by the resource script (which
// only understands the preprocessor) and the code that loads them.
#define WW_IDI_PROGRAM 1  // the program icon: 32 × 32 and 16 × 16, 16 colours
#define WW_IDC_HAND 2     // the pointing hand over the links, hot spot (13, 5)
