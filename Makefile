# The two commands: `make run` builds and starts the engine, `make test` builds and runs every test.
BUILD_DIR ?= build
CMAKE_OPTIONS ?=
JOBS ?= $(shell nproc)
GAME_DIR ?= $(BUILD_DIR)/demo

.PHONY: all deps configure build test test-threads run clean

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
	bash scripts/run-thread-tests.sh build-threads $(JOBS)

run: build
	$(BUILD_DIR)/kestrune /L$(abspath $(GAME_DIR))

clean:
	rm -rf $(BUILD_DIR)
