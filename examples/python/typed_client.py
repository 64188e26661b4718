"""A client written against the package's type information: CI checks it
with `mypy --strict` against the installed package, so a stub that drifts
from what the package offers fails there."""

from typing import List

import zidevuv10
from zidevuv10 import Profile, win32api
from zidevuv10.pywintypes import com_error
from zidevuv10.win32com.client import Dispatch


def runs(ini: str) -> int:
    """Counts a run in the file and answers the new count."""
    count = win32api.GetProfileVal("General", "Runs", 0, ini) + 1
    win32api.WriteProfileVal("General", "Runs", count, ini)
    return count


def names(ini: str) -> List[str]:
    settings = Dispatch("VEZEzoro10.clsOrviInifINIFilesObjC")
    settings.FullPath = ini
    try:
        _, sections = settings.GetSectionsEx([])
    except com_error as error:
        print(error.hresult, error.excepinfo, error.number, error.description)
        return []
    return [str(name) for name in sections]


def colours(ini: str) -> str:
    profile = Profile(ini)
    profile["Colours"] = {"Background": "navy", "Depth": 2, "Bright": True}
    profile["Colours"]["Accent"] = "gold"
    accent: str = profile["Colours"]["Accent"]
    return f"{zidevuv10.__version__}: {accent} in {', '.join(profile.sections())}"


if __name__ == "__main__":
    print(runs(r".\typed.ini"), names(r".\typed.ini"), colours(r".\typed.ini"))
