# The two commands a newcomer needs: `make run` and `make test`.
# Both first install whatever Debian packages are missing (tools/install-deps.sh):
# `make run` those that building and running need, `make test` the tests' as well.

FUZZ_SECONDS ?= 60

.PHONY: run test deps run-deps build bench fuzz assets mutation clean windows windows-deps

# Builds the program alone; the tests and their packages wait for `make test`.
run: run-deps
	cmake --preset run
	cmake --build --preset run --target ferolune
	./build/run/app/ferolune

# The wine tests of the ci workflow run the Windows program built first.
test: deps windows
	cmake --workflow --preset ci
	cmake --workflow --preset asan
	$(MAKE) --no-print-directory fuzz

deps:
	tools/install-deps.sh tools/run-packages.txt tools/test-packages.txt tools/windows-packages.txt

run-deps:
	tools/install-deps.sh tools/run-packages.txt

# Ferolune.exe and its portable zip in build/windows, cross-built with MinGW and
# a static Qt for Windows; the first run builds that Qt from Debian's qtbase
# source into ~/.cache/ferolune (half an hour on two cores), later runs reuse it.
windows: windows-deps
	tools/windows/build-qt.sh
	FEROLUNE_QT_WINDOWS=$$(tools/windows/build-qt.sh --prefix) cmake --preset windows
	cmake --build --preset windows

windows-deps:
	tools/install-deps.sh tools/run-packages.txt tools/windows-packages.txt

build: deps
	cmake --preset dev
	cmake --build --preset dev

bench: deps
	cmake --preset release
	cmake --build --preset release
	./build/release/bench/calc/calc_bench
	./build/release/bench/ui/waveform_bench

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	mkdir -p build/fuzz/corpus
	./build/fuzz/tests/fuzz/fuzz_calculate -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	    -dict=tests/fuzz/calculate.dict build/fuzz/corpus tests/fuzz/seeds

# Redraws the pictures and cuts the Song face; the result is committed, so only
# needed after changing the drawing or the texts the windows show.
assets:
	tools/install-deps.sh tools/asset-packages.txt
	/usr/bin/python3 tools/assets/make_assets.py
	/usr/bin/python3 tools/assets/make_song_face.py
	/usr/bin/python3 tools/assets/contact_sheet.py build/assets-contact-sheet.png

# Breaks the product code one change at a time and counts what the tests catch;
# an hour or more, so not part of `make test`.
mutation: deps
	nice -n 10 /usr/bin/python3 tools/mutation/mutate.py --report build/mutation/report.md

clean:
	rm -rf build

.PHONY: bench-startup
bench-startup: deps
	cmake --preset release
	cmake --build --preset release
	bench/startup/run.sh build/release --runs 15 --warmup 3
