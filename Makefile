# The two commands: `make run` and `make test`. Both set up what is missing first.
BUILD_DIR ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=Release

.PHONY: run test build bootstrap configure package screenshots format clean

run: build
	$(BUILD_DIR)/ui/korvex

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure

build: configure
	cmake --build $(BUILD_DIR)

configure: bootstrap
	@test -f $(BUILD_DIR)/build.ninja || cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

bootstrap:
	@bash scripts/bootstrap.sh

# A Debian package of the installed program: build/korvex_<version>_<arch>.deb.
package: build
	cd $(BUILD_DIR) && cpack

screenshots: build
	bash scripts/screenshots.sh $(BUILD_DIR)/ui/korvex

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
