# make       installs what is missing, then builds dist/velmarrow.exe and dist/uninstall.exe
# make test  builds and runs every test under Wine

BUILD_DIR ?= build
JOBS ?= 2
PROGRAMS := velmarrow uninstall

.PHONY: all build dist test deps clean bench dialogs

all: dist

deps:
	@sh tools/ensure-packages.sh

build: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

dist: build
	@mkdir -p dist
	@for p in $(PROGRAMS); do \
	  if [ -f $(BUILD_DIR)/bin/$$p.exe ]; then cp $(BUILD_DIR)/bin/$$p.exe dist/; echo "dist/$$p.exe"; fi; \
	done

test: dist
	@for p in dist/*.exe; do sh tests/check-binary.sh x86_64-w64-mingw32-objdump $$p || exit 1; done
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Timings under Wine: launcher start, failure dialog, silent uninstall.
bench: dist
	@sh bench/run.sh $(BUILD_DIR)

# Screenshots of every message box, under Xvfb with Wine's X11 driver.
dialogs: dist
	@sh tools/render-dialogs.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) dist
