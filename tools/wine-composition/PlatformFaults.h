// Platform calls of the program made to fail, and a log of the calls that cannot be watched from
// outside. Both act on quorvel.exe's own import table, rewritten from DllMain, so the program
// runs unchanged and meets the failures exactly where Windows would hand them to it.
//
//   QUORVEL_PLATFORM_FAULTS=FAULT[,FAULT...]
//        FAULT is FUNCTION[/NAME][@N]: the import FUNCTION fails, every time or only on its N-th
//        call (counted from the start of the process, failed calls included). /NAME picks the
//        calls by the name they are given: the class name of RegisterClassW and CreateWindowExW,
//        the function looked up by GetProcAddress (which then finds nothing); @N then counts
//        those calls only. Each failure returns the function's documented failure value and
//        leaves a last-error value Windows gives for it. Read at every call, so the live control
//        file switches a fault on and off while the program runs.
//   QUORVEL_PLATFORM_LOG=FILE
//        one line per watched call, "call FUNCTION arguments -> result" ("-> fault" when made to
//        fail). Naming the composition log's file here too gives one log in call order.
#pragma once

// Points the program's imports at the fault and log hooks; called once from DllMain. Only when
// the environment names QUORVEL_PLATFORM_FAULTS or QUORVEL_PLATFORM_LOG at start (a fault may
// then be switched on later through the live control file); otherwise nothing is hooked.
void InstallPlatformFaults();
