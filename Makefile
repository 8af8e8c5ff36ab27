# make run   installs what is missing, builds and starts the program
# make test  the same, then every test
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_FUZZ ?= build-fuzz
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE    ?= examples/grand-hotel-deluxe.shd

.PHONY: all deps configure build run test test-sanitize fuzz clean

all: build

deps:
	@scripts/install-deps.sh --check >/dev/null || scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-gui.sh $(BUILD) $(EXAMPLE)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The core tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DROOM_SANITIZE=ON -DROOM_BUILD_GUI=OFF
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && ctest --output-on-failure -j $(JOBS)

# libFuzzer builds of every fuzz target (clang); run one with e.g.
#   build-fuzz/tests/fuzz/fuzz_shd tests/fuzz/corpus/shd -max_total_time=600
fuzz: deps
	CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROOM_FUZZ=ON -DROOM_BUILD_GUI=OFF
	cmake --build $(BUILD_FUZZ) -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)
