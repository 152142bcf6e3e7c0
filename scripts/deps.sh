# Installs the Debian packages the build, the program and the tests need,
# only those that are missing. Sourced by ./run and ./test.
PLANNING_PACKAGES="cmake ninja-build g++ pkg-config ccache
qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc qt6-webengine-dev
qt6-translations-l10n libsqlite3-dev libjpeg62-turbo-dev libgcab-dev libsane-dev unixodbc-dev
odbcinst libsqliteodbc libsimpleini-dev fonts-liberation2 libgtest-dev libgmock-dev
libbenchmark-dev xvfb xauth cabextract sqlite3 strace util-linux xdotool"

planning_install_deps() {
    local missing=""
    for p in $PLANNING_PACKAGES; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $p"
        fi
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
    fi
}

planning_build() {
    local gen=""
    command -v ninja >/dev/null 2>&1 && gen="-G Ninja"
    if [ ! -f build/CMakeCache.txt ]; then
        cmake -S . -B build $gen -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    cmake --build build -j"$(nproc)"
}
