# Installs the Debian packages the build needs, when some are missing.
# Sourced by the set-up scripts; takes the package names as arguments.
install_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libpng-dev libdeflate-dev nlohmann-json3-dev libwebp-dev libcli11-dev qt6-base-dev libgl-dev fonts-dejavu-core pybind11-dev python3-dev python3-numpy)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev desktop-file-utils libxml2-utils shared-mime-info python3 chromium poppler-utils parallel python3-pytest python3-numba python3-matplotlib python3-pil)
