# Two commands are the whole set-up:
#   make play   installs what is missing, builds, and starts the game
#   make test   installs what is missing, builds with sanitizers, and runs every test
#   make bench  builds an optimised game in build-bench and prints what a key costs
#   make deb    builds the Debian package build/duskwend_<version>_<arch>.deb
#   make screenshots  draws docs/screenshots/*.png again from their key scripts
# and two prove what the game survives:
#   make fuzz   fuzzes every loader for FUZZ_SECONDS each (default 60) with Clang's libFuzzer
#   make soak   types SOAK_KEYS random keys (default 1,000,000) under the sanitizers
# and the game in a web page:
#   make web        builds the page into build-web/site (WebAssembly, from Debian's Emscripten)
#   make web-test   plays it in headless Chromium against the native headless runner
#   make serve-web  serves the page on http://127.0.0.1:$(WEB_PORT)/
JOBS ?= 2
FUZZ_SECONDS ?= 60
SOAK_KEYS ?= 1000000

PREFIX ?= $(HOME)/.local
# The native build whose Data the page preloads and whose headless runner web-test compares
# with; any configured build folder will do (CI passes build-test).
WEB_NATIVE ?= build-web/native
WEB_PORT ?= 8000
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs

.PHONY: play test build bench deps clean fuzz soak install deb screenshots web web-deps web-test \
        serve-web

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

web-deps:
	@scripts/install-deps web
	nice -n 10 scripts/build-web-deps build-web/web-deps

web: web-deps
	@[ -f $(WEB_NATIVE)/CMakeCache.txt ] || \
	  cmake -S . -B $(WEB_NATIVE) -DCMAKE_BUILD_TYPE=Release -DDUSKWEND_TESTS=OFF
	cmake --build $(WEB_NATIVE) -j $(JOBS) --target duskwend
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release \
	  -DDUSKWEND_WEB_DATA=$(abspath $(WEB_NATIVE))/Data
	$(EMSCRIPTEN_ENV) cmake --build build-web -j $(JOBS) --target duskwend_web

web-test: web
	python3 tools/web/web_test.py --site build-web/site --native $(WEB_NATIVE)/duskwend \
	  --data $(WEB_NATIVE)/Data

serve-web: web
	@echo "Duskwend in the browser: http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops)"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory build-web/site

install: build
	cmake --install build --prefix $(PREFIX)

deb: build
	cd build && cpack -G DEB
	@ls -l build/duskwend_*.deb

screenshots: build
	cmake --build build -j $(JOBS) --target screenshots

clean:
	rm -rf build build-test build-bench build-fuzz build-web
