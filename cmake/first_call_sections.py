#!/usr/bin/env python3
"""Writes cmake/first_call.ld: the functions a process's first lookup runs
in the shared library, to be laid out side by side.

Runs a first-lookup program (bench/startup/first_lookup.c, linked to a
library) under valgrind's callgrind, collecting only inside
GetPrivateProfileStringA, and lists the library's functions that ran; for
each program and library given, so that the list serves both libraries
(zidevuv10-profile.so links the C++ runtime's functions in).

    cmake --build build-rel --target start_first_lookup_whole start_first_lookup
    python3 cmake/first_call_sections.py \\
        build-rel/bench/start_first_lookup_whole build-rel/zidevuv10.so.1.0.0 \\
        build-rel/bench/start_first_lookup build-rel/zidevuv10-profile.so.1.0.0

Needs valgrind and binutils' nm. A name that no longer exists matches
nothing and is harmless: the layout only gets less compact.
"""
import os
import subprocess
import sys
import tempfile

HEADER = """\
/* The functions a process's first lookup runs, placed side by side ahead
 * of the rest of the code (the C and C++ parts of the library are compiled
 * with one section per function). The first call of a process touches
 * each page of code it runs for the first time, and on machines where a
 * page's first touch is slow (a fault, and on virtual machines often a
 * second one in the host) a few dense pages cost far less than the same
 * code spread over the whole library. Written by
 * cmake/first_call_sections.py; a name missing here only costs speed. */
SECTIONS
{
  .text.first_call :
  {
"""
FOOTER = """\
    /* The C library's registration of fork handlers, linked in. */
    *libc_nonshared.a:pthread_atfork.oS(.text .text.*)
  }
}
INSERT BEFORE .text;
"""


def functions_run(program, library):
    """The mangled names of the library's functions that ran."""
    with tempfile.TemporaryDirectory() as tmp:
        ini = os.path.join(tmp, "a.ini")
        with open(ini, "w") as f:
            f.write("[section]\nkey=value\n")
        second = os.path.join(tmp, "b.ini")
        with open(second, "w") as f:
            f.write("[section]\nkey=value\n")
        out = os.path.join(tmp, "callgrind.out")
        subprocess.run(["valgrind", "--tool=callgrind", "--dump-instr=yes", "--compress-strings=no",
                        "--compress-pos=no", "--collect-atstart=no",
                        "--toggle-collect=GetPrivateProfileStringA",
                        "--callgrind-out-file=" + out, program, ini, second, "section", "key"],
                       check=True, capture_output=True)
        # Every function that ran; those of other libraries are not in the
        # library's symbol table below. (callgrind may not name the object
        # of code laid out by the script, so objects are not looked at.)
        ran = set()
        fn = None
        with open(out) as f:
            for line in f:
                if line.startswith("fn="):
                    fn = line[3:].strip()
                elif line.startswith("0x"):
                    ran.add(fn)
    # callgrind names functions demangled; nm gives both spellings.
    plain = subprocess.run(["nm", library], capture_output=True, text=True, check=True).stdout
    demangled = subprocess.run(["nm", "-C", library], capture_output=True, text=True,
                               check=True).stdout
    mangled = {}
    for a, b in zip(plain.splitlines(), demangled.splitlines()):
        pa, pb = a.split(" ", 2), b.split(" ", 2)
        if len(pa) == 3 and pa[1] in "tTWw":
            mangled[pb[2]] = pa[2]
    return {mangled[f] for f in ran if f in mangled}


def main():
    args = sys.argv[1:]
    if not args or len(args) % 2:
        sys.exit("usage: first_call_sections.py PROGRAM LIBRARY [PROGRAM LIBRARY ...]")
    names = set()
    for program, library in zip(args[0::2], args[1::2]):
        names |= functions_run(program, library)
    names = sorted(names)
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "first_call.ld")
    with open(target, "w") as f:
        f.write(HEADER)
        for name in names:
            if name == "pthread_atfork":
                continue  # in the footer, by the file it comes from
            f.write("    *(.text.%s)\n" % name)
        f.write(FOOTER)
    print("%d functions written to %s" % (len(names), target))


if __name__ == "__main__":
    main()
