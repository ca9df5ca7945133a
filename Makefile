# Thin wrapper over CMake: `make run` and `make test` are the Quick start.
RELEASE := build/release
CHECK := build/check
JOBS ?= $(shell nproc)

.PHONY: all release run test perft bench clean

all: release

release:
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
	cmake --build $(RELEASE) -j $(JOBS)

run: release
	@$(RELEASE)/solvane

# Unit and protocol tests on a build with assertions, AddressSanitizer and UBSan.
$(CHECK)/CMakeCache.txt:
	cmake -S . -B $(CHECK) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" \
	  -DSOLVANE_SANITIZE=ON >/dev/null

check-build: $(CHECK)/CMakeCache.txt
	cmake --build $(CHECK) -j $(JOBS)

test: check-build
	cd $(CHECK) && ctest --output-on-failure -j $(JOBS) -LE perft_deep

perft: check-build
	cd $(CHECK) && ctest --output-on-failure -L perft_deep

bench: release
	$(RELEASE)/solvane bench

clean:
	rm -rf build
