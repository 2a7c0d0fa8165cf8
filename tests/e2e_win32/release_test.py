#!/usr/bin/env python3
"""The Windows release in dist/, as a user and a lab administrator meet it.

    release_test.py DIST DRIVE_PROGRAM

DIST is what scripts/package-windows.sh wrote; DRIVE_PROGRAM tests/e2e_win32's
driver. Runs Wine on the caller's DISPLAY (scripts/lib/with-xvfb.sh) in a fresh
prefix of its own.

- SHA256SUMS verifies; each zip holds the program and 使用说明.txt, nothing
  else; the guide is UTF-8 with a byte-order mark and CR LF line ends and
  quotes the program's texts exactly as the sources have them.
- Each installer carries the same program and guide as its zip (7z reads the
  32-bit one, which cannot run here).
- The 64-bit installer under Wine: a silent install, its files, Start-menu
  shortcut and uninstall entry; the program started from the shortcut; a
  second install that replaces both the first and a 32-bit install beside it
  (its entry in the 32-bit registry view), leaving one entry and one folder,
  and one more that removes the entry of a 32-bit install whose folder was
  deleted by hand;
  while the program runs, the uninstaller and the installer fail and change
  nothing; the registered silent uninstall once it is closed, after which
  nothing of it is left; a second uninstall that fails and changes nothing; a
  silent install into a folder with Chinese and spaces in its name that holds
  another program's uninstall.exe, which stays; over a 32-bit install, an
  install that stays in the folder the user chose, moves from the 32-bit
  default folder to the 64-bit one, and goes where /D= says.
"""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

sys.dont_write_bytecode = True  # keep the source tree clean
REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))

from xsession import CheckFailed, XConnection, reported_run, wait_until  # noqa: E402

PRODUCT = "传动比计算"
GUIDE = "使用说明.txt"
PROGRAM = "transmission-ratio.exe"
UNINSTALLER = "transmission-ratio-uninstall.exe"
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
KEY = "transmission-ratio"
SHORTCUT = rf"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\{PRODUCT}.lnk"

# Texts the guide quotes, each as its source file has it.
QUOTED_TEXTS = [
    ("ui/form2_layout.h", "传动比计算（作者：Velnor）"),
    ("ui/form2_layout.h", "输入速度n1已知："),
    ("ui/form2_layout.h", "输出速度n2已知："),
    ("ui/form2_layout.h", "转速（转/分钟）"),
    ("ui/form2_layout.h", "转速（弧度/秒）"),
    ("ui/form2_layout.h", "线速度（米/秒）及直径（毫米）"),
    ("ui/form2_layout.h", "确 定"),
    ("ui/form2_layout.h", "退 出"),
    ("calc/ratio_calculation.cpp", "Result！"),
    ("calc/ratio_calculation.cpp", "传动比为："),
    ("calc/ratio_calculation.cpp", "Error！"),
    ("calc/ratio_calculation.cpp", "Error!"),
    ("calc/ratio_calculation.cpp", "数值输入不完全！"),
    ("calc/ratio_calculation.cpp",
     "您还没有指定输入或输出速度的类型，请检查是否已经选定了对应的单选按钮！"),
    ("ui/failure_report.cpp", "输出速度为零，无法计算传动比！请检查输出速度的数值。"),
    ("ui/failure_report.cpp", "输入转轴直径为零，无法换算转速！请检查输入速度转轴直径的数值。"),
    ("ui/failure_report.cpp", "输出转轴直径为零，无法换算转速！请检查输出速度转轴直径的数值。"),
    ("ui/failure_report.cpp", "数值过大，超出了计算范围！请检查输入的数值。"),
    ("ui/failure_report.cpp", "程序出现内部错误，这一步操作没有完成！窗口保持原样，可以继续使用。"),
]


def run(*argv, check=True, env=None):
    result = subprocess.run(argv, capture_output=True, timeout=300, env=env)
    if check and result.returncode != 0:
        raise CheckFailed(f"{' '.join(argv)} failed with status {result.returncode}:\n"
                          + (result.stdout + result.stderr).decode(errors="replace")[-3000:])
    return result


def read(path):
    with open(path, "rb") as f:
        return f.read()


def check_guide(c, guide):
    c.check(guide.startswith(b"\xef\xbb\xbf"), f"{GUIDE} starts with a UTF-8 byte-order mark")
    c.check(b"\n" in guide and guide.count(b"\n") == guide.count(b"\r\n"),
            f"{GUIDE} has CR LF line ends only")
    text = guide.decode("utf-8-sig")
    # A text set across lines is found again once each line break and the
    # next line's indent are taken out.
    joined = re.sub(r"\r\n\s*", "", text)
    for source, quoted in QUOTED_TEXTS:
        with open(os.path.join(REPO, source), encoding="utf-8") as f:
            in_source = f'"{quoted}' in f.read()
        c.check(in_source and quoted in joined,
                f"{GUIDE} quotes {quoted} as {source} has it",
                "not in the source" if not in_source else "not in the guide")


def unquoted(switch):
    """NSIS reads /D= and _?= only unquoted, to the end of its command line,
    spaces and all: given to Wine in pieces, they reach it as typed."""
    return switch.split(" ")


def split_command(command):
    """'"C:\\a b\\c.exe" /S' -> ['C:\\a b\\c.exe', '/S']"""
    return [quoted or bare for quoted, bare in re.findall(r'"([^"]*)"|(\S+)', command)]


def check_archives(c, dist):
    sums = subprocess.run(["sha256sum", "-c", "--strict", "SHA256SUMS"], cwd=dist,
                          capture_output=True, text=True)
    c.check(sums.returncode == 0, "sha256sum -c SHA256SUMS passes", sums.stdout + sums.stderr)
    zips = sorted(glob.glob(os.path.join(dist, "transmission-ratio-*-win*.zip")))
    for path in zips:
        name = os.path.basename(path)
        with zipfile.ZipFile(path) as archive:
            c.equal(archive.namelist(), [PROGRAM, GUIDE], f"{name} holds")
            program = archive.read(PROGRAM)
            guide = archive.read(GUIDE)
        size = len(program)
        c.check(os.path.getsize(path) < size, f"{name} is smaller than the program alone",
                f"{os.path.getsize(path)} against {size} bytes")
        check_guide(c, guide)
        setup = path[:-len(".zip")] + "-setup.exe"
        listing = run("7z", "l", "-slt", setup).stdout.decode()
        files = sorted(re.findall(r"^Path = (?!\$PLUGINSDIR)(.+)$", listing, re.M))[1:]
        c.equal(files, sorted([PROGRAM, GUIDE, UNINSTALLER]),
                f"{os.path.basename(setup)} installs")
        resources = run("x86_64-w64-mingw32-windres", "-i", setup, "-O", "rc").stdout.decode()
        for key, expected in (("ProductName", PRODUCT), ("ProductVersion", "1.0.0")):
            m = re.search(rf'VALUE "{key}", L?"([^"]*)"', resources)
            value = m and re.sub(r"\\x([0-9a-f]{4})", lambda x: chr(int(x.group(1), 16)),
                                 m.group(1))
            c.equal(value, expected, f"{os.path.basename(setup)}'s version information {key}")
        with tempfile.TemporaryDirectory(prefix="tr-setup-") as out:
            run("7z", "x", f"-o{out}", setup, PROGRAM, GUIDE)
            c.check(read(os.path.join(out, PROGRAM)) == program and
                    read(os.path.join(out, GUIDE)) == guide,
                    "it carries the zip's program and guide, byte for byte")
            machine = "x86-64" if name.endswith("-win64.zip") else "i386"
            for exe in (setup, os.path.join(out, PROGRAM)):
                form = run("x86_64-w64-mingw32-objdump", "-f", exe).stdout.decode()
                c.check(f"file format pei-{machine}" in form,
                        f"{os.path.basename(exe)} is {machine} code")


class Wine:
    """A fresh Wine prefix and the means to run programs and read it back."""

    def __init__(self, folder, driver):
        self.driver = driver  # tests/e2e_win32's drive_program.exe
        self.prefix = os.path.join(folder, "prefix")
        run("bash", os.path.join(REPO, "scripts", "lib", "wine-prefix.sh"), self.prefix, "96")
        open(os.path.join(self.prefix, ".complete"), "w").close()
        self.env = dict(os.environ, TR_WINEPREFIX=self.prefix)

    def run(self, *argv):
        return subprocess.run([os.path.join(REPO, "scripts", "lib", "wine-run.sh"), *argv],
                              capture_output=True, timeout=300, env=self.env)

    def unix(self, windows_path):
        """C:\\a\\b -> PREFIX/drive_c/a/b"""
        drive, _, rest = windows_path.partition(":\\")
        return os.path.join(self.prefix, f"drive_{drive.lower()}", *rest.split("\\"))

    def uninstall_entries(self, view="64"):
        """{key: {value: data}} under Uninstall in the registry view, "64" or "32"."""
        out = r"C:\tr-uninstall.reg"
        result = self.run("reg", "export", UNINSTALL, out, f"/reg:{view}", "/y")
        if result.returncode != 0 and view == "32" and not os.path.exists(self.unix(out)):
            return {}  # no Uninstall key at all in the 32-bit view
        if result.returncode != 0:
            raise CheckFailed("reg export failed: " + result.stderr.decode(errors="replace"))
        with open(self.unix(out), encoding="utf-16") as f:
            text = f.read()
        os.remove(self.unix(out))
        entries, values = {}, None
        for line in text.splitlines():
            if line.startswith("[") and line != f"[{UNINSTALL.replace('HKLM', 'HKEY_LOCAL_MACHINE')}]":
                values = entries.setdefault(line[1:-1].rsplit("\\", 1)[1], {})
            elif (m := re.fullmatch(r'"((?:[^"\\]|\\.)*)"=(.*)', line)) and values is not None:
                data = m.group(2)
                if data.startswith("dword:"):
                    data = int(data[6:], 16)
                else:
                    data = re.sub(r"\\(.)", r"\1", data[1:-1])
                values[re.sub(r"\\(.)", r"\1", m.group(1))] = data
        return entries

    def register_32bit(self, install_dir):
        """The uninstall entry that the 32-bit installer writes for install_dir,
        in the 32-bit registry view."""
        quoted = rf'"{install_dir}\{UNINSTALLER}"'.replace("\\", "\\\\").replace('"', '\\"')
        location = install_dir.replace("\\", "\\\\")
        key = UNINSTALL.replace("HKLM", "HKEY_LOCAL_MACHINE")
        text = (f'Windows Registry Editor Version 5.00\r\n\r\n[{key}\\{KEY}]\r\n'
                f'"DisplayName"="{PRODUCT}"\r\n"InstallLocation"="{location}"\r\n'
                f'"UninstallString"="{quoted}"\r\n"QuietUninstallString"="{quoted} /S"\r\n')
        path = r"C:\tr-32bit.reg"
        with open(self.unix(path), "w", encoding="utf-16") as f:
            f.write(text)
        result = self.run("reg", "import", path, "/reg:32")
        os.remove(self.unix(path))
        if result.returncode != 0:
            raise CheckFailed("reg import failed: " + result.stderr.decode(errors="replace"))

    def place_32bit(self, install_dir, files):
        """The 32-bit install in install_dir as its installer leaves it: the files of the
        folder `files` (a copy of this uninstaller stands in for its own, since the 32-bit
        installer cannot run here) and its entry in the 32-bit registry view."""
        shutil.copytree(files, self.unix(install_dir))
        self.register_32bit(install_dir)

    def start(self, program):
        """Starts the program and returns its process once its window is shown."""
        x = XConnection(os.environ["DISPLAY"])
        try:
            x.watch_maps()
            process = subprocess.Popen([os.path.join(REPO, "scripts", "lib", "wine-run.sh"), program],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                       env=self.env)
            x.next_map(timeout=30)
        finally:
            x.close()
        return process

    def snapshot(self, *folders):
        """What an install may touch: the uninstall entries and the folders' listings."""
        listings = {f: sorted(os.listdir(self.unix(f))) if os.path.isdir(self.unix(f)) else None
                    for f in folders}
        return self.uninstall_entries(), listings


def install_and_check(c, wine, setup, install_dir, folders, *args, others=(), drive=True):
    """A silent install into install_dir, which also holds the files `others`:
    its files, shortcut, entry and, with `drive`, the program."""
    result = wine.run(setup, "/S", *args)
    c.equal(result.returncode, 0, f"setup /S {' '.join(args)} ends with status")
    installed = wine.unix(install_dir)
    files = [PROGRAM, GUIDE, UNINSTALLER]
    c.equal(sorted(os.listdir(installed)) if os.path.isdir(installed) else None,
            sorted(files + list(others)), f"{install_dir} holds")
    c.check(os.path.isfile(wine.unix(SHORTCUT)), f"the Start menu has {PRODUCT}.lnk for all users")
    entries, _ = wine.snapshot(*folders)
    quoted = rf'"{install_dir}\{UNINSTALLER}"'
    expected = {
        "DisplayName": PRODUCT, "DisplayVersion": "1.0.0", "Publisher": "Velnor",
        "DisplayIcon": rf"{install_dir}\{PROGRAM},0", "InstallLocation": install_dir,
        "UninstallString": quoted, "QuietUninstallString": f"{quoted} /S",
        "NoModify": 1, "NoRepair": 1,
    }
    values = entries.get(KEY, {})
    for name, data in expected.items():
        c.equal(values.get(name), data, f"Uninstall\\{KEY} {name}")
    size = sum(os.path.getsize(os.path.join(installed, f)) for f in files
               if os.path.isfile(os.path.join(installed, f)))
    c.equal(values.get("EstimatedSize"), size // 1024,
            f"Uninstall\\{KEY} EstimatedSize (KiB, of its own files)")
    c.equal([k for k, v in entries.items() if v.get("DisplayName") == PRODUCT], [KEY],
            f"the one uninstall entry named {PRODUCT}")
    if not drive:
        return values
    # The program from the Start menu, as a user starts it.
    drive = wine.run(wine.driver, SHORTCUT)
    output = drive.stdout.decode(errors="replace")
    c.check(drive.returncode == 0, "the shortcut starts the program, which shows its window, "
            "computes and closes with status 0", output[-2000:])
    c.check(f"the program starts: {install_dir}\\{PROGRAM}" in output,
            f"the shortcut starts {install_dir}\\{PROGRAM}")
    return values


def uninstall(c, wine, command, before, folders):
    """Runs the registered silent uninstall and waits until it is done."""
    result = wine.run(*split_command(command))
    c.equal(result.returncode, 0, f"{command} ends with status")
    # NSIS's uninstaller copies itself to %TEMP% and returns at once; the copy
    # does the work.
    try:
        wait_until("the uninstall", lambda: wine.snapshot(*folders) == before, timeout=60,
                   interval=0.5)
        c.reached("nothing of it is left: files, folder, shortcut, uninstall entry")
    except CheckFailed:
        c.check(False, "nothing of it is left", f"{wine.snapshot(*folders)} against {before}")


def check_installer(c, setup, driver, scratch):
    wine = Wine(scratch, driver)
    program_files = r"C:\Program Files"
    program_files_x86 = r"C:\Program Files (x86)"
    install_dir = rf"{program_files}\{PRODUCT}"
    programs = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs"
    folders = (program_files, program_files_x86, programs)
    before = wine.snapshot(*folders)

    values = install_and_check(c, wine, setup, install_dir, folders)
    installed_files = os.path.join(scratch, "installed")
    shutil.copytree(wine.unix(install_dir), installed_files)

    # The 32-bit program installed beside it, in Program Files (x86).
    # Installing again replaces both: one entry, one folder.
    x86_dir = rf"{program_files_x86}\{PRODUCT}"
    wine.place_32bit(x86_dir, installed_files)
    c.equal(list(wine.uninstall_entries("32")), [KEY], "the 32-bit install's entry is in place")
    install_and_check(c, wine, setup, install_dir, folders, drive=False)
    c.equal(wine.uninstall_entries("32"), {}, "installed again: the 32-bit entry is gone")
    c.equal(wine.snapshot(*folders)[1],
            dict(before[1], **{program_files: sorted(before[1][program_files] + [PRODUCT]),
                               programs: sorted(before[1][programs] + [f"{PRODUCT}.lnk"])}),
            "and of the folders Program Files has the one folder more, the Start menu the "
            "one shortcut")
    # Its entry again, its folder since deleted by hand: installing again removes it.
    wine.register_32bit(x86_dir)
    install_and_check(c, wine, setup, install_dir, folders, drive=False)
    c.equal(wine.uninstall_entries("32"), {}, "an entry whose uninstaller is gone is removed too")

    # What changes nothing and fails with status 2: a copy of the uninstaller,
    # kept by an administrator beside a file of their own, run where it lies
    # (as NSIS runs itself, so that its status is seen), which is not the
    # installed one; and while the program runs, the installed uninstaller
    # run so and the installer.
    kept = r"C:\kept"
    os.makedirs(wine.unix(kept))
    shutil.copy(os.path.join(wine.unix(install_dir), UNINSTALLER), wine.unix(kept))
    with open(os.path.join(wine.unix(kept), "notes.txt"), "w") as f:
        f.write("kept")
    refused = [
        ("a copy of the uninstaller run elsewhere", rf"{kept}\{UNINSTALLER}", f"_?={kept}"),
        ("the uninstaller while the program runs", rf"{install_dir}\{UNINSTALLER}",
         f"_?={install_dir}"),
        ("the installer while the program runs", setup, ""),
    ]
    installed = wine.snapshot(*folders)
    running = wine.start(rf"{install_dir}\{PROGRAM}")
    for what, program, switch in refused:
        result = wine.run(program, "/S", *(unquoted(switch) if switch else []))
        c.equal(result.returncode, 2, f"{what} fails with status")
        c.equal(wine.snapshot(*folders), installed, "and changes nothing")
    wine.run("taskkill", "/IM", PROGRAM)
    try:
        c.equal(running.wait(timeout=30), 0, "the program, asked to close, ends with status")
    except subprocess.TimeoutExpired:
        c.check(False, "the program, asked to close, ends", "still running after 30 s")
        wine.run("taskkill", "/F", "/IM", PROGRAM)

    uninstall(c, wine, values.get("QuietUninstallString", ""), before, folders)

    # A second uninstall: the registered command is gone; the kept copy run
    # on the old folder finds nothing installed.
    command = split_command(values.get("QuietUninstallString", ""))
    result = wine.run(*command)
    c.check(result.returncode != 0, f"{command[0]} run again fails", "status 0")
    result = wine.run(rf"{kept}\{UNINSTALLER}", "/S", *unquoted(f"_?={install_dir}"))
    c.equal(result.returncode, 2, "the kept uninstaller run on the removed folder fails with status")
    c.equal(wine.snapshot(*folders), before, "and nothing changed")
    c.equal(sorted(os.listdir(wine.unix(kept))), ["notes.txt", UNINSTALLER],
            rf"{kept} is untouched")

    # A folder of the lab's, with Chinese and spaces in its name, that holds
    # another program's uninstall.exe: it stays, and so does the folder.
    lab = r"C:\实验 数据\传动比 计算 1"
    os.makedirs(wine.unix(lab))
    other = os.path.join(wine.unix(lab), "uninstall.exe")
    with open(other, "wb") as f:
        f.write(b"another program's uninstaller")
    folders += (lab,)
    before = wine.snapshot(*folders)
    values = install_and_check(c, wine, setup, lab, folders, *unquoted(f"/D={lab}"),
                               others=["uninstall.exe"])
    uninstall(c, wine, values.get("QuietUninstallString", ""), before, folders)
    c.equal(read(other), b"another program's uninstaller", rf"{lab}\uninstall.exe is untouched")

    # Over a 32-bit install, the 64-bit one stays in a folder the user chose,
    # moves from the 32-bit default folder to its own and goes where /D= says.
    chosen = r"C:\工具\传动比"
    for old, new, args in ((chosen, chosen, ()), (x86_dir, install_dir, ()),
                           (chosen, install_dir, unquoted(f"/D={install_dir}"))):
        wine.place_32bit(old, installed_files)
        values = install_and_check(c, wine, setup, new, folders, *args, drive=False)
        c.equal(wine.uninstall_entries("32"), {}, f"installed over {old}: its entry is gone")
        uninstall(c, wine, values.get("QuietUninstallString", ""), before, folders)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    dist, driver = (os.path.abspath(a) for a in sys.argv[1:])
    with reported_run("Windows release") as c, \
            tempfile.TemporaryDirectory(prefix="tr-release-") as scratch:
        check_archives(c, dist)
        setups = glob.glob(os.path.join(dist, "transmission-ratio-*-win64-setup.exe"))
        if c.equal(len(setups), 1, "64-bit installers in dist/"):
            try:
                check_installer(c, setups[0], driver, scratch)
            finally:
                prefix = os.path.join(scratch, "prefix")
                subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=prefix),
                               capture_output=True)


if __name__ == "__main__":
    main()
