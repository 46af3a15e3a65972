# make play   installs what is missing, builds, starts the game
# make test   installs what is missing, builds, runs every test (under Xvfb when there is no display)
# make bench  builds optimised and prints the benchmark figures
# make fuzz-smoke  runs every fuzz target for a short while (FUZZ_SECONDS each)

BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20

.PHONY: deps build play test bench fuzz-build fuzz-smoke clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

play: build
	$(BUILD)/game/splosh

test: build
	scripts/run-headless ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF
	cmake --build build-bench -j$(JOBS)
	scripts/run-headless scripts/run-benchmarks build-bench/bench

fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF
	cmake --build build-fuzz -j$(JOBS)

fuzz-smoke: fuzz-build
	scripts/run-fuzzers build-fuzz/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build build-asan build-bench build-fuzz
