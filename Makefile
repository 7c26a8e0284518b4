# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands: `make run` and `make test`. Each first installs what it needs and no more
# (scripts/bootstrap.sh TIER); the build folders and their settings are the presets of
# CMakePresets.json, which `cmake --preset` and IDEs read too.
BUILD_DIR = build
# Extra cache settings, for example: make test CMAKE_FLAGS=-DKORVEX_VALIDATORS=ON
CMAKE_FLAGS ?=
CTEST_JOBS ?= $(shell nproc)

# configure PRESET FOLDER: configures afresh whenever the presets or CMAKE_FLAGS differ from the
# last configure of that folder, so that changed flags are never silently ignored.
define configure
	@want="$$(md5sum < CMakePresets.json) $(CMAKE_FLAGS)"; stamp="$(2)/.korvex-configure"; \
	if [ ! -f "$(2)/build.ninja" ] || [ "$$(cat "$$stamp" 2>/dev/null)" != "$$want" ]; then \
		cmake --preset $(1) --fresh $(CMAKE_FLAGS) && printf '%s' "$$want" > "$$stamp"; \
	fi
endef

.PHONY: run test build package package-check screenshots format clean

# The program alone: its own target, not the tests.
run:
	@bash scripts/bootstrap.sh run
	$(call configure,release,$(BUILD_DIR))
	cmake --build --preset release --target korvex
	$(BUILD_DIR)/ui/korvex

test:
	@bash scripts/bootstrap.sh test
	$(call configure,release,$(BUILD_DIR))
	cmake --build --preset release
	ctest --preset release -j $(CTEST_JOBS)

build:
	@bash scripts/bootstrap.sh run
	$(call configure,release,$(BUILD_DIR))
	cmake --build --preset release

# A Debian package of the installed program: build/korvex_<version>_<arch>.deb. Its files carry the
# time of the last commit (of the changelog's last entry outside git), not the time of packaging:
# cpack reads SOURCE_DATE_EPOCH from its environment. The same sources then give the same package.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null \
	|| dpkg-parsechangelog -l packaging/changelog -S Timestamp)
package:
	@bash scripts/bootstrap.sh package
	$(call configure,release,$(BUILD_DIR))
	cmake --build --preset release
	cd $(BUILD_DIR) && SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) cpack

# The package as Debian's tools see it: lintian with every tag, hardening-check, the desktop entry
# and metainfo validators, the files it installs; then the same package built again in another
# folder, which must come out byte for byte the same.
package-check: package
	@bash scripts/bootstrap.sh package-check
	SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) bash scripts/package_check.sh $(BUILD_DIR)

screenshots:
	@bash scripts/bootstrap.sh screenshots
	$(call configure,release,$(BUILD_DIR))
	cmake --build --preset release --target korvex
	bash scripts/screenshots.sh $(BUILD_DIR)/ui/korvex

# The whole test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer and halting
# at the first report.
SANITIZE_DIR = build-sanitize

# Each libFuzzer target for FUZZ_SECONDS, built with clang in a folder of its own.
FUZZ_DIR = build-fuzz
FUZZ_SECONDS ?= 60

# Start-up, memory, key presses and number texts, measured on a release build; prints figures.
BENCH_DIR = build-bench

# The faults of tests/mutants.txt planted one at a time in a git worktree of HEAD, each built and
# tested in a build of its own; both folders are under the build folder. Slow: WORD=... runs only
# the faults whose name or file holds WORD.
MUTANTS_TREE = $(BUILD_DIR)/mutants-tree
MUTANTS_DIR = $(BUILD_DIR)/mutants
WORD ?=

.PHONY: test-sanitize fuzz bench mutants

test-sanitize:
	@bash scripts/bootstrap.sh test
	$(call configure,sanitize,$(SANITIZE_DIR))
	cmake --build --preset sanitize
	ctest --preset sanitize -j $(CTEST_JOBS)

fuzz:
	@bash scripts/bootstrap.sh fuzz
	$(call configure,fuzz,$(FUZZ_DIR))
	cmake --build --preset fuzz --target fuzzers
	bash fuzz/run_fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench:
	@bash scripts/bootstrap.sh bench
	$(call configure,bench,$(BENCH_DIR))
	cmake --build --preset bench --target benchmarks
	bash bench/run_benchmarks.sh $(BENCH_DIR)

format:
	@bash scripts/bootstrap.sh format
	clang-format -i $$(git ls-files '*.cpp' '*.h')

mutants:
	@bash scripts/bootstrap.sh test
	MUTANTS_TREE=$(MUTANTS_TREE) MUTANTS_DIR=$(MUTANTS_DIR) bash scripts/mutants.sh '$(WORD)'

# Every build folder the commands above make, build-mutants of older versions of `make mutants`
# included; the worktree of the faults is unregistered from git before its folder goes.
clean:
	git worktree remove --force $(MUTANTS_TREE) 2>/dev/null || true
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(BENCH_DIR) build-mutants
