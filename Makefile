BUILD_DIR ?= build
WINDOWS_BUILD_DIR ?= build-windows
JOBS ?= $(shell nproc)
ASAN_BUILD_DIR ?= build-asan
TSAN_BUILD_DIR ?= build-tsan
SANITIZER_CXX ?= clang++-14
# The formatter whose output the sources are kept in; another version formats some lines otherwise.
CLANG_FORMAT ?= clang-format-14
# Seconds each fuzzing harness runs in `make fuzz`.
FUZZ_SECONDS ?= 60
FUZZERS = IntegerTextFuzz IniTextFuzz PayloadCodecFuzz SimCommandFuzz PortExchangeFuzz TelnetSessionFuzz

.PHONY: all deps configure build run test wine-test package dist package-test bench windows format-check clean
.PHONY: windows-package screenshots docs-check bench-windows
.PHONY: sanitize sanitize-asan sanitize-tsan asan-build tsan-build fuzz fuzz-replay fuzz-short

all: build

deps:
	@scripts/install-deps

configure: deps
	@scripts/configure $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKRONAX_WERROR=ON \
		-DKRONAX_WINDOWS_BUILD_DIR=$(abspath $(WINDOWS_BUILD_DIR))

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run-with-simulator $(BUILD_DIR)

# The whole tree cross-compiled for Windows, as a native build configures it but without the Qt
# window (no Qt for Windows here): kronax.exe, the window of Windows' own controls
# (kronax-config.exe), the toolkit-free libraries and their tests.
windows: deps
	@scripts/configure $(WINDOWS_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DKRONAX_WERROR=ON \
		-DKRONAX_WITH_WINDOW=OFF
	@cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS)

# The zip for Windows, $(WINDOWS_BUILD_DIR)/kronax-<full version>-win64.zip: kronax.exe,
# kronax-config.exe, README, docs, licence and the manual (written by running kronax.exe under
# Wine).
windows-package: windows
	@cd $(WINDOWS_BUILD_DIR) && cpack

# Every relative link and picture in README.md and docs/ must lead somewhere.
docs-check:
	@scripts/check-doc-links

# Every tracked C++ file must be as clang-format (with the repository's .clang-format) writes it.
format-check:
	@git ls-files -z '*.cpp' '*.h' | xargs -0 $(CLANG_FORMAT) --dry-run --Werror

# The native suites, the package check and the Windows suites under Wine all run in one CTest
# run, so its summary ends the output.
test: format-check docs-check build windows $(WINDOWS_BUILD_DIR)/app-syntax.stamp sanitize fuzz-replay
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The cross-built suites under Wine alone, the Win32 serial backend against the simulator among
# them, and the window's sources checked to compile for Windows.
wine-test: build windows $(WINDOWS_BUILD_DIR)/app-syntax.stamp
	@scripts/wine-test $(WINDOWS_BUILD_DIR) $(BUILD_DIR)

$(WINDOWS_BUILD_DIR)/app-syntax.stamp: $(wildcard app/*.cpp app/*.h link/*.h link/*/*.h exchange/*.h protocol/*.h config_file/*.h)
	@mkdir -p $(dir $@)
	@scripts/windows-app-syntax $(JOBS)
	@touch $@

# The Debian packages, build/kronax_<version>_<architecture>.deb (the command line and the
# simulator) and build/kronax-config_<version>_<architecture>.deb (the window).
package: build
	@cmake --build $(BUILD_DIR) --target package

# The source tarball, build/kronax-<version>.tar.gz, which carries its version without git.
dist: configure
	@cmake --build $(BUILD_DIR) --target dist

# Builds the packages into a scratch folder, checks an installation of them and that a second
# build in another folder gives the same bytes; `test` runs it too.
package-test: build
	@cd $(BUILD_DIR) && ctest -L package --output-on-failure

bench: build
	@$(BUILD_DIR)/bench/kronax-bench
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-log
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-log --repaint-each-line
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-cli
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-net
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-paint
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-window
	@echo
	@$(BUILD_DIR)/bench/kronax-bench-records
	@echo
	@if [ -x $(BUILD_DIR)/bench/kronax-bench-server ]; then $(BUILD_DIR)/bench/kronax-bench-server; fi

# The Windows window's first paint under Wine against a bare Win32 window, on a private desktop.
bench-windows: windows
	@bench/win32/under-wine $(WINDOWS_BUILD_DIR)

# The README's pictures of the window: on a private X display (Xvfb) with a window manager, the
# window on the board simulator, into docs/.
screenshots: build
	@scripts/install-deps imagemagick
	@scripts/screenshots $(BUILD_DIR) docs

# The toolkit-free libraries, their suites and the fuzzing harnesses under AddressSanitizer and
# UndefinedBehaviorSanitizer: any undefined behaviour aborts, leaks fail the run.
asan-build: deps
	@scripts/configure $(ASAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Sanitize \
		-DCMAKE_CXX_COMPILER=$(SANITIZER_CXX) -DKRONAX_WITH_WINDOW=OFF -DKRONAX_WITH_CLI=OFF \
		-DKRONAX_WITH_FUZZERS=ON -DKRONAX_TEST_SUITES="link;exchange;protocol;config_file;sim" \
		-DCMAKE_CXX_FLAGS_SANITIZE="-O1 -gline-tables-only -fno-omit-frame-pointer \
		-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link"
	@cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)

sanitize-asan: asan-build
	@cd $(ASAN_BUILD_DIR) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS) -L '^(link|exchange|protocol|config_file|sim)$$'

# The threaded suites under ThreadSanitizer.
tsan-build: deps
	@scripts/configure $(TSAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Sanitize \
		-DCMAKE_CXX_COMPILER=$(SANITIZER_CXX) -DKRONAX_WITH_WINDOW=OFF -DKRONAX_TEST_SUITES="link;exchange;sim" \
		-DCMAKE_CXX_FLAGS_SANITIZE="-O1 -gline-tables-only -fsanitize=thread"
	@cmake --build $(TSAN_BUILD_DIR) -j $(JOBS) --target link_tests exchange_tests sim_tests

sanitize-tsan: tsan-build
	@cd $(TSAN_BUILD_DIR) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
		ctest --output-on-failure -j $(JOBS) -L '^(link|exchange|sim)$$'

sanitize: sanitize-asan sanitize-tsan

# Every seed and every input the fuzzers have kept, run once through its harness.
fuzz-replay: asan-build
	@cd $(ASAN_BUILD_DIR) && ctest --output-on-failure -j $(JOBS) -L '^fuzz-replay$$'

# Each harness for a few seconds from its corpus, as a quick check that none fails on correct
# behaviour; random, so never part of `make test`.
fuzz-short: asan-build
	@cd $(ASAN_BUILD_DIR) && ctest --output-on-failure -j $(JOBS) -L '^fuzz-short$$'

# Each harness for FUZZ_SECONDS on a copy of its corpus; new inputs stay in the build folder.
fuzz: asan-build
	@for fuzzer in $(FUZZERS); do \
		found=$(ASAN_BUILD_DIR)/fuzz/found/$$fuzzer; log=$(ASAN_BUILD_DIR)/fuzz/$$fuzzer.log; \
		mkdir -p $$found; \
		$(ASAN_BUILD_DIR)/fuzz/$$fuzzer -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
			-artifact_prefix=$(ASAN_BUILD_DIR)/fuzz/ $$found fuzz/corpus/$$fuzzer >$$log 2>&1; \
		status=$$?; \
		echo "$$fuzzer: $$(sed -n 's/^stat::number_of_executed_units: *//p' $$log) executions" \
			"in $(FUZZ_SECONDS) s"; \
		if [ $$status -ne 0 ]; then tail -n 40 $$log; exit 1; fi; \
	done

clean:
	rm -rf $(BUILD_DIR) $(WINDOWS_BUILD_DIR) $(ASAN_BUILD_DIR) $(TSAN_BUILD_DIR)
