#!/usr/bin/env bash
# Tells whether this machine runs i386 (32-bit x86) Linux programs, as 32-bit
# Wine needs: writes a tiny static i386 program that exits with status 42 and
# runs it. Exit status 0 when it ran, 1 when the kernel refused it (no IA32
# emulation) or it could not be run.
set -uo pipefail
program=$(mktemp)
trap 'rm -f "$program"' EXIT
{
    # ELF header: 32-bit, little-endian, executable for i386, entry point
    # 0x08048054, one program header at offset 52.
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0'
    printf '\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0'
    # The program header: the whole file (96 bytes) loaded at 0x08048000,
    # readable and executable.
    printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0'
    # mov eax, 1 (exit); mov ebx, 42; int 0x80
    printf '\270\1\0\0\0\273\52\0\0\0\315\200'
} >"$program"
chmod +x "$program"
"$program" 2>/dev/null
[ $? -eq 42 ]
