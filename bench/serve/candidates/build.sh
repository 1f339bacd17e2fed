#!/usr/bin/env bash
# Builds the candidate servers into /tmp/vexo-serve-candidates (not part of the project).
set -euo pipefail
cd "$(dirname "$0")"
out=${OUT:-/tmp/vexo-serve-candidates}
mkdir -p "$out"
g++ -O2 -std=c++20 mhd_server.cpp -o "$out/mhd_server" $(pkg-config --cflags --libs libmicrohttpd) -lpthread
g++ -O2 -std=c++20 -fPIC qt_server.cpp -o "$out/qt_server" \
    -I/usr/include/x86_64-linux-gnu/qt6 -I/usr/include/x86_64-linux-gnu/qt6/QtHttpServer -I/usr/include/x86_64-linux-gnu/qt6/QtNetwork -I/usr/include/x86_64-linux-gnu/qt6/QtConcurrent -I/usr/include/x86_64-linux-gnu/qt6/QtCore -lQt6HttpServer -lQt6Concurrent -lQt6Network -lQt6Core
echo "$out"
