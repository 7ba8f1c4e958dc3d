# For those who have make: `make run` and `make test` are `./build.sh run` and `./build.sh test`.
#   make run ARGS="--print-configuration"   passes arguments to the program
#   make package                            builds the Debian package in build
#   make fuzz                               builds the libFuzzer targets with clang in build-fuzz
#   make sanitize                           builds and runs every test under clang's sanitizers
JOBS ?= $(shell nproc)
export JOBS

.PHONY: run test bench package sanitize fuzz clean

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

fuzz:
	@bash scripts/install-deps.sh --clang
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DQUAYROW_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz -j $(JOBS) --target fuzzers

clean:
	rm -rf build build-fuzz build-sanitize
