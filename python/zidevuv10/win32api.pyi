from typing import List, Optional, Sequence, Union, overload

class error(Exception):
    """A profile function failed: (winerror, funcname, strerror)."""
    winerror: int
    funcname: str
    strerror: str
    def __init__(self, winerror: int, funcname: str, strerror: str) -> None: ...

@overload
def GetProfileVal(section: Optional[str], entry: Optional[str], defValue: int,
                  iniName: Optional[str] = None) -> int: ...
@overload
def GetProfileVal(section: Optional[str], entry: Optional[str], defValue: Optional[str],
                  iniName: Optional[str] = None) -> str: ...
def WriteProfileVal(section: Optional[str], entry: Optional[str], value: Union[str, int, None],
                    iniName: Optional[str] = None) -> None: ...
def GetProfileSection(section: Optional[str], iniName: Optional[str] = None) -> List[str]: ...
def WriteProfileSection(section: Optional[str], data: Union[str, Sequence[str], None],
                        iniName: Optional[str] = None) -> None: ...
