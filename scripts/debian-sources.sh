# Sourced by the scripts that build Windows pieces from Debian's own source packages of this
# release: `apt-get source` through a private apt folder (its own sources list with deb-src
# entries and its own package lists), so the system's apt sources stay as they are.
#   debian_sources_init <work folder>   sets up <work folder>/apt and fetches its lists once
#   debian_source_versions <package>... prints "<package>=<newest version>" per source package
#   debian_source_fetch <folder> <package=version>...   unpacks the sources into <folder>
# quiet <command...> runs a step with its output kept in $work/step.log, shown only when the
# step fails (ninja reports a failed compile on standard output, which would be lost).

debian_release=${LUMENO_DEBIAN_RELEASE:-bookworm}
debian_mirror=${LUMENO_DEBIAN_MIRROR:-http://deb.debian.org/debian}

quiet() {
    if ! "$@" >"$work/step.log" 2>&1; then
        echo "$(basename "$0"): failed: $*" >&2
        tail -n 40 "$work/step.log" >&2
        return 1
    fi
}

debian_sources_init() {
    work=$1
    local apt_dir="$work/apt"
    apt_options=(
        -o "Dir::Etc::SourceList=$apt_dir/sources.list"
        -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
        -o "Dir::State::Lists=$apt_dir/lists"
        -o "Dir::Cache=$apt_dir/cache"
        -o "APT::Sandbox::User=root"
    )
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
    # The release and its updates (point releases carry the security fixes).
    cat >"$apt_dir/sources.list" <<LIST
deb-src $debian_mirror $debian_release main
deb-src $debian_mirror $debian_release-updates main
LIST
    if ! ls "$apt_dir/lists" | grep -q '_Sources'; then
        quiet apt-get "${apt_options[@]}" update
    fi
}

debian_source_versions() {
    local s
    for s in "$@"; do
        apt-cache "${apt_options[@]}" showsrc "$s" | awk -v s="$s" '$1 == "Package:" { p = $2 }
            $1 == "Version:" && p == s { print $2 }' | sort -V | tail -1 | sed "s/^/$s=/"
    done
}

debian_source_fetch() {
    local folder=$1
    shift
    mkdir -p "$folder"
    (cd "$folder" && quiet apt-get "${apt_options[@]}" source "$@")
}
