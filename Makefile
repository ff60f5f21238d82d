# Two commands are the whole set-up:
#   make play   installs what is missing, builds, and starts the game
#   make test   installs what is missing, builds with sanitizers, and runs every test
#   make bench  builds an optimised game in build-bench and prints what a key costs
JOBS ?= 2

.PHONY: play test build bench deps clean

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

clean:
	rm -rf build build-test build-bench
