# Pelagrin: every target installs what is missing first, so each works on a fresh Debian 12 machine.

BUILD_DIR   ?= build
ASAN_DIR    ?= build-asan
RELEASE_DIR ?= build-release
FUZZ_DIR    ?= build-fuzz
FUZZ_SECONDS ?= 60
PREFIX      ?= /usr/local
WERROR      ?= OFF
JOBS        ?= $(shell nproc)
CMAKE_FLAGS  = -G Ninja -DPELAGRIN_WERROR=$(WERROR)

.PHONY: all deps web build build-asan test test-unit test-asan test-web test-e2e bench fuzz run install package format clean

all: build

deps:
	@scripts/install-deps

# The browser side, served by the app from web/dist.
web: deps
	cd web && npm run build

build: deps web
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_DIR) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DPELAGRIN_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)

test: test-unit test-asan test-web test-e2e

test-unit: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

test-web: deps
	cd web && npm run format:check && npm test

# The app and its page in headless Chromium; screenshots go to test-output/e2e.
test-e2e: build
	cd tests/e2e && npm test

bench: deps
	cmake -S . -B $(RELEASE_DIR) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DPELAGRIN_TESTS=OFF -DPELAGRIN_BENCH=ON
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	$(RELEASE_DIR)/bench/engine_step_bench
	$(RELEASE_DIR)/bench/frame_publication_bench
	$(RELEASE_DIR)/bench/headless_run_bench

# Bounded runs of every fuzzer, FUZZ_SECONDS each, from its seed corpora; new inputs stay in
# $(FUZZ_DIR)/corpus/<target>, crashing ones in $(FUZZ_DIR)/artifacts (copy those into fuzz/corpus/<target>).
FUZZ_TARGETS = project_file_fuzz overpass_response_fuzz intent_fuzz
FUZZ_SEEDS_project_file_fuzz = fuzz/corpus/project_file examples
FUZZ_SEEDS_overpass_response_fuzz = fuzz/corpus/overpass_response tests/water/fixtures/overpass
FUZZ_SEEDS_intent_fuzz = fuzz/corpus/intent

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DPELAGRIN_TESTS=OFF -DPELAGRIN_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(FUZZ_TARGETS)
	mkdir -p $(FUZZ_DIR)/artifacts
	$(foreach target,$(FUZZ_TARGETS),mkdir -p $(FUZZ_DIR)/corpus/$(target) && \
		$(FUZZ_DIR)/fuzz/$(target) -max_total_time=$(FUZZ_SECONDS) -timeout=5 -rss_limit_mb=1024 \
		-artifact_prefix=$(FUZZ_DIR)/artifacts/$(target)- $(FUZZ_DIR)/corpus/$(target) $(FUZZ_SEEDS_$(target)) && ) true

run: build
	$(BUILD_DIR)/src/app/pelagrin

# The program, its page, the examples, the desktop entry, MIME type, icons and manual under PREFIX; DESTDIR,
# when set, is put before every path (for staging or packaging).
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# A Debian package (installing under /usr) in $(BUILD_DIR), its dependencies found by dpkg-shlibdeps.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

format: deps
	git ls-files '*.cpp' '*.hpp' | xargs clang-format -i
	cd web && npm run format

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(RELEASE_DIR) $(FUZZ_DIR)
