"""The profile functions under their Windows Python names, the Profile
mapping view on real files, and the example script's transcript."""

import os
import pathlib
import subprocess
import sys

import pytest

from zidevuv10 import Profile, win32api


def test_profile_functions(tmp_path):
    ini = str(tmp_path / "p.ini")
    win32api.WriteProfileVal("S", "n", -12, ini)
    win32api.WriteProfileVal("S", "t", "text", ini)
    assert win32api.GetProfileVal("S", "n", 0, ini) == -12
    assert win32api.GetProfileVal("S", "t", "", ini) == "text"
    assert win32api.GetProfileVal("S", "none", 5, ini) == 5
    assert win32api.GetProfileVal("S", "none", "dflt", ini) == "dflt"
    # Longer than any first buffer: read whole.
    win32api.WriteProfileVal("S", "long", "x" * 5000, ini)
    assert win32api.GetProfileVal("S", "long", "", ini) == "x" * 5000
    win32api.WriteProfileVal("S", "long", None, ini)
    assert win32api.GetProfileSection("S", ini) == ["n=-12", "t=text"]
    win32api.WriteProfileSection("T", "a=1\0b=2\0\0", ini)
    win32api.WriteProfileSection("U", ["c=3"], ini)
    assert win32api.GetProfileSection("T", ini) == ["a=1", "b=2"]
    win32api.WriteProfileSection("T", None, ini)
    assert (tmp_path / "p.ini").read_text() == "[S]\nn=-12\nt=text\n[U]\nc=3\n"
    # A folder that does not exist cannot be written.
    with pytest.raises(win32api.error) as caught:
        win32api.WriteProfileVal("S", "k", "v", str(tmp_path / "missing" / "p.ini"))
    assert caught.value.funcname == "WriteProfileVal"
    assert caught.value.winerror == 3  # ERROR_PATH_NOT_FOUND
    # Without iniName: WIN.INI in the Windows directory of drive C.
    win32api.WriteProfileVal("Desktop", "Wallpaper", "none")
    assert win32api.GetProfileVal("Desktop", "Wallpaper", "") == "none"
    assert win32api.GetProfileSection("Desktop") == ["Wallpaper=none"]
    assert (tmp_path / "drive_c" / "WINDOWS" / "WIN.INI").read_text() == "[Desktop]\nWallpaper=none\n"


def test_one_rule_for_booleans_and_the_accepted_values(tmp_path):
    # A bool is an int everywhere a value reaches a file: True is 1.
    ini = str(tmp_path / "b.ini")
    win32api.WriteProfileVal("S", "f", True, ini)
    profile = Profile(ini)
    profile["T"] = {"a": True, "b": False}
    profile["T"]["c"] = True
    assert (tmp_path / "b.ini").read_text() == "[S]\nf=1\n[T]\na=1\nb=0\nc=1\n"
    # What is no str, int or None is refused with what is accepted.
    for bad in (3.5, b"x", [1]):
        with pytest.raises(TypeError, match="value must be a str, an int or None, not " + type(bad).__name__):
            win32api.WriteProfileVal("S", "f", bad, ini)
    assert (tmp_path / "b.ini").read_text() == "[S]\nf=1\n[T]\na=1\nb=0\nc=1\n"


def test_functions_have_signatures_and_docs():
    import inspect
    for function, parameters in ((win32api.GetProfileVal, ["section", "entry", "defValue", "iniName"]),
                                 (win32api.WriteProfileVal, ["section", "entry", "value", "iniName"]),
                                 (win32api.GetProfileSection, ["section", "iniName"]),
                                 (win32api.WriteProfileSection, ["section", "data", "iniName"])):
        signature = inspect.signature(function)
        assert list(signature.parameters) == parameters
        assert signature.parameters["iniName"].default is None
        assert function.__doc__ and "\n" not in function.__doc__.strip()
    for member in ("sections", "windows_path", "__getitem__", "__setitem__", "__delitem__"):
        assert inspect.getdoc(getattr(Profile, member)), member


def test_profile_view(tmp_path):
    profile = Profile(tmp_path / "v.ini")
    profile["Net"] = {"Host": "example.org", "Port": 80}
    section = profile["net"]
    assert profile.sections() == ["Net"] and "NET" in profile and len(profile) == 1
    assert dict(section.items()) == {"Host": "example.org", "Port": "80"}
    assert section["host"] == "example.org" and section.get("Missing") is None
    # Another writer; a repeated key is read as the store reads it (the first
    # wins), in every view, and quotes are stripped in items() as in [].
    (tmp_path / "v.ini").write_text("[Net]\nHost=changed\nEmpty=\nhost=again\nQuoted='q'\n")
    assert section["Host"] == "changed" and section["Empty"] == "" and "Port" not in section
    assert section.items() == [("Host", "changed"), ("Empty", ""), ("Quoted", "q")] == list(dict(section).items())
    section["Port"] = 8080
    del section["Empty"]
    assert list(section) == ["Host", "Quoted", "Port"] and len(section) == 3
    for missing in (lambda: profile["Other"], lambda: section["Empty"]):
        with pytest.raises(KeyError):
            missing()
    with pytest.raises(KeyError):
        del section["Empty"]
    profile["Net"] = {"Only": "this"}
    assert (tmp_path / "v.ini").read_text() == "[Net]\nOnly=this\n"
    del profile["Net"]
    assert profile.sections() == [] and dict(section) == {}
    with pytest.raises(KeyError):
        del profile["Net"]
    assert profile.windows_path == "Z:" + str(tmp_path / "v.ini").replace("/", "\\")
    # A bare name is a file of the current folder, as with open(); so is
    # the Windows form ".\\name"; the Windows-compatible functions keep
    # Windows' rule (the Windows directory).
    here = "Z:" + str(tmp_path).replace("/", "\\") + "\\"
    assert Profile("app.ini").windows_path == here + "app.ini"
    assert Profile(b"app.ini").windows_path == here + "app.ini"
    Profile(pathlib.Path("rel.ini"))["S"] = {"k": "v"}
    assert Profile(".\\rel.ini")["S"]["k"] == "v" == Profile("rel.ini")["s"]["K"]
    assert (tmp_path / "rel.ini").read_text() == "[S]\nk=v\n"
    assert win32api.GetProfileVal("S", "k", "windows dir", "rel.ini") == "windows dir"
    assert win32api.GetProfileVal("S", "k", "", ".\\rel.ini") == "v"


def test_flush_syncs_the_file_and_its_folder(tmp_path, monkeypatch):
    profile = Profile(tmp_path / "f.ini")
    profile["S"] = {"k": "v"}
    synced = []
    fsync = os.fsync
    monkeypatch.setattr(os, "fsync", lambda fd: synced.append(os.readlink(f"/proc/self/fd/{fd}")) or fsync(fd))
    profile.flush()
    assert synced == [os.path.realpath(tmp_path / "f.ini"), os.path.realpath(tmp_path)]
    with pytest.raises(FileNotFoundError):
        Profile(tmp_path / "gone" / "f.ini").flush()


@pytest.mark.parametrize("bad, error", [("a\0b", ValueError), ("a\ud800b", win32api.error)])
def test_text_with_a_nul_or_a_lone_surrogate_is_refused(tmp_path, bad, error):
    # A NUL would end the text in the C functions (a value "bob\0admin=1"
    # wrote two entries, a path was cut); a lone surrogate has no UTF-8 form.
    path = tmp_path / "r.ini"
    path.write_text("[s]\nk=v\n")
    ini = str(path)
    calls = [
        lambda: win32api.WriteProfileVal(bad, "k", "v", ini),
        lambda: win32api.WriteProfileVal("s", bad, "v", ini),
        lambda: win32api.WriteProfileVal("s", "k", bad, ini),
        lambda: win32api.WriteProfileVal("s", "k", "v", ini + bad),
        lambda: win32api.WriteProfileSection("s", ["k=" + bad], ini),
        lambda: win32api.WriteProfileSection(bad, "k=v\0", ini),
        lambda: win32api.GetProfileVal("s", bad, "", ini),
        lambda: win32api.GetProfileVal("s", "k", bad, ini),
        lambda: win32api.GetProfileSection("s", ini + bad),
        lambda: Profile(ini).__setitem__("s", {"user": "bob" + bad}),
        lambda: Profile(ini)["s"].__setitem__(bad, "v"),
        lambda: Profile(ini)["s"][bad],
        lambda: Profile(ini + bad).sections(),
        lambda: Profile(ini + bad).windows_path,
    ]
    for number, call in enumerate(calls):
        with pytest.raises(error) as caught:
            call()
        assert error is ValueError or caught.value.winerror == 1113, number
    assert path.read_text() == "[s]\nk=v\n"
    assert os.listdir(tmp_path) == ["r.ini"]


WRITER = """
import sys
from zidevuv10 import Profile
profile = Profile(sys.argv[1])
for i in range(40):
    profile["Shared"]["w%s_%d" % (sys.argv[2], i)] = i
"""


def test_two_processes_lose_no_write(tmp_path):
    ini = str(tmp_path / "shared.ini")
    Profile(ini)["Shared"] = {"first": "0"}
    writers = [subprocess.Popen([sys.executable, "-c", WRITER, ini, str(n)]) for n in range(3)]
    assert [writer.wait(120) for writer in writers] == [0, 0, 0]
    assert len(Profile(ini)["Shared"]) == 121


def test_example_script_transcript(tmp_path):
    examples = pathlib.Path(os.environ.get("ZIDEVUV10_EXAMPLES",
                                           pathlib.Path(__file__).parents[2] / "examples" / "python"))
    run = subprocess.run([sys.executable, str(examples / "tour.py")], cwd=tmp_path,
                         capture_output=True, text=True, timeout=120)
    assert run.stderr == "" and run.returncode == 0
    assert run.stdout == (examples / "tour.out").read_text()
