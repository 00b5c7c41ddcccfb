"""End-to-end cases: the tray icon, its menus and the About dialog."""
import os
import time

from harness import *  # noqa: F401,F403 (the cases' shared vocabulary)


def drags_scroll(log, lines=3, width=16):
    """A drag of lines * width pixels over the edit moves it that many lines."""
    before = edit_pos(log)
    drag(inside(log.rects["edit"]), 0, -width * lines, steps=6)
    wait_for(lambda: edit_pos(log) == before + lines, 20, f"a drag scrolling {lines} lines", log)


def drag_passes(log):
    """A right drag over the edit reaches it as plain mouse input."""
    before = edit_pos(log)
    log.mark()
    drag(inside(log.rects["edit"]), 0, -48, steps=6)
    wait_for(lambda: log.events("edit", "rdown"), 20, "the press reaching the edit untouched", log)
    wait_for(lambda: log.events("edit", "contextmenu"), 20, "the edit's own context menu", log)
    xdo("key", "Escape")
    time.sleep(0.3)
    check(edit_pos(log) == before, "the edit scrolled", log)


def open_about(h, labels, log):
    open_tray_menu(h, log)
    choose(labels, "About Flicko")
    wait_for(lambda: h.tool("title", "About Flicko")[0] == 0, 30, "the About dialog", log)


def enter_in_about(h, log):
    """Enter for the dialog. Xvfb runs no window manager here: the X server
    gives the keys to the window under the pointer whatever the foreground
    is, so the pointer rests on the dialog (no click: a click would give it
    the foreground). The adapter test checks the foreground and the focus."""
    rc, rect = h.tool("rect", "#32770")
    check(rc == 0, "no dialog window", log)
    l, t, r, b = (int(v) for v in rect.split())
    hover(((l + r) // 2, (t + b) // 2))
    xdo("key", "Return")


def case_tray_picture_follows_state(h):
    # Scrolling off from the start: the disabled picture.
    h.write_settings(enable=False)
    log = h.start_fixture()
    h.start_flicko()
    wait_picture(h, "disable", 60, log)
    check(h.tool("close", "Flicko", "30000")[0] == 0, "closing flicko")
    check(h.flicko.wait(timeout=60) == 0, "flicko did not exit cleanly")
    wait_for(lambda: not tray_icons(h), 20, "the icon removed at exit", log)

    # Scrolling on: the enable picture, and the glide picture while a flick
    # glides on.
    h.write_settings(enable=True)
    h.start_flicko()
    h.wait_hooked(log)
    wait_picture(h, "enable", 60, log)
    icon = tray_icon(h, log)
    edit_flick(log)
    wait_for(lambda: icon_picture(icon) == "scroll", 10, "the glide picture during the flick", log)


def case_icon_back_after_shell_restart(h):
    log = h.start_hooked()
    wait_picture(h, "enable", 60, log)
    check(h.tool("dropicon")[0] == 0, "the icon could not be removed")
    wait_for(lambda: not tray_icons(h), 20, "the icon gone with the old shell", log)
    check(h.tool("taskbarcreated")[0] == 0, "no resident window to tell")
    wait_picture(h, "enable", 20, log)
    # Scrolling goes on as before.
    before = edit_pos(log)
    drag(inside(log.rects["edit"]), 0, -16 * 3, steps=6)
    wait_for(lambda: edit_pos(log) == before + 3, 20, "a drag after the shell restart", log)


def case_tray_left_click_toggles(h):
    text, _ = h.shipped_menus()
    h.write_settings(extra=text)
    log = h.start_hooked()
    wait_picture(h, "enable", 60, log)
    click_tray(h, "1", log)
    wait_picture(h, "disable", 20, log)
    drag_passes(log)
    click_tray(h, "1", log)
    wait_picture(h, "enable", 20, log)
    drags_scroll(log)


def case_tray_menu_items(h):
    record = os.path.join(h.work, "record.txt")
    # Quoted: the paths are words of command lines, and the checkout folder
    # may have spaces in its name.
    tool = quoted(os.path.join(h.args.tools, "flickotool.exe"))
    text, labels = h.shipped_menus([f"Execute1={tool} record {quoted(record)} executed : Record",
                                    "Execute2=flicko_no_such_program.exe : Broken"])
    # The profile functions take off one pair of quotes around a whole
    # value: a value that starts and ends quoted is wrapped in one more.
    # The user's own settings in the case's folder, as the shipped ones hand over.
    own = os.path.join(h.work, "own")
    files = f'Editor="{tool} record {quoted(record)} "%1""\nIni={winpath(os.path.join(own, "flicko.ini"))}'
    h.write_settings(files=files, extra=text)
    log = h.start_hooked()
    drags_scroll(log)

    # The menu opens at the icon; its picture goes to the docs.
    open_tray_menu(h, log)
    shot(h, "menu")
    choose(labels, "Edit scroll data")
    wait_for(lambda: os.path.exists(record), 30, "the editor started", log)
    with open(record, encoding=ansi_codepage(h.prefix)) as f:
        line = f.read()
    # Never the shipped rules: the user's own file, made beside the user's
    # settings and including the shipped one.
    dat = winpath(os.path.join(own, "scroll.dat"))
    check(f'"{dat}"' in line, f"the editor got {line!r}, not the quoted {dat}")

    # Rules edited, then read again: a line is now 8 pixels.
    h.write_settings(files=files, extra=text, scroll_dat=SCROLL_DAT.replace("VScrollWidth: 16 dot", "VScrollWidth: 8 dot"))
    # The resident sees the write and reads the files by itself; scrolling
    # is off while it reads. That reading is over before the menu's own.
    time.sleep(1.5)
    open_tray_menu(h, log)
    choose(labels, "Read scroll data again")
    time.sleep(1.0)
    drags_scroll(log, lines=4, width=8)

    os.remove(record)
    open_tray_menu(h, log)
    choose(labels, "Record")
    wait_for(lambda: os.path.exists(record), 30, "the Execute item's command", log)
    with open(record, encoding=ansi_codepage(h.prefix)) as f:
        check(f.read().rstrip().endswith("executed"), "the Execute item's command line")

    open_tray_menu(h, log)
    choose(labels, "Broken")
    wait_for(lambda: h.tool("title", "CreateProcess failed")[0] == 0, 30, "the CreateProcess failed box", log)
    shot(h, "createprocess-failed")
    # Xvfb has no window manager: X gives the keys to the window under the
    # pointer, which is still the icon.
    rc, rect = h.tool("rect", "#32770")
    check(rc == 0, "no box to put the pointer on", log)
    l, t, r, b = (int(v) for v in rect.split())
    hover(((l + r) // 2, (t + b) // 2))
    xdo("key", "Return")
    wait_for(lambda: h.tool("title", "CreateProcess failed")[0] != 0, 20, "the box closed", log)

    # Exit ends the program and takes the icon; a new instance starts at once.
    open_tray_menu(h, log)
    choose(labels, "Exit")
    check(h.flicko.wait(timeout=60) == 0, "flicko did not exit cleanly from the menu")
    wait_for(lambda: not tray_icons(h), 20, "the icon removed at exit", log)
    h.start_flicko()
    h.wait_hooked(log)
    drags_scroll(log, lines=4, width=8)


def case_about_dialog(h):
    text, labels = h.shipped_menus()
    h.write_settings(extra=text)
    log = h.start_hooked()
    open_about(h, labels, log)
    time.sleep(0.5)
    shot(h, "about")
    # The hook is out while the dialog is open.
    wait_for(lambda: h.block()["Hook"] == 0, 20, "the hook paused", log)
    # Enter closes it, and scrolling is back as it was: a drag at once
    # scrolls, without waiting for the dialog's window to be gone (under
    # Wine without a window manager its hide takes two seconds).
    enter_in_about(h, log)
    h.wait_hooked(log)
    drags_scroll(log)
    wait_for(lambda: h.tool("title", "About Flicko")[0] != 0, 20, "the About dialog closed by Enter", log)

    # Open again; a drag passes to the window and activates it. A second
    # About brings the open dialog back instead of opening another: one
    # Enter leaves none open and the hook back.
    open_about(h, labels, log)
    wait_for(lambda: h.block()["Hook"] == 0, 20, "the hook paused again", log)
    drag_passes(log)
    open_about(h, labels, log)
    time.sleep(0.5)
    check(h.block()["Hook"] == 0, "the hook came back while the dialog is open", log)
    enter_in_about(h, log)
    wait_for(lambda: h.tool("title", "About Flicko")[0] != 0, 20, "no About dialog left after one Enter", log)
    h.wait_hooked(log)
    drags_scroll(log)

    # Japanese mode: the same dialog in Japanese, for the eye.
    check(h.tool("close", "Flicko", "30000")[0] == 0, "closing flicko")
    h.flicko.wait(timeout=60)
    h.write_settings(extra=text + "[Etc]\nJa=1\n")
    h.start_flicko()
    h.wait_hooked(log)
    open_tray_menu(h, log)
    choose(labels, "About Flicko")
    wait_for(lambda: h.block()["Hook"] == 0, 30, "the Japanese About dialog", log)
    time.sleep(1.0)
    shot(h, "about-ja")
    enter_in_about(h, log)
    h.wait_hooked(log)


def case_tray_startup_item_switches_the_shortcut(h):
    text, labels = h.shipped_menus()
    h.write_settings(extra=text)
    log = h.start_hooked()
    startup = user_folder(h.prefix, *START_MENU, "Startup")
    check(startup is not None, "no Startup folder in the prefix")
    lnk = os.path.join(startup, "Flicko.lnk")
    if os.path.exists(lnk):
        os.remove(lnk)
    try:
        open_tray_menu(h, log)
        choose(labels, "Start with Windows")
        wait_for(lambda: os.path.exists(lnk), 30, "the shortcut in the Startup folder", log)
        rc, out = h.tool("lnk", winpath(lnk))
        target, workdir = (out.splitlines() + ["", ""])[:2]
        program = winpath(os.path.join(h.rel, "flicko.exe"))
        check(rc == 0 and target.lower() == program.lower() and workdir.lower() == program.rsplit("\\", 1)[0].lower(),
              f"the shortcut points at {target!r} in {workdir!r}, not at {program!r}", log)
        open_tray_menu(h, log)
        choose(labels, "Start with Windows")
        wait_for(lambda: not os.path.exists(lnk), 30, "the shortcut removed by the second choice", log)
    finally:
        if os.path.exists(lnk):
            os.remove(lnk)
