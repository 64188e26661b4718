"""Profile functions as Windows Python code calls them (GetProfileVal,
WriteProfileVal, GetProfileSection, WriteProfileSection); without iniName
they act on WIN.INI. A failed write raises error.

Booleans follow one rule here and in Profile: a bool is an int, so True is
written as 1 and False as 0, as the Windows extension writes them."""

from typing import List, Optional, Sequence, Union

from ._zidevuv10 import win32api as _api

error = _api.error

__all__ = ["GetProfileVal", "WriteProfileVal", "GetProfileSection", "WriteProfileSection",
           "error"]


def GetProfileVal(section: Optional[str], entry: Optional[str],
                  defValue: Union[int, str, None],
                  iniName: Optional[str] = None) -> Union[int, str]:
    """Reads entry of section: an int when defValue is an int, else a str (entry None: the key names, NUL-separated)."""
    return _api.GetProfileVal(section, entry, defValue, iniName)


def WriteProfileVal(section: Optional[str], entry: Optional[str],
                    value: Union[str, int, None], iniName: Optional[str] = None) -> None:
    """Writes value (an int as its decimal text, True as 1) into entry of section; value None deletes the entry, entry None the section."""
    if value is not None and not isinstance(value, (str, int)):
        raise TypeError(f"value must be a str, an int or None, not {type(value).__name__}")
    if isinstance(value, int):
        value = int(value)  # a bool as 1 or 0, an int subclass as its number
    _api.WriteProfileVal(section, entry, value, iniName)


def GetProfileSection(section: Optional[str], iniName: Optional[str] = None) -> List[str]:
    """The section's lines, each "key=value" as in the file."""
    return list(_api.GetProfileSection(section, iniName))


def WriteProfileSection(section: Optional[str], data: Union[str, Sequence[str], None],
                        iniName: Optional[str] = None) -> None:
    """Replaces the section's entries: data is "key=value" items each ended by a NUL, or a list of them; None deletes the section."""
    _api.WriteProfileSection(section, data, iniName)
