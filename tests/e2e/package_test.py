#!/usr/bin/env python3
"""The Debian package, built from the tree and unpacked as dpkg would.

    package_test.py CPACK CPACK_CONFIG

Runs CPACK with the build tree's CPACK_CONFIG into a temporary folder,
checks the .deb with lintian (no error, no warning) and its control file's
Depends (a Qt library found by dpkg-shlibdeps, Qt's translations, a Chinese
font; not qt6-qpa-plugins, since libqt6gui6 holds the xcb plugin), unpacks
it with dpkg -x, checks the files it installs (program, icons, manual pages),
the desktop entry (desktop-file-validate) and the AppStream metadata
(appstreamcli validate, no error, no warning), then starts the unpacked
program on a private Xvfb, waits for its window and closes it.
"""

import configparser
import glob
import os
import re
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from form2_user import CAPTION  # noqa: E402
from xsession import CheckFailed, XSession, reported_run  # noqa: E402

PROGRAM = "usr/bin/transmission-ratio"
APP_ID = "invalid.transmission_ratio.transmission_ratio"
DESKTOP_ENTRY = f"usr/share/applications/{APP_ID}.desktop"
METAINFO = f"usr/share/metainfo/{APP_ID}.metainfo.xml"
MANUAL_PAGES = ("usr/share/man/man1/transmission-ratio.1.gz",
                "usr/share/man/zh_CN/man1/transmission-ratio.1.gz")
ICON_THEME = "usr/share/icons/hicolor"
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
GZIP_SIGNATURE = b"\x1f\x8b"


def run(*argv, cwd=None):
    result = subprocess.run(argv, cwd=cwd, capture_output=True, text=True, timeout=600)
    if result.returncode != 0:
        raise CheckFailed(f"{' '.join(argv)} failed with status {result.returncode}:\n"
                          f"{result.stdout[-3000:]}{result.stderr[-3000:]}")
    return result.stdout


def file_head(path, size=4096):
    """The first bytes of a file; empty when there is no such file."""
    if not os.path.isfile(path):
        return b""
    with open(path, "rb") as f:
        return f.read(size)


def png_size(path):
    """(width, height) from a PNG file's IHDR chunk; None if not a PNG."""
    head = file_head(path, 24)
    if len(head) < 24 or not head.startswith(PNG_SIGNATURE) or head[12:16] != b"IHDR":
        return None
    return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")


def depends_groups(depends):
    """'a (>= 1), b | c' -> [{'a'}, {'b', 'c'}]: package names, versions dropped."""
    return [{re.sub(r"\s*\(.*\)", "", alt).strip() for alt in group.split("|")}
            for group in depends.split(",") if group.strip()]


def build_package(c, cpack, config, out):
    run(cpack, "-G", "DEB", "--config", config, "-B", out)
    debs = glob.glob(os.path.join(out, "*.deb"))
    c.equal(len(debs), 1, "cpack made one .deb")
    deb = debs[0]
    print(f"      {os.path.basename(deb)}, {os.path.getsize(deb)} bytes")
    return deb


def check_control(c, deb):
    depends = run("dpkg-deb", "-f", deb, "Depends").strip()
    print(f"      Depends: {depends}")
    groups = depends_groups(depends)
    c.check(any(re.fullmatch(r"libqt6\w+6", name) for group in groups for name in group),
            "Depends names a Qt 6 library (found by dpkg-shlibdeps)")
    c.check({"qt6-translations-l10n"} in groups, "Depends names qt6-translations-l10n")
    c.check(not any("qt6-qpa-plugins" in group for group in groups),
            "Depends leaves out qt6-qpa-plugins")
    c.check({"fonts-arphic-gbsn00lp", "fonts-noto-cjk"} in groups,
            "Depends names fonts-arphic-gbsn00lp | fonts-noto-cjk")
    c.equal(run("dpkg-deb", "-f", deb, "Package").strip(), "transmission-ratio",
            "package name")


def problem_lines(output):
    """The error and warning lines ("E: ...", "W: ...") of lintian or appstreamcli."""
    return [line.strip() for line in output.splitlines()
            if re.match(r"\s*[EW]: ", line)]


def check_lintian(c, deb):
    result = subprocess.run(["lintian", "--allow-root", "--fail-on", "none", deb],
                            capture_output=True, text=True, timeout=300)
    if result.returncode != 0:
        raise CheckFailed(f"lintian failed with status {result.returncode}:\n"
                          f"{result.stdout[-3000:]}{result.stderr[-3000:]}")
    problems = problem_lines(result.stdout)
    c.check(not problems, "lintian reports no error and no warning", "; ".join(problems))


def check_files(c, root):
    program = os.path.join(root, PROGRAM)
    c.check(os.path.isfile(program) and os.access(program, os.X_OK),
            f"/{PROGRAM} is an executable file")
    for size in (16, 32, 48):
        icon = f"{ICON_THEME}/{size}x{size}/apps/transmission-ratio.png"
        path = os.path.join(root, icon)
        c.equal(png_size(path), (size, size),
                f"/{icon} is a PNG of")
    svg = f"{ICON_THEME}/scalable/apps/transmission-ratio.svg"
    c.check(b"<svg" in file_head(os.path.join(root, svg)), f"/{svg} is an SVG image")
    for page in MANUAL_PAGES:
        c.check(file_head(os.path.join(root, page), 2) == GZIP_SIGNATURE,
                f"/{page} is a gzip-compressed manual page")


def check_desktop_entry(c, root):
    path = os.path.join(root, DESKTOP_ENTRY)
    if not c.check(os.path.isfile(path), f"/{DESKTOP_ENTRY} is installed"):
        return
    result = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
    c.check(result.returncode == 0 and not result.stdout.strip(),
            "desktop-file-validate finds nothing to report", result.stdout.strip())
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(path, encoding="utf-8")
    keys = entry["Desktop Entry"]
    c.equal(keys.get("Name"), "传动比计算", "Name")
    c.equal(keys.get("Name[zh_CN]"), "传动比计算", "Name[zh_CN]")
    c.check(re.fullmatch(r"[ -~]+", keys.get("GenericName", "")) is not None,
            "GenericName is English (ASCII)", keys.get("GenericName"))
    c.equal(keys.get("Categories"), "Education;Engineering;", "Categories")
    c.equal(keys.get("Terminal"), "false", "Terminal")
    exec_line = keys.get("Exec", "")
    c.check(os.path.isfile(os.path.join(root, "usr/bin", exec_line)),
            f"Exec={exec_line} is the packaged program in /usr/bin")
    icons = glob.glob(os.path.join(root, ICON_THEME, "*/apps", keys.get("Icon", "") + ".*"))
    c.equal(len(icons), 4, f"Icon={keys.get('Icon')} names the four packaged icons")


def check_metainfo(c, root):
    path = os.path.join(root, METAINFO)
    if not c.check(os.path.isfile(path), f"/{METAINFO} is installed"):
        return
    # validate checks the file; validate-tree also that the desktop entry it
    # launches is installed beside it.
    for command in (["appstreamcli", "validate", "--no-net", path],
                    ["appstreamcli", "validate-tree", "--no-net", root]):
        result = subprocess.run(command, capture_output=True, text=True, timeout=120)
        problems = problem_lines(result.stdout + result.stderr)
        c.check(result.returncode == 0 and not problems,
                f"appstreamcli {command[1]} reports no error and no warning",
                "; ".join(problems) or result.stderr.strip())


def start_unpacked(c, root):
    with XSession() as x:
        program = x.start([os.path.join(root, PROGRAM)])
        window = x.wait_for_window(program, CAPTION)
        c.reached(f"the unpacked program shows its window {CAPTION!r}")
        c.equal(x.close_window(program, window), 0,
                "it ends with status 0 on WM_DELETE_WINDOW")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    cpack, config = sys.argv[1:]
    with reported_run("Debian package") as c, \
            tempfile.TemporaryDirectory(prefix="tr-package-") as temp:
        if not os.path.isfile(config):
            raise CheckFailed(f"{config} does not exist: is packaging/Packaging.cmake included?")
        deb = build_package(c, cpack, config, os.path.join(temp, "out"))
        check_control(c, deb)
        check_lintian(c, deb)
        root = os.path.join(temp, "root")
        run("dpkg", "-x", deb, root)
        check_files(c, root)
        check_desktop_entry(c, root)
        check_metainfo(c, root)
        start_unpacked(c, root)


if __name__ == "__main__":
    main()
