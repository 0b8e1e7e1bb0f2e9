# make       installs what is missing, then builds dist/velmarrow.exe and dist/uninstall.exe
# make test  builds and runs every test under Wine
# make lint  runs clang-tidy over the product code
# PRESET=clang builds (and tests) with clang and lld instead of g++.

PRESET ?= gcc
ifeq ($(PRESET),gcc)
BUILD_DIR ?= build
else
BUILD_DIR ?= build-$(PRESET)
endif
JOBS ?= 2
PROGRAMS := velmarrow uninstall
# The launcher loads user32 and shell32 only when a start needs them, so that
# the usual start pays for neither.
velmarrow_IMPORTS := KERNEL32.dll msvcrt.dll

.PHONY: all build dist test deps clean bench dialogs lint installer reproducible sign

all: dist

CLANG_PACKAGES := clang lld
ifeq ($(PRESET),clang)
EXTRA_PACKAGES := $(CLANG_PACKAGES)
endif

deps:
	@sh tools/ensure-packages.sh $(EXTRA_PACKAGES)

build: deps
	@cmake --preset $(PRESET) -B $(BUILD_DIR) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Only the default g++ build is what dist/ ships.
dist: build
	@if [ "$(PRESET)" = gcc ]; then \
	  mkdir -p dist; \
	  for p in $(PROGRAMS); do cp $(BUILD_DIR)/bin/$$p.exe dist/ && echo "dist/$$p.exe" || exit 1; done; \
	  sh tools/write-checksums.sh dist && echo "dist/SHA256SUMS" || exit 1; \
	fi

# The shipped programs first: x86-64 GUI, hardened, no resources, system DLLs only.
test: dist
	@$(foreach p,$(PROGRAMS),sh tests/check-binary.sh x86_64-w64-mingw32-objdump $(BUILD_DIR)/bin/$(p).exe $($(p)_IMPORTS) &&) true
	@if [ "$(PRESET)" = gcc ]; then sh tests/check-checksums.sh dist; fi
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# clang-tidy over the shipped code, with the clang build's compile commands,
# so it sees the Windows target exactly as that compiler does.
PRODUCT_SOURCES := $(wildcard common/*.cpp launcher/*.cpp uninstall/*.cpp)
lint:
	@sh tools/ensure-packages.sh $(CLANG_PACKAGES) clang-tidy
	@cmake --preset clang >/dev/null
	@clang-tidy -p build-clang --quiet $(PRODUCT_SOURCES) 2>/dev/null && echo "clang-tidy: no findings in $(words $(PRODUCT_SOURCES)) files"

# Timings under Wine: launcher start, failure dialog, silent uninstall.
bench: dist
	@sh bench/run.sh $(BUILD_DIR)

# Screenshots of every message box, under Xvfb with Wine's X11 driver.
dialogs: dist
	@sh tools/render-dialogs.sh $(BUILD_DIR)

SIGN_PACKAGES := osslsigncode openssl
# The signing tests make a throwaway certificate and sign copies of the programs.
test: EXTRA_PACKAGES += $(SIGN_PACKAGES)

# Signs what dist/ holds now and never rebuilds it, so that an installer made
# from the signed programs can be signed after them (SIGN_FILES=dist/velmarrow-setup.exe).
SIGN_FILES ?= $(PROGRAMS:%=dist/%.exe)
sign:
	@sh tools/ensure-packages.sh $(SIGN_PACKAGES)
	@PFX="$(PFX)" PFX_PASSWORD_FILE="$(PFX_PASSWORD_FILE)" TIMESTAMP_URL="$(TIMESTAMP_URL)" \
	  sh tools/sign.sh dist $(SIGN_FILES)

# HEAD built twice with each compiler, in fresh folders of different path
# lengths: any byte in which the two builds differ fails.
reproducible:
	@sh tools/ensure-packages.sh $(CLANG_PACKAGES) git
	@JOBS=$(JOBS) sh tools/check-reproducible.sh

# The installer, dist/velmarrow-setup.exe, around the programs in dist/ as they
# stand (signed ones stay signed; built first only when missing) and an
# application image.
ifneq ($(filter installer,$(MAKECMDGOALS)),)
ifeq ($(APP_IMAGE),)
$(error pass the application image: make installer APP_IMAGE=<folder holding runtime/, lib/, resources/ and the native libraries>)
endif
endif
installer: deps
	@[ -f dist/velmarrow.exe ] && [ -f dist/uninstall.exe ] || $(MAKE) --no-print-directory dist
	@sh packaging/build-installer.sh "$(APP_IMAGE)" dist dist/velmarrow-setup.exe
	@sh tools/write-checksums.sh dist

clean:
	rm -rf $(BUILD_DIR) dist
