# The two entry points of the README. Everything else is plain CMake.
BUILD ?= build
# The fuzz preset builds there.
FUZZ_BUILD = build-fuzz
FUZZ_RUNS ?= 1000000
DEB_BUILD ?= build-deb
JOBS ?= $(shell nproc)
SOURCES = $(shell find core widgets keypad web help shell win32 tests bench fuzz -name '*.cpp' -o -name '*.h' 2>/dev/null)

# What `make windows` builds: CMake presets for 32-bit and 64-bit Windows, and their folders.
WINDOWS_PRESETS = windows-release windows64-release
WINDOWS_DIST = build-windows-release/dist/Tolvane build-windows64-release/dist/Tolvane

.PHONY: run test build deb deps-run deps-test deps-windows check-format fuzz fuzz-build windows

# Only what running needs: the program, its web view plugin, help and pictures.
run: deps-run
	cmake -S . -B $(BUILD) -DBUILD_TESTING=OFF
	cmake --build $(BUILD) -j $(JOBS)
	scripts/run.sh $(BUILD)

# The four builds are CMake presets (CMakePresets.json), so an IDE sees the same ones.
test: deps-test
	$(MAKE) --no-print-directory check-format
	cmake --preset sanitize && cmake --build --preset sanitize -j $(JOBS) && ctest --preset sanitize -j $(JOBS)
	JOBS=$(JOBS) scripts/windows-tests.sh
	$(MAKE) --no-print-directory fuzz-build && ctest --preset fuzz -j $(JOBS)
	cmake --preset default && cmake --build --preset default -j $(JOBS)
	$(MAKE) --no-print-directory deb
	ctest --preset default -j $(JOBS)

build:
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

# The Windows program as a user gets it, 32-bit and 64-bit: each a folder with the program, its
# help and its pictures, to copy anywhere as it is (docs/windows.md). No tests, so no GoogleTest.
windows: deps-windows
	for preset in $(WINDOWS_PRESETS); do \
	    cmake --preset $$preset && cmake --build --preset $$preset -j $(JOBS) || exit 1; \
	done
	@for dir in $(WINDOWS_DIST); do \
	    [ -f $$dir/tolvane.exe ] || { echo "make windows: no $$dir/tolvane.exe: the build made no Windows program (win32/, which calls tolvane_add_windows_dist)" >&2; exit 1; }; \
	done
	@echo "The Windows program, each folder to copy as it is; tolvane.exe starts it:"
	@echo "  32-bit: $(CURDIR)/build-windows-release/dist/Tolvane"
	@echo "  64-bit: $(CURDIR)/build-windows64-release/dist/Tolvane"

# The fuzzers (fuzz/), in a clang build of their own; only they are built there.
fuzz-build:
	cmake --preset fuzz && cmake --build --preset fuzz -j $(JOBS)

# Each fuzzer for FUZZ_RUNS executions over a copy of its seed corpus, which keeps what earlier
# runs found; a crashing input is saved beside that copy.
fuzz: deps-test fuzz-build
	while read -r name program seeds options; do \
	    cmake -DFUZZER=$$program -DSEEDS=$$seeds -DWORK=$(FUZZ_BUILD)/fuzz/runs/$$name \
	          -DRUNS=$(FUZZ_RUNS) "-DOPTIONS=$$options" -P fuzz/run_fuzzer.cmake || exit 1; \
	done < $(FUZZ_BUILD)/fuzz/fuzzers.txt
	cat $(FUZZ_BUILD)/fuzz/runs/*/summary.txt

# The Debian package, built again only when a file of the source tree has changed since.
deb: deps-test $(DEB_BUILD)/.built

$(DEB_BUILD)/.built: $(wildcard $(shell git ls-files --cached --others --exclude-standard 2>/dev/null))
	scripts/build-deb.sh $(DEB_BUILD) $(JOBS)
	touch $@

deps-run:
	scripts/install-deps.sh run

deps-test:
	scripts/install-deps.sh test

deps-windows:
	scripts/install-deps.sh windows

check-format:
	clang-format --dry-run --Werror $(SOURCES)
