# make       installs what is missing, then builds dist/velmarrow.exe and dist/uninstall.exe
# make test  builds and runs every test under Wine

BUILD_DIR ?= build
JOBS ?= 2
PROGRAMS := velmarrow uninstall

.PHONY: all build dist test deps clean

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
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR) dist
