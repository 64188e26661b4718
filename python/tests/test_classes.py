"""The classes late-bound from Python: creation by name, attribute access,
conversions, by-reference results, collections, errors and a Python window
object driven by the library."""

import threading

import pytest

import zidevuv10
from zidevuv10 import Dispatch, com_error

CLASSES = ["clsOrviVEZEzoro10A", "clsOrviInifINIFilesObjB", "clsOrviInifINIFilesObjC",
           "clsOrviInifINIFilesObjA", "clsOrviInifSectionsA", "clsOrviInifSectionA",
           "clsOrviInifKeysA", "clsOrviInifKeyA", "clsOrviInifGeneralA", "clsOrviInifAdvancedA",
           "clsOrviInifHeaderA"]


def test_creation_by_progid_and_class_id():
    for name in CLASSES:
        assert repr(Dispatch("vezezoro10." + name.upper())) == f"<zidevuv10 object VEZEzoro10.{name}>"
    addressed = Dispatch("{A5C9CAC1-646D-4438-9B42-F03D9D14F2F8}")
    assert repr(addressed) == "<zidevuv10 object VEZEzoro10.clsOrviInifINIFilesObjB>"
    with pytest.raises(com_error) as caught:
        Dispatch("VEZEzoro10.NoSuchClass")
    assert (caught.value.number, caught.value.source) == (429, "VEZEzoro10")
    assert str(caught.value) == "VEZEzoro10: error 429: ActiveX component can't create object"
    assert issubclass(com_error, Exception)
    # As the Windows extension gives it: DISP_E_EXCEPTION, its text, the
    # exception information with the description third and the error as
    # its scode (0x800A0000 + number), no argument error.
    error = caught.value
    assert error.args == (error.hresult, error.strerror, error.excepinfo, error.argerror)
    assert (error.hresult, error.strerror, error.argerror) == (-2147352567, "Exception occurred.", None)
    assert error.excepinfo == (0, "VEZEzoro10", "ActiveX component can't create object", None, 0,
                               0x800A0000 + 429 - (1 << 32))
    # Made from those four items (as a copy or pickle does), the library's
    # error is found again.
    again = com_error(*error.args)
    assert (again.number, again.description, again.source) == (429, error.description, "VEZEzoro10")
    import pickle
    assert pickle.loads(pickle.dumps(error)).number == 429
    # The module paths of the Windows extensions.
    assert zidevuv10.pywintypes.com_error is com_error
    assert zidevuv10.win32com.client.Dispatch is Dispatch
    assert zidevuv10.pywintypes.error is zidevuv10.win32api.error
    assert zidevuv10.__version__.count(".") == 2


def test_settings_class_end_to_end():
    settings = Dispatch("VEZEzoro10.clsOrviInifINIFilesObjC")
    settings.fullpath = ".\\app.ini"
    settings.SectionName = "Main"
    assert settings.PutString("Name", "Zoë") == 1
    assert settings.PutTF("On", -1) is True
    assert settings.GetString("Name", "") == "Zoë"
    assert settings.GetInt("Missing", -7) == -7
    assert settings.GetTF("On", 0) is True and settings.GetTF("Absent", 0) is False
    assert settings.GetSectEntriesEx([]) == (2, [["Name", "On"], ["Zoë", "True"]])
    assert settings.GetSectionsEx(None) == (1, ["Main"])
    # The member's integer type decides: 16 bits here, as the library checks.
    with pytest.raises(com_error) as caught:
        settings.PutInt("Big", 40000)
    assert (caught.value.number, caught.value.description) == (6, "Overflow")
    with pytest.raises(com_error) as caught:
        settings.GetInt("Big", 1 << 70)
    assert caught.value.number == 6
    with open("app.ini", encoding="utf-8") as file:
        assert file.read() == "[Main]\nName=Zoë\nOn=True\n"


def test_members_carry_signatures_and_docs():
    import inspect
    settings = Dispatch("VEZEzoro10.clsOrviInifINIFilesObjC")
    put = settings.putint
    assert put.__name__ == "PutInt"
    assert [(p.name, p.annotation) for p in inspect.signature(put).parameters.values()][0][1] == "str"
    assert "VEZEzoro10.clsOrviInifINIFilesObjC" in put.__doc__ and "\n" not in put.__doc__
    main = Dispatch("VEZEzoro10.clsOrviVEZEzoro10A")
    read = main.GetPrivateProfileStringInif
    signature = inspect.signature(read)
    assert list(signature.parameters)[:3] == ["sFileName", "sSectionName", "sKeyName"]
    assert signature.return_annotation == "tuple" and "by reference" in read.__doc__


def test_attributes_conversions_and_by_reference_results():
    main = Dispatch("VEZEzoro10.clsOrviVEZEzoro10A")
    assert main.INIKeyValue == ""  # an unset text
    assert main.WritePrivateProfileStringAddKeyInif(".\\m.ini", "S", "k", "v") == (1, ".\\m.ini", "S", "k", "v")
    # Keyword arguments are matched to the parameters' names.
    assert main.GetPrivateProfileStringInif(".\\m.ini", skeyname="k", sSectionName="S") == ("v", ".\\m.ini", "S", "k")
    names, *_ = main.GetPrivateProfileStringKeysInif(".\\m.ini", "S")
    assert isinstance(names, zidevuv10.Collection)
    assert (names.Count, len(names), list(names), names.Item(1)) == (1, 1, ["k"], "k")
    with pytest.raises(com_error) as caught:
        names.Item(2)
    assert caught.value.number == 9

    entry = Dispatch("VEZEzoro10.clsOrviInifINIFilesObjB")
    entry.PATH, entry.section, entry.Key = ".\\m.ini", "S", "k"
    assert entry.Value == "v"
    entry.Value = None  # an empty Variant
    assert entry.Value == "" and entry.LastReturnCode == 1
    entry.Value = 12
    assert entry.CLngDefault(entry.Value) == 12
    with pytest.raises(AttributeError):
        entry.Colour
    with pytest.raises(AttributeError):
        entry.Colour = "red"

    # Objects: a set property keeps the very object.
    file = Dispatch("VEZEzoro10.clsOrviInifINIFilesObjA")
    sections = Dispatch("VEZEzoro10.clsOrviInifSectionsA")
    assert file.Sections is None
    file.Sections = sections
    assert file.Sections == sections


class Window:
    """A client window as the library sees one: placement properties and Move."""

    def __init__(self):
        self.Left, self.Top, self.Width, self.Height = 300, 450, 9000, 6000
        self.WindowState = 0
        self.moves = []

    def Move(self, left, top=None, width=None, height=None):
        self.moves.append((left, top, width, height))


def test_window_placement_with_a_python_window():
    entry = Dispatch("VEZEzoro10.clsOrviInifINIFilesObjB")
    entry.Path, entry.Section = ".\\w.ini", "Placement"
    entry.SaveFormPosition(Window())
    with open("w.ini", encoding="utf-8") as file:
        assert file.read() == "[Placement]\nMaximised=0\nLeft=300\nTop=450\nWidth=9000\nHeight=6000\n"
    entry.Key = "Maximised"
    entry.Value = "1"
    restored = Window()
    entry.LoadFormPosition(restored, 100, 100)
    assert restored.moves == [(300, 450, 9000, 6000)] and restored.WindowState == 2

    # The window's own failure reaches the library as its error, which
    # LoadFormPosition answers with LastReturnCode 0 and the key restored.
    class Failing(Window):
        def Move(self, *args):
            raise com_error(384, "A form can't be moved or sized while minimized or maximized", "App")

    for window in (Failing(), object()):
        entry.Key = "Left"
        entry.LoadFormPosition(window)
        assert entry.LastReturnCode == 0 and entry.Key == "Left"


def test_threads_share_objects_one_call_at_a_time():
    # A window whose callbacks call the library again, on two threads at once
    # with a third writing: a wrong lock order would hang, a missing lock
    # would race in the library's objects.
    entry = Dispatch("VEZEzoro10.clsOrviInifINIFilesObjB")
    entry.Path, entry.Section = ".\\t.ini", "Placement"
    settings = Dispatch("VEZEzoro10.clsOrviInifINIFilesObjC")
    settings.FullPath, settings.SectionName = ".\\t.ini", "Threads"

    class Reentrant(Window):
        def Move(self, *args):
            settings.GetString("x", "")
            super().Move(*args)

    errors = []

    def run(work):
        try:
            for _ in range(60):
                work()
        except Exception as e:  # reported below
            errors.append(e)

    windows = [Reentrant(), Reentrant()]
    works = [lambda w=w: entry.LoadFormPosition(w) for w in windows] + [lambda: settings.PutString("n", "1")]
    threads = [threading.Thread(target=run, args=(work,), daemon=True) for work in works]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join(120)
    assert not any(thread.is_alive() for thread in threads) and errors == []
    assert all(len(w.moves) == 60 for w in windows)
