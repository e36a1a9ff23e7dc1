# shellcheck shell=bash
# What the scripts share; sourced by them, not run.

quorvex_package_list="$(dirname "${BASH_SOURCE[0]}")/packages.txt"

run_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The packages of the groups named, each once, one a line; fails on a group
# that scripts/packages.txt does not have.
packages_in_groups() {
    awk -v groups="$*" '
        BEGIN { split(groups, names, " "); for (i in names) wanted[names[i]] = 1 }
        { sub(/#.*/, "") }
        /^[[:space:]]*\[.*\][[:space:]]*$/ { gsub(/[][[:space:]]/, ""); group = $0; listed[group] = 1; next }
        group in wanted { for (i = 1; i <= NF; i++) if (!seen[$i]++) print $i }
        END {
            for (name in wanted) if (!(name in listed)) { print "no package group " name > "/dev/stderr"; failed = 1 }
            exit failed
        }
    ' "$quorvex_package_list"
}

# The status is read whole before it is looked at: a reader that stops at its
# first match, under pipefail, would fail the pipeline whenever the writer is
# still writing.
is_installed() {
    local status
    status=$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) || return 1
    [ "$status" = "install ok installed" ]
}

# Installs the packages of the groups named that are not installed yet, from
# Debian's archive, without asking: CI runs the scripts with no terminal.
install_package_groups() {
    local packages package missing=()
    packages=$(packages_in_groups "$@") || return 2
    for package in $packages; do
        is_installed "$package" || missing+=("$package")
    done
    [ "${#missing[@]}" -gt 0 ] || return 0
    run_as_root apt-get update -qq </dev/null
    run_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" </dev/null
}
