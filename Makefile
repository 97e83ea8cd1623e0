# make        build build/windows/quorvel.exe
# make test   build everything and run the host and Wine tests
# make dist   build/dist/quorvel-VERSION-win64.zip and build/dist/SHA256SUMS
# make bench  the rasterizer beside stb_image_resize, and quorvel.exe's steady-state cost
#             under Wine (calls per poll, CPU time beside a bare 250 ms timer)
# make run    watch quorvel.exe work under Wine with a stand-in game
# make soak   the long reliability runs (about 30 minutes)
# Each installs what is missing from Debian's packages first (tools/install-deps).

.PHONY: all deps windows host test test-host test-windows dist bench run soak clean

all: windows

deps:
	@tools/install-deps

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

host: deps
	cmake --preset host >/dev/null
	cmake --build --preset host

test: test-host test-windows

test-host: host
	ctest --preset host

test-windows: windows
	ctest --preset windows

dist: windows
	cmake --build --preset windows --target dist

bench: windows host
	build/host/bench/reticle_raster_bench
	bench/steady-state build/windows

run: windows host
	tools/run-demo

# Bursts of starts, commands, foreground flips and 2000 rebuilds, with handle and memory figures;
# ten minutes of the model run with a fresh seed.
soak: windows
	QUORVEL_SOAK=1 ctest --preset windows -L soak --verbose

clean:
	rm -rf build
