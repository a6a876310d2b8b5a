# Front door of the Kestrom build. `make test` and `make demo` do all the set-up
# they need on a fresh Debian 12 machine.

JOBS      ?= $(shell nproc)
BUILD     ?= build
ASAN      ?= build-asan
TSAN      ?= build-tsan
WINDOWS   ?= build-windows
# The suites that run under ThreadSanitizer: the layers where threads meet
# (the host bridge, the host library, the module as a host drives it).
TSAN_SUITES := bridge_tests hostlib_tests module_tests
CMAKE_GEN := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps test-deps configure build build-asan build-tsan test test-native test-asan test-tsan test-windows demo bench \
	install install-lv2 windows windows-deps wine-deps clean

all: build

deps:
	@sh scripts/install-deps.sh

# What the tests run the native build in (LV2 hosts, jalv with JACK, Xvfb):
# only the test targets install it, never `make demo`.
test-deps:
	@sh scripts/install-test-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	@cmake -S . -B $(ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKESTROM_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)

test-native: build test-deps
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan test-deps
	@cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

test: test-native test-asan test-windows

# ThreadSanitizer over the suites above: any report (a data race, a lock-order
# inversion) fails the test that caused it. tests/tsan.supp is where a report
# from outside this project would be suppressed, narrowly and with the reason;
# it suppresses nothing today.
build-tsan: deps
	@cmake -S . -B $(TSAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTROM_TSAN=ON >/dev/null
	@cmake --build $(TSAN) -j $(JOBS) --target $(TSAN_SUITES)

test-tsan: build-tsan
	@cd $(TSAN) && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" \
		ctest --output-on-failure -j $(JOBS) -L '^($(subst $(eval) ,|,$(TSAN_SUITES)))$$'

# The module for 32-bit Windows hosts, cross-built with Debian's mingw-w64
# compiler into $(WINDOWS)/: bin/Kestrom.dpm, and the stand-in host libraries
# lib/DAE.dll (lib/noregistrar/DAE.dll without the registrar) and
# lib/DigiExt.dll. Its set-up (the compiler, zlib, and libpng cross-built
# from Debian's source into $(WINDOWS)/deps) is its own: the native build
# never needs it. Ends by checking the module's exports and imports.
windows-deps:
	@JOBS=$(JOBS) sh scripts/install-windows-deps.sh $(WINDOWS)

windows: windows-deps
	@KESTROM_WINDOWS_DEPS=$(CURDIR)/$(WINDOWS)/deps/prefix cmake -S . -B $(WINDOWS) $(CMAKE_GEN) \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DKESTROM_TESTS=ON -DKESTROM_BENCHMARKS=OFF >/dev/null
	@cmake --build $(WINDOWS) -j $(JOBS)
	@sh scripts/check-windows-module.sh $(WINDOWS)/bin/Kestrom.dpm $(WINDOWS)/bin/kestrom.exe

# The Windows suite (tests/win32/, label win32_tests) under Wine: one fresh
# Wine prefix and one Xvfb display for the whole run (run_with_wine.sh), the
# native build beside it for the tests that compare the two. Wine and Xvfb
# come from scripts/install-wine-deps.sh.
wine-deps:
	@sh scripts/install-wine-deps.sh

test-windows: build windows wine-deps
	@cd $(WINDOWS) && KESTROM_NATIVE_BUILD=$(CURDIR)/$(BUILD) sh $(CURDIR)/tests/win32/run_with_wine.sh \
		ctest --output-on-failure -j $(JOBS) -L win32_tests

bench: build
	@for b in $(BUILD)/benchmarks/*_bench; do echo "== $$b"; $$b; done

# Built-in music (drums, bass, voice; soft half, loud half) through the compressor
# driven 12 dB harder with 6 dB of make-up gain. Files land in out/demo/.
demo: deps
	@mkdir -p out/demo
	@echo "building (the first time takes a few minutes; the compiler's output goes to out/build.log)"
	@$(MAKE) --no-print-directory build > out/build.log 2>&1 || { cat out/build.log; exit 1; }
	@$(BUILD)/bin/kestrom generate-demo out/demo/input.wav
	@$(BUILD)/bin/kestrom process out/demo/input.wav out/demo/output.wav --in 12 --out 6 \
		--meter out/demo/meter.txt > out/demo/summary.txt.tmp
	@mv out/demo/summary.txt.tmp out/demo/summary.txt
	@cat out/demo/summary.txt

# The LV2 bundle: `make install` builds it and copies build/lv2/kestrom.lv2 to
# ~/.lv2, or to $(PREFIX)/lib/lv2 when PREFIX is given; DESTDIR goes in front
# of either. The binaries are installed stripped (INSTALL_STRIP= keeps their
# symbols, for a packager whose tools strip them into debug packages); the
# Turtle files and the licence texts as they are. An older copy of the bundle
# there is replaced. install-lv2 copies without building.
INSTALL_STRIP ?= -s
LV2_DIR = $(if $(PREFIX),$(PREFIX)/lib/lv2,$(HOME)/.lv2)
LV2_BUNDLE = $(DESTDIR)$(LV2_DIR)/kestrom.lv2

install: build
	@$(MAKE) --no-print-directory install-lv2

install-lv2:
	@test -f "$(BUILD)/lv2/kestrom.lv2/manifest.ttl" || { echo "no LV2 bundle in $(BUILD)/lv2: run make build first" >&2; exit 1; }
	@rm -rf "$(LV2_BUNDLE)"
	@install -d "$(LV2_BUNDLE)"
	@install -m 644 "$(BUILD)"/lv2/kestrom.lv2/*.ttl "$(BUILD)"/lv2/kestrom.lv2/LICENSE \
		"$(BUILD)"/lv2/kestrom.lv2/THIRD-PARTY-NOTICES.md "$(LV2_BUNDLE)/"
	@install -m 755 $(INSTALL_STRIP) "$(BUILD)"/lv2/kestrom.lv2/*.so "$(LV2_BUNDLE)/"
	@echo "installed $(LV2_BUNDLE)"

clean:
	rm -rf $(BUILD) $(ASAN) $(TSAN) $(WINDOWS)
