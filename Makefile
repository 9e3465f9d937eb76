# Quick start: `make run` (editor) and `make test` (every test). Both install
# the missing Debian packages first.
BUILD ?= build
JOBS ?= $(shell nproc)
ARGS ?=
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test test-asan screenshot clean

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
	rm -rf $(BUILD) $(BUILD)-asan
