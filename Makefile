# Two commands are the whole set-up:
#   make play   installs what is missing, builds, and starts the game
#   make test   installs what is missing, builds with sanitizers, and runs every test
#   make bench  builds an optimised game in build-bench and prints what a key costs
#   make deb    builds the Debian package build/duskwend_<version>_<arch>.deb
#   make screenshots  draws docs/screenshots/*.png again from their key scripts
# and two prove what the game survives:
#   make fuzz   fuzzes every loader for FUZZ_SECONDS each (default 60) with Clang's libFuzzer
#   make soak   types SOAK_KEYS random keys (default 1,000,000) under the sanitizers
JOBS ?= 2
FUZZ_SECONDS ?= 60
SOAK_KEYS ?= 1000000

PREFIX ?= $(HOME)/.local

.PHONY: play test build bench deps clean fuzz soak install deb screenshots

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUSKWEND_TESTS=OFF
	cmake --build build -j $(JOBS)

play: build
	./build/duskwend

test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DDUSKWEND_SANITIZE=ON
	cmake --build build-test -j $(JOBS)
	ctest --test-dir build-test --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DDUSKWEND_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	scripts/bench --build build-bench

fuzz:
	@scripts/install-deps fuzz
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DDUSKWEND_FUZZ=ON -DDUSKWEND_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS)
	scripts/run-fuzz build-fuzz $(FUZZ_SECONDS)

soak: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DDUSKWEND_SANITIZE=ON
	cmake --build build-test -j $(JOBS) --target duskwend-soak
	build-test/tools/soak/duskwend-soak --data-dir build-test/Data --keys $(SOAK_KEYS)

install: build
	cmake --install build --prefix $(PREFIX)

deb: build
	cd build && cpack -G DEB
	@ls -l build/duskwend_*.deb

screenshots: build
	cmake --build build -j $(JOBS) --target screenshots

clean:
	rm -rf build build-test build-bench build-fuzz
