#!/usr/bin/env bash
# Installs the build and test dependencies on a Debian 12 machine.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake ninja-build pkg-config \
  qt6-base-dev qt6-tools-dev qt6-multimedia-dev qt6-svg-dev libqt6uitools6 libqt6opengl6-dev \
  libgl-dev libxkbcommon-dev \
  libavformat-dev libavcodec-dev libavfilter-dev libswscale-dev libswresample-dev libavutil-dev \
  libgtest-dev ffmpeg xvfb xauth time clang libclang-rt-dev imagemagick \
  desktop-file-utils appstream >/dev/null
