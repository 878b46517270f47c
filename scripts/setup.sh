#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need.
# Idempotent: runs apt-get only for what is missing, and updates the lists once.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  # the layer check of the includes (scripts/check-layers)
  python3
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsqlcipher-dev
  libxlsxwriter-dev
  libcurl4-openssl-dev
  # zip archives: e-invoice batches and the zipped XML of .xlsx/.ods workbooks
  libzip-dev
  # the content of signed e-invoices (.p7m, CMS)
  libssl-dev
  # the server engine of the store (libpq) and a throwaway PostgreSQL cluster for its tests
  # (scripts/pg-test-cluster: initdb and pg_ctl run as the user postgres the package makes)
  libpq-dev postgresql
  libgtest-dev libgmock-dev libbenchmark-dev
  xdg-utils
  # PDF copies of documents (soffice --headless --convert-to pdf) and reading them back in tests
  libreoffice-writer-nogui poppler-utils
  # reading written workbooks back in tests
  unzip
  # the Debian package (scripts/package: cpack, dpkg-shlibdeps) and its checks (scripts/test-package)
  dpkg-dev file desktop-file-utils appstream libxml2-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installazione pacchetti / installing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
