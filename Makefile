# The two entry points of the README. Everything else is plain CMake.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
WINDOWS_BUILD ?= build-windows
DEB_BUILD ?= build-deb
JOBS ?= $(shell nproc)
SOURCES = $(shell find core keypad shell web tests bench -name '*.cpp' -o -name '*.h' 2>/dev/null)

.PHONY: run test build deb deps-run deps-test check-format

# Only what running needs: the program, its web view plugin, help and pictures.
run: deps-run
	cmake -S . -B $(BUILD) -DBUILD_TESTING=OFF
	cmake --build $(BUILD) -j $(JOBS)
	scripts/run.sh $(BUILD)

test: deps-test
	cmake -S . -B $(BUILD) -DTOLVANE_WERROR=ON -DBUILD_TESTING=ON -DTOLVANE_BENCHMARKS=ON
	cmake --build $(BUILD) -j $(JOBS)
	cmake -S . -B $(SANITIZE_BUILD) -DTOLVANE_WERROR=ON -DTOLVANE_CORE_ONLY=ON \
	      -DTOLVANE_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	$(MAKE) --no-print-directory check-format
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)
	JOBS=$(JOBS) scripts/windows-tests.sh $(WINDOWS_BUILD)
	$(MAKE) --no-print-directory deb
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

build:
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

# The Debian package, built again only when a file of the source tree has changed since.
deb: deps-test $(DEB_BUILD)/.built

$(DEB_BUILD)/.built: $(wildcard $(shell git ls-files --cached --others --exclude-standard 2>/dev/null))
	scripts/build-deb.sh $(DEB_BUILD) $(JOBS)
	touch $@

deps-run:
	scripts/install-deps.sh run

deps-test:
	scripts/install-deps.sh test

check-format:
	clang-format --dry-run --Werror $(SOURCES)
