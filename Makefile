BUILD_DIR ?= build
WINDOWS_BUILD_DIR ?= build-windows
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench windows clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run-with-simulator $(BUILD_DIR)

# The toolkit-free libraries and their tests, cross-compiled for Windows (compiled and linked only).
windows: deps
	@cmake -S . -B $(WINDOWS_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
	@cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS)

test: build windows
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD_DIR)/bench/kronax-bench
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-log
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-log --repaint-each-line
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-cli

clean:
	rm -rf $(BUILD_DIR) $(WINDOWS_BUILD_DIR)
