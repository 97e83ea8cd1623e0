// What the Windows tests need to drive quorvel.exe and the stand-in game from outside: start
// processes, wait for conditions with a deadline, read windows and the registry.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Paths handed over by ctest (see tests/windows/CMakeLists.txt).
std::wstring QuorvelExe();
std::wstring StandInGameExe();
std::wstring SourceDir();
std::wstring BinaryDir();
std::wstring TestEnvironment(const wchar_t* name);

// How long a test waits for a condition before it fails. Generous: a loaded machine is slow,
// but a condition that holds ends the wait at once.
constexpr DWORD WaitTimeoutMs = 20000;

// Polls condition every 10 ms until it holds or timeoutMs has passed; true when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = WaitTimeoutMs);

struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};

// Starts exe with the given arguments (the command line is "exe" args); a null handle on failure.
Process StartProcess(const std::wstring& exe, const std::wstring& arguments);
// Waits for the end of the process and closes its handle; the exit code, or -1 on timeout
// (the process is then terminated).
long WaitForExitCode(Process& process, DWORD timeoutMs = WaitTimeoutMs);
bool HasExited(const Process& process);
void CloseProcess(Process& process);

// Starts quorvel.exe with arguments and, for a later start, waits for its exit code.
Process StartQuorvel(const std::wstring& arguments = L"");
long RunQuorvel(const std::wstring& arguments, DWORD timeoutMs = WaitTimeoutMs);

HWND ManagerWindow();   // the running instance's manager window, or null
HWND ReticleWindow();   // its reticle window, or null
std::vector<HWND> TopLevelWindowsOfClass(const wchar_t* className);
std::wstring WindowTitle(HWND window);
bool WaitForTitle(HWND window, const std::wstring& title, DWORD timeoutMs = WaitTimeoutMs);

// Lets the test's own windows handle what is sent to them meanwhile.
void PumpMessages();

// A plain framed, visible window of the test process at this place: "another program" for the
// game to lose the foreground to.
HWND OpenOtherProgramWindow(int x, int y, int width, int height);

// The visible popup menu of a process (the tray menu of the instance with that id), or null.
HWND InstanceMenu(DWORD processId);

// Ctrl+Alt+key, pressed and released, as keyboard input (the program's hotkeys).
void PressCtrlAlt(WORD key);

// The stand-in game (tests/fixtures): its window class, its window, and the centre of a window's
// client area on the screen, where the reticle belongs.
constexpr wchar_t StandInGameClass[] = L"QuorvelStandInGame";
HWND StandInGameWindow();
POINT ClientCentreOnScreen(HWND window);

// Ends any instance left over by an earlier test ("--exit", then waits until its windows are
// gone) and removes the stored setting, so each test starts from a clean session.
void EndAllInstances();
// Runs quorvel.exe --exit and waits for the instance's process to end with code 0.
void ExitInstance(Process& instance);

// HKEY_CURRENT_USER\Software\Quorvel Overlay "Black".
void DeleteSettingsKey();
// The stored DWORD, or -1 when there is none (or it is of another type).
long long StoredBlackValue();
