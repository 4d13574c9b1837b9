# Thin wrapper over CMake: `make run` and `make test` are all a newcomer needs.

JOBS ?= 2
SCRIPT ?= examples/hello.tvk

RELEASE_DIR := build/release
ASAN_DIR := build/asan
DEBUG_DIR := build/debug
FUZZ_DIR := build/fuzz

# Seconds each fuzz target runs: `make fuzz` explores, `make test` guards.
FUZZ_SECONDS ?= 180
FUZZ_TEST_SECONDS ?= 30
FUZZ_TARGETS := fuzz_tokenize fuzz_parse fuzz_run

PACKAGES := cmake g++ pkg-config libgtest-dev libicu-dev libsdl2-dev \
            libsdl2-ttf-dev fonts-dejavu-core \
            libedit-dev python3 $(WINDOW_TEST_PACKAGES)
# A virtual display, a key presser and a screen capture for the window test.
WINDOW_TEST_PACKAGES := xvfb xdotool imagemagick
# The sanitizer and fuzz passes are built with clang and its runtimes.
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev
# A virtual X server, a window capture and a key presser for the pictures in
# docs/images.
SCREENSHOT_PACKAGES := xvfb xauth imagemagick xdotool

# The browser build: emscripten compiles the interpreter, node runs it for
# the tests, Chromium runs the page for its test.
WEB_PACKAGES := emscripten chromium
WEB_DIR := build/web
# Debian's emscripten finds its JavaScript modules (acorn) where Debian puts
# them, whichever node is first on the path.
WEB_ENV := NODE_PATH=/usr/share/nodejs

# Where `make install` puts bin/tovik and share/man/man1/tovik.1.
PREFIX ?= /usr/local

# Sanitizer settings for the second test pass. SDL's own leaks (none of ours)
# are suppressed by the checked-in list.
SANITIZER_ENV := \
  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1


.PHONY: bench
.PHONY: web web-deps web-npm-deps web-serve test-web
.PHONY: all deps fuzz-deps release asan debug fuzz-build fuzz fuzz-test run \
        test test-release test-asan halts differential clean install screenshots \
        screenshot-deps

all: release

DEPS_OF_deps := $(PACKAGES)
DEPS_OF_fuzz-deps := $(FUZZ_PACKAGES)
DEPS_OF_screenshot-deps := $(SCREENSHOT_PACKAGES)
DEPS_OF_web-deps := $(WEB_PACKAGES)
# npm from Debian only where the machine has no npm of its own.
DEPS_OF_web-npm-deps := npm

deps fuzz-deps screenshot-deps web-deps web-npm-deps:
	@missing=""; \
	for p in $(DEPS_OF_$@); do \
	  dpkg -s $$p 2>/dev/null | grep -q '^Status: install ok installed' \
	    || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    export DEBIAN_FRONTEND=noninteractive; \
	    apt-get update && apt-get install -y $$missing; \
	  else \
	    echo "Missing packages:$$missing" >&2; \
	    echo "Install them with: sudo apt-get install -y$$missing" >&2; \
	    exit 1; \
	  fi; \
	fi

release: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(RELEASE_DIR) -j$(JOBS)

# clang builds the sanitizer pass: it compiles instrumented code in a third of
# g++'s time, and the fuzz pass needs it anyway. A tree configured for another
# compiler is started afresh, as CMake cannot switch one in place.
asan: deps fuzz-deps
	@if [ -f $(ASAN_DIR)/CMakeCache.txt ] && \
	    ! grep -q '^CMAKE_CXX_COMPILER:.*clang++-14' $(ASAN_DIR)/CMakeCache.txt; then \
	  rm -rf $(ASAN_DIR); \
	fi
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVIK_SANITIZE=ON \
	      -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(ASAN_DIR) -j$(JOBS)

debug: deps
	cmake -S . -B $(DEBUG_DIR) -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(DEBUG_DIR) -j$(JOBS)

fuzz-build: deps fuzz-deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DCMAKE_CXX_COMPILER=clang++-14 -DTOVIK_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j$(JOBS)

# Each target in turn, seeded from the script tests and the examples, with
# crashes written to build/fuzz/crashes. fuzz_run changes its working
# directory, hence the absolute paths.
define run_fuzzers
	@rm -rf $(FUZZ_DIR)/seeds && mkdir -p $(FUZZ_DIR)/seeds $(FUZZ_DIR)/crashes
	@for f in tests/scripts/*/*.tvk examples/*.tvk; do \
	  [ -f "$$f" ] && cp "$$f" "$(FUZZ_DIR)/seeds/$$(echo "$$f" | tr / _)"; \
	done; true
	@set -e; fuzz="$(CURDIR)/$(FUZZ_DIR)"; \
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p "$$fuzz/corpus/$$t"; \
	  echo "== $$t ($(1) s)"; \
	  nice -n 10 "$$fuzz/tests/fuzz/$$t" -max_total_time=$(1) \
	    -rss_limit_mb=2048 -timeout=60 -close_fd_mask=3 -print_final_stats=1 \
	    -dict="$(CURDIR)/tests/fuzz/tovik.dict" \
	    -artifact_prefix="$$fuzz/crashes/$$t-" \
	    "$$fuzz/corpus/$$t" "$$fuzz/seeds" 2>&1 \
	    | grep -E 'DONE|^Done|^stat::|ERROR|SUMMARY|Test unit written' \
	    || true; \
	  if ls "$$fuzz/crashes" | grep -qE "^$$t-(crash|leak|oom|timeout)-"; then \
	    echo "$$t: crash inputs in $(FUZZ_DIR)/crashes" >&2; exit 1; \
	  fi; \
	done
endef

fuzz: fuzz-build
	$(call run_fuzzers,$(FUZZ_SECONDS))

fuzz-test: fuzz-build
	$(call run_fuzzers,$(FUZZ_TEST_SECONDS))

run: release
	$(RELEASE_DIR)/tovik $(SCRIPT)

# Several tests build values of hundreds of megabytes; on huge pages they
# cost a fraction of the page faults, which dominate their time.
test-release: release
	cd $(RELEASE_DIR) && GLIBC_TUNABLES=glibc.malloc.hugetlb=1 \
	  ctest --output-on-failure -j$(JOBS)

# Sanitizer frames are larger, so the unit tests' main thread gets 64 MiB
# of stack instead of the usual 8 (raised only, never lowered); tovik itself
# runs on a stack of its own, larger in that build.
test-asan: asan
	cur=$$(ulimit -S -s); \
	if [ "$$cur" != unlimited ] && [ "$$cur" -lt 65536 ]; then \
	  ulimit -S -s 65536 2>/dev/null || true; \
	fi; \
	cd $(ASAN_DIR) && $(SANITIZER_ENV) ctest --output-on-failure -j$(JOBS)

# Every program of the differential test on both evaluators, the benchmark
# workloads of ../shared/bench included when that folder is there.
differential: release
	python3 tests/differential/differential_test.py $(RELEASE_DIR)/tovik \
	  $(RELEASE_DIR)/tests/tovik_reference $(CURDIR) \
	  --preload $(RELEASE_DIR)/tests/libfixed_random.so \
	  $(if $(wildcard ../shared/bench),--bench-dir ../shared/bench)

# Every script halted at every check it makes (up to 5000 points each),
# where `make test` samples a few points per script.
halts: asan
	cd $(ASAN_DIR) && $(SANITIZER_ENV) \
	  python3 $(CURDIR)/tests/halt_injection_test.py tovik $(CURDIR) --all

# The sanitizer pass builds only after the plain pass and the web build's
# tests have passed; the fuzz targets then run briefly, so the parser's and the interpreter's
# promises stay guarded.
test: deps
	$(MAKE) --no-print-directory test-release
	$(MAKE) --no-print-directory test-web
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory fuzz-test

# The benchmark workloads and their runner are in bench/; the latest table
# is kept in build/bench.txt (the README quotes it). A missing binary, a
# missing workload or a wrong output fails the target.
BENCH_RUNS ?= 5
bench: release
	@test -x bench/run.py || { echo "bench: bench/run.py not found" >&2; exit 1; }
	@python3 bench/run.py --runs $(BENCH_RUNS) $(RELEASE_DIR)/tovik > build/bench.txt; \
	status=$$?; cat build/bench.txt; exit $$status

install: release
	cmake --install $(RELEASE_DIR) --prefix $(PREFIX)

# Runs every graphics example on a virtual display and captures its window.
screenshots: release screenshot-deps
	xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
	  docs/make_screenshots.sh $(RELEASE_DIR)/tovik examples docs/images

clean:
	rm -rf build

# The web build's Unicode tables, written from the host's ICU.
$(WEB_DIR)/tables/unicode_tables: web/tools/unicode_tables.cpp | deps
	mkdir -p $(WEB_DIR)/tables
	g++ -std=c++20 -O2 -Wall -Wextra $< $$(pkg-config --cflags --libs icu-uc) -o $@

$(WEB_DIR)/tables/tovik_unicode_tables.inc: $(WEB_DIR)/tables/unicode_tables
	$< $@

# The interpreter as WebAssembly (build/web/wasm: tovik_node.js for node,
# tovik_web.js for the page) and the page itself (build/web/site).
web: deps web-deps $(WEB_DIR)/tables/tovik_unicode_tables.inc
	@command -v npm >/dev/null || $(MAKE) --no-print-directory web-npm-deps
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_DIR)/wasm -DCMAKE_BUILD_TYPE=Release \
	  -DTOVIK_UNICODE_TABLES_DIR=$(CURDIR)/$(WEB_DIR)/tables \
	  -DTOVIK_ICU_INCLUDE_DIR=$$(pkg-config --variable=includedir icu-uc)
	$(WEB_ENV) cmake --build $(WEB_DIR)/wasm -j$(JOBS)
	cd web && npm ci --no-audit --no-fund --loglevel=error && node build.mjs

# Serves the page on http://localhost:$(WEB_PORT)/ from any static server.
WEB_PORT ?= 8000
web-serve: web
	cd $(WEB_DIR)/site && python3 -m http.server $(WEB_PORT)

# The script tests under node (all but those needing a terminal or a window)
# and the page in headless Chromium.
WEB_SKIPPED := repl graphics/module_sdl2.tvk graphics/window_builtins.tvk \
               graphics/window_size_out_of_range.tvk \
               graphics/library_window_functions.tvk
WEB_NODE := node --no-experimental-fetch
test-web: release web
	python3 tests/run_scripts.py $(WEB_DIR)/wasm/web/tovik_node tests/scripts \
	  $(foreach s,$(WEB_SKIPPED),--skip $(s))
	python3 tests/unicode_compare.py $(RELEASE_DIR)/tests/unicode_dump \
	  $(WEB_DIR)/wasm/web/unicode_dump.js $(WEB_NODE)
	cd web && node test/browser_test.mjs $(CURDIR)/$(WEB_DIR)/site
