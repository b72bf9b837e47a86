# Sourced by the setup scripts: Debian packages installed when missing.
#
# A mirror that is being synchronised answers with package lists of the
# wrong size for a while, and `apt-get update` then fails although the lists
# it already has (or most of them) are fine. So the update is tried a few
# times, and if it still fails the install is tried with the lists there
# are: only a failing install stops the script.

apt_sudo=""
[ "$(id -u)" -eq 0 ] || apt_sudo="sudo"

apt_updated=false

# Once per script: a second update would fetch the same lists again.
apt_update() {
  $apt_updated && return 0
  apt_updated=true
  local attempt
  for attempt in 1 2 3; do
    $apt_sudo apt-get update -qq && return 0
    echo "apt-get update failed (attempt $attempt of 3)" >&2
    [ "$attempt" -lt 3 ] && sleep 20
  done
  echo "going on with the package lists already there" >&2
}

# apt_install_missing PACKAGE...: installs those not installed yet.
apt_install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  apt_update
  DEBIAN_FRONTEND=noninteractive $apt_sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}
