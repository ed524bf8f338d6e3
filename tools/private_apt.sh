# Sourced by the set-up scripts: an apt configuration of our own under deps/apt, reading
# Debian 13 binary packages and Debian 12 source packages from the mirror the system's apt uses.
# Nothing is installed through it; packages are only downloaded and unpacked into deps/.

private_apt_init ()
{
    apt_root="$1"
    if [ -n "${apt_opts+x}" ]; then
        return 0
    fi
    mkdir -p "$apt_root/lists/partial" "$apt_root/cache/archives/partial" "$apt_root/etc/preferences.d" "$apt_root/dl"
    local mirror
    mirror=$(apt-get indextargets --format '$(SITE)|$(RELEASE)|$(COMPONENT)' 2>/dev/null \
             | awk -F'|' '$2=="bookworm" && $3=="main" {print $1; exit}')
    if [ -z "$mirror" ]; then
        echo "setup: cannot find the Debian mirror in the system's apt sources" >&2
        exit 1
    fi
    cat > "$apt_root/sources.list" <<SRC
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror trixie main
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm main
SRC
    apt_opts=(-o "Dir::Etc::SourceList=$apt_root/sources.list"
              -o "Dir::Etc::SourceParts=-"
              -o "Dir::Etc::PreferencesParts=$apt_root/etc/preferences.d"
              -o "Dir::State::Lists=$apt_root/lists"
              -o "Dir::Cache=$apt_root/cache"
              -o "Dir::State::status=/dev/null"
              -o "APT::Get::List-Cleanup=0")
    apt-get "${apt_opts[@]}" update -q
}

# Downloads one binary package at an exact version into $apt_root/dl, checks its SHA-256 and
# prints its path.
private_apt_fetch_checked ()
{
    local pkg="$1" ver="$2" sha="$3" deb
    ( cd "$apt_root/dl" && rm -f "${pkg}"_*.deb && apt-get "${apt_opts[@]}" download "$pkg=$ver" ) >&2
    deb=$(ls "$apt_root/dl/${pkg}"_*.deb | head -n 1)
    echo "$sha  $deb" | sha256sum -c - >/dev/null || { echo "setup: checksum mismatch for $deb" >&2; exit 1; }
    echo "$deb"
}

# As root, or through sudo.
install_missing_packages ()
{
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "setup: installing ${missing[*]}"
        local sudo_cmd=""
        [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
        $sudo_cmd apt-get update -q
        DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
}
