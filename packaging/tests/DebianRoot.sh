# SPDX-License-Identifier: MIT
# Sourced by the checks that need a fresh, minimal Debian 12 root: make_debian_root ROOT fills ROOT from the
# tar FRESH_BASE names (default /var/tmp/fresh-debian12.tar, which ../shared/tools/fresh-machine-check makes)
# or else with debootstrap from the mirror this machine's apt uses. When it cannot, it says why and returns 2.

# The first Debian mirror in the apt sources, in either form: one-line entries in sources.list and *.list
# ("deb [options] URI suite ...") and deb822 stanzas in *.sources ("URIs: URI ..."). Reads the files given,
# or the system's.
debian_mirror() {
    local file line uri files=("$@")
    ((${#files[@]})) || files=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
    for file in "${files[@]}"; do
        [[ -r $file ]] || continue
        while IFS= read -r line; do
            line=${line%%#*}
            if [[ $line =~ ^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([a-z]+://[^[:space:]]+) ]]; then
                uri=${BASH_REMATCH[2]}
            elif [[ $line =~ ^URIs:[[:space:]]*(.*)$ ]]; then
                for uri in ${BASH_REMATCH[1]}; do
                    [[ $uri == *://*/debian || $uri == *://*/debian/ ]] && break
                done
            else
                continue
            fi
            if [[ $uri == *://*/debian || $uri == *://*/debian/ ]]; then
                echo "$uri"
                return 0
            fi
        done <"$file"
    done
    return 1
}

make_debian_root() {
    local root=$1 base=${FRESH_BASE:-/var/tmp/fresh-debian12.tar} mirror
    if ((EUID != 0)); then
        echo "cannot run: it needs root, to build and enter a chroot" >&2
        return 2
    fi
    if [[ -f $base ]]; then
        tar -C "$root" -xf "$base"
        return 0
    fi
    if ! command -v debootstrap >/dev/null; then
        echo "cannot run: no Debian root at $base and no debootstrap to make one (apt-get install debootstrap)" >&2
        return 2
    fi
    if ! mirror=$(debian_mirror); then
        echo "cannot run: no Debian mirror in /etc/apt/sources.list or /etc/apt/sources.list.d/ to debootstrap from" >&2
        return 2
    fi
    echo "making a minimal Debian 12 root from $mirror (a few minutes)" >&2
    if ! debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1; then
        echo "cannot run: debootstrap failed; see $root.debootstrap.log" >&2
        return 2
    fi
}
