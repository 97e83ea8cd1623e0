// What the environment asks of the stand-in composition: an HDR10 output, a step made to fail,
// and where to record committed frames and events. Read afresh at every use, so a test can
// change them between two builds of the same process. With QUORVEL_CONTROL_FILE=FILE set, a
// control named in that file (lines NAME=VALUE; an empty value switches it off) takes the
// place of the environment's, and a test changes it while the program runs by replacing FILE.
//
//   QUORVEL_COMPOSITION_HDR=NITS          outputs report HDR10 with MaxLuminance NITS (cd/m2)
//   QUORVEL_COMPOSITION_HDR_<OUTPUT>=NITS the same for one output only, named by its device
//                                         name without the leading \\.\ (DISPLAY1, DISPLAY2);
//                                         "sdr" keeps that output SDR. Wins over the one above.
//   QUORVEL_COMPOSITION_FAIL=STEP:HRESULT[:once]
//        STEP is swapchain, device, target, visual, commit or present; without ":once" every
//        call of that step fails with HRESULT, with it only the first call after the setting
//        was (re)made
//   QUORVEL_COMPOSITION_FRAMES=FOLDER     each committed frame as FOLDER/frame-<n>-swapchain-<s>.raw
//                                         (the N x N x 4 half words, low byte first)
//   QUORVEL_COMPOSITION_LOG=FILE          one line per swap chain (with the process's handles,
//                                         private bytes and GUI objects), present and commit;
//                                         also one per DXGI factory made ("factory": the
//                                         program makes one per pipeline build) and per
//                                         GetBuffer ("getbuffer": one per image upload)
#pragma once

#include <windows.h>

#include <cstdarg>

#include <string>

enum class Step { SwapChain, Device, Target, Visual, Commit, Present };

// S_OK, or the HRESULT that this call of step must return instead of doing its work.
HRESULT InjectedFailure(Step step);

// The MaxLuminance to report with the HDR10 colour space for the output of that device name
// ("\\.\DISPLAY2"), or a negative value for "leave the output's own description alone".
float ReportedHdrLuminance(const wchar_t* outputDeviceName);

// Empty when not asked for.
std::wstring FramesFolder();

// The value of the control name: from the live control file when it names it, otherwise from
// the environment; empty when neither sets it.
std::wstring Variable(const wchar_t* name);

// Appends prefix and one formatted line to the log file that control names, if it names one.
void AppendToLog(const wchar_t* control, const char* prefix, const char* format,
                 va_list arguments);

// Appends one line to the event log, if there is one.
void LogEvent(const char* format, ...) __attribute__((format(printf, 1, 2)));
