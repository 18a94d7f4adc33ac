# Sourced by ./run and ./test: installs the Debian 12 packages the build and the tests need.
DORRIK_PACKAGES=(
    cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
    qt6-base-dev qt6-declarative-dev qt6-serialport-dev qt6-5compat-dev qt6-tools-dev
    qt6-l10n-tools qt6-tools-dev-tools qt6-declarative-dev-tools qt6-qpa-plugins
    qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtquick qml6-module-qtquick-window
    qml6-module-qtqml-workerscript
    qml6-module-qttest qml6-module-qtquick-particles qml6-module-qtquick-layouts
    qt6-pdf-dev
    qt6-translations-l10n
    libusb-1.0-0-dev libmodbus-dev libbenchmark-dev
    xvfb xauth fonts-dejavu-core
)

dorrik_ensure_packages() {
    local missing=()
    local pkg
    for pkg in "${DORRIK_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "missing packages (install them as root): ${missing[*]}" >&2
        return 1
    fi
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
