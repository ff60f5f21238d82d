# Two commands are the whole set-up:
#   make play   installs what is missing, builds, and starts the game
#   make test   installs what is missing, builds with sanitizers, and runs every test
JOBS ?= 2

PREFIX ?= $(HOME)/.local

.PHONY: play test build deps clean install

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

install: build
	cmake --install build --prefix $(PREFIX)

clean:
	rm -rf build build-test
