# The two entry points of the README. Everything else is plain CMake.
BUILD ?= build
JOBS ?= $(shell nproc)
SOURCES = $(shell find core keypad shell web tests bench -name '*.cpp' -o -name '*.h' 2>/dev/null)

.PHONY: run test build deps-run deps-test check-format

# Only what running needs: the program, its web view plugin, help and pictures.
run: deps-run
	cmake -S . -B $(BUILD) -DBUILD_TESTING=OFF
	cmake --build $(BUILD) -j $(JOBS)
	scripts/run.sh $(BUILD)

# The three builds are CMake presets (CMakePresets.json), so an IDE sees the same ones.
test: deps-test
	$(MAKE) --no-print-directory check-format
	cmake --preset sanitize && cmake --build --preset sanitize -j $(JOBS) && ctest --preset sanitize -j $(JOBS)
	JOBS=$(JOBS) scripts/windows-tests.sh
	cmake --preset default && cmake --build --preset default -j $(JOBS) && ctest --preset default -j $(JOBS)

build:
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

deps-run:
	scripts/install-deps.sh run

deps-test:
	scripts/install-deps.sh test

check-format:
	clang-format --dry-run --Werror $(SOURCES)
