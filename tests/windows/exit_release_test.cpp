// The graphics references live in the global state record and release what they still hold
// when the process ends, in the same order as ReleaseGraphics. Every release after main has
// returned prints a line; ctest matches the lines (tests/windows/CMakeLists.txt).
//
//   exit_release_test held      leave all six references held at the end of main
//   exit_release_test released  empty them with ReleaseGraphics first, as shutdown does
#include <windows.h>

#include <cstring>

#include "app/AppState.h"
#include "overlay/Overlay.h"

namespace {

bool mainReturned = false;

// Raw writes: this runs while the runtime tears the process down.
void Say(const char* text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)),
              &written, nullptr);
}

// Stands in for any of the six interfaces: a reference only ever calls AddRef and Release,
// which every COM interface's table starts with.
struct NamedObject : IUnknown {
    const char* name;
    ULONG references = 1;
    explicit NamedObject(const char* n) : name(n) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        if (mainReturned) {
            Say("exit release ");
            Say(name);
            Say("\n");
        }
        return --references;
    }
};

template <typename Interface>
void Hold(Microsoft::WRL::ComPtr<Interface>& reference, NamedObject* object) {
    *reference.ReleaseAndGetAddressOf() =
        reinterpret_cast<Interface*>(static_cast<IUnknown*>(object));
}

}  // namespace

int main(int argc, char** argv) {
    // Never freed: they must outlive the state record.
    Hold(AppState.d3dDevice, new NamedObject("d3dDevice"));
    Hold(AppState.d3dContext, new NamedObject("d3dContext"));
    Hold(AppState.swapChain, new NamedObject("swapChain"));
    Hold(AppState.compDevice, new NamedObject("compDevice"));
    Hold(AppState.compTarget, new NamedObject("compTarget"));
    Hold(AppState.compVisual, new NamedObject("compVisual"));
    if (argc > 1 && std::strcmp(argv[1], "released") == 0) ReleaseGraphics();
    Say("main returned\n");
    mainReturned = true;
    return 0;
}
