"""The Debian package cpack makes from the build folder (CPACK BUILD): the game, the maps and the
manual page, its section, dependencies and description. (The game it holds finds its maps beside
it as test_installed.py shows, which .ci/run runs on the installed package as well.)"""
import glob
import os
import subprocess
import sys
import tempfile


def out(*command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, text=True, **kwargs).stdout


def main():
    cpack, build = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as scratch:
        out(cpack, "-G", "DEB", "-B", os.path.join(scratch, "package"), cwd=build)
        [deb] = glob.glob(os.path.join(scratch, "package", "pervaro_*.deb"))
        listed = {line.split()[-1] for line in out("dpkg-deb", "-c", deb).splitlines()}
        wanted = {"./usr/bin/pervaro", "./usr/share/man/man6/pervaro.6.gz",
                  "./usr/share/doc/pervaro/README.md"}
        wanted |= {"./usr/share/pervaro/map%02d.txt" % n for n in range(1, 6)}
        assert wanted <= listed, sorted(wanted - listed)
        fields = {name: out("dpkg-deb", "-f", deb, name).strip()
                  for name in ("Package", "Section", "Depends", "Description", "Maintainer")}
        assert fields["Package"] == "pervaro" and fields["Section"] == "games", fields
        assert "libc6" in fields["Depends"] and "libstdc++6" in fields["Depends"], fields
        assert "sugoroku" in fields["Description"] and fields["Maintainer"], fields


if __name__ == "__main__":
    main()
