// Tells a test when the program has handled everything posted to it before a marker.
#pragma once

// The marker: this registered message, posted to any window of the program's main thread with
// a number in wParam. When the program takes it from its queue, every message posted before it
// has been handled (one thread, one queue, handled in order), and the event log gets the line
// "sync <number>". The program itself passes the message on to DefWindowProcW.
constexpr wchar_t SyncMarkerMessageName[] = L"Quorvel.StandIn.Sync";

// Watches the calling thread's message retrieval; called once, on the program's main thread.
void InstallSyncMarker();
