# The two commands: `make run` builds the engine and the demo game and starts it, `make test`
# builds everything and runs every test.
BUILD_DIR ?= build
CMAKE_OPTIONS ?=
JOBS ?= $(shell nproc)
GAME_DIR ?= $(BUILD_DIR)/demo
FUZZ_DIR ?= build-fuzz
CLANG_DIR ?= build-clang
FUZZ_SECONDS ?= 60
FUZZ_PARALLEL ?= 3
FUZZ_TARGETS ?=

.PHONY: all deps configure build test test-threads run fuzz-build fuzz clang-build clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_OPTIONS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	bash scripts/run-tests.sh $(BUILD_DIR) $(JOBS)

# The threaded parts (application, base services, platform layer) under ThreadSanitizer.
test-threads: deps
	CMAKE_OPTIONS="$(CMAKE_OPTIONS)" bash scripts/run-thread-tests.sh build-threads $(JOBS)

# Only what the game needs: the engine with its movie libraries, and the demo with the tools
# that make it.
run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target kestrune demo
	$(BUILD_DIR)/kestrune /L$(abspath $(GAME_DIR))

# Builds the fuzz targets with clang and libFuzzer (fuzz-build) and runs each (or those named
# in FUZZ_TARGETS) from its corpus until it has used FUZZ_SECONDS seconds of CPU time,
# FUZZ_PARALLEL at a time.
fuzz-build: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DKESTRUNE_FUZZ=ON -DKESTRUNE_BENCH=OFF $(CMAKE_OPTIONS)
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets

# The program with its movie libraries built with clang, each source compiled on its own: clang
# tells of a file's own unused names only in the file it compiles, not in a batch that includes it.
clang-build: deps
	cmake -S . -B $(CLANG_DIR) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DKESTRUNE_BENCH=OFF $(CMAKE_OPTIONS) -DKESTRUNE_UNITY_BUILD=OFF
	cmake --build $(CLANG_DIR) -j $(JOBS) --target kestrune

fuzz: fuzz-build
	FUZZ_TARGETS="$(FUZZ_TARGETS)" bash scripts/run-fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_PARALLEL)

clean:
	rm -rf $(BUILD_DIR)
