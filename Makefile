# Thin wrapper over CMake: `make run` and `make test` are all a newcomer needs.

JOBS ?= 2
SCRIPT ?= examples/hello.tvk

RELEASE_DIR := build/release
ASAN_DIR := build/asan
DEBUG_DIR := build/debug

PACKAGES := cmake g++ pkg-config libgtest-dev libicu-dev libsdl2-dev \
            libedit-dev python3

# Sanitizer settings for the second test pass. SDL's own leaks (none of ours)
# are suppressed by the checked-in list.
SANITIZER_ENV := \
  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: all deps release asan debug run test test-release test-asan clean

all: release

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
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

asan: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVIK_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j$(JOBS)

debug: deps
	cmake -S . -B $(DEBUG_DIR) -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(DEBUG_DIR) -j$(JOBS)

run: release
	$(RELEASE_DIR)/tovik $(SCRIPT)

test-release: release
	cd $(RELEASE_DIR) && ctest --output-on-failure -j$(JOBS)

# Sanitizer frames are larger, so the unit tests' main thread gets 64 MiB
# of stack instead of the usual 8 (raised only, never lowered); tovik itself
# re-execs with a larger stack in that build.
test-asan: asan
	cur=$$(ulimit -S -s); \
	if [ "$$cur" != unlimited ] && [ "$$cur" -lt 65536 ]; then \
	  ulimit -S -s 65536 2>/dev/null || true; \
	fi; \
	cd $(ASAN_DIR) && $(SANITIZER_ENV) ctest --output-on-failure -j$(JOBS)

# The sanitizer pass builds only after the plain pass has passed.
test: deps
	$(MAKE) --no-print-directory test-release
	$(MAKE) --no-print-directory test-asan

clean:
	rm -rf build
