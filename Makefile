# The two commands of the README, and a few for developers.
#   make run    set-up, build, start the program on the demo book
#   make test   set-up, build, all tests
SHELL := /bin/bash
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_GEN  := -G Ninja

.PHONY: all deps configure build test run asan asan-test bench fuzz format clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

configure: deps $(BUILD)/build.ninja

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run

# The core (everything but the Qt programs) under address and undefined-behaviour sanitizers.
asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	  -DLEDGORA_WITH_QT=OFF -DLEDGORA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)

asan-test: asan
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench: deps
	@bench/run

# Coverage-guided fuzz targets (clang, libFuzzer); see README.
fuzz: deps
	@CXX=clang++ cmake -S . -B build-fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLEDGORA_WITH_QT=OFF -DLEDGORA_SANITIZE=ON -DLEDGORA_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD) build-release build-fuzz
