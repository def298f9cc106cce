#!/usr/bin/env bash
# Starts the unpacked program on a system without d3dx9_43.dll (Wine's own copy
# switched off for this one process) and expects the message that says what to
# install, then a clean exit once it is answered.
# Arguments: the unpacked folder, quelmora_winhelper.exe.
set -euo pipefail
folder=$1
helper=$2
cd "$folder"
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};d3dx9_43=" wine ./quelmora.exe >/dev/null 2>&1 &
program=$!
text=""
for _ in $(seq 100); do
  text=$(wine "$helper" text Error 2>/dev/null | tr -d '\r' | iconv -f CP932 -t UTF-8) && [ -n "$text" ] && break
  sleep 0.3
done
echo "$text"
wine "$helper" press Error 1 >/dev/null 2>&1 || true
status=0
wait "$program" || status=$?
case "$text" in
  *d3dx9_43.dll*"DirectX エンドユーザー ランタイム"*"DirectX End-User Runtime Web Installer"*) ;;
  *) echo "no message about the DirectX End-User Runtime" >&2; exit 1 ;;
esac
if [ "$status" -ne 0 ]; then
  echo "exit code $status" >&2
  exit 1
fi
