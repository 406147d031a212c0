"""The Debian package cpack makes from the build folder (CPACK BUILD): the game in /usr/games, the
maps, the manual page and the changelog, its section, dependencies and description. Unpacked, its
game names the packaged maps as the installed ones. (.ci/run installs it and runs lintian on it;
test_installed.py plays the installed game.)"""
import glob
import gzip
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
        wanted = {"./usr/games/pervaro", "./usr/share/man/man6/pervaro.6.gz",
                  "./usr/share/doc/pervaro/README.md", "./usr/share/doc/pervaro/changelog.gz"}
        wanted |= {"./usr/share/pervaro/map%02d.txt" % n for n in range(1, 6)}
        assert wanted <= listed, sorted(wanted - listed)
        assert not [name for name in listed if "/bin/" in name], sorted(listed)
        fields = {name: out("dpkg-deb", "-f", deb, name).strip()
                  for name in ("Package", "Version", "Section", "Depends", "Description",
                               "Maintainer")}
        assert fields["Package"] == "pervaro" and fields["Section"] == "games", fields
        assert "libc6" in fields["Depends"] and "libstdc++6" in fields["Depends"], fields
        assert "sugoroku" in fields["Description"] and fields["Maintainer"], fields

        root = os.path.join(scratch, "root")
        out("dpkg-deb", "-x", deb, root)
        with gzip.open(os.path.join(root, "usr/share/doc/pervaro/changelog.gz"), "rt") as f:
            first = f.readline()
        assert first == "pervaro (%s) unstable; urgency=medium\n" % fields["Version"], first
        game = os.path.join(root, "usr", "games", "pervaro")
        assert out(game, "--version", cwd=scratch) == "pervaro %s\n" % fields["Version"]
        maps = os.path.join(root, "usr", "share", "pervaro")
        shown = out(game, "--help", cwd=scratch, env={"HOME": scratch}).splitlines()
        assert "    " + maps in shown, "\n".join(shown)


if __name__ == "__main__":
    main()
