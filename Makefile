# make run   installs what is missing, builds and starts the program
# make test  the same, then every test
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_FUZZ ?= build-fuzz
BUILD_RELEASE ?= build-release
BUILD_WINDOWS ?= build-windows
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE    ?= examples/grand-hotel-deluxe.shd
FUZZ_SECONDS ?= 30

.PHONY: all deps configure build run test test-sanitize test-windows fuzz fuzz-run release package \
        check-package clean

all: build

deps:
	@scripts/install-deps.sh --check >/dev/null || scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROOM_WERROR=ON

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-gui.sh $(BUILD) $(EXAMPLE)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The core tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DROOM_WERROR=ON -DROOM_SANITIZE=ON -DROOM_BUILD_GUI=OFF
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && ctest --output-on-failure -j $(JOBS)

# The core, its tests and roomcfg-cli's file commands cross-built for Windows (MinGW-w64) and
# run under Wine in a scratch prefix; the CLI's output is compared with the Linux build's.
test-windows: configure
	@scripts/install-deps.sh --windows --check >/dev/null || scripts/install-deps.sh --windows
	cmake --build $(BUILD) -j $(JOBS) --target roomcfg-cli
	cmake -S . -B $(BUILD_WINDOWS) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROOM_WERROR=ON -DROOM_BUILD_GUI=OFF \
	  -DROOM_LINUX_CLI=$(abspath $(BUILD))/src/tools/roomcfg-cli
	cmake --build $(BUILD_WINDOWS) -j $(JOBS)
	cd $(BUILD_WINDOWS) && ctest --output-on-failure -j $(JOBS)

# libFuzzer builds of every fuzz target (clang); run one with e.g.
#   build-fuzz/tests/fuzz/fuzz_shd -max_len=65536 -max_total_time=600 /tmp/new tests/fuzz/corpus/shd
fuzz: deps
	CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROOM_WERROR=ON -DROOM_FUZZ=ON -DROOM_BUILD_GUI=OFF
	cmake --build $(BUILD_FUZZ) -j $(JOBS)

# FUZZ_SECONDS of every fuzz target from its corpus (CI runs it). What the fuzzer finds goes to a
# scratch folder, not into tests/fuzz/corpus; a crash leaves its input in $(BUILD_FUZZ). A full
# room type is 20-40 KB, so the .shd target may grow inputs to 64 KB.
fuzz-run: fuzz
	@for target in $(BUILD_FUZZ)/tests/fuzz/fuzz_*; do \
	  name=$${target##*/fuzz_}; scratch=$$(mktemp -d); log=$(BUILD_FUZZ)/fuzz_$$name.log; \
	  maxlen=0; [ "$$name" = shd ] && maxlen=65536; \
	  echo "fuzz_$$name: $(FUZZ_SECONDS) s from tests/fuzz/corpus/$$name"; \
	  $$target -max_total_time=$(FUZZ_SECONDS) -max_len=$$maxlen -print_final_stats=1 \
	    -artifact_prefix=$(BUILD_FUZZ)/ $$scratch tests/fuzz/corpus/$$name > $$log 2>&1; \
	  status=$$?; rm -rf $$scratch; \
	  if [ $$status -ne 0 ]; then tail -n 40 $$log; exit $$status; fi; \
	  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' $$log; \
	done

# The programs as a packager builds them: Release, no tests; warnings stay errors here.
release: deps
	cmake -S . -B $(BUILD_RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DROOM_WERROR=ON \
	  -DROOM_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(BUILD_RELEASE) -j $(JOBS)

# The Debian package of the release build, with its Debian dependencies.
package: release
	cd $(BUILD_RELEASE) && cpack -G DEB

# Unpacks the package into a scratch root and starts the installed programs (CI).
check-package: package
	scripts/check-package.sh $(BUILD_RELEASE)/roomcfg_*.deb

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ) $(BUILD_RELEASE) $(BUILD_WINDOWS)
