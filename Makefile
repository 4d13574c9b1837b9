# Thin wrapper over CMake: `make run` and `make test` are all a newcomer needs.

JOBS ?= 2
SCRIPT ?= examples/hello.tvk

RELEASE_DIR := build/release
ASAN_DIR := build/asan
DEBUG_DIR := build/debug

PACKAGES := cmake g++ pkg-config libgtest-dev libicu-dev libsdl2-dev \
            libedit-dev python3

# A virtual X server, a window capture and a key presser for the pictures in
# docs/images.
SCREENSHOT_PACKAGES := xvfb xauth imagemagick xdotool

# Where `make install` puts bin/tovik and share/man/man1/tovik.1.
PREFIX ?= /usr/local

# Sanitizer settings for the second test pass. SDL's own leaks (none of ours)
# are suppressed by the checked-in list.
SANITIZER_ENV := \
  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: all deps release asan debug run test test-release test-asan clean \
        install screenshots screenshot-deps

all: release

# Installs the Debian packages named in $(1) that are missing when run as
# root; otherwise says which ones to install.
define ensure_packages
	@missing=""; \
	for p in $(1); do \
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
endef

deps:
	$(call ensure_packages,$(PACKAGES))

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

test-asan: asan
	cd $(ASAN_DIR) && $(SANITIZER_ENV) ctest --output-on-failure -j$(JOBS)

# The sanitizer pass builds only after the plain pass has passed.
test: deps
	$(MAKE) --no-print-directory test-release
	$(MAKE) --no-print-directory test-asan

install: release
	cmake --install $(RELEASE_DIR) --prefix $(PREFIX)

screenshot-deps:
	$(call ensure_packages,$(SCREENSHOT_PACKAGES))

# Runs every graphics example on a virtual display and captures its window.
screenshots: release screenshot-deps
	xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
	  docs/make_screenshots.sh $(RELEASE_DIR)/tovik examples docs/images

clean:
	rm -rf build
