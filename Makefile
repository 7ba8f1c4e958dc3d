# For those who have make: `make run` and `make test` are `./build.sh run` and `./build.sh test`.
#   make run ARGS="--print-configuration"   passes arguments to the program
#   make package                            builds the Debian package in build
#   make test-wm WM=xfwm4                   the real-window tests under another window manager
#   make test-wayland                       the window tests through XWayland on weston and sway
#   make fuzz                               builds the libFuzzer targets with clang in build-fuzz
#   make sanitize                           builds and runs every test under clang's sanitizers
#   make soak                               the long session on a live desktop (not in make test)
JOBS ?= $(shell nproc)
export JOBS

.PHONY: run test test-wm test-wayland bench soak package sanitize fuzz clean

run:
	@./build.sh run $(ARGS)

test:
	@./build.sh test

bench:
	@./build.sh bench

package:
	@./build.sh package

sanitize:
	@./build.sh sanitize

soak:
	@./build.sh soak

test-wayland:
	@./build.sh test-wayland

# The real-window tests under another window manager (the suite runs them under openbox and
# fluxbox): make test-wm WM=xfwm4
WM ?= xfwm4
test-wm:
	@bash scripts/install-deps.sh
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build -j $(JOBS)
	cd build && QUAYROW_TEST_WM=$(WM) ctest --output-on-failure -j $(JOBS) -L '^x11-windows$$'

fuzz:
	@bash scripts/install-deps.sh --clang
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DQUAYROW_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz -j $(JOBS) --target fuzzers

clean:
	rm -rf build build-fuzz build-sanitize
