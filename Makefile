# make play   installs what the game needs, builds it, starts it
# make test   installs the test tools too, builds everything, runs every test
#             (under Xvfb when there is no display)
# make bench  builds optimised and prints the benchmark figures
# make fuzz-smoke  runs every fuzz target for a short while (FUZZ_SECONDS each)
# make media  remakes the game's pictures, fonts and music and the contact sheet
# make install     installs the game and the runtime under PREFIX (/usr/local)
# make uninstall   removes what make install put under PREFIX
# make api-doc     writes docs/api.md from the runtime's headers

BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20
PREFIX ?= /usr/local

.PHONY: play test bench fuzz-build fuzz-smoke media install uninstall api-doc clean

# Only the game and what it stands on: no tests, benchmarks or fuzzers.
play:
	scripts/install-deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS) --target splosh
	$(BUILD)/game/splosh

test:
	scripts/install-deps test bench
	cmake -S . -B $(BUILD) -DVELMORA_TESTS=ON -DVELMORA_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)
	scripts/run-headless ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

bench:
	scripts/install-deps bench
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=ON
	cmake --build build-bench -j$(JOBS)
	scripts/run-headless scripts/run-benchmarks build-bench/bench

fuzz-build:
	scripts/install-deps fuzz
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF
	cmake --build build-fuzz -j$(JOBS)

fuzz-smoke: fuzz-build
	scripts/run-fuzzers build-fuzz/fuzz $(FUZZ_SECONDS)

# The generated files are committed; this reproduces them byte for byte (the
# encoders stamp their versions into the music files).
media:
	scripts/install-deps media
	python3 tools/make_art.py game/media/gfx game/media/splosh.png
	python3 tools/make_fonts.py game/media/gfx
	python3 tools/make_contact_sheet.py game/media/gfx game/logo_data.cpp docs/media.png
	mkdir -p build-media
	python3 tools/make_music.py build-media/music.wav
	oggenc --quiet --quality 3 --serial 20091031 -o game/media/sfx/music.ogg build-media/music.wav
	lame --quiet -b 112 build-media/music.wav game/media/sfx/music.mp3

# The install builds as you and asks for sudo only to write under PREFIX.
install:
	scripts/install-deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS) --target splosh velmora velmora_entry
	scripts/sudo-if-needed $(PREFIX) cmake --install $(BUILD) --prefix $(PREFIX)

uninstall:
	scripts/sudo-if-needed $(PREFIX) scripts/uninstall $(PREFIX)

api-doc:
	scripts/make-api-doc

clean:
	rm -rf build build-asan build-bench build-fuzz build-media
