# Installs the Debian packages the build, the program and the tests need,
# only those that are missing. Sourced by ./run and ./test.
PLANNING_PACKAGES="cmake ninja-build g++ pkg-config ccache
qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc qt6-webengine-dev
qt6-translations-l10n libsqlite3-dev libjpeg62-turbo-dev libgcab-dev libsane-dev unixodbc-dev
odbcinst libsqliteodbc libsimpleini-dev fonts-liberation2 libgtest-dev libgmock-dev
libbenchmark-dev xvfb xauth cabextract gcab sqlite3 strace util-linux xdotool desktop-file-utils
poppler-utils dosfstools fusefat"

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

# Builds into build/ (or $1). PLANNING_CMAKE_ARGS adds configure options,
# as CI does for warnings as errors.
planning_build() {
    local dir="${1:-build}"
    local gen=""
    command -v ninja >/dev/null 2>&1 && gen="-G Ninja"
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S . -B "$dir" $gen -DCMAKE_BUILD_TYPE=RelWithDebInfo ${PLANNING_CMAKE_ARGS:-}
    elif [ -n "${PLANNING_CMAKE_ARGS:-}" ]; then
        cmake -S . -B "$dir" ${PLANNING_CMAKE_ARGS}
    fi
    cmake --build "$dir" -j"$(nproc)"
}
