BUILD_DIR ?= build
WINDOWS_BUILD_DIR ?= build-windows
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test wine-test package package-test bench windows format-check clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKRONAX_WERROR=ON >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run-with-simulator $(BUILD_DIR)

# The toolkit-free libraries and their tests, cross-compiled for Windows (compiled and linked only).
windows: deps
	@cmake -S . -B $(WINDOWS_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DKRONAX_WERROR=ON >/dev/null
	@cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS)

# Every tracked C++ file must be as clang-format (with the repository's .clang-format) writes it.
format-check:
	@git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

test: format-check build windows
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory wine-test

# The cross-built suites run under Wine, the Win32 serial backend against the simulator, and the
# window's sources checked to compile for Windows.
wine-test: build windows $(WINDOWS_BUILD_DIR)/app-syntax.stamp
	@scripts/wine-test $(WINDOWS_BUILD_DIR) $(BUILD_DIR)

$(WINDOWS_BUILD_DIR)/app-syntax.stamp: $(wildcard app/*.cpp app/*.h link/*.h protocol/*.h config_file/*.h)
	@mkdir -p $(dir $@)
	@scripts/windows-app-syntax $(JOBS)
	@touch $@

# The Debian package, build/kronax_<version>_<architecture>.deb.
package: build
	@cmake --build $(BUILD_DIR) --target package

# Builds the package into a scratch folder and checks an installation of it; `test` runs it too.
package-test: build
	@cd $(BUILD_DIR) && ctest -L package --output-on-failure

bench: build
	@$(BUILD_DIR)/bench/kronax-bench
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-log
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-log --repaint-each-line

clean:
	rm -rf $(BUILD_DIR) $(WINDOWS_BUILD_DIR)
