#!/usr/bin/python3
"""Installs the build into a staging folder (DESTDIR, prefix /usr) as the
package does, and compares the files with the list beside this script: a
file missing or one more than the list fails, as do programs that cannot be
run and documentation that is not compressed the way Debian wants."""
import os
import subprocess
import sys
import tempfile


def main(build, expected_list):
    with open(expected_list, encoding="utf-8") as f:
        expected = sorted(line.strip() for line in f if line.strip() and not line.startswith("#"))
    with tempfile.TemporaryDirectory() as staging:
        env = dict(os.environ, DESTDIR=staging)
        subprocess.run(["cmake", "--install", build, "--prefix", "/usr"], env=env, check=True,
                       stdout=subprocess.DEVNULL)
        found = []
        faults = []
        for root, _, files in os.walk(staging):
            for name in files:
                path = os.path.join(root, name)
                rel = "/" + os.path.relpath(path, staging)
                found.append(rel)
                mode = os.stat(path).st_mode
                program = rel.startswith(("/usr/bin/", "/usr/libexec/"))
                if program and not mode & 0o111:
                    faults.append(f"{rel}: not executable")
                if not program and mode & 0o111:
                    faults.append(f"{rel}: executable")
                if rel.startswith(("/usr/share/man/", "/usr/share/doc/wms/changelog")):
                    with open(path, "rb") as g:
                        head = g.read(10)
                    # gzip without a stored name or time (gzip -n)
                    if head[:2] != b"\x1f\x8b" or head[4:8] != b"\0\0\0\0" or head[3] & 0x08:
                        faults.append(f"{rel}: not compressed with gzip -9n")
        found.sort()
        for rel in sorted(set(expected) - set(found)):
            faults.append(f"missing: {rel}")
        for rel in sorted(set(found) - set(expected)):
            faults.append(f"not in the list: {rel}")
    for fault in faults:
        print(fault)
    print(f"{len(found)} files installed, {len(faults)} fault(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
