# Makes sure Debian packages are installed: installs them when run as root,
# otherwise prints the exact apt-get line and stops.
need_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" = "install ok installed" ] || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "== installing ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -q >/dev/null
        apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
    else
        echo "missing packages; run as root:" >&2
        echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
}

build_jobs() { nproc 2>/dev/null || echo 2; }

# Makes sure node and npm are there (the machine's, or Debian's nodejs and npm).
need_npm() {
    command -v npm >/dev/null && command -v node >/dev/null && return 0
    need_packages nodejs npm
}

# Installs the npm packages exactly as package-lock.json pins them, unless
# node_modules already holds that very lock's packages.
npm_install_locked() {
    local stamp=node_modules/.installed-lock
    if ! cmp -s package-lock.json "$stamp" 2>/dev/null; then
        echo "== npm: installing the pinned packages (package-lock.json)"
        npm ci --no-audit --no-fund --loglevel=error >/dev/null
        cp package-lock.json "$stamp"
    fi
}
