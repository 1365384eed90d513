#!/bin/sh
# Runs a test program under Wine with C:\WINDOWS\Web\Wallpaper standing on a folder in
# which nobody may create anything, not even root, as whom Wine runs: a sysfs folder.
# Wine reports the refusal as ERROR_ACCESS_DENIED, as Windows does to a standard
# account. Arguments: the emulator command (with WINEPREFIX=...), the program and its
# arguments. Exits 77 (skipped) where no such folder is at hand.
set -eu
prefix=
for arg in "$@"; do
  case $arg in WINEPREFIX=*) prefix=${arg#WINEPREFIX=} ;; esac
done
refusing=/sys/kernel
probe=$refusing/velmora-probe
if [ -z "$prefix" ] || [ ! -d "$prefix/drive_c/windows" ] || [ ! -d "$refusing" ]; then exit 77; fi
if mkdir "$probe" 2>/dev/null; then rmdir "$probe"; exit 77; fi

web=$(find "$prefix/drive_c/windows" -maxdepth 1 -iname web | head -n 1)
if [ -z "$web" ]; then web=$prefix/drive_c/windows/Web; mkdir "$web"; fi
wallpaper=$(find "$web" -maxdepth 1 -iname wallpaper | head -n 1)
kept=$web/velmora-kept-$$
if [ -n "$wallpaper" ]; then mv "$wallpaper" "$kept"; fi
ln -s "$refusing" "$web/Wallpaper"
status=0
VELMORA_WALLPAPER_FOLDER_REFUSED=1 "$@" || status=$?
rm "$web/Wallpaper"
if [ -n "$wallpaper" ]; then mv "$kept" "$wallpaper"; fi
exit $status
