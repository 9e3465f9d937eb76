# Quick start: `make run` (editor) and `make test` (every test). Both install
# the missing Debian packages first.
BUILD ?= build
JOBS ?= $(shell nproc)
ARGS ?=
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
FUZZ_SECONDS ?= 60
N ?= 1000
SEED ?= $(shell date +%s)

.PHONY: all deps configure build run test test-asan fuzz soak screenshot clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/kelm-programmer $(ARGS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE bench

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELM_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/asan/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) -LE bench

# Each fuzz target for FUZZ_SECONDS seconds, from its seed corpus in
# tests/fuzz/corpus/; a separate clang build with libFuzzer and both sanitizers.
fuzz: deps
	@scripts/install-fuzz-deps.sh
	@cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DKELM_FUZZ=ON >/dev/null
	@cmake --build $(BUILD)-fuzz -j $(JOBS)
	tests/fuzz/run-fuzzers.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

# A long fault soak: `make soak N=5000`, or with SEED=... to repeat a run.
soak: build
	$(BUILD)/bin/kelm-soak --sequences $(N) --seed $(SEED)

bench: build
	ctest --test-dir $(BUILD) -L bench -V

# A Debian package of the programs, data files, desktop entry and udev rule.
.PHONY: package
package: build
	@cmake --build $(BUILD) --target package

# A picture of the main window, drawn without a display, for looking at the layout.
screenshot: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/kelm-programmer --screenshot $(BUILD)/screenshot.png
	@echo "$(BUILD)/screenshot.png"

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-fuzz
