# SPDX-License-Identifier: GPL-2.0-or-later
# The two commands a user needs: `make demo` and `make test`. Both set up the machine first.
JOBS ?= $(shell nproc)
BUILD = cmake --build --preset

.PHONY: demo test bench fuzz soak setup package hardware-guide golden golden-dialog golden-traces build build-default build-asan build-mingw32 build-fuzz build-tsan build-tsan-threads build-cross clean

# The demo player on the virtual display: a window when there is a graphical display, the
# terminal otherwise. tessaranth prints the one line that says what it shows and how to stop it.
demo: setup build-default
	@build/default/apps/tessaranth/tessaranth demo --seconds 30

test: setup
	@echo "== $$(date +%T) test: every include in src/ looks down the stack of folders (scripts/check-layers) =="
	@scripts/check-layers
	@echo "== $$(date +%T) test: every source file says its licence in an SPDX line (scripts/check-licence) =="
	@scripts/check-licence
	@echo "== $$(date +%T) test: build the Linux plug-in and its tests (default preset) =="
	@$(MAKE) --no-print-directory build-default
	@echo "== $$(date +%T) test: what each folder's objects use is defined in that folder or beneath it (scripts/check-layers --links) =="
	@scripts/check-layers --links build/default
	@echo "== $$(date +%T) test: unit and end-to-end tests (default preset) =="
	@ctest --preset default -j $(JOBS)
	@echo "== $$(date +%T) test: the Debian packages: lintian, their dependencies, the headless one run without Qt, the services, no writes per frame =="
	@$(MAKE) --no-print-directory package
	@tests/package/check-package build/default/package
	@echo "== $$(date +%T) test: build the plug-in, the program and the core tests for arm64 (arm64 preset: cross-built, no Qt) =="
	@$(MAKE) --no-print-directory build-cross CROSS=arm64
	@echo "== $$(date +%T) test: the arm64 core tests and a demo run to PNG against its golden picture, under qemu-user =="
	@timeout 900 tests/cross/check-cross build/arm64
	@echo "== $$(date +%T) test: the arm64 package: lintian, its dependencies, unpacked and run under qemu-user =="
	@$(MAKE) --no-print-directory package ARCH=arm64
	@tests/package/check-package build/arm64/package
	@echo "== $$(date +%T) test: build with AddressSanitizer and UndefinedBehaviorSanitizer (asan preset) =="
	@$(MAKE) --no-print-directory build-asan
	@echo "== $$(date +%T) test: unit and end-to-end tests under the sanitizers (asan preset) =="
	@ctest --preset asan -j $(JOBS)
	@echo "== $$(date +%T) test: build the 32-bit Windows DLL (mingw32 preset) =="
	@$(MAKE) --no-print-directory build-mingw32
	@echo "== $$(date +%T) test: the Windows DLL in a Win32 host under Wine =="
	@timeout 900 build/default/tests/wine/wine_tests
	@echo "== $$(date +%T) test: the configuration dialog on a screen, under Wine on an Xvfb server =="
	@timeout 900 build/default/tests/wine/wine_screen_tests
	@echo "== $$(date +%T) test: dialog and frames on two threads under ThreadSanitizer (tsan preset) =="
	@$(MAKE) --no-print-directory build-tsan-threads
	@TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" timeout 600 build/tsan/tests/threads/thread_contract_tests
	@echo "== $$(date +%T) test: fuzz targets, about 20 seconds each (fuzz preset) =="
	@$(MAKE) --no-print-directory build-fuzz
	@scripts/run-fuzzers 20
	@echo "== $$(date +%T) test: all passed =="

setup:
	@scripts/setup

build: build-default build-asan build-mingw32

build-default build-asan build-mingw32 build-fuzz build-tsan: build-%:
	@cmake --preset $* >/dev/null
	@$(BUILD) $* -j $(JOBS)

# A cross build (CROSS=arm64 or armhf): only what its package and its tests under qemu-user need.
CROSS ?= arm64
build-cross:
	@cmake --preset $(CROSS) >/dev/null
	@$(BUILD) $(CROSS) -j $(JOBS) --target tessaranth vis_lumidra tessaranth_tests

# Only the two-thread test: the rest of the suite runs under ASan and UBSan.
build-tsan-threads:
	@cmake --preset tsan >/dev/null
	@$(BUILD) tsan -j $(JOBS) --target thread_contract_tests

# Frame costs per scene, and the serial displays' wire bytes and bus rates: tables on the
# terminal (one per set of columns) and build/bench.json.
bench: setup build-default
	@build/default/bench/frame_benchmark --benchmark_counters_tabular=true --benchmark_out=build/bench.json --benchmark_out_format=json

# Longer fuzzing: make fuzz FUZZ_SECONDS=600 (seconds of each fuzzer's own CPU time)
FUZZ_SECONDS ?= 300
fuzz: setup build-fuzz
	@scripts/run-fuzzers --cpu $(FUZZ_SECONDS)

# The demo for half an hour under the sanitizers, watching its memory and frame rate (not part of
# make test): make soak SOAK_MINUTES=30
SOAK_MINUTES ?= 30
soak: setup
	@cmake --preset asan >/dev/null
	@$(BUILD) asan -j $(JOBS) --target tessaranth vis_lumidra
	@SOAK_MINUTES=$(SOAK_MINUTES) scripts/soak

# Writes the golden pictures of the end-to-end scenes anew (tests/golden/*.png). Only on purpose:
# look at every changed picture before committing it.
golden: build-default
	@TESSARANTH_UPDATE_GOLDEN=1 build/default/tests/tessaranth_tests --gtest_filter='*EmuGolden*'
	@TESSARANTH_UPDATE_GOLDEN=1 build/default/tests/apps/tessaranth_host_tests --gtest_filter='*Golden*'
	@git status --short tests/golden

# The Debian packages: tessaranth (the program, its plug-in, the services) and tessaranth-dialog
# (the Qt dialog and window): build/default/package/*.deb.
# ARCH=arm64 or ARCH=armhf cross-builds the headless one, without Qt, for a Raspberry Pi: build/ARCH/package/*.deb.
NATIVE_ARCH := $(shell dpkg --print-architecture)
ARCH ?= $(NATIVE_ARCH)
PACKAGE_PRESET = $(if $(filter $(NATIVE_ARCH),$(ARCH)),default,$(ARCH))
package:
	@scripts/setup $(filter-out $(NATIVE_ARCH),$(ARCH))
	@cmake --preset $(PACKAGE_PRESET) >/dev/null
	@$(BUILD) $(PACKAGE_PRESET) -j $(JOBS) --target tessaranth vis_lumidra
	@rm -f build/$(PACKAGE_PRESET)/package/*.deb
	@cd build/$(PACKAGE_PRESET) && cpack >/dev/null
	@ls build/$(PACKAGE_PRESET)/package/*.deb

# Writes the wiring tables and the Raspberry Pi header of docs/hardware.md anew from the dialog's
# wiring tables, the header's table and the controller table (make test fails while the
# committed guide differs from them).
hardware-guide:
	@cmake --preset default >/dev/null
	@$(BUILD) default --target hardware_guide >/dev/null
	@build/default/apps/hardwareguide/hardware_guide docs/hardware.md
	@git status --short docs/hardware.md

# The digests of the plug-in's bus traffic (tests/golden/bus-traces.txt), the guard of every
# change of shape. Only when the traffic is meant to change: say which runs changed and why.
golden-traces: build-default
	@TESSARANTH_UPDATE_GOLDEN=1 build/default/tests/traces/bus_trace_tests
	@git diff --stat tests/golden/bus-traces.txt

# The same for the pictures of the Windows configuration dialog (tests/golden/win32-dialog).
golden-dialog: build-default build-mingw32
	@TESSARANTH_UPDATE_GOLDEN=1 build/default/tests/wine/wine_screen_tests
	@git status --short tests/golden/win32-dialog

clean:
	rm -rf build
