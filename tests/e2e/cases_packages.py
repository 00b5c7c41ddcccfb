"""End-to-end cases: the packages: the setup installs, upgrades and uninstalls; the user's settings survive."""
import glob
import os
import shutil
import subprocess
import time

from harness import *  # noqa: F401,F403 (the cases' shared vocabulary)


# --- the installer ------------------------------------------------------------

# default\fprobe.ini belongs: fprobe follows the user's settings chain only with it.
INSTALLED = ["flicko.exe", "claspm.dll", "fprobe.exe", "fcheck.exe", "uninstall.exe",
             os.path.join("default", "flicko.ini"), os.path.join("default", "scroll.dat"),
             os.path.join("default", "fprobe.ini")]


UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Flicko"


def installer_case(h, setup, prefix):
    def run_setup(*argv):
        # The setup starts Flicko again after an upgrade.
        r = h.run(setup, *argv, timeout=180, output=False)
        check(r.returncode == 0, f"setup {argv} ended with {r.returncode}")

    run_setup("/S", "/STARTUP")
    inst = user_folder(prefix, "AppData", "Local", "Programs", "Flicko") or \
        user_folder(prefix, "Local Settings", "Application Data", "Programs", "Flicko")
    check(inst is not None, "no installation folder in the user's program folder")
    missing = [f for f in INSTALLED if not os.path.isfile(os.path.join(inst, f))]
    check(not missing, f"not installed: {missing}")
    programs = user_folder(prefix, *START_MENU)
    startup = user_folder(prefix, *START_MENU, "Startup")
    check(programs is not None and startup is not None, "no Start menu or Startup folder")
    shortcuts = [os.path.join(programs, "Flicko", "Flicko.lnk"), os.path.join(programs, "Flicko", "fprobe.lnk"),
                 os.path.join(startup, "Flicko.lnk")]
    for lnk, exe in zip(shortcuts, ["flicko.exe", "fprobe.exe", "flicko.exe"]):
        rc, text = h.tool("lnk", winpath(lnk))
        check(rc == 0, f"no shortcut {lnk}")
        target, workdir = (text.splitlines() + ["", ""])[:2]
        check(target.lower().endswith("\\flicko\\" + exe) and workdir.lower().endswith("\\flicko"),
              f"{lnk} points at {target!r} in {workdir!r}")
    rc, _ = h.tool("exists", "Flicko")
    check(rc != 0, "a silent installation started Flicko by itself")
    r = h.run("reg", "query", UNINSTALL_KEY, "/v", "UninstallString")
    check(r.returncode == 0 and "uninstall.exe" in r.stdout, "no uninstaller in the system's list:\n" + r.stdout)

    # The installed program scrolls the fixture with the shipped rules.
    log = h.start_fixture()
    h.flicko = h.wine(os.path.join(inst, "flicko.exe"))
    h.wait_hooked(log)
    before = edit_pos(log)
    drag(inside(log.rects["edit"]), 0, -16 * 4, steps=8)
    wait_for(lambda: edit_pos(log) == before + 4, 20, "the installed Flicko scrolls the edit", log)

    # The user's own settings, where the README says they go: the shipped
    # settings hand over to %APPDATA%\Flicko\flicko.ini (missing until now,
    # which reads as empty), and here that file names a rules file of the
    # user's that includes the shipped one and makes the edit's lines twice
    # as long to drag. The running Flicko has not read them yet.
    own = os.path.join(user_folder(prefix, "AppData", "Roaming"), "Flicko")
    os.makedirs(own, exist_ok=True)
    with open(os.path.join(own, "flicko.ini"), "w", newline="\r\n") as f:
        f.write("[Files]\nScrollDat=%APPDATA%\\Flicko\\scroll.dat\n")
    with open(os.path.join(own, "scroll.dat"), "w", newline="\r\n") as f:
        f.write("#include <appdir>\\default\\scroll.dat\nClassI(Edit) { VScrollWidth: 32 dot; }\n")

    # A second installation over the running program ends it politely,
    # replaces the files and starts the new program again.
    marker = os.path.join(inst, "flicko.exe")
    os.utime(marker, (1, 1))
    run_setup("/S")
    try:
        h.flicko.wait(timeout=30)
    except subprocess.TimeoutExpired:
        raise Failure("the running Flicko was not ended by the second installation")
    check(os.stat(marker).st_mtime > 1, "flicko.exe was not replaced")
    with open(os.path.join(own, "scroll.dat"), newline="") as f:
        check(f.read() == "#include <appdir>\\default\\scroll.dat\r\nClassI(Edit) { VScrollWidth: 32 dot; }\r\n",
              "the upgrade changed the user's rules file")
    h.flicko = None
    h.wait_hooked(log)
    # The upgraded Flicko reads the user's files: 3 lines take 96 px now
    # (with the shipped 16-dot rule they would be 6).
    before = edit_pos(log)
    drag(inside(log.rects["edit"]), 0, -32 * 3, steps=6)
    wait_for(lambda: edit_pos(log) == before + 3, 20, "the upgraded Flicko scrolls by the user's rule", log)
    time.sleep(0.5)
    check(edit_pos(log) == before + 3, f"the upgraded Flicko scrolled {edit_pos(log) - before} lines, not 3", log)

    # The uninstaller removes what it installed, ends the program, and keeps
    # the user's own file and the folders that hold it.
    mine = os.path.join(inst, "default", "my-rules.dat")
    with open(mine, "w") as f:
        f.write("// mine\n")
    h.run(os.path.join(inst, "uninstall.exe"), "/S", output=False)
    # The uninstaller runs on from a copy of itself in the temporary folder.
    wait_for(lambda: not any(os.path.exists(os.path.join(inst, f)) for f in INSTALLED), 90,
             "the installed files removed", log)
    check(os.path.isfile(mine), "the uninstaller removed the user's own file")
    wait_for(lambda: not any(os.path.exists(s) for s in shortcuts), 30, "the shortcuts removed", log)
    wait_for(lambda: h.tool("exists", "Flicko")[0] != 0, 30, "Flicko ended by the uninstaller", log)
    r = h.run("reg", "query", UNINSTALL_KEY)
    check(r.returncode != 0, "the uninstaller's entry is still in the system's list")


def case_package_install_upgrade_uninstall(h):
    # Both packages of the release folder under test, named after its
    # bitness, with the build's one version number; the setup is a program
    # of the same bitness, so the 64-bit one runs under 64-bit Wine.
    out = os.path.join(h.work, "dist")
    r = subprocess.run([os.path.join(ROOT, "scripts", "package.sh"), "--release", h.args.release, "--out", out],
                       capture_output=True, text=True, check=False)
    check(r.returncode == 0, "package.sh failed:\n" + r.stdout + r.stderr)
    arch = "win" + h.bits
    setups = glob.glob(os.path.join(glob.escape(out), f"flicko-*-{arch}-setup.exe"))
    zips = glob.glob(os.path.join(glob.escape(out), f"flicko-*-{arch}.zip"))
    check(len(setups) == 1 and len(zips) == 1 and len(os.listdir(out)) == 2, f"packages: {os.listdir(out)}")
    check(wine_bits(setups[0]) == h.bits, f"{setups[0]} is not a {h.bits}-bit program")
    import zipfile
    names = set(zipfile.ZipFile(zips[0]).namelist())
    folder = os.path.basename(zips[0])[:-len(f"-{arch}.zip")]
    check({folder + "/" + f.replace(os.sep, "/") for f in INSTALLED if f != "uninstall.exe"} <= names,
          f"the zip lacks files: {sorted(names)}")

    # A scratch prefix: a copy of the tests' prefix, so the installation and
    # its registry entries go with the case.
    h.run("cmd", "/c", "exit 0")  # makes the tests' prefix if it is not there yet
    prefix = os.path.join(h.work, "prefix")
    shutil.copytree(h.prefix, prefix, symlinks=True)
    h.env["FLICKO_WINE_PREFIX"] = prefix
    try:
        installer_case(h, setups[0], prefix)
    finally:
        h.stop()
        h.wineserver("-k")
