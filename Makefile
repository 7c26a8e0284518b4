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

# The whole test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer and halting
# at the first report. -Og rather than -O2: on sanitized code GCC's -Wmaybe-uninitialized misfires.
SANITIZE_DIR ?= build-sanitize
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -Og
SANITIZE_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# Each libFuzzer target for FUZZ_SECONDS, built with clang in a folder of its own.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

# Start-up, memory, key presses and number texts, measured on a release build; prints figures.
BENCH_DIR ?= build-bench

.PHONY: test-sanitize fuzz bench

test-sanitize: bootstrap
	@test -f $(SANITIZE_DIR)/build.ninja || cmake -S . -B $(SANITIZE_DIR) -G Ninja \
		-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)"
	cmake --build $(SANITIZE_DIR)
	cd $(SANITIZE_DIR) && $(SANITIZE_ENV) ctest --output-on-failure

fuzz: bootstrap
	@test -f $(FUZZ_DIR)/build.ninja || cmake -S . -B $(FUZZ_DIR) -G Ninja \
		-DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ -DKORVEX_FUZZ=ON
	cmake --build $(FUZZ_DIR) --target fuzz_key_sequences fuzz_text_to_number fuzz_settings_text
	bash fuzz/run_fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: bootstrap
	@test -f $(BENCH_DIR)/build.ninja || cmake -S . -B $(BENCH_DIR) $(CMAKE_FLAGS)
	cmake --build $(BENCH_DIR) --target korvex bare_window window_watch key_latency number_text_speed
	bash bench/run_benchmarks.sh $(BENCH_DIR)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
mutants: bootstrap
	bash scripts/mutants.sh
